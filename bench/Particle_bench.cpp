// One particle system of N live particles, set up as the peer engine's
// scene: 4 x 4 squares living 2 to 4 seconds at 60 steps a second, 20 to 80
// pixels a second in every direction, colour and alpha over the lifetime,
// additive blending, a stream that keeps the count near N from a 600 x 320
// region in the middle of a 1280 x 720 frame. The update alone, and the
// update with drawing and present on the software device.
#include <benchmark/benchmark.h>

#include "Base/Random.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "Particle/Particle_Main.h"

namespace {
constexpr int kSquare = 2;
constexpr int kMeanLife = 180;

// The system's id, filled with n particles.
int32_t PeerScene(int32_t n)
{
    Particle_Init();
    Random_Seed(1);
    const int32_t t = ParticleType_Create();
    ParticleType_SetShape(t, kSquare);
    ParticleType_SetSize(t, 4.0f / 56, 4.0f / 56, 0, 0);  // the square covers 56 of the 64 texels
    ParticleType_SetLife(t, 120, 240);
    ParticleType_SetSpeed(t, 20.0f / 60, 80.0f / 60, 0, 0);
    ParticleType_SetDirection(t, 0, 360, 0, 0);
    const int32_t colours[2] = {0x33CCFF, 0x1933FF};
    ParticleType_SetColour(t, 1, colours);
    ParticleType_SetAlpha(t, 1, 0.5f, 0);
    ParticleType_SetAdditive(t, true);
    const int32_t system = ParticleSystem_Create(-1, true);
    const int32_t emitter = ParticleEmitter_Create(system);
    ParticleEmitter_SetRegion(system, emitter, 340, 940, 200, 520, 0, 0);
    ParticleEmitter_Burst(system, emitter, t, n);
    ParticleEmitter_SetStream(system, emitter, t, n / kMeanLife);
    // Past the first lifetimes: births and deaths balance near n.
    for (int i = 0; i < 240; ++i) ParticleSystem_Update(system);
    return system;
}
}  // namespace

static void BM_ParticleUpdate(benchmark::State& state)
{
    const int32_t system = PeerScene(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) ParticleSystem_Update(system);
    state.counters["live"] = Particles_Count(system);
    state.counters["ms_per_step"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    ParticleSystem_FreeAll();
}
BENCHMARK(BM_ParticleUpdate)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_ParticleFrame(benchmark::State& state)
{
    if (!GR_D3D_Init(nullptr, 1280, 720, 0)) {
        state.SkipWithError("no device");
        return;
    }
    GR_D3D_SetBuiltinTextureSource(BuiltinImages_Table);
    Part_CreateTextures();
    const int32_t system = PeerScene(static_cast<int32_t>(state.range(0)));
    auto frame = [system] {
        Start_Frame();
        GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
        ParticleSystem_Update(system);
        ParticleSystem_Draw(system);
        End_Frame(true);
        HGPU_Flush();  // count frames drawn, not frames queued
    };
    for (int i = 0; i < 30; ++i) frame();  // warm-up, as the peer scene's
    for (auto _ : state) frame();
    state.counters["live"] = Particles_Count(system);
    ParticleSystem_FreeAll();
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
// Time is the wall time of a frame, CPU the time of all threads, the
// rasteriser's included.
BENCHMARK(BM_ParticleFrame)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

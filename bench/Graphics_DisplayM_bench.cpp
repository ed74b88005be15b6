// Frame rate of the bare frame protocol on the software device, and the cost
// of the message pump.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "Runner/Runner_Entry.h"
#include "Base/Timing.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "Host/Host_Window.h"
#include "IO/IO_Main.h"

static void BM_FrameClearPresent(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    if (!GR_D3D_Init(nullptr, width, height, 0)) {
        state.SkipWithError("no device");
        return;
    }
    uint32_t colour = 0xFF000000u;
    for (auto _ : state) {
        Start_Frame();
        GR_D3D_Clear(colour++, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
        End_Frame(true);
        HGPU_Flush();  // count frames drawn, not frames queued
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
BENCHMARK(BM_FrameClearPresent)->Args({1280, 720})->Unit(benchmark::kMillisecond)->UseRealTime();

static bool InitPump()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!HostWindow_InitVideo()) return false;
    IO_Init();
    return true;
}

static void BM_PumpIdle(benchmark::State& state)
{
    if (!InitPump()) {
        state.SkipWithError("no video");
        return;
    }
    for (auto _ : state) DispatchPendingMessages();
}
BENCHMARK(BM_PumpIdle);

// A burst of key, text and mouse events, translated and handled.
static void BM_PumpInputBurst(benchmark::State& state)
{
    if (!InitPump()) {
        state.SkipWithError("no video");
        return;
    }
    const int events = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < events; ++i) {
            SDL_Event event{};
            switch (i % 3) {
            case 0:
                event.type = (i / 3) % 2 ? SDL_KEYUP : SDL_KEYDOWN;
                event.key.keysym.scancode = SDL_SCANCODE_A;
                break;
            case 1:
                event.type = SDL_TEXTINPUT;
                event.text.text[0] = 'a';
                break;
            default:
                event.type = SDL_MOUSEMOTION;
                event.motion.x = i;
                event.motion.y = i;
                break;
            }
            SDL_PushEvent(&event);
        }
        state.ResumeTiming();
        DispatchPendingMessages();
        IO_Update();
    }
    state.SetItemsProcessed(state.iterations() * events);
}
BENCHMARK(BM_PumpInputBurst)->Arg(60);

// The sprite scene held against a peer engine's: N instances of one object
// without a draw event, each moving one pixel right a frame (wrapping at
// 1248), drawn by the default draw from one SZ x SZ sprite into a 1280 x 720
// frame on the software device, presented without vsync.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "Draw/Draw_Frame.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Host/Host_GPU.h"
#include "Sprite/Sprite_Main.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "Runner/Run_Step.h"

static void BM_SpriteScene(benchmark::State& state)
{
    const auto n = static_cast<int32_t>(state.range(0)), size = static_cast<int32_t>(state.range(1));
    if (!GR_D3D_Init(nullptr, 1280, 720, 0)) {
        state.SkipWithError("no device");
        return;
    }
    // The peer's image: red rises with x, green with y, blue one half.
    std::vector<uint32_t> pixels(size_t(size) * size);
    for (int32_t y = 0; y < size; ++y)
        for (int32_t x = 0; x < size; ++x)
            pixels[size_t(y) * size + x] = 0xFF000080u | uint32_t(x * 255 / (size - 1)) << 16 |
                                           uint32_t(y * 255 / (size - 1)) << 8;
    const int32_t sprite = Sprite_AddEmpty();
    Sprite_Get(sprite)->LoadFromPixels(pixels.data(), size, size, 1, false, false, false, 0, 0, true);

    Object_Init();
    const int32_t object = Object_CreateEmpty();
    Object_BuildEventLists();
    CGameRoom room;
    room.width = 1280;
    room.height = 720;
    Run_Room = &room;
    std::mt19937 random(1);
    std::vector<CInstance*> instances;
    for (int32_t i = 0; i < n; ++i) {
        auto* instance = new CInstance(static_cast<float>(random() % 1249), static_cast<float>(random() % 689),
                                       100001 + i, object, true);
        instance->sprite_index = sprite;
        instance->visible = true;
        instance->image_speed = 0;
        instance->hspeed = 1;
        room.activeInstances.Insert(instance);
        Instance_Insert(instance->id, instance);
        instances.push_back(instance);
    }
    for (auto _ : state) {
        Start_Frame();
        DoAStep();  // motion moves every instance one pixel; DrawFrame draws them
        for (CInstance* instance : instances)
            if (instance->x >= 1248) instance->x -= 1248;
        End_Frame(true);
        HGPU_Flush();  // count frames drawn, not frames queued
    }
    state.counters["ms_per_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    Run_Room = nullptr;
    room.DeleteActiveInstances();
    Object_FreeEventLists();
    Object_Free();
    ApplicationSurface_Free();
    Sprite_Init();
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}
BENCHMARK(BM_SpriteScene)
    ->Args({1000, 32})
    ->Args({10000, 2})
    ->Args({10000, 32})
    ->Args({50000, 32})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

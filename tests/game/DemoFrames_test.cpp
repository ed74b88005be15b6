// The demo game run by the real start-up and frame loop for a bounded number
// of frames, with the arrow keys held through the window's key handlers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Base/Console.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Variable/Code_VariableValue.h"
#include "GameModule.h"
#include "IO/IO_Main.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "Runner/Runner_StartUp.h"
#include "Graphics/TexturesM.h"
#include "Host/Host_GPU.h"

namespace {
constexpr int32_t kGameId = 100001;
constexpr int32_t kPlayerId = 100002;

// One pixel of the last frame drawn, 0xAABBGGRR.
uint32_t FramePixel(int x, int y)
{
    uint32_t pixel = 0;
    D3DTexture* target = GR_D3D_GetBackBufferTarget();
    if (target) HGPU_ReadTexture(GR_D3D_GetTextureView(target), x, y, 1, 1, &pixel, 4);
    return pixel;
}

bool Near(uint32_t actual, uint32_t expected)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 3) return false;
    return true;
}

double Read(CInstance* instance, const LinkVariableRef& ref)
{
    ScriptValue value = ScriptValue_Undefined();
    Variable_GetValue(instance, ref.id, ARRAY_INDEX_NONE, &value);
    const double number = ScriptValue_ToReal(&value);
    ScriptValue_SetUndefined(&value);
    return number;
}

TEST(DemoFramesTest, PlayerWalksThroughTheFrameLoop)
{
    Console_SetStdoutSuppressed(true);
    HeadlessMode.noDialogs = true;
    ASSERT_TRUE(RunnerInit());
    ASSERT_TRUE(RunnerStartUp());
    CInstance* game = Instance_Find(kGameId);
    CInstance* player = Instance_Find(kPlayerId);
    ASSERT_TRUE(game && player);
    EXPECT_EQ(Read(game, Ref_tilesize), 16.0);  // the room start ran the create events

    FramePacing = false;
    double x = Read(player, Ref_x);
    Run_Frame();  // no key held: the player stands
    EXPECT_EQ(Read(player, Ref_x), x);
    // The player is drawn by its sprite (no draw event): its red coat 16 pixels above its feet.
    const int feetY = static_cast<int>(player->y);
    EXPECT_TRUE(Near(FramePixel(static_cast<int>(x), feetY - 16), 0xFF3C3CC8u))
        << std::hex << FramePixel(static_cast<int>(x), feetY - 16);
    // The scenery of the first frame, layer by layer back to front: the sky
    // stretched over the room, a cloud over it, mountains with snow, a tree
    // in front of them (tiles cut from sprites), then the ground tile map:
    // grass over soil.
    const struct {
        const char* what;
        int x, y;
        uint32_t rgba;
    } scenery[] = {
        {"sky", 500, 5, 0xFFD28246u},         {"cloud", 114, 78, 0xFFFCF6F2u},
        {"mountain", 600, 500, 0xFF947A70u},  {"snow", 652, 446, 0xFFFFF8F5u},
        {"leaves", 72, 470, 0xFF48A040u},     {"trunk", 72, 520, 0xFF28486Eu},
        {"grass", 300, 529, 0xFF40A848u},     {"soil", 300, 560, 0xFF3A608Cu},
    };
    for (const auto& s : scenery)
        EXPECT_TRUE(Near(FramePixel(s.x, s.y) & 0xFFFFFF, s.rgba & 0xFFFFFF))
            << s.what << " " << std::hex << FramePixel(s.x, s.y);
    const struct {
        int key;
        double perFrame, xscale;
    } phases[] = {{37, -3, 1}, {39, 3, -1}};
    for (const auto& p : phases) {
        IO_KeyDown(p.key, 0, false);
        for (int frame = 0; frame < 5 && MainLoopRunning == 1; ++frame) {
            Run_Frame();
            x += p.perFrame;
            EXPECT_EQ(Read(player, Ref_x), x) << "key " << p.key << " frame " << frame;
        }
        IO_KeyUp(p.key, 0);
        EXPECT_EQ(Read(player, Ref_image_xscale), p.xscale);
    }
    EXPECT_EQ(MainLoopRunning, 1);

    RequestGameEnd();
    Run_EndGame();
    RunnerEndRun();
    RunnerShutdown();
    RunnerReset();
}
}  // namespace

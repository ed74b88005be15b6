// Virtual buttons: options.ini entries, touches turned into keys and mouse
// buttons frame by frame, their drawn rectangles, and the saved section.
#include <gtest/gtest.h>

#include <vector>

#include "Code/Code_Constant.h"
#include "IO/IO_Input.h"
#include "IO/IO_Main.h"
#include "IO/IniFile.h"
#include "Runner/Run_VirtualButtons.h"

namespace {
struct VirtualButtons : ::testing::Test {
    void SetUp() override
    {
        VirtualButtons_InstallHooks();
        Code_Constant_Init();
        IO_Init();
        IO_Update();
    }
    // Touch (left button held over x, y) or no touch, then one frame.
    static void Frame(bool touching, int x = 0, int y = 0)
    {
        if (touching && !IO_WindowLatch.buttonHeld[0]) IO_MouseDown(1, x, y);
        if (!touching && IO_WindowLatch.buttonHeld[0]) IO_MouseUp(1, x, y);
        IO_WindowLatch.mouseX = x;
        IO_WindowLatch.mouseY = y;
        IO_SnapshotPointerEvents();
        IO_Update();
    }
    static IO_VirtualButton* Add(int x, int y, int w, int h, int key, int button = 0)
    {
        IO_VirtualButton* b = IO_AllocVirtualButton();
        *b = IO_VirtualButton{IO_VBUTTON_ACTIVE, b->id, x, y, x + w, y + h, w, h, 0, 0, key, button};
        return b;
    }
};

TEST_F(VirtualButtons, OptionsIniEntriesDecodeKeysAndButtons)
{
    IniFile ini;
    ini.LoadFromString(
        "[IO_VIRTUAL_BUTTONS]\nNUM_BUTTONS=5\nTEXTURE=pad.png\n"
        "[IO_BUTTON_0]\nX=1\nY=2\nW=3\nH=4\nU=5\nV=6\nKEY=A\n"
        "[IO_BUTTON_1]\nKEY=VK_SPACE\n"
        "[IO_BUTTON_2]\nKEY=MB_LEFT\nBUTTON=MB_LEFT\n"
        "[IO_BUTTON_3]\nKEY=x\nBUTTON=left\n"
        "[IO_BUTTON_4]\nKEY=VK_NOSUCHKEY\nBUTTON=MB_RIGHT\n");
    IO_LoadVirtualButtons(&ini);
    struct Expect { int x, right, bottom, u, key, button; };
    const Expect expected[] = {{1, 4, 6, 5, 'A', 0}, {0, 0, 0, 0, 32, 0}, {0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 'x', 0},
                               {0, 0, 0, 0, 0, 2}};
    for (int i = 0; i < 5; ++i) {
        const IO_VirtualButton* b = IO_GetVirtualButton(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->flags, IO_VBUTTON_ACTIVE) << i;
        EXPECT_EQ(b->x, expected[i].x) << i;
        EXPECT_EQ(b->right, expected[i].right) << i;
        EXPECT_EQ(b->bottom, expected[i].bottom) << i;
        EXPECT_EQ(b->u, expected[i].u) << i;
        EXPECT_EQ(b->key, expected[i].key) << i;
        EXPECT_EQ(b->button, expected[i].button) << i;
    }
    EXPECT_EQ(IO_GetVirtualButton(5)->flags, 0);
    // A room end frees the game's entries; the options.ini ones come back.
    Add(0, 0, 1, 1, 'Q');
    IO_ClearVirtualButtons();
    EXPECT_EQ(IO_GetVirtualButton(0)->key, 'A');
    EXPECT_EQ(IO_GetVirtualButton(5)->flags, 0);
}

TEST_F(VirtualButtons, TouchesBecomeKeyEdgesAndHolds)
{
    Add(10, 10, 20, 20, 'K');
    Add(100, 10, 20, 20, 0, 2);
    Frame(true, 15, 15);
    EXPECT_EQ(IO_CheckKeyPressed('K'), 1);
    EXPECT_EQ(IO_CheckKey('K'), 0) << "the first frame is only a press";
    Frame(true, 16, 16);
    EXPECT_EQ(IO_CheckKeyPressed('K'), 0);
    EXPECT_EQ(IO_CheckKey('K'), 1) << "a held left button touches every frame";
    Frame(false, 16, 16);
    EXPECT_EQ(IO_CheckKeyReleased('K'), 1);
    EXPECT_EQ(IO_CheckKey('K'), 0);
    Frame(true, 119, 29);
    EXPECT_EQ(IO_CheckButtonPressed(2, 0), 1) << "a mouse-button entry";
    Frame(false, 119, 29);
    EXPECT_EQ(IO_CheckButtonReleased(2, 0), 1);
    Frame(true, 120, 29);
    EXPECT_EQ(IO_CheckButtonPressed(2, 0), 0) << "the right edge is outside";
}

TEST_F(VirtualButtons, EntriesFrom32OnNeverRespond)
{
    for (int i = 0; i < 32; ++i) Add(500, 500, 1, 1, 0);
    Add(0, 0, 50, 50, 'M');
    EXPECT_EQ(IO_GetVirtualButton(32)->key, 'M');
    Frame(true, 5, 5);
    Frame(true, 5, 5);
    EXPECT_EQ(IO_CheckKeyPressed('M') + IO_CheckKey('M'), 0);
}

std::vector<float> g_Drawn;

TEST_F(VirtualButtons, ShownEntriesAreDrawnScaledFromTheGui)
{
    g_Drawn.clear();
    IO_VirtualButtonHooks hooks = IO_VirtualButton_SetHooks(IO_VirtualButtonHooks{});
    hooks.drawArea = [](int* gw, int* gh, int* bw, int* bh, int* l, int* t) {
        *gw = 480, *gh = 270, *bw = 960, *bh = 540, *l = 0, *t = 0;
    };
    hooks.drawTriangles = [](const float* xy, int n) { g_Drawn.assign(xy, xy + 2 * n); };
    IO_VirtualButton_SetHooks(hooks);
    IO_VirtualButton* hidden = Add(0, 0, 5, 5, 'H');
    IO_DrawVirtualButtons();
    EXPECT_TRUE(g_Drawn.empty()) << "an active hidden entry is not drawn";
    hidden->flags = 0;
    IO_VirtualButton* shown = Add(10, 5, 20, 10, 'S');
    shown->flags = IO_VBUTTON_SHOWN;  // shown but inactive: drawn, never touched
    IO_DrawVirtualButtons();
    EXPECT_EQ(g_Drawn, (std::vector<float>{20, 10, 60, 10, 60, 30, 60, 30, 20, 30, 20, 10}));
    Frame(true, 15, 8);
    EXPECT_EQ(IO_CheckKeyPressed('S'), 0);
}

TEST_F(VirtualButtons, SavedSectionRoundTrips)
{
    Add(1, 2, 3, 4, 'A')->flags |= IO_VBUTTON_SHOWN;
    Add(5, 6, 7, 8, 0, 3);
    std::vector<uint8_t> saved;
    IO_SaveVirtualButtonState(&saved);
    EXPECT_EQ(saved.size(), 8u + 128u * 44u);
    IO_ClearVirtualButtons();
    size_t used = 0;
    ASSERT_TRUE(IO_LoadVirtualButtonState(saved.data(), saved.size(), &used));
    EXPECT_EQ(used, saved.size());
    EXPECT_EQ(IO_GetVirtualButton(0)->flags, IO_VBUTTON_ACTIVE | IO_VBUTTON_SHOWN);
    EXPECT_EQ(IO_GetVirtualButton(1)->button, 3);
    EXPECT_EQ(IO_GetVirtualButton(1)->bottom, 14);
    EXPECT_FALSE(IO_LoadVirtualButtonState(saved.data(), saved.size() - 1, &used)) << "cut short";
    saved[0] = 0;
    EXPECT_FALSE(IO_LoadVirtualButtonState(saved.data(), saved.size(), &used)) << "wrong tag";
}
}  // namespace

// Input latch and frame state, driven through the window handlers.
#include "IO/IO_Main.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class InputStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IO_Init();
        IO_Update();
    }
};

TEST_F(InputStateTest, KeyTappedBetweenFramesIsPressedAndReleased)
{
    IO_KeyDown('A', 'A', false);
    IO_KeyUp('A', 'A');
    IO_Update();
    EXPECT_EQ(IO_CheckKeyPressed('A'), 1);
    EXPECT_EQ(IO_CheckKeyReleased('A'), 1);
    EXPECT_EQ(IO_CheckKey('A'), 0);
    EXPECT_EQ(IO_GetLastKey(), 'A');
    IO_Update();
    EXPECT_EQ(IO_CheckKeyPressed('A'), 0) << "edges live one frame";
    EXPECT_EQ(IO_CheckKeyReleased('A'), 0);
}

TEST_F(InputStateTest, AutoRepeatNeverPressesAgain)
{
    IO_KeyDown('B', 'B', false);
    IO_Update();
    EXPECT_EQ(IO_CheckKeyPressed('B'), 1);
    IO_KeyDown('B', 'B', true);
    IO_KeyDown('B', 'B', false);  // already held
    IO_Update();
    EXPECT_EQ(IO_CheckKeyPressed('B'), 0);
    EXPECT_EQ(IO_CheckKey('B'), 1);
}

TEST_F(InputStateTest, CurrentKeyFallsBackToTheKeyStillHeld)
{
    IO_KeyDown('A', 'A', false);
    IO_KeyDown('B', 'B', false);
    IO_Update();
    EXPECT_EQ(IO_GetCurrentKey(), 'B');
    IO_KeyUp('B', 'B');
    IO_Update();
    EXPECT_EQ(IO_GetCurrentKey(), 'A');
    IO_KeyUp('A', 'A');
    IO_Update();
    EXPECT_EQ(IO_GetCurrentKey(), 0);
}

TEST_F(InputStateTest, GameSetKeysLastAsSpecified)
{
    IO_KeyDown('C', 'C', false);
    IO_Update();
    IO_SetCurrentKey('D');
    EXPECT_EQ(IO_GetCurrentKey(), 'D');
    IO_SetCurrentKey(300);
    EXPECT_EQ(IO_GetCurrentKey(), 'D') << "outside 0..255 ignored";
    IO_Update();
    EXPECT_EQ(IO_GetCurrentKey(), 'C') << "the latch restores the held key";
    IO_SetLastKey(77);
    IO_Update();
    EXPECT_EQ(IO_GetLastKey(), 77);
    EXPECT_EQ(IO_GetCurrentKey(), 0);
}

TEST_F(InputStateTest, KeyboardCheckPseudoKeys)
{
    struct Case { int key; int expected; };
    const Case idle[] = {{0, 1}, {1, 0}, {'A', 0}, {300, 0}, {-1, 0}};
    for (const Case& c : idle) EXPECT_EQ(IO_KeyboardCheck(c.key), c.expected) << c.key;
    IO_KeyDown('A', 'A', false);
    IO_Update();
    const Case held[] = {{0, 0}, {1, 1}, {'A', 1}, {300, 0}};
    for (const Case& c : held) EXPECT_EQ(IO_KeyboardCheck(c.key), c.expected) << c.key;
}

TEST_F(InputStateTest, KeyMapRedirectsAndDropsOutOfRangeTargets)
{
    IO_SetKeyMap('A', 'Z');
    IO_SetKeyMap('B', 300);
    IO_KeyDown('A', 'A', false);
    IO_KeyDown('B', 'B', false);
    IO_Update();
    EXPECT_EQ(IO_CheckKey('Z'), 1);
    EXPECT_EQ(IO_CheckKey('A'), 0);
    EXPECT_EQ(IO_CheckKey('B'), 0);
    EXPECT_EQ(IO_GetKeyMap(400), 400);
    IO_ResetKeyMap();
    EXPECT_EQ(IO_GetKeyMap('A'), 'A');
}

TEST_F(InputStateTest, ButtonTappedBetweenFramesIsOnlyReleased)
{
    IO_MouseDown(1, 5, 6);
    IO_MouseUp(1, -7, 6);
    EXPECT_EQ(IO_LatchPointerEvents[0].x, -7) << "a release left of the window keeps its negative x";
    EXPECT_EQ(IO_LatchPointerEvents[0].flags, 0u);
    IO_Update();
    EXPECT_EQ(IO_CheckButtonPressed(1, 0), 0) << "the release cancels the pending press";
    EXPECT_EQ(IO_CheckButtonReleased(1, 0), 1);
    EXPECT_EQ(IO_CheckButton(1, 0), 0);
}

TEST_F(InputStateTest, PointerEventsAreSnapshotBeforeTheFrame)
{
    IO_MouseDown(1, 12, 34);
    IO_SnapshotPointerEvents();
    EXPECT_EQ(IO_Input.pointerEvents[0].flags, 0x80000003u);
    EXPECT_EQ(IO_Input.pointerEvents[0].x, 12);
    EXPECT_EQ(IO_Input.pointerEvents[0].y, 34);
    IO_MouseUp(1, 12, 34);
    IO_SnapshotPointerEvents();
    EXPECT_EQ(IO_Input.pointerEvents[0].flags, 0u);
}

TEST_F(InputStateTest, ButtonsWheelAndPositionReachTheFrame)
{
    IO_MouseDown(2, 0, 0);
    int handled = 0;
    IO_WheelUp(0, 0, 0, &handled);
    EXPECT_EQ(handled, 1);
    IO_WindowLatch.mouseX = 40;
    IO_WindowLatch.mouseY = -3;
    IO_Update();
    EXPECT_EQ(IO_CheckButtonPressed(2, 0), 1);
    EXPECT_EQ(IO_CheckButton(2, 0), 1);
    EXPECT_EQ(IO_GetMouseButton(0), 2);
    EXPECT_EQ(IO_CheckWheelUp(0), 1);
    EXPECT_EQ(IO_CheckWheelDown(0), 0);
    EXPECT_EQ(IO_Input.mouseX, 40);
    EXPECT_EQ(IO_Input.deviceY[0], -3);
    IO_Update();
    EXPECT_EQ(IO_CheckWheelUp(0), 0);
    EXPECT_EQ(IO_CheckButton(2, 0), 1) << "held flags follow the latch";
}

TEST_F(InputStateTest, MouseSettersAndGettersCheckTheirRanges)
{
    IO_SetMouseButton(3, 1);
    EXPECT_EQ(IO_GetMouseButton(1), 3);
    for (int bad : {0, 4}) {
        IO_SetMouseButton(bad, 1);
        EXPECT_EQ(IO_GetMouseButton(1), 3) << bad;
    }
    EXPECT_EQ(IO_GetMouseButton(10), 0);
    EXPECT_EQ(IO_CheckButton(4, 0), 0);
    EXPECT_EQ(IO_CheckButton(1, -1), 0);
    IO_SetMouseLastButton(2, 9);
    EXPECT_EQ(IO_GetMouseLastButton(9), 2);
}

TEST_F(InputStateTest, KeyboardStringTakesPrintableUnitsAndBackspace)
{
    const uint16_t units[] = {8, 'h', 9, 13, 'i', 0x00E9, 8, 0x20AC};
    for (uint16_t unit : units) IO_CharInput(unit);
    IO_Update();
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "hi\xE2\x82\xAC");
    EXPECT_EQ(IO_GetLastChar(), 0x20AC);
}

TEST_F(InputStateTest, FullKeyboardStringKeepsTheLatestText)
{
    for (int i = 0; i < 1030; ++i) IO_CharInput(static_cast<uint16_t>('a' + i % 26));
    IO_Update();
    const std::string text = IO_GetKeyboardString();
    ASSERT_EQ(text.size(), 1024u);
    EXPECT_EQ(text.back(), static_cast<char>('a' + 1029 % 26));
    EXPECT_EQ(text.front(), static_cast<char>('a' + 6 % 26));
}

// A character beyond 16 bits arrives as two units (a surrogate pair) and is
// never split: backspace deletes both, a full string drops both.
TEST_F(InputStateTest, SurrogatePairsStayWholeInTheKeyboardString)
{
    const uint16_t emoji[] = {0xD83D, 0xDE00};  // U+1F600
    IO_CharInput('a');
    for (uint16_t unit : emoji) IO_CharInput(unit);
    EXPECT_EQ(IO_Input.keyboardStringLength, 3) << "the length counts UTF-16 units";
    IO_CharInput(8);
    IO_Update();
    EXPECT_EQ(IO_Input.keyboardStringLength, 1);
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "a");

    IO_SetKeyboardString(nullptr);
    for (uint16_t unit : emoji) IO_CharInput(unit);
    for (int i = 0; i < 1022; ++i) IO_CharInput('x');
    IO_CharInput('y');  // full: the pair at the front goes as one
    IO_Update();
    EXPECT_EQ(IO_Input.keyboardStringLength, 1023);
    EXPECT_EQ(std::string(IO_GetKeyboardString()), std::string(1022, 'x') + "y");
    for (uint16_t unit : emoji) IO_CharInput(unit);
    IO_Update();
    EXPECT_EQ(std::string(IO_GetKeyboardString()), std::string(1021, 'x') + "y\xF0\x9F\x98\x80");
}

TEST_F(InputStateTest, SetKeyboardStringKeepsAtMost1024Units)
{
    IO_SetKeyboardString(std::string(2000, 'x').c_str());
    EXPECT_EQ(std::string(IO_GetKeyboardString()), std::string(1024, 'x'));
    IO_SetKeyboardString("A\xC3\xA9\xF0\x9F\x98\x80");  // A, e-acute, an emoji as a surrogate pair
    EXPECT_EQ(IO_Input.keyboardStringLength, 4);
    IO_Update();
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "A\xC3\xA9\xF0\x9F\x98\x80") << "copied to the latch too";
    IO_CharInput('!');
    IO_Update();
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "A\xC3\xA9\xF0\x9F\x98\x80!");
    IO_SetKeyboardString(nullptr);
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "");
}

TEST_F(InputStateTest, LastCharByteIsACharacterCode)
{
    IO_SetLastChar(0xE9);
    EXPECT_EQ(IO_GetLastChar(), 0xE9);
}

TEST_F(InputStateTest, ClearEmptiesBothHalves)
{
    IO_KeyDown('Q', 'Q', false);
    IO_MouseDown(1, 0, 0);
    IO_CharInput('q');
    IO_Update();
    IO_KeyDown('R', 'R', false);
    IO_Clear();
    EXPECT_EQ(IO_CheckKey('Q'), 0);
    IO_Update();
    EXPECT_EQ(IO_CheckKey('Q'), 0);
    EXPECT_EQ(IO_CheckKeyPressed('R'), 0);
    EXPECT_EQ(IO_CheckButton(1, 0), 0);
    EXPECT_EQ(std::string(IO_GetKeyboardString()), "");
}

TEST_F(InputStateTest, ClearKeyAndClearMouseButtonReachTheLatch)
{
    IO_KeyDown('K', 'K', false);
    IO_MouseDown(3, 0, 0);
    IO_Update();
    IO_ClearKey('K');
    IO_ClearMouseButton(3, 0);
    IO_Update();
    EXPECT_EQ(IO_CheckKey('K'), 0);
    EXPECT_EQ(IO_CheckButton(3, 0), 0);
}

}  // namespace

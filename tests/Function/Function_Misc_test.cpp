#include <gtest/gtest.h>

#include <string>

#include "Base/Console.h"
#include "Base/Timing.h"
#include "Code/Code_Function.h"
#include "Function/MiscFunctionFixture.h"
#include "Options/Runner_Options.h"

namespace {
// Collects what a console is given while alive.
struct ConsoleCapture {
    tagIConsole** console;
    tagIConsole* saved;
    TErrStreamConsole stream;
    explicit ConsoleCapture(tagIConsole** which) : console(which), saved(*which) { *console = &stream; }
    ~ConsoleCapture() { *console = saved; }
    std::string Text() const { return stream.Text() ? stream.Text() : ""; }
};

TEST_F(MiscFunctions, TheGroupRegistersInItsOrderWithItsCountsAndFlags)
{
    const struct {
        const char* name;
        int32_t count;
        uint8_t flag;
    } order[] = {
        {"event_inherited", 0, 0},     {"event_perform", 2, 0},        {"event_perform_object", 3, 0},
        {"external_define", -1, 1},    {"external_call", -1, 1},       {"external_free", 1, 1},
        {"external_define0", 3, 1},    {"external_call0", 1, 1},       {"external_define4", 7, 1},
        {"external_define5", 3, 1},    {"external_call8", 9, 1},       {"window_handle", 0, 0},
        {"show_debug_message", 1, 0},  {"alarm_set", 2, 0},            {"variable_instance_get_names", 1, 0},
        {"clipboard_get_text", 0, 0},  {"date_current_datetime", 0, 0}, {"date_create_datetime", 6, 0},
        {"date_get_timezone", 0, 0},   {"game_set_speed", 2, 1},       {"game_get_speed", 1, 1},
    };
    int32_t previous = -1;
    for (const auto& entry : order) {
        int32_t index = -1;
        ASSERT_TRUE(CodeFunction_Find(entry.name, &index)) << entry.name;
        const BuiltinFunction* f = CodeFunction_At(index);
        EXPECT_GT(index, previous) << entry.name;
        EXPECT_EQ(f->argumentCount, entry.count) << entry.name;
        EXPECT_EQ(f->flag, entry.flag) << entry.name;
        previous = index;
    }
    EXPECT_EQ(Num("clipboard_has_text"), 0);
    EXPECT_EQ(Str("clipboard_get_text"), "");
}

TEST_F(MiscFunctions, WithExternalCallsSwitchedOffTheirNamesAreLeftOut)
{
    CodeFunction_FreeAll();
    NoExternalCalls = true;
    InitMiscFunctions(Platform_MiscRoutines());
    NoExternalCalls = false;
    int32_t id = -1;
    EXPECT_FALSE(CodeFunction_Find("external_define", &id));
    EXPECT_FALSE(CodeFunction_Find("external_call8", &id));
    int32_t event = -1;
    int32_t window = -1;
    ASSERT_TRUE(CodeFunction_Find("event_perform_object", &event));
    ASSERT_TRUE(CodeFunction_Find("window_handle", &window));
    EXPECT_EQ(window, event + 1);
}

TEST_F(MiscFunctions, DebugMessagesGoToTheOutputConsoleAsText)
{
    ConsoleCapture output(&OutputConsole);
    Call("show_debug_message", {R(3)});
    Call("show_debug_message", {R(0.5)});
    Call("show_debug_message", {S("%s 100% as is")});
    Call("show_debug_message", {A({1, 2})});
    EXPECT_EQ(output.Text(), "3\n0.50\n%s 100% as is\n{ { 1,2 },  }\n");
}

TEST_F(MiscFunctions, DebugEventsReportMemoryForDumpMemory)
{
    ConsoleCapture log(&LogConsole);
    Call("debug_event", {S("DumpMemoryNow")});
    Call("debug_event", {S("DumpMeX")});
    const std::string two = log.Text();
    Call("debug_event", {S("Dump")});
    Call("debug_event", {S("%s%n")});
    EXPECT_EQ(log.Text(), two) << "no report for other texts";
    size_t reports = 0;
    for (size_t at = two.find("Total memory used = "); at != std::string::npos; at = two.find("Total memory used = ", at + 1))
        ++reports;
    EXPECT_EQ(reports, 2u) << two;
}

TEST_F(MiscFunctions, TheDebugOverlaySwitchTouchesOnlyTheFrameRateLine)
{
    const uint32_t saved = DebugFlags;
    DebugFlags = 0x11;
    Call("show_debug_overlay", {R(1)});
    EXPECT_EQ(DebugFlags, 0x13u);
    Call("show_debug_overlay", {R(0)});
    EXPECT_EQ(DebugFlags, 0x11u);
    DebugFlags = saved;
}

TEST_F(MiscFunctions, GameSpeedInFramesOrMicroseconds)
{
    const FrameTimer saved = GameFrameTimer;
    Call("game_set_speed", {R(30), R(0)});
    EXPECT_EQ(Num("game_get_speed", {R(0)}), 30);
    EXPECT_DOUBLE_EQ(Num("game_get_speed", {R(1)}), 33333.333333333336);
    Call("game_set_speed", {R(16666), R(1)});
    EXPECT_NEAR(Num("game_get_speed", {R(0)}), 60.0024, 1e-4);
    Call("game_set_speed", {R(60), R(2)});
    EXPECT_NEAR(GameFrameTimer.targetRate, 60.0024, 1e-4) << "another unit changes nothing";
    EXPECT_EQ(TakeError(), "");
    Call("game_set_speed", {R(-1), R(0)});
    EXPECT_EQ(TakeError(), "game_set_speed() - game time can't run backwards");
    EXPECT_NEAR(GameFrameTimer.targetRate, 60.0024, 1e-4);
    Call("game_set_speed", {R(0), R(1)});
    EXPECT_EQ(Num("game_get_speed", {R(0)}), 0);
    EXPECT_EQ(Num("game_get_speed", {R(1)}), 0);
    GameFrameTimer = saved;
}
}  // namespace

// The values of the general header and the options chunk reach the code that
// acts on them: games written with the game-data writer, brought up by the
// real start-up, with the settings read back where they are used.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Code/Code_Constant.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_Variable.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Window.h"
#include "Host/Host_Dialog.h"
#include "Host/Host_GPU.h"
#include "IO/IO_Dialog.h"
#include "IO/LoadSave.h"
#include "Options/Runner_Options.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_StartUp.h"
#include "World/Room_Main.h"
#include "support/EnvGuard.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"
#include "support/TestModule.h"

namespace {

// Keeps the caption of every message box.
class CaptionDialog : public HostDialog {
public:
    bool Interactive() const override { return false; }
    int Show(const HostDialogRequest& request) override
    {
        lastTitle = request.title ? request.title : "";
        return request.defaultId;
    }
    void SetClipboardText(const char*) override {}
    std::string lastTitle;
};

struct Settings {
    uint32_t gameId;
    std::optional<std::string> gameName;
    std::optional<std::string> displayName;
    uint32_t infoFlags;
    uint32_t width, height;
    float gameSpeed;
    uint64_t optionFlags;
    std::vector<std::pair<std::string, std::string>> constants;
    // What the users of the values see.
    bool allErrorsFatal;
    bool noExternalCalls;
    int32_t showCursor;
    bool altEnter;
    const char* caption;
    const char* projectName;
    int32_t sleepMargin;
    uint32_t drawColour;
};

void PrintTo(const Settings& s, std::ostream* out)
{
    *out << (s.gameName ? *s.gameName : std::string("a game with default settings"));
}

constexpr uint64_t kShowCursor = 1u << 4, kAltEnter = 1u << 9, kAllErrorsFatal = 1u << 21;

const Settings kCases[] = {
    {0, std::nullopt, std::nullopt, 0, 640, 360, 30.0f, kShowCursor | kAltEnter, {},
     false, false, 1, true, "Quillstep", "", 10, 0},
    {4242, "Star Chase", "Star Chase Deluxe", 0x1000, 320, 200, 50.0f, kAllErrorsFatal,
     {{"@@SleepMargin", "3"}, {"@@DrawColour", "0xFF00FF"}, {"Lives", "9"}},
     true, true, 0, false, "Star Chase Deluxe", "Star Chase", 3, 0xFF00FF},
};

std::vector<uint8_t> WriteGame(const Settings& s, int32_t rooms)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.gameId = s.gameId;
    h.gameName = s.gameName;
    h.displayName = s.displayName;
    h.infoFlags = s.infoFlags;
    h.windowWidth = s.width;
    h.windowHeight = s.height;
    h.gameSpeed = s.gameSpeed;
    for (int32_t i = 0; i < rooms; ++i) h.roomOrder.push_back(i);
    w.Gen8(h);
    gamedata::Options o;
    o.flags = s.optionFlags;
    o.constants = s.constants;
    w.Optn(o);
    w.Room(std::vector<std::optional<gamedata::RoomEntry>>(rooms, gamedata::RoomEntry{}));
    w.Strg();
    return w.Finish();
}

ScriptValue ReadBuiltIn(const char* name)
{
    ScriptValue value = ScriptValue_Undefined();
    const BuiltinVariable* variable = Variable_BuiltIn_At(Variable_BuiltIn_Find(name));
    if (variable) variable->getter(nullptr, ARRAY_INDEX_NONE, &value);
    return value;
}

class GameStartUp : public ::testing::Test {
protected:
    TempFolder folder;
    EnvGuard env;
    CaptionDialog dialog;

    void SetUp() override
    {
        testmodule::Remove();
        env.Set("XDG_DATA_HOME", (folder / "data").c_str());
        Runner_SetSavePrefix("");
        Console_SetStdoutSuppressed(true);
        HeadlessMode.noDialogs = true;
        Host_Dialog_Set(&dialog);
        SleepMargin = 10;
        SleepMarginGiven = false;
        DrawColour = 0;
        FatalErrorShown = AllErrorsFatal = error_occurred = CodeErrorFlag = false;
        NoExternalCalls = false;
    }
    void TearDown() override
    {
        RequestGameEnd();
        Run_EndGame();
        RunnerEndRun();
        RunnerShutdown();
        RunnerReset();
        Runner_SetSavePrefix("");
        Runner_SetGameName("");
        Host_Dialog_Set(nullptr);
        HeadlessMode = HeadlessModeFlags{};
        FatalErrorShown = AllErrorsFatal = error_occurred = CodeErrorFlag = false;
        NoExternalCalls = false;
        SleepMargin = 10;
        FramePacing = true;
        DeviceResetCountdown = 0;
        Console_Reset();
    }
    bool Start(const Settings& s, int32_t rooms = 1)
    {
        const std::string path = folder / "game.win";
        if (!gamedata::WriteFile(path, WriteGame(s, rooms))) return false;
        GameFilePath = static_cast<char*>(QS_ALLOC(path.size() + 1, false));
        std::memcpy(GameFilePath, path.c_str(), path.size() + 1);
        return RunnerInit() && RunnerStartUp();
    }
};

class GameSettingsTest : public GameStartUp, public ::testing::WithParamInterface<Settings> {};

TEST_P(GameSettingsTest, EveryValueReachesItsUser)
{
    const Settings& s = GetParam();
    ASSERT_TRUE(Start(s));

    // The save area is named after the game; without a name there is none.
    EXPECT_EQ(std::string(SavePrePend()),
              s.gameName ? (folder / "data") + "/" + *s.gameName + "/" : std::string());
    ScriptValue id = ReadBuiltIn("game_id");
    EXPECT_EQ(ScriptValue_ToReal(&id), s.gameId);
    ScriptValue project = ReadBuiltIn("game_project_name");
    EXPECT_STREQ(ScriptValue_StringText(&project), s.projectName);
    ScriptValue display = ReadBuiltIn("game_display_name");
    EXPECT_STREQ(ScriptValue_StringText(&display), s.caption);
    ScriptValue_SetUndefined(&project);
    ScriptValue_SetUndefined(&display);
    EXPECT_STREQ(Option_WindowSettings.caption, s.caption);
    ShowMessageBox("hello");
    EXPECT_EQ(dialog.lastTitle, s.caption);

    EXPECT_EQ(Option_WindowSettings.width, static_cast<int>(s.width));
    EXPECT_EQ(Option_WindowSettings.height, static_cast<int>(s.height));
    EXPECT_EQ(NoExternalCalls, s.noExternalCalls);
    EXPECT_DOUBLE_EQ(GameFrameTimer.GetFPS(), s.gameSpeed);

    EXPECT_EQ(Option_WindowSettings.showCursor, s.showCursor);
    EXPECT_EQ(Option_WindowSettings.altEnter, s.altEnter);
    EXPECT_EQ(SleepMargin, s.sleepMargin);
    EXPECT_EQ(DrawColour, s.drawColour);
    EXPECT_EQ(Code_Constant_Get("Lives") != nullptr, !s.constants.empty());

    // A non-fatal error ends the game only when the game asked for it.
    ReportRuntimeError("a small mistake", false);
    EXPECT_TRUE(error_occurred);
    EXPECT_EQ(FatalErrorShown, s.allErrorsFatal);
}

INSTANTIATE_TEST_SUITE_P(Games, GameSettingsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.index == 0 ? "Defaults" : "EveryValueChanged"; });

// After a size change the frame loop waits out the countdown one frame at a
// time; the frame at which the reset is due is not shown, the next one is.
TEST_F(GameStartUp, ResizeCountdownRunsDownOneFramePerStep)
{
    ASSERT_TRUE(Start(kCases[0]));
    FramePacing = false;
    DeviceResetCountdown = 10;
    for (int frame = 1; frame <= 10; ++frame) {
        const uint64_t presents = HGPU_PresentCount();
        Run_Frame();
        EXPECT_EQ(DeviceResetCountdown, frame < 10 ? 10 - frame : 0) << "frame " << frame;
        EXPECT_EQ(HGPU_PresentCount() - presents, frame == 9 ? 0u : 1u) << "frame " << frame;
    }
    ASSERT_EQ(MainLoopRunning, 1);
}

// A quit request handled during start-up (a SIGTERM reaching a slow start)
// is not lost when the main loop is entered.
TEST_F(GameStartUp, AQuitDuringStartUpEndsTheRun)
{
    Runner_DiscardMessages();
    Runner_PostQuit();
    ASSERT_TRUE(Start(kCases[0]));
    EXPECT_TRUE(Runner_QuitRequested());
    EXPECT_EQ(MainLoopRunning, 0);
    Runner_DiscardMessages();
}

// A frame that ends with a request for another room is not shown: the
// switch happens first and the next frame shows the new room.
TEST_F(GameStartUp, AFrameEndingInARoomSwitchIsNotPresented)
{
    ASSERT_TRUE(Start(kCases[0], 2));
    FramePacing = false;
    Run_Frame();
    ASSERT_EQ(room, 0);
    uint64_t presents = HGPU_PresentCount();
    PendingRoomCode = 1;
    Run_Frame();
    EXPECT_EQ(room, 1);
    EXPECT_EQ(HGPU_PresentCount(), presents);
    presents = HGPU_PresentCount();
    Run_Frame();
    EXPECT_EQ(HGPU_PresentCount(), presents + 1);
    ASSERT_EQ(MainLoopRunning, 1);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "Base/Console.h"
#include "Debug/ErrorDialog.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/VM_Main.h"
#include "Host/Host_Dialog.h"
#include "World/Event_Main.h"
#include "World/Object_Main.h"
#include "World/TimeLine_Main.h"
#include "Runner/Run_Room.h"
#include "Options/Runner_Options.h"
#include "support/EngineReset.h"

namespace {
const std::string kHashRule = std::string(92, '#') + "\n";
const std::string kDashRule = std::string(92, '-') + "\n";
constexpr int kNoObject = 99999;  // an index no object table holds

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

int CountOf(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

struct ClipboardRecorder : HeadlessDialog {
    std::string clipboard;
    int copies = 0;
    void SetClipboardText(const char* text) override
    {
        clipboard = text;
        ++copies;
    }
};

std::string OutputPathOfThisTestProcess()
{
    if (!std::getenv("QS_ERROR_REPORT_PID")) setenv("QS_ERROR_REPORT_PID", std::to_string(getpid()).c_str(), 1);
    return ::testing::TempDir() + "qs_error_report_" + std::getenv("QS_ERROR_REPORT_PID") + ".txt";
}

struct ErrorReportTest : ::testing::Test {
    ClipboardRecorder dialog;
    // ctest runs tests in parallel processes: one file per process. A death
    // statement runs in a fresh process that inherits the environment, so it
    // takes the file of the test process that started it.
    std::string outputPath = OutputPathOfThisTestProcess();

    void SetUp() override
    {
        Console_SetStdoutSuppressed(true);
        std::remove(outputPath.c_str());
        Console_SetOutputFile(outputPath.c_str());
        Host_Dialog_Set(&dialog);
    }
    void TearDown() override { std::remove(outputPath.c_str()); }
    std::string Output() const { return ReadFile(outputPath); }
    static std::string ErrorLast() { return ErrorLast_Get() ? ErrorLast_Get() : "<null>"; }
    static std::string DialogLayout(const std::string& body)
    {
        return "\r\n" + std::string(43, '_') + "\r\n" + body;
    }
};

struct ReportCase {
    const char* name;
    int kind, number, object, actionIndex;
    unsigned char shaderStage;
    bool fatal;
    const char* message;
    const char* header;
};

class ReportText : public ErrorReportTest, public ::testing::WithParamInterface<ReportCase> {};
}  // namespace

TEST_P(ReportText, LaysOutContextAndMessage)
{
    const ReportCase& c = GetParam();
    ShowErrorDialogs = false;
    Event_CurrentKind = c.kind;
    Event_CurrentNumber = c.number;
    Event_CurrentObject = c.object;
    ErrorContext = {c.actionIndex, c.shaderStage, "sh_glow"};
    ReportRuntimeError(c.message, c.fatal);
    EXPECT_EQ(ErrorLast(), kHashRule + c.header + "\n" + kHashRule + kDashRule);
}

INSTANTIATE_TEST_SUITE_P(
    Contexts, ReportText,
    ::testing::Values(
        ReportCase{"NoEventNullMessage", 0, 0, -1, 0, 0, false, nullptr,
                   "ERROR in\naction number 1\nof Create Event\nfor object <undefined>:\n\n\n"},
        ReportCase{"FatalInStep", 3, 0, kNoObject, 0, 0, true, "boom",
                   "FATAL ERROR in\naction number 1\nof  Step Event0\nfor object <undefined>:\n\n\nboom"},
        ReportCase{"KeyboardThirdAction", 5, 65, kNoObject, 2, 0, false, "bad key",
                   "ERROR in\naction number 3\nof Keyboard Event for A-key Key\nfor object <undefined>:\n\n\nbad key"},
        ReportCase{"TimelineMoment", EVENT_KIND_TIMELINE, 30, -1, 1, 0, false, "late",
                   "ERROR in\naction number 2\nat time step30\nof time line <undefined>:\n\n\nlate"},
        ReportCase{"VertexShader", EVENT_KIND_SHADER, 0, 0, 0, 0, false, "syntax",
                   "FATAL ERROR in Vertex Shader compilation\n\nShaderName: sh_glow\n\n\nsyntax\n"},
        ReportCase{"FragmentShader", EVENT_KIND_SHADER, 0, 0, 0, 1, true, "syntax",
                   "FATAL ERROR in Fragment Shader compilation\n\nShaderName: sh_glow\n\n\nsyntax\n"}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

TEST_F(ErrorReportTest, CallChainIsListedInnermostFirst)
{
    ShowErrorDialogs = false;
    Event_CurrentKind = 3;
    Event_CurrentObject = kNoObject;
    StackTraceFrame outer("qsc_Object_obj_Player_Step_0", 12);
    StackTraceFrame inner("qsc_Script_scr_move", 4);
    StackTraceFrame builtin("instance_create", -1);
    ReportRuntimeError("oops", false);
    EXPECT_EQ(ErrorLast(), kHashRule +
                               "ERROR in\naction number 1\nof  Step Event0\nfor object <undefined>:\n\n\noops\n" +
                               kHashRule + kDashRule +
                               "called from - instance_create\n"
                               "called from - qsc_Script_scr_move (line 4)\n"
                               "called from - qsc_Object_obj_Player_Step_0 (line 12)\n");
}

TEST_F(ErrorReportTest, InterpreterPositionNamesLineAndAction)
{
    ShowErrorDialogs = false;
    Event_CurrentKind = 0;
    Event_CurrentObject = kNoObject;
    const VMDebugEntry entries[] = {{0, 0}, {8, 8}};
    VMBuffer table;
    table.m_size = sizeof entries;
    table.m_code = reinterpret_cast<const uint32_t*>(entries);
    VMFrame frame{};
    frame.name = "qsc_Object_obj_Player_Create_7";
    frame.debugTable = &table;
    frame.source = "a = 1;\r\nb = c;\r\n";
    frame.position = 16;
    frame.depth = 0;
    frame.codeSize = 20;
    frame.instruction = 12;
    VM_CurrentFrame = &frame;
    ReportRuntimeError("unknown variable c", false);
    EXPECT_EQ(ErrorLast(), kHashRule +
                               "ERROR in\naction number 7\nof Create Event\nfor object <undefined>:\n\n\n"
                               "unknown variable c\n"
                               " at qsc_Object_obj_Player_Create_7 (line 2) - b = c;\n" +
                               kHashRule + kDashRule);

    // Without a debug table only the function is named and the action number stays.
    frame.debugTable = nullptr;
    ReportRuntimeError("again", false);
    EXPECT_EQ(ErrorLast(), kHashRule +
                               "ERROR in\naction number 1\nof Create Event\nfor object <undefined>:\n\n\nagain\n"
                               "at qsc_Object_obj_Player_Create_7\n" +
                               kHashRule + kDashRule);
}

TEST_F(ErrorReportTest, IgnoreKeepsTheGameRunning)
{
    dialog.QueueAnswer(ERRORDIALOG_IGNORE);
    ShowRuntimeError("line one\nline two", false);
    EXPECT_EQ(dialog.ShowCount(), 1);
    EXPECT_EQ(dialog.LastText(), DialogLayout("line one\r\nline two"));
    EXPECT_TRUE(error_occurred);
    EXPECT_EQ(ErrorLast(), "line one\nline two");
    EXPECT_EQ(PendingRoomCode, -1);
    EXPECT_FALSE(FatalErrorShown);
    EXPECT_EQ(Output(), "ERROR!!! :: line one\nline two\n");
}

TEST_F(ErrorReportTest, AbortMakesTheErrorFatalAndLaterErrorsSilent)
{
    dialog.QueueAnswer(ERRORDIALOG_ABORT);
    ShowRuntimeError("first", false);
    EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
    EXPECT_TRUE(FatalErrorShown);

    PendingRoomCode = -1;
    ShowRuntimeError("second", true);
    ReportRuntimeError("third", true);
    EXPECT_EQ(dialog.ShowCount(), 1);
    EXPECT_EQ(ErrorLast(), "first");
    EXPECT_EQ(PendingRoomCode, -1);
    EXPECT_EQ(Output(), "ERROR!!! :: first\n");
}

TEST_F(ErrorReportTest, FatalDialogOffersNoIgnore)
{
    dialog.QueueAnswer(ERRORDIALOG_IGNORE);  // not a button of this dialog: asked again
    ShowRuntimeError("fatal", true);
    EXPECT_EQ(dialog.ShowCount(), 2);  // the second time the default, Abort, ends it
    EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
}

TEST_F(ErrorReportTest, AllErrorsFatalOptionQuits)
{
    AllErrorsFatal = true;
    dialog.QueueAnswer(ERRORDIALOG_IGNORE);
    ShowRuntimeError("minor", false);
    EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
    EXPECT_TRUE(FatalErrorShown);
}

TEST_F(ErrorReportTest, NoDialogWhenHeadlessOrDialogsOff)
{
    for (const bool headless : {true, false}) {
        ForgetErrors();
        HeadlessMode.noDialogs = headless;
        ShowErrorDialogs = headless;  // headless wins even with dialogs on
        ShowRuntimeError(headless ? "headless" : "no dialogs", true);
        EXPECT_EQ(PendingRoomCode, ROOMCODE_QUIT);
        EXPECT_TRUE(error_occurred);
    }
    // Headless, the fatal report is only written out (the host's headless
    // dialog puts it on standard error); with dialogs off nothing is shown.
    EXPECT_EQ(dialog.ShowCount(), 1);
    EXPECT_EQ(dialog.LastText(), "headless");
    EXPECT_EQ(Output(), "ERROR!!! :: headless\nERROR!!! :: no dialogs\n");
}

TEST_F(ErrorReportTest, CopyAndClearKeepTheDialogOpen)
{
    dialog.QueueAnswer(ERRORDIALOG_COPY);
    dialog.QueueAnswer(ERRORDIALOG_CLEAR);
    dialog.QueueAnswer(ERRORDIALOG_COPY);  // nothing left to copy
    dialog.QueueAnswer(ERRORDIALOG_IGNORE);
    EXPECT_FALSE(ErrorDialog_Show("report", true));
    EXPECT_EQ(dialog.ShowCount(), 4);
    EXPECT_EQ(dialog.copies, 1);
    EXPECT_EQ(dialog.clipboard, DialogLayout("report"));
    EXPECT_EQ(dialog.LastText(), " ");
    EXPECT_EQ(ErrorForm.text, nullptr);
}

TEST_F(ErrorReportTest, DialogLayoutOfTabsAndBreaks)
{
    dialog.QueueAnswer(ERRORDIALOG_ABORT);
    EXPECT_TRUE(ErrorDialog_Show("a\tb\n\n\nc\r\nd\n\re\tf", true));
    EXPECT_EQ(dialog.LastText(), DialogLayout("a       b\r\n\r\nc\r\nd\r\ne       f"));
}

TEST_F(ErrorReportTest, DialogTextIsCutToItsBuffer)
{
    const std::string tabs(300, '\t');  // 2100 spaces for a buffer of 2 x 300 + 256
    ErrorDialog_Show(tabs.c_str(), false);
    EXPECT_EQ(dialog.LastText(), DialogLayout(std::string(855 - 47, ' ')));
}

TEST_F(ErrorReportTest, WatchEvaluationOnlyMarksTheError)
{
    WatchEvaluating = true;
    ShowRuntimeError("watch", true);
    EXPECT_TRUE(CodeErrorFlag);
    EXPECT_FALSE(error_occurred);
    EXPECT_EQ(PendingRoomCode, -1);

    CodeErrorFlag = false;
    FatalRuntimeError("fatal in watch %d", 1);  // returns instead of ending the process
    EXPECT_TRUE(CodeErrorFlag);

    CodeErrorFlag = false;
    VMFrame frame{};
    frame.name = "watch";
    frame.debugTable = nullptr;
    frame.source = nullptr;
    frame.position = 8;
    frame.depth = 2;
    frame.codeSize = 40;
    frame.instruction = 4;
    VM_RuntimeError(&frame, "bad operand");
    EXPECT_TRUE(CodeErrorFlag);
    EXPECT_EQ(frame.position, 40);
    EXPECT_EQ(frame.depth, 0);
    EXPECT_EQ(dialog.ShowCount(), 0);
    EXPECT_EQ(Output(), "");
}

TEST_F(ErrorReportTest, ChildGameEndsTheGameInsteadOfExiting)
{
    ChildGame = true;
    HeadlessMode.noDialogs = true;
    const std::string longText(2000, 'x');
    FatalRuntimeError("%s", longText.c_str());
    EXPECT_EQ(PendingRoomCode, ROOMCODE_END);
    EXPECT_TRUE(FatalErrorShown);
    const std::string last = ErrorLast();
    EXPECT_NE(last.find(std::string(1023, 'x') + "\n"), std::string::npos);  // cut to 1023 bytes
    EXPECT_EQ(last.find(std::string(1024, 'x')), std::string::npos);

    FatalErrorShown = false;
    PendingRoomCode = -1;
    VMFrame frame{};
    frame.name = "code";
    frame.debugTable = nullptr;
    frame.source = nullptr;
    frame.position = 0;
    frame.depth = 0;
    frame.codeSize = 4;
    frame.instruction = 0;
    VM_RuntimeError(&frame, "stack underflow");
    EXPECT_EQ(PendingRoomCode, ROOMCODE_END);
    EXPECT_TRUE(CodeErrorFlag);
}

using ErrorReportDeathTest = ErrorReportTest;

TEST_F(ErrorReportDeathTest, FatalRuntimeErrorExitsWithOneAfterWritingTheLog)
{
    HeadlessMode.noDialogs = true;
    EXPECT_EXIT(FatalRuntimeError("bad value %d", 5), ::testing::ExitedWithCode(1), "");
    const std::string out = Output();
    EXPECT_EQ(CountOf(out, "ERROR!!! :: "), 1);
    EXPECT_NE(out.find("FATAL ERROR in\naction number 1\n"), std::string::npos);
    EXPECT_NE(out.find("bad value 5\n"), std::string::npos);
}

TEST_F(ErrorReportDeathTest, InterpreterErrorExitsWithMinusOne)
{
    HeadlessMode.noDialogs = true;
    VMFrame frame{};
    frame.name = "code";
    frame.debugTable = nullptr;
    frame.source = nullptr;
    frame.position = 0;
    frame.depth = 0;
    frame.codeSize = 4;
    frame.instruction = 0;
    VM_CurrentFrame = &frame;
    EXPECT_EXIT(VM_RuntimeError(&frame, "division"), ::testing::ExitedWithCode(255), "");
    EXPECT_NE(Output().find("at code\n"), std::string::npos);
}

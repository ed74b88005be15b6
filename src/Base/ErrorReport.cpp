#include "Base/ErrorReport.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorDialog.h"
#include "Base/ErrorLast_Stub.h"
#include "Base/EventName.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Code/VM_Stub.h"
#include "Graphics/Graphics_DisplayM.h"
#include "IO/IO_Main.h"
#include "Object/Event_Main.h"
#include "Object/Object_Main.h"
#include "Object/TimeLine_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_Options.h"

ErrorContextRecord ErrorContext = {0, 0, nullptr};
bool FatalErrorShown = false;
bool AllErrorsFatal = false;
bool error_occurred = false;
bool WatchEvaluating = false;
bool CodeErrorFlag = false;
bool ChildGame = false;

namespace {
constexpr int kHeaderSize = 32768;
constexpr int kMessageSize = 1024;
constexpr int kRuleLength = 92;
// Stream consoles format through a 16 KB scratch buffer; longer texts go in pieces.
constexpr int kStreamPiece = 16000;

void OutputRule(tagIConsole& console, char c)
{
    char rule[kRuleLength + 1];
    std::memset(rule, c, kRuleLength);
    rule[kRuleLength] = '\0';
    console.Output("%s\n", rule);
}

// Where the interpreter stands, when it runs.
struct InterpreterPosition {
    const VMFrame* frame;
    const char* function;
    bool hasDebugTable;
    int line;
    const char* lineText;
};

InterpreterPosition LocateInterpreter()
{
    InterpreterPosition at{VM_CurrentFrame, nullptr, false, -1, nullptr};
    if (!at.frame) return at;
    at.function = at.frame->name ? at.frame->name : "";
    if (!at.frame->debugTable) return at;
    at.hasDebugTable = true;
    const VMDebugEntry* entry = VM_FindPosEntry(at.frame->debugTable, at.frame->instruction);
    const char* fileName = nullptr;
    at.line = VM_LineFromPos(entry, at.frame->source, &fileName);
    if (fileName) at.function = fileName;
    at.lineText = VM_LineText(entry, at.frame->source);
    return at;
}

// The action number an object event's compiled name carries at its end.
int ActionFromName(const char* name, int fallback)
{
    if (std::strncmp(name, "qsc_Object", 10) != 0) return fallback;
    const char* end = name + std::strlen(name);
    const char* digits = end;
    while (digits > name && digits[-1] >= '0' && digits[-1] <= '9') --digits;
    const long number = std::strtol(digits, nullptr, 10);  // saturates instead of overflowing
    return number > INT32_MAX ? INT32_MAX : static_cast<int>(number);
}

void FormatContextHeader(char* header, bool fatal, int action, const char* message)
{
    const char* prefix = fatal ? "FATAL " : "";
    if (Event_CurrentKind == EVENT_KIND_SHADER) {
        const char* stage = ErrorContext.shaderStage == 0 ? "Vertex" : "Fragment";
        std::snprintf(header, kHeaderSize, "FATAL ERROR in %s Shader compilation\n\nShaderName: %s\n\n\n%s\n", stage,
                      ErrorContext.shaderName ? ErrorContext.shaderName : "", message);
    } else if (Event_CurrentKind == EVENT_KIND_TIMELINE) {
        std::snprintf(header, kHeaderSize, "%sERROR in\naction number %d\nat time step%d\nof time line %s:\n\n\n%s",
                      prefix, action, Event_CurrentNumber, TimeLine_Name(Event_CurrentObject), message);
    } else {
        std::snprintf(header, kHeaderSize, "%sERROR in\naction number %d\nof %s\nfor object %s:\n\n\n%s", prefix,
                      action, Event_GetName(Event_CurrentKind, Event_CurrentNumber),
                      Object_NameOf(Event_CurrentObject), message);
    }
}

void AppendInPieces(tagIConsole& console, const char* text)
{
    for (size_t left = std::strlen(text); left > 0;) {
        const int n = left > kStreamPiece ? kStreamPiece : static_cast<int>(left);
        console.Output("%.*s", n, text);
        text += n;
        left -= static_cast<size_t>(n);
    }
}

[[noreturn]] void ExitAfterFatal(int code)
{
    Console_Flush();
    std::exit(code);
}

// After the report of a fatal error from native or interpreted code: a child
// game ends and returns to its parent, any other game ends the process.
void EndAfterFatal(int exitCode)
{
    if (ChildGame) {
        RequestGameEnd();
        return;
    }
    ExitAfterFatal(exitCode);
}
}  // namespace

void ReportRuntimeError(const char* message, bool fatal)
{
    if (!message) message = "";
    char* header = static_cast<char*>(QS_ALLOC(kHeaderSize, true));

    const InterpreterPosition at = LocateInterpreter();
    int action = ErrorContext.actionIndex + 1;
    if (at.hasDebugTable) action = ActionFromName(at.function, action);

    TErrStreamConsole callStack;
    OutputRule(callStack, '-');
    for (const StackTraceFrame* frame = *CallChainHead; frame; frame = frame->previous) {
        const char* name = frame->name ? frame->name : "";
        if (frame->line < 0)
            callStack.Output("called from - %s\n", name);
        else
            callStack.Output("called from - %s (line %d)\n", name, frame->line);
    }

    FormatContextHeader(header, fatal, action, message);

    TErrStreamConsole report;
    OutputRule(report, '#');
    AppendInPieces(report, header);
    report.Output("\n");
    if (at.frame) {
        if (at.hasDebugTable)
            report.Output(" at %s (line %d) - %s\n", at.function, at.line, at.lineText);
        else
            report.Output("at %s\n", at.function);
    }
    OutputRule(report, '#');
    AppendInPieces(report, callStack.Text());
    QS_FREE(header);

    if (!FatalErrorShown) ShowRuntimeError(report.Text(), fatal);
}

void ShowRuntimeError(const char* text, bool fatal)
{
    if (FatalErrorShown) return;
    // A watch expression only marks the error; the debugger answers for it.
    if (WatchEvaluating) {
        CodeErrorFlag = true;
        return;
    }
    if (!text) text = "";
    if (AllErrorsFatal) fatal = true;
    if (!HeadlessMode.noDialogs) {
        GR_Display_PrepareForDialog();
        if (ShowErrorDialogs && ErrorDialog_Show(text, !fatal)) fatal = true;
    }
    IO_Clear();  // keys pressed in the dialog must not reach the game
    ErrorLast_Set(text);
    OutputConsole->Output("ERROR!!! :: %s\n", text);
    error_occurred = true;
    if (fatal) {
        FatalErrorShown = true;
        PendingRoomCode = ROOMCODE_QUIT;
        Runner_PostQuit();
    }
}

void FatalRuntimeError(const char* format, ...)
{
    if (WatchEvaluating) {
        CodeErrorFlag = true;
        return;
    }
    char message[kMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format ? format : "", args);
    va_end(args);
    ReportRuntimeError(message, true);
    EndAfterFatal(1);
}

void VM_RuntimeError(VMFrame* frame, const char* format, ...)
{
    CodeErrorFlag = true;
    if (WatchEvaluating) {
        // Ends the run: the loop stops at the end of the code.
        if (frame) {
            frame->position = frame->codeSize;
            frame->depth = 0;
        }
        return;
    }
    char message[kMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format ? format : "", args);
    va_end(args);
    ReportRuntimeError(message, true);
    EndAfterFatal(-1);
}

#include "Base/ErrorReport.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/MemoryManager.h"
#include "Base/ProcessEnd.h"

ErrorContextRecord ErrorContext = {0, 0, nullptr};
bool FatalErrorShown = false;
bool AllErrorsFatal = false;
bool error_occurred = false;
bool WatchEvaluating = false;
bool CodeErrorFlag = false;
bool ChildGame = false;
namespace {
void NoPosition(ErrorInterpreterPosition*) {}
void NoEvent(ErrorEventNames*) {}
void NoCallChain(void (*)(void*, const char*, int), void*) {}
bool NoDialog(const char*, bool fatal) { return fatal; }
void Nothing() {}
constexpr ErrorReportHooks kNoHooks = {NoPosition, NoEvent, NoCallChain, NoDialog, Nothing, Nothing, Nothing};
ErrorReportHooks s_hooks = kNoHooks;
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

ErrorInterpreterPosition LocateInterpreter()
{
    ErrorInterpreterPosition at{false, nullptr, false, -1, nullptr};
    s_hooks.locateInterpreter(&at);
    return at;
}

ErrorEventNames CurrentEvent()
{
    ErrorEventNames names{0, 0, "", ""};
    s_hooks.currentEvent(&names);
    if (!names.event) names.event = "";
    if (!names.owner) names.owner = "";
    return names;
}

void OutputCallFrame(void* data, const char* name, int line)
{
    auto* console = static_cast<TErrStreamConsole*>(data);
    if (!name) name = "";
    if (line < 0)
        console->Output("called from - %s\n", name);
    else
        console->Output("called from - %s (line %d)\n", name, line);
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
    const ErrorEventNames event = CurrentEvent();
    if (event.kind == EVENT_KIND_SHADER) {
        const char* stage = ErrorContext.shaderStage == 0 ? "Vertex" : "Fragment";
        std::snprintf(header, kHeaderSize, "FATAL ERROR in %s Shader compilation\n\nShaderName: %s\n\n\n%s\n", stage,
                      ErrorContext.shaderName ? ErrorContext.shaderName : "", message);
    } else if (event.kind == EVENT_KIND_TIMELINE) {
        std::snprintf(header, kHeaderSize, "%sERROR in\naction number %d\nat time step%d\nof time line %s:\n\n\n%s",
                      prefix, action, event.number, event.owner, message);
    } else {
        std::snprintf(header, kHeaderSize, "%sERROR in\naction number %d\nof %s\nfor object %s:\n\n\n%s", prefix,
                      action, event.event, event.owner, message);
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

}  // namespace

void ErrorReport_EndAfterFatal(int exitCode)
{
    if (ChildGame) {
        s_hooks.endGame();
        return;
    }
    Process_End(exitCode);
}

void ReportRuntimeError(const char* message, bool fatal)
{
    if (!message) message = "";
    char* header = static_cast<char*>(QS_ALLOC(kHeaderSize, true));

    const ErrorInterpreterPosition at = LocateInterpreter();
    int action = ErrorContext.actionIndex + 1;
    if (at.hasDebugTable) action = ActionFromName(at.function, action);

    TErrStreamConsole callStack;
    OutputRule(callStack, '-');
    s_hooks.walkCallChain(OutputCallFrame, &callStack);

    FormatContextHeader(header, fatal, action, message);

    TErrStreamConsole report;
    OutputRule(report, '#');
    AppendInPieces(report, header);
    report.Output("\n");
    if (at.running) {
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
    fatal = s_hooks.showDialog(text, fatal);
    s_hooks.clearInput();
    ErrorLast_Set(text);
    OutputConsole->Output("ERROR!!! :: %s\n", text);
    error_occurred = true;
    if (fatal) {
        FatalErrorShown = true;
        s_hooks.quitGame();
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
    ErrorReport_EndAfterFatal(1);
}

ErrorReportHooks ErrorReport_SetHooks(const ErrorReportHooks& hooks)
{
    const ErrorReportHooks previous = s_hooks;
    s_hooks = hooks;
    if (!s_hooks.locateInterpreter) s_hooks.locateInterpreter = kNoHooks.locateInterpreter;
    if (!s_hooks.currentEvent) s_hooks.currentEvent = kNoHooks.currentEvent;
    if (!s_hooks.walkCallChain) s_hooks.walkCallChain = kNoHooks.walkCallChain;
    if (!s_hooks.showDialog) s_hooks.showDialog = kNoHooks.showDialog;
    if (!s_hooks.clearInput) s_hooks.clearInput = kNoHooks.clearInput;
    if (!s_hooks.quitGame) s_hooks.quitGame = kNoHooks.quitGame;
    if (!s_hooks.endGame) s_hooks.endGame = kNoHooks.endGame;
    return previous;
}

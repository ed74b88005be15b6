#include "Host/Host_Crash.h"

#include <csignal>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace {
Host_CrashHandler s_onFault = nullptr;
Host_CrashHandler s_onAbort = nullptr;

// Big enough for the handler's formatting; a stack overflow leaves the normal
// stack unusable, so the handlers run here.
alignas(16) char s_alternateStack[64 * 1024];

void Dispatch(int signalNumber)
{
    Host_CrashHandler handler = signalNumber == SIGABRT ? s_onAbort : s_onFault;
    if (handler) handler(signalNumber);
    _exit(1);
}

void Install(int signalNumber)
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = Dispatch;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
}
}  // namespace

void Host_InstallCrashHandlers(Host_CrashHandler onFault, Host_CrashHandler onAbort)
{
    s_onFault = onFault;
    s_onAbort = onAbort;
    stack_t stack;
    std::memset(&stack, 0, sizeof stack);
    stack.ss_sp = s_alternateStack;
    stack.ss_size = sizeof s_alternateStack;
    sigaltstack(&stack, nullptr);
    for (int signalNumber : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) Install(signalNumber);
}

void Host_ExitImmediately(int code) { _exit(code); }

void Host_WriteStdoutRaw(const char* text)
{
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = write(STDOUT_FILENO, text, left);
        if (n <= 0) return;
        text += n;
        left -= static_cast<size_t>(n);
    }
}

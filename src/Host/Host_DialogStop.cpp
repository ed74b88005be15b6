#include "Host/Host_DialogStop.h"

#include "Host/Host_Window.h"

#include <SDL.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

namespace {
// Written by the signal handler; the rest only while no signal can come in
// between (the handlers are ours only while a scope is open).
volatile sig_atomic_t s_open = 0;
volatile sig_atomic_t s_request = 0;  // the signal that asked to end, 0 for none
volatile sig_atomic_t s_child = 0;
bool s_stopped = false;
pid_t s_runner = 0;
// A forked child writes its id here: SDL does not tell it.
int s_childIds[2] = {-1, -1};
struct sigaction s_previousTerm, s_previousInt;

void OnRequestToEnd(int signalNumber)
{
    s_request = signalNumber;
    pid_t child = 0;
    while (read(s_childIds[0], &child, sizeof child) == static_cast<ssize_t>(sizeof child)) s_child = child;
    if (s_child > 0) kill(static_cast<pid_t>(s_child), SIGKILL);
}

// Runs in every child forked while a scope is open.
void InForkedChild()
{
    if (!s_open) return;
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The runner may have gone, or been asked to, before the death signal was set.
    if (getppid() != s_runner || s_request) _exit(1);
    const pid_t self = getpid();
    if (write(s_childIds[1], &self, sizeof self) != static_cast<ssize_t>(sizeof self)) _exit(1);
}
}  // namespace

HostDialogStopScope::HostDialogStopScope()
{
    static const bool registered = pthread_atfork(nullptr, nullptr, InForkedChild) == 0;
    (void)registered;
    s_runner = getpid();
    s_child = 0;
    s_request = 0;
    if (pipe2(s_childIds, O_CLOEXEC | O_NONBLOCK) != 0) s_childIds[0] = s_childIds[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnRequestToEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &s_previousTerm);
    sigaction(SIGINT, &action, &s_previousInt);
    s_open = 1;
}

HostDialogStopScope::~HostDialogStopScope()
{
    s_open = 0;
    sigaction(SIGTERM, &s_previousTerm, nullptr);
    sigaction(SIGINT, &s_previousInt, nullptr);
    for (int& end : s_childIds) {
        if (end >= 0) close(end);
        end = -1;
    }
    s_child = 0;
    const bool requested = s_request != 0;
    s_request = 0;
    if (!requested) return;
    s_stopped = true;
    HostWindow_PostQuitMessage();
}

void HostDialogStopScope::SetChild(pid_t child)
{
    s_child = child;
    if (s_request && child > 0) kill(child, SIGKILL);  // the request came while it started
}

bool HostDialogStopScope::Stopped()
{
    if (s_stopped) return true;
    // A request that came before the dialog: SDL has made it a quit that nobody has taken yet.
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
    SDL_PumpEvents();
    return SDL_HasEvent(SDL_QUIT) == SDL_TRUE;
}

#include "Host/Host_Process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace {
// The child's id, or -1 when it could not start.
pid_t Spawn(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments[0].empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    return posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? child : -1;
}

bool Ended(pid_t child)
{
    int status = 0;
    pid_t done;
    while ((done = waitpid(child, &status, WNOHANG)) < 0 && errno == EINTR) {}
    return done != 0;  // ended, or no longer ours to wait for
}

// A program left running is reaped by a thread of its own when it ends.
void ReapLater(pid_t child)
{
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
}
}  // namespace

bool Host_StartProgram(const std::vector<std::string>& arguments, bool wait, void (*pump)())
{
    const pid_t child = Spawn(arguments);
    if (child < 0) return false;
    if (!wait) {
        ReapLater(child);
        return true;
    }
    while (!Ended(child)) {
        if (pump) pump();
        usleep(50 * 1000);
    }
    return true;
}

bool Host_OpenWithShell(const char* program, const char* arguments)
{
    if (!program || !program[0]) return false;
    struct stat st;
    const bool document = std::strstr(program, "://") ||
                          (stat(program, &st) == 0 && S_ISREG(st.st_mode) && access(program, X_OK) != 0);
    if (document) return Host_StartProgram({"xdg-open", program}, false, nullptr);
    // "$0" keeps a program path with spaces whole.
    std::string script = "\"$0\"";
    if (arguments && arguments[0]) script.append(" ").append(arguments);
    return Host_StartProgram({"/bin/sh", "-c", script, program}, false, nullptr);
}

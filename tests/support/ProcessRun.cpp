#include "support/ProcessRun.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;

bool FileHolds(const std::string& path, const std::string& text)
{
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::stringstream s;
    s << f.rdbuf();
    return s.str().find(text) != std::string::npos;
}
}  // namespace

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> ProcessRun::Lines() const
{
    std::vector<std::string> lines;
    std::stringstream s(output);
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
}

std::string ProcessRun::Describe() const
{
    std::ostringstream s;
    if (timedOut) s << "killed at the time limit after " << seconds << " s";
    else if (reached) s << "awaited text seen after " << seconds << " s";
    else s << "exit code " << exitCode << " after " << seconds << " s";
    s << "; output:\n" << output;
    return s.str();
}

ProcessRun RunProcess(const std::string& command, const ProcessWait& wait)
{
    ProcessRun run;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (wait.mergeStderr) posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    else posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // A group of its own: the shell and what it starts are killed together.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, "/bin/sh", &actions, &attributes, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        run.output = "cannot start /bin/sh: " + std::string(std::strerror(spawned));
        return run;
    }

    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + std::chrono::duration_cast<Clock::duration>(
                                                   std::chrono::duration<double>(wait.ceilingSeconds));
    bool open = true;
    int status = 0;
    bool ended = false;
    while (true) {
        if (open) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                char buffer[4096];
                const ssize_t n = read(fds[0], buffer, sizeof buffer);
                if (n > 0) run.output.append(buffer, static_cast<size_t>(n));
                else if (n == 0 || errno != EINTR) open = false;
            }
        } else {
            usleep(20 * 1000);
        }
        if (!ended && waitpid(pid, &status, WNOHANG) == pid) ended = true;
        if (!wait.text.empty() && !run.reached) {
            run.reached = wait.awaitFile.empty() ? run.output.find(wait.text) != std::string::npos
                                                 : FileHolds(wait.awaitFile, wait.text);
        }
        if (run.reached || (ended && !open)) break;
        if (Clock::now() >= deadline) {
            run.timedOut = true;
            break;
        }
    }
    if (!ended) {
        kill(-pid, SIGKILL);
        waitpid(pid, &status, 0);
    } else if (run.reached || run.timedOut) {
        kill(-pid, SIGKILL);  // what the shell left running
    }
    close(fds[0]);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (ended && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    return run;
}

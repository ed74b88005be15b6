#pragma once
// Runs a command (through /bin/sh) as a process of its own with a time limit:
// its standard output and standard error are gathered, and the run ends when
// the process ends, when an awaited text shows up (the process is then
// killed), or at the ceiling (killed too, and reported). Every process a
// test starts goes through here, so that no test can wait for ever.
#include <string>
#include <vector>

struct ProcessRun {
    int exitCode = -1;      // the process's exit code; -1 when a signal or the run ended it
    bool reached = false;   // the awaited text showed up
    bool timedOut = false;  // the ceiling ended it
    double seconds = 0;     // how long it ran
    std::string output;     // standard output, then standard error unless merged

    std::vector<std::string> Lines() const;  // the output line by line
    std::string Describe() const;            // how it ended, and its output, for failure messages
};

struct ProcessWait {
    // Ends the run once this text is in the output or, when awaitFile is
    // set, in that file; empty: wait for the process to end.
    std::string text;
    std::string awaitFile;
    // Far above what any run needs on a loaded two-core machine under the
    // sanitizers: reaching it means a hang.
    double ceilingSeconds = 120;
    bool mergeStderr = true;  // false: standard error is dropped
};

ProcessRun RunProcess(const std::string& command, const ProcessWait& wait = {});

// The text quoted for /bin/sh.
std::string ShellQuote(const std::string& text);

#pragma once
// A modal dialog runs in a child process (SDL forks one for a message box;
// text and file dialogs are zenity) while the runner waits for it. A request
// to end the runner (SIGTERM, SIGINT) must not wait for a person: while a
// scope is open, such a request kills the dialog's child, and when the scope
// closes a quit is posted, so the run ends as a closed window ends it (a game
// that failed to load still ends with its error). Dialogs asked for after
// that, or while such a request waits to be taken, are not shown. A child
// forked for the dialog also dies with the runner, however the runner ends.
#include <sys/types.h>

class HostDialogStopScope {
public:
    HostDialogStopScope();
    ~HostDialogStopScope();
    HostDialogStopScope(const HostDialogStopScope&) = delete;
    HostDialogStopScope& operator=(const HostDialogStopScope&) = delete;

    // A child started for the dialog other than by fork.
    void SetChild(pid_t child);
    // Whether the runner is asked to end: a request came while a dialog was
    // open, or one has come and not been taken yet.
    static bool Stopped();
};

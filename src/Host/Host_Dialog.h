#pragma once
// Modal dialogs of the host: a message with buttons whose choice comes back.
// On a desktop they are SDL message boxes; without a display, or with
// -headless, the text goes to standard error and a scripted or default
// answer comes back at once, so nothing ever blocks.
#include <deque>
#include <string>

enum HostDialogIcon { HOSTDIALOG_INFO, HOSTDIALOG_WARNING, HOSTDIALOG_ERROR };

struct HostDialogButton {
    int id;
    const char* text;
};

struct HostDialogRequest {
    const char* title;
    const char* text;
    HostDialogIcon icon;
    const HostDialogButton* buttons;
    int buttonCount;
    int defaultId;  // the answer when nobody can be asked
};

class HostDialog {
public:
    virtual ~HostDialog() = default;
    // True when a person answers (a window is shown); false for scripted answers.
    virtual bool Interactive() const = 0;
    // Shows the request and returns the id of the chosen button, or -1 when
    // the dialog was closed without one.
    virtual int Show(const HostDialogRequest& request) = 0;
    virtual void SetClipboardText(const char* text) = 0;
};

// Writes every request to standard error and answers from its script, then
// with the request's default. Keeps the last text shown for inspection.
class HeadlessDialog : public HostDialog {
public:
    bool Interactive() const override { return false; }
    int Show(const HostDialogRequest& request) override;
    void SetClipboardText(const char*) override {}

    void QueueAnswer(int id) { m_answers.push_back(id); }
    void ClearAnswers() { m_answers.clear(); }
    const std::string& LastText() const { return m_lastText; }
    int ShowCount() const { return m_showCount; }
    void ResetRecord() { m_lastText.clear(); m_showCount = 0; }

private:
    std::deque<int> m_answers;
    std::string m_lastText;
    int m_showCount = 0;
};

// SDL message boxes and the SDL clipboard.
class SdlDialog : public HostDialog {
public:
    bool Interactive() const override { return true; }
    int Show(const HostDialogRequest& request) override;
    void SetClipboardText(const char* text) override;
};

// True when a desktop display can be reached (not SDL's dummy or offscreen drivers).
bool Host_HasDisplay();
// The dialog in use: the one set with Host_Dialog_Set, else SDL on a desktop,
// else the process's headless dialog (also always with -headless).
HostDialog& Host_Dialog_Get();
// The flag that, while set, keeps dialogs off the desktop (-headless); the
// runner's options register theirs.
void Host_Dialog_SetSuppressFlag(const bool* noDialogs);
// Overrides the choice (tests, scripted runs); null restores it.
void Host_Dialog_Set(HostDialog* dialog);
HeadlessDialog& Host_HeadlessDialog();

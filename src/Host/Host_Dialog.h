#pragma once
// Modal dialogs of the host: a message with buttons whose choice comes back,
// a line of text, a user name and password, and a file to open or save. On a
// desktop messages are SDL message boxes and the others come from zenity when
// it is installed; without a display, without zenity, or with -headless, the
// text goes to standard error and a scripted or default answer comes back at
// once, so nothing ever blocks.
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

// The answer of a text, login or file dialog: confirmed or cancelled, with
// the text (the user name of a login, the path of a file) and the password.
struct HostDialogAnswer {
    bool ok;
    std::string text;
    std::string password;
};

// A file dialog: filter pairs "description|pattern|..." with patterns
// separated by ';' (null: none).
struct HostFileRequest {
    bool save;
    const char* title;
    const char* filter;
    const char* fileName;
    const char* directory;
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
    // The answers when nobody can be asked: a line of text comes back as its
    // default, a login with the user name and password given, and a file
    // dialog is cancelled.
    virtual HostDialogAnswer AskText(const char* title, const char* prompt, const char* defaultText);
    virtual HostDialogAnswer AskLogin(const char* title, const char* user, const char* password);
    virtual HostDialogAnswer AskFile(const HostFileRequest& request);
};

// Writes every request to standard error and answers from its script, then
// with the request's default. Buttons and texts are scripted separately, each
// in order. Keeps the last text shown for inspection.
class HeadlessDialog : public HostDialog {
public:
    bool Interactive() const override { return false; }
    int Show(const HostDialogRequest& request) override;
    void SetClipboardText(const char*) override {}
    HostDialogAnswer AskText(const char* title, const char* prompt, const char* defaultText) override;
    HostDialogAnswer AskLogin(const char* title, const char* user, const char* password) override;
    HostDialogAnswer AskFile(const HostFileRequest& request) override;

    void QueueAnswer(int id) { m_answers.push_back(id); }
    void QueueText(bool ok, const char* text, const char* password = "")
    {
        m_texts.push_back(HostDialogAnswer{ok, text ? text : "", password ? password : ""});
    }
    void ClearAnswers() { m_answers.clear(); m_texts.clear(); }
    const std::string& LastText() const { return m_lastText; }
    int ShowCount() const { return m_showCount; }
    void ResetRecord() { m_lastText.clear(); m_showCount = 0; }

private:
    void Record(const char* title, const char* text);
    bool TakeText(HostDialogAnswer* out);

    std::deque<int> m_answers;
    std::deque<HostDialogAnswer> m_texts;
    std::string m_lastText;
    int m_showCount = 0;
};

// SDL message boxes and the SDL clipboard; zenity for the other dialogs, or
// the headless answers when it is not installed.
class SdlDialog : public HostDialog {
public:
    bool Interactive() const override { return true; }
    int Show(const HostDialogRequest& request) override;
    void SetClipboardText(const char* text) override;
    HostDialogAnswer AskText(const char* title, const char* prompt, const char* defaultText) override;
    HostDialogAnswer AskLogin(const char* title, const char* user, const char* password) override;
    HostDialogAnswer AskFile(const HostFileRequest& request) override;
};

// True when a desktop display can be reached (not SDL's dummy or offscreen drivers).
bool Host_HasDisplay();
// The dialog in use: the one set with Host_Dialog_Set, else SDL on a desktop,
// else the process's headless dialog (also always with -headless).
HostDialog& Host_Dialog_Get();
// The flag that, while set, keeps dialogs off the desktop (-headless); set
// by Runner_InstallHooks, until then (and for null) dialogs may show.
void Host_Dialog_SetSuppressFlag(const bool* noDialogs);
// Overrides the choice (tests, scripted runs); null restores it.
void Host_Dialog_Set(HostDialog* dialog);
HeadlessDialog& Host_HeadlessDialog();

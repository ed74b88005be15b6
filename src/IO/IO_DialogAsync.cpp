// Asynchronous dialogs: requests queue up and are shown one at a time,
// oldest first; the asynchronous step hands the answered one's result to the
// game and opens the next.
#include <deque>
#include <string>

#include "Host/Host_Dialog.h"
#include "IO/IO_Async.h"
#include "IO/IO_Dialog.h"

namespace {
enum DialogKind { DIALOG_INPUT = 0, DIALOG_QUESTION = 1, DIALOG_MESSAGE = 2, DIALOG_LOGIN = 3 };

struct DialogRequest {
    int id;
    DialogKind kind;
    std::string caption, text, defaultText;
    bool complete = false;
    int status = 0;
    std::string result, password;
};

std::deque<DialogRequest> g_Queue;  // oldest first

// Shows the oldest request; the host answers before it returns.
void OpenOldest()
{
    if (g_Queue.empty() || g_Queue.front().complete) return;
    DialogRequest& r = g_Queue.front();
    HostDialog& dialog = Host_Dialog_Get();
    switch (r.kind) {
    case DIALOG_INPUT: {
        const HostDialogAnswer answer = dialog.AskText(r.caption.c_str(), r.text.c_str(), r.defaultText.c_str());
        r.status = answer.ok ? 1 : 0;
        r.result = answer.ok ? answer.text : std::string();
        break;
    }
    case DIALOG_QUESTION: {
        static const HostDialogButton kYesNo[] = {{1, "Yes"}, {0, "No"}};
        r.status = dialog.Show(HostDialogRequest{r.caption.c_str(), r.text.c_str(), HOSTDIALOG_INFO, kYesNo, 2, 1}) == 1;
        r.result = r.status ? "1" : "";
        break;
    }
    case DIALOG_MESSAGE: {
        static const HostDialogButton kOk[] = {{1, "OK"}};
        dialog.Show(HostDialogRequest{r.caption.c_str(), r.text.c_str(), HOSTDIALOG_INFO, kOk, 1, 1});
        r.status = 1;
        r.result = "OK";
        break;
    }
    case DIALOG_LOGIN: {
        const HostDialogAnswer answer = dialog.AskLogin("Login", r.text.c_str(), r.defaultText.c_str());
        if (answer.ok) {
            r.result = answer.text;
            r.password = answer.password;
        }
        // An empty user name counts as cancelled; the password is reported all the same.
        r.status = answer.ok && !answer.text.empty() ? static_cast<int>(answer.text.size()) + 1 : 0;
        break;
    }
    }
    r.complete = true;
}

int Queue(DialogKind kind, const char* caption, const char* text, const char* defaultText)
{
    IO_PrepareForDialog();
    DialogRequest request;
    request.id = IO_TakeAsyncId();
    request.kind = kind;
    request.caption = caption ? caption : "";
    request.text = text ? text : "";
    request.defaultText = defaultText ? defaultText : "";
    g_Queue.push_back(request);
    if (g_Queue.size() == 1) OpenOldest();
    return request.id;
}

std::vector<IO_AsyncPair> ResultPairs(const DialogRequest& r)
{
    switch (r.kind) {
    case DIALOG_INPUT:
        return {IO_AsyncNumber("id", r.id), IO_AsyncText("result", r.result.c_str()),
                IO_AsyncNumber("value", Dialog_TextValue(r.result.c_str())), IO_AsyncNumber("status", r.status)};
    case DIALOG_QUESTION:
        return {IO_AsyncNumber("id", r.id), IO_AsyncText("result", r.result.c_str()),
                IO_AsyncNumber("value", r.status), IO_AsyncNumber("status", r.status)};
    case DIALOG_MESSAGE: return {IO_AsyncNumber("id", r.id), IO_AsyncNumber("status", 1)};
    case DIALOG_LOGIN:
        return {IO_AsyncNumber("id", r.id), IO_AsyncText("username", r.result.c_str()),
                IO_AsyncText("password", r.password.c_str()), IO_AsyncNumber("status", r.status)};
    }
    return {};
}
}  // namespace

int InputQuery_InputAsync(const char* caption, const char* prompt, const char* defaultText)
{
    return Queue(DIALOG_INPUT, caption, prompt, defaultText);
}

int InputQuery_QuestionAsync(const char* caption, const char* text)
{
    return Queue(DIALOG_QUESTION, caption, text, nullptr);
}

int InputQuery_MessageAsync(const char* caption, const char* text)
{
    return Queue(DIALOG_MESSAGE, caption, text, nullptr);
}

int InputQuery_LoginAsync(const char* user, const char* password)
{
    return Queue(DIALOG_LOGIN, "Login", user, password);
}

void InputQuery_ProcessAsync()
{
    if (g_Queue.empty() || !g_Queue.front().complete) return;
    IO_PostAsync(IO_ASYNC_DIALOG, ResultPairs(g_Queue.front()));
    g_Queue.pop_front();
    OpenOldest();
}

void InputQuery_Reset()
{
    g_Queue.clear();
}

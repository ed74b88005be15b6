#include "Base/ErrorDialog.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "Debug/Debug_Stub.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Host/Host_Dialog.h"
#include "Host/Host_Time.h"
#include "Runner/Runner_Entry.h"

ErrorFormRecord ErrorForm = {nullptr, false};

namespace {
// A fixed-size text that cuts whatever does not fit.
struct CappedText {
    char* data;
    size_t capacity;
    size_t length;

    void Append(const char* text, size_t n)
    {
        if (length + n >= capacity) n = capacity - 1 - length;
        std::memcpy(data + length, text, n);
        length += n;
        data[length] = '\0';
    }
    void Append(const char* text) { Append(text, std::strlen(text)); }
};

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

void SettleWindow()
{
    for (int i = 0; i < 2; ++i) {
        HostTime_Wait(100 * 1000);
        DispatchPendingMessages();
    }
}
}  // namespace

int ErrorDialog_Run()
{
    HostDialog& dialog = Host_Dialog_Get();
    // Lets the game window finish what it was doing before a window covers it.
    if (dialog.Interactive()) SettleWindow();

    HostDialogButton buttons[4];
    int count = 0;
    buttons[count++] = {ERRORDIALOG_ABORT, "Abort"};
    if (ErrorForm.showIgnore) buttons[count++] = {ERRORDIALOG_IGNORE, "Ignore"};
    buttons[count++] = {ERRORDIALOG_COPY, "Copy"};
    buttons[count++] = {ERRORDIALOG_CLEAR, "Clear"};
    const int defaultId = ErrorForm.showIgnore ? ERRORDIALOG_IGNORE : ERRORDIALOG_ABORT;

    // Copy and Clear keep the dialog open; only Abort and Ignore end it.
    for (;;) {
        const HostDialogRequest request{"Code Error", ErrorForm.text ? ErrorForm.text : " ",
                                        HOSTDIALOG_ERROR, buttons, count, defaultId};
        switch (dialog.Show(request)) {
        case ERRORDIALOG_ABORT:
            return 1;
        case ERRORDIALOG_IGNORE:
            if (ErrorForm.showIgnore) return 0;
            break;
        case ERRORDIALOG_COPY:
            if (ErrorForm.text) dialog.SetClipboardText(ErrorForm.text);
            break;
        case ERRORDIALOG_CLEAR:
            ErrorForm.text = nullptr;
            break;
        default:
            break;  // closed without a button: the dialog has no close box, show it again
        }
    }
}

bool ErrorDialog_Show(const char* text, bool showIgnore)
{
    GR_Display_PrepareForDialog();
    if (!text) text = "";
    const size_t length = std::strlen(text);
    const size_t size = 2 * length + 256;
    CappedText output{static_cast<char*>(QS_ALLOC(size, false)), size, 0};
    CappedText line{static_cast<char*>(QS_ALLOC(size, false)), size, 0};
    output.data[0] = line.data[0] = '\0';

    output.Append("\r\n");
    for (int i = 0; i < 43; ++i) output.Append("_", 1);
    output.Append("\r\n");
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == '\t') {
            line.Append("       ");
        } else if (IsLineBreak(c)) {
            output.Append(line.data, line.length);
            output.Append("\r\n");
            line.length = 0;
            line.data[0] = '\0';
            // "\r\n", "\n\r" and "\n\n" each make one break.
            if (i + 1 < length && IsLineBreak(text[i + 1])) ++i;
        } else {
            line.Append(&c, 1);
        }
    }
    output.Append(line.data, line.length);

    ErrorForm.text = output.data;
    ErrorForm.showIgnore = showIgnore;
    bool abort = false;
    if (Debug_IsConnected()) {
        // The debugger shows the error; the game waits in its paused loop meanwhile.
        Debug_PendingErrorText = output.data;
        Debug_PausedLoop();
        Debug_PendingErrorText = nullptr;
    } else {
        abort = ErrorDialog_Run() == 1;
    }
    ErrorForm.text = nullptr;
    QS_FREE(line.data);
    QS_FREE(output.data);
    return abort;
}

#include "IO/IO_Dialog.h"

#include "Base/Console.h"
#include "GameData/GameHeader.h"
#include "Host/Host_Dialog.h"

int ShowMessageBox(const char* text)
{
    if (!text) text = "";
    LogConsole->Output("%s\n", text);
    static const HostDialogButton kOk[] = {{1, "OK"}};
    const HostDialogRequest request{GameGeneral_DisplayName(), text, HOSTDIALOG_INFO, kOk, 1, 1};
    Host_Dialog_Get().Show(request);
    return 1;
}

#include "IO/IO_Dialog.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "GameData/GameHeader.h"
#include "Host/Host_Dialog.h"

namespace {
void Nothing() {}
void (*s_prepareForDialog)() = Nothing;
}  // namespace

void IO_SetPrepareForDialogHook(void (*prepare)()) { s_prepareForDialog = prepare ? prepare : Nothing; }
void IO_PrepareForDialog() { s_prepareForDialog(); }

namespace {
// The extension of the filter's first pattern: after the first '.' that
// follows the first '|', up to the next '|' (or ';' between patterns).
std::string DefaultExtension(const char* filter)
{
    if (!filter) return {};
    const char* bar = std::strchr(filter, '|');
    if (!bar) return {};
    const char* dot = std::strchr(bar + 1, '.');
    if (!dot) return {};
    std::string extension;
    for (const char* p = dot + 1; *p && *p != '|' && *p != ';'; ++p) extension += *p;
    // "*.*" names no extension.
    return extension.find_first_of("*?") == std::string::npos ? extension : std::string();
}

bool HasExtension(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}
}  // namespace

int ShowMessageBox(const char* text) { return ShowMessageBoxCaptioned(GameGeneral_DisplayName(), text); }

int ShowMessageBoxCaptioned(const char* caption, const char* text)
{
    if (!text) text = "";
    LogConsole->Output("%s\n", text);
    IO_PrepareForDialog();
    static const HostDialogButton kOk[] = {{1, "OK"}};
    const HostDialogRequest request{caption, text, HOSTDIALOG_INFO, kOk, 1, 1};
    Host_Dialog_Get().Show(request);
    return 1;
}

char* AskForGameFile()
{
    const std::string path = Dialog_GetOpenFilename("Game data|*.win|All files|*", "", "", "Choose a game");
    if (path.empty()) return nullptr;
    char* copy = static_cast<char*>(QS_ALLOC(path.size() + 1, false));
    std::memcpy(copy, path.c_str(), path.size() + 1);
    return copy;
}

bool InputQuery_GetString(const char* caption, const char* prompt, const char* defaultText, std::string* result)
{
    IO_PrepareForDialog();
    const HostDialogAnswer answer = Host_Dialog_Get().AskText(caption, prompt, defaultText ? defaultText : "");
    if (!answer.ok) return false;
    if (result) *result = answer.text;
    return true;
}

bool InputQuery_ShowQuestion(const char* caption, const char* text)
{
    IO_PrepareForDialog();
    static const HostDialogButton kYesNo[] = {{1, "Yes"}, {0, "No"}};
    const bool yes = Host_Dialog_Get().Show(HostDialogRequest{caption, text, HOSTDIALOG_INFO, kYesNo, 2, 1}) == 1;
    LogConsole->Output(yes ? "Finished dialog - IDOK\n" : "Finished dialog - IDCANCEL\n");
    return yes;
}

std::string Dialog_GetOpenFilename(const char* filter, const char* fileName, const char* directory, const char* title)
{
    IO_PrepareForDialog();
    const HostDialogAnswer answer =
        Host_Dialog_Get().AskFile(HostFileRequest{false, title, filter, fileName, directory});
    return answer.ok ? answer.text : std::string();
}

std::string Dialog_GetSaveFilename(const char* filter, const char* fileName, const char* directory, const char* title)
{
    IO_PrepareForDialog();
    const HostDialogAnswer answer =
        Host_Dialog_Get().AskFile(HostFileRequest{true, title, filter, fileName, directory});
    if (!answer.ok || answer.text.empty()) return {};
    std::string path = answer.text;
    const std::string extension = DefaultExtension(filter);
    if (!extension.empty() && !HasExtension(path)) path += "." + extension;
    return path;
}

double Dialog_TextValue(const char* text)
{
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    std::string number;
    if (*p == '+' || *p == '-') number += *p++;
    bool digits = false;
    while (std::isdigit(static_cast<unsigned char>(*p))) number += *p++, digits = true;
    if (*p == '.') {
        number += *p++;
        while (std::isdigit(static_cast<unsigned char>(*p))) number += *p++, digits = true;
    }
    if (!digits) return 0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (std::isdigit(static_cast<unsigned char>(*q))) {
            number.append(p, static_cast<size_t>(q - p));
            for (p = q; std::isdigit(static_cast<unsigned char>(*p)); ++p) number += *p;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

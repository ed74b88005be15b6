#include "Host/Host_Dialog.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>


namespace {
HostDialog* s_override = nullptr;
constinit const bool* s_noDialogs = nullptr;

bool EnvSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Message boxes show lines, so the Windows-style "\r\n" breaks lose their "\r".
std::string WithoutCarriageReturns(const char* text)
{
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p)
        if (*p != '\r') out += *p;
    return out;
}
}  // namespace

int HeadlessDialog::Show(const HostDialogRequest& request)
{
    m_lastText = request.text ? request.text : "";
    ++m_showCount;
    std::fprintf(stderr, "%s:\n%s\n", request.title ? request.title : "", m_lastText.c_str());
    std::fflush(stderr);
    if (m_answers.empty()) return request.defaultId;
    const int id = m_answers.front();
    m_answers.pop_front();
    return id;
}

int SdlDialog::Show(const HostDialogRequest& request)
{
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (int i = 0; i < request.buttonCount; ++i)
        buttons.push_back(SDL_MessageBoxButtonData{0, request.buttons[i].id, request.buttons[i].text});
    const std::string text = WithoutCarriageReturns(request.text);
    SDL_MessageBoxData data{};
    data.flags = request.icon == HOSTDIALOG_ERROR     ? SDL_MESSAGEBOX_ERROR
                 : request.icon == HOSTDIALOG_WARNING ? SDL_MESSAGEBOX_WARNING
                                                      : SDL_MESSAGEBOX_INFORMATION;
    data.flags |= SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.title = request.title ? request.title : "";
    data.message = text.c_str();
    data.numbuttons = static_cast<int>(buttons.size());
    data.buttons = buttons.data();
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) < 0) {
        // The display went away: answer as a headless run would.
        std::fprintf(stderr, "%s:\n%s\n", data.title, text.c_str());
        return request.defaultId;
    }
    return chosen;
}

void SdlDialog::SetClipboardText(const char* text)
{
    // The clipboard belongs to SDL's video subsystem, which may not be up yet
    // when an error comes before the game window.
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) return;
    SDL_SetClipboardText(text ? text : "");
}

bool Host_HasDisplay()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0))
        return false;
    return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY");
}

void Host_Dialog_SetSuppressFlag(const bool* noDialogs)
{
    s_noDialogs = noDialogs;
}

HeadlessDialog& Host_HeadlessDialog()
{
    static HeadlessDialog dialog;
    return dialog;
}

HostDialog& Host_Dialog_Get()
{
    if (s_override) return *s_override;
    if (!(s_noDialogs && *s_noDialogs) && Host_HasDisplay()) {
        static SdlDialog desktop;
        return desktop;
    }
    return Host_HeadlessDialog();
}

void Host_Dialog_Set(HostDialog* dialog)
{
    s_override = dialog;
}

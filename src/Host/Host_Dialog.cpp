#include "Host/Host_Dialog.h"

#include "Host/Host_DialogStop.h"

#include <SDL.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

// Message boxes show lines: a Windows-style "\r\n" break loses its "\r", and
// a lone "\r" (a legacy game's '#') becomes a line break.
std::string WithoutCarriageReturns(const char* text)
{
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p != '\r') out += *p;
        else if (p[1] != '\n') out += '\n';
    }
    return out;
}
}  // namespace

int HeadlessDialog::Show(const HostDialogRequest& request)
{
    Record(request.title, request.text);
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
    if (HostDialogStopScope::Stopped()) return request.defaultId;  // the runner is ending
    HostDialogStopScope scope;
    if (SDL_ShowMessageBox(&data, &chosen) < 0) {
        // The display went away, or the runner is asked to end: answer as a headless run would.
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

HostDialogAnswer HostDialog::AskText(const char*, const char*, const char* defaultText)
{
    return HostDialogAnswer{true, defaultText ? defaultText : "", ""};
}

HostDialogAnswer HostDialog::AskLogin(const char*, const char* user, const char* password)
{
    return HostDialogAnswer{true, user ? user : "", password ? password : ""};
}

HostDialogAnswer HostDialog::AskFile(const HostFileRequest&) { return HostDialogAnswer{false, "", ""}; }

void HeadlessDialog::Record(const char* title, const char* text)
{
    m_lastText = text ? text : "";
    ++m_showCount;
    std::fprintf(stderr, "%s:\n%s\n", title ? title : "", WithoutCarriageReturns(text).c_str());
    std::fflush(stderr);
}

bool HeadlessDialog::TakeText(HostDialogAnswer* out)
{
    if (m_texts.empty()) return false;
    *out = m_texts.front();
    m_texts.pop_front();
    return true;
}

HostDialogAnswer HeadlessDialog::AskText(const char* title, const char* prompt, const char* defaultText)
{
    Record(title, prompt);
    HostDialogAnswer answer;
    return TakeText(&answer) ? answer : HostDialog::AskText(title, prompt, defaultText);
}

HostDialogAnswer HeadlessDialog::AskLogin(const char* title, const char* user, const char* password)
{
    Record(title, user);
    HostDialogAnswer answer;
    return TakeText(&answer) ? answer : HostDialog::AskLogin(title, user, password);
}

HostDialogAnswer HeadlessDialog::AskFile(const HostFileRequest& request)
{
    Record(request.title ? request.title : (request.save ? "Save" : "Open"), request.fileName);
    HostDialogAnswer answer;
    return TakeText(&answer) ? answer : HostDialog::AskFile(request);
}

namespace {
// zenity on the search path, or empty.
std::string FindZenity()
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = folders.find(':', start);
        std::string candidate = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!candidate.empty()) {
            candidate += "/zenity";
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return {};
}

// Runs zenity with the arguments, no shell; its standard output without the
// final line break. False when it could not run or was cancelled.
bool RunZenity(const std::vector<std::string>& arguments, std::string* output)
{
    const std::string program = FindZenity();
    if (program.empty() || HostDialogStopScope::Stopped()) return false;
    HostDialogStopScope scope;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return false;
    }
    scope.SetChild(child);
    char chunk[4096];
    ssize_t n;
    while ((n = read(pipeEnds[0], chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) output->append(chunk, static_cast<size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    if (!output->empty() && output->back() == '\n') output->pop_back();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ZenityMissing() { return FindZenity().empty(); }

// "Text|*.txt;*.md|All|*.*" as zenity's "--file-filter=Text | *.txt *.md" arguments.
void AddFilters(const char* filter, std::vector<std::string>* arguments)
{
    if (!filter || !*filter) return;
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = filter;; ++p) {
        if (*p == '|' || *p == 0) {
            parts.push_back(part);
            part.clear();
            if (*p == 0) break;
        } else {
            part += *p == ';' ? ' ' : *p;
        }
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        arguments->push_back("--file-filter=" + parts[i] + " | " + parts[i + 1]);
}
}  // namespace

HostDialogAnswer SdlDialog::AskText(const char* title, const char* prompt, const char* defaultText)
{
    if (ZenityMissing()) return Host_HeadlessDialog().AskText(title, prompt, defaultText);
    HostDialogAnswer answer{false, "", ""};
    answer.ok = RunZenity({"--entry", std::string("--title=") + (title ? title : ""),
                           "--text=" + WithoutCarriageReturns(prompt),
                           std::string("--entry-text=") + (defaultText ? defaultText : "")},
                          &answer.text);
    if (!answer.ok) answer.text.clear();
    return answer;
}

HostDialogAnswer SdlDialog::AskLogin(const char* title, const char* user, const char* password)
{
    if (ZenityMissing()) return Host_HeadlessDialog().AskLogin(title, user, password);
    std::string output;
    HostDialogAnswer answer{false, "", ""};
    if (!RunZenity({"--password", "--username", std::string("--title=") + (title ? title : "")}, &output))
        return answer;
    const size_t bar = output.find('|');
    answer.ok = true;
    answer.text = output.substr(0, bar);
    if (bar != std::string::npos) answer.password = output.substr(bar + 1);
    return answer;
}

HostDialogAnswer SdlDialog::AskFile(const HostFileRequest& request)
{
    if (ZenityMissing()) return Host_HeadlessDialog().AskFile(request);
    std::vector<std::string> arguments{"--file-selection"};
    if (request.save) {
        arguments.push_back("--save");
        arguments.push_back("--confirm-overwrite");
    }
    if (request.title && *request.title) arguments.push_back(std::string("--title=") + request.title);
    std::string start = request.directory && *request.directory ? request.directory : "";
    if (!start.empty() && start.back() != '/') start += '/';
    if (request.fileName) start += request.fileName;
    if (!start.empty()) arguments.push_back("--filename=" + start);
    AddFilters(request.filter, &arguments);
    HostDialogAnswer answer{false, "", ""};
    answer.ok = RunZenity(arguments, &answer.text);
    if (!answer.ok) answer.text.clear();
    return answer;
}

#include "Runner/Runner_Entry.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Graphics/Graphics_Window.h"
#include "Host/Host_Paths.h"
#include "Options/Runner_Options.h"
#include "Physics/PhysicsWorld.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_StartUp.h"
#include "Options/Runner_Strings.h"
#include "Runner/GameChunks.h"
#include "Runner/Runner_Hooks.h"

char* RunnerCommandLine = nullptr;
bool RestartRequested = false;
bool FirstRun = true;
GameChangeRequest PendingGameChange;
uint8_t MainLoopRunning = 0;

namespace {
bool NeedsQuotes(const char* arg)
{
    if (!arg[0]) return true;  // keeps an empty argument's place
    for (const char* c = arg; *c; ++c) {
        const unsigned char u = static_cast<unsigned char>(*c);
        if ((u >= 1 && u <= 32) || u == '"') return true;
    }
    return false;
}

// Replaces the command line with the formatted text.
void SetCommandLine(const std::string& text)
{
    Runner_ReplaceText(&RunnerCommandLine, text.c_str());
}

// Arguments arrive whole and unquoted: a quote in one is part of it, written
// doubled inside the quotes so that the tokenizer gives it back.
std::string Quoted(const char* text)
{
    std::string quoted = "\"";
    for (const char* c = text ? text : ""; *c; ++c) quoted += *c == '"' ? std::string("\"\"") : std::string(1, *c);
    return quoted + "\"";
}

void FindDefaultGameFile()
{
    const char* path = GetDefaultGameFilePath();
    if (Host_FileReadable(path)) Runner_ReplaceText(&GameFilePath, path);
}

void MakeGameFilePathAbsolute()
{
    if (!GameFilePath || !GameFilePath[0]) return;
    std::string absolute;
    if (Host_MakeAbsolutePath(GameFilePath, absolute)) Runner_ReplaceText(&GameFilePath, absolute.c_str());
}

void RunPass()
{
    RestartRequested = false;
    Runner_DiscardMessages();
    FindDefaultGameFile();
    RunnerParseCommandLine(RunnerCommandLine);
    // With debugging on, physics reports its failed assertions.
    if (DebugEnabled) Physics_EnableAssertReports();
    if (HeadlessMode.crashHandlers) Runner_InstallCrashHandlers();
    MakeGameFilePathAbsolute();
    if (!RunnerInit()) return;
    RunnerStartUp();  // a failed start-up leaves MainLoopRunning at 0
    GR_Window_SetFocus();
    while (MainLoopRunning == 1) {
        Run_Frame();
        DispatchPendingMessages();
    }
    Run_EndGame();
    RunnerEndRun();
    Runner_PostQuit();
    RunnerShutdown();
    RunnerRestart();
    RunnerReset();
}
}  // namespace

char* Runner_BuildCommandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (!argv[i]) continue;
        if (i > 0) line += ' ';
        line += NeedsQuotes(argv[i]) ? Quoted(argv[i]) : std::string(argv[i]);
    }
    return Runner_CopyText(line.c_str());
}

void RunnerRestart()
{
    if (PendingGameChange.pending) {
        GameChangeRequest& request = PendingGameChange;
        if (request.returnGame) {
            const std::string text = "-game " + Quoted(request.nextGame) + " -exit " + Quoted(request.returnGame);
            std::printf("%s", text.c_str());
            std::fflush(stdout);
            SetCommandLine(text);
            ChildGame = true;
        } else {
            SetCommandLine("-game " + Quoted(request.nextGame));
        }
        RestartRequested = true;
        Runner_SetSavePrefix(request.saveFolder ? request.saveFolder : "");
        Runner_FreeText(&request.nextGame);
        Runner_FreeText(&request.returnGame);
        Runner_FreeText(&request.saveFolder);
        request.pending = false;
    } else if (ExitGamePath) {
        SetCommandLine("-game " + Quoted(ExitGamePath));
        ChildGame = false;
        RestartRequested = true;
        Runner_FreeText(&ExitGamePath);
        Runner_SetSavePrefix("");
        Runner_SetGameName("");
        FatalErrorShown = false;
    }
}

int Runner_Main(int argc, char** argv)
{
    Runner_InstallHooks();
    // A game module brings the game's code compiled; without one the code is
    // the game file's bytecode.
    CompiledCodeMode = LinkRecord_ModuleLinked();
    RunnerCommandLine = Runner_BuildCommandLine(argc, argv);
    // Shipped files lie beside the executable; the current folder is wherever
    // the user happened to start the runner, and its files are not ours.
    const std::string executable = GetExecutablePath();
    const size_t slash = executable.rfind('/');
    if (slash != std::string::npos) UnpackFlattenedFiles(executable.substr(0, slash).c_str());

    do {
        RunPass();
        FirstRun = false;
    } while (RestartRequested);

    Runner_FreeText(&RunnerCommandLine);
    // A game stopped by a fatal error must not look like one that ended well.
    return FatalErrorShown ? 1 : 0;
}

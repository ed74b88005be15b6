#include "Runner/Runner_LoadGame.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Base/ProcessEnd.h"
#include "Base/TextCopy.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Variable/Code_VariableValue.h"
#include "Host/Host_Paths.h"
#include "IO/IniFile.h"
#include "World/Object_Main.h"
#include "World/Room_Main.h"
#include "World/TimeLine_Main.h"
#include "Path/Path_Main.h"
#include "Code/CodeChunks.h"
#include "GameData/DebugInfo.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "IO/LoadSave.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "GameData/GameOptions.h"
#include "GameData/Language.h"
#include "Runner/Runner_IniOptions.h"
#include "Options/Runner_Options.h"
#include "Graphics/ShaderM.h"
#include "Graphics/TexturePages.h"
#include "Code/Code_Variable.h"
#include "Script/Script_Main.h"
#include "Graphics/VertexFormat.h"
#include "IO/IO_Dialog.h"
#include "IO/IO_Input.h"
#include "Platform/Platform_Main.h"
#include "Runner/GameChunks.h"

const char* const kUnableToFindGameMessage = "Unable to find game!!: %s";
char* FirstGameFile = nullptr;

namespace {
uint8_t* s_ownedData = nullptr;     // the file read from disk; embedded data is not ours

char* CopyText(const char* text)
{
    const size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(QS_ALLOC(n, false));
    std::memcpy(copy, text, n);
    return copy;
}

void SetGameFilePath(const char* path)
{
    char* copy = CopyText(path);  // path may be GameFilePath itself
    if (GameFilePath) QS_FREE(GameFilePath);
    GameFilePath = copy;
}

void ReadOptionsIni(const char* gamePath)
{
    const char* slash = std::strrchr(gamePath, '/');
    if (!slash) slash = std::strrchr(gamePath, '\\');
    if (!slash) return;
    const std::string iniPath = std::string(gamePath, slash) + "/options.ini";
    VerboseConsole->Output("Checking if INIFile %s Exists\n", iniPath.c_str());
    if (!Host_IsRegularFile(iniPath.c_str())) {
        LogConsole->Output("!!!!No INI File %s\n", iniPath.c_str());
        return;
    }
    uint32_t size = 0;
    uint8_t* bytes = GameFile_ReadWhole(iniPath.c_str(), &size);
    if (!bytes) return;
    // The text ends at its first NUL; the reader needs a terminated copy.
    char* text = static_cast<char*>(QS_ALLOC(static_cast<size_t>(size) + 1, false));
    std::memcpy(text, bytes, size);
    text[size] = '\0';
    QS_FREE(bytes);
    IniFile ini;
    ini.LoadFromString(text);
    QS_FREE(text);
    IO_LoadVirtualButtons(&ini);
    ReadRunnerIniOptions(&ini);
}

void ReadDebugInformation(const char* gamePath)
{
    // Only a dot in the file name starts an extension (folders may hold dots).
    const char* dot = std::strrchr(gamePath, '.');
    const char* slash = std::strrchr(gamePath, '/');
    if (!dot || (slash && dot < slash)) return;
    const std::string path = std::string(gamePath, dot) + ".kvdebug";
    if (!LoadSave_BundleFileExists(path.c_str())) return;
    uint32_t size = 0;
    uint8_t* data = GameFile_ReadWhole(path.c_str(), &size);
    if (data) LoadDebugInfo(data, size);
}

void EndWithMessage(const char* text)
{
    if (text) ShowMessageBox(text);
    if (ChildGame) {
        RequestGameEnd();
        return;
    }
    Process_End(1);
}

void NoGameData()
{
    // With no game file at all, name the default one that was looked for.
    const char* path = GameFilePath && GameFilePath[0] ? GameFilePath : GetDefaultGameFilePath();
    const std::string shown = EscapeControlBytes(path);
    const int length = std::snprintf(nullptr, 0, kUnableToFindGameMessage, shown.c_str());
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, kUnableToFindGameMessage, shown.c_str());
    EndWithMessage(text.c_str());
}

// The path a game file name is read from: the bundle's when the file is there,
// else the save area's; empty when neither may hold it.
std::string ChooseGameFile(const char* name)
{
    // Either path is the name placed under a folder of the game path or of the save area.
    std::vector<char> chosen(2 * std::strlen(name) + std::strlen(SavePrePend()) + 2, '\0');
    const int size = static_cast<int>(chosen.size());
    if (LoadSave_BundleFileExists(name)) LoadSave_MakeBundlePath(chosen.data(), size, name);
    else LoadSave_MakeSavePath(chosen.data(), size, name);
    return chosen.data();
}

// The whole game file, read only when its first eight bytes make it a game
// file of the size it has; null with the reason shown otherwise.
uint8_t* ReadGameFile(const char* path, uint32_t* size, bool* refused)
{
    *size = 0;
    *refused = false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    uint64_t fileSize = 0;
    uint8_t header[8] = {};
    const bool known = Host_OpenFileSize(f, &fileSize);
    const size_t got = known ? std::fread(header, 1, sizeof header, f) : 0;
    std::fclose(f);
    if (!known) return nullptr;
    if (!GameData_CheckHeader(got == sizeof header ? header : nullptr, fileSize)) {
        *refused = true;
        return nullptr;
    }
    return GameFile_ReadWhole(path, size);
}
}  // namespace

void RunnerEndStartUp(const char* text)
{
    EndWithMessage(text);
}

void RunnerRefuseGameData()
{
    EndWithMessage(GameData_LastError());
}

uint8_t* GameFile_ReadWhole(const char* path, uint32_t* size)
{
    *size = 0;
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    uint64_t fileSize = 0;
    if (!Host_OpenFileSize(f, &fileSize) || fileSize >= 0xFFFFFFFFull) {
        std::fclose(f);
        return nullptr;
    }
    const size_t length = static_cast<size_t>(fileSize);
    MemoryManager::PushLabel("WAD file");
    uint8_t* data = static_cast<uint8_t*>(QS_ALLOC(length ? length : 1, false));
    MemoryManager::PopLabel();
    const size_t got = std::fread(data, 1, length, f);
    std::fclose(f);
    if (got != length) {
        QS_FREE(data);
        return nullptr;
    }
    *size = static_cast<uint32_t>(length);
    return data;
}

bool RunnerLoadGame()
{
    VerboseConsole->Output("RunnerLoadGame: %s\n", GameFilePath ? GameFilePath : "(null)");
    LinkRecord_Load();
    const uint8_t* embedded = LinkRecord ? LinkRecord->gameData : nullptr;
    if (embedded) {
        SetGameFilePath(GetExecutablePath());
    } else {
        std::string chosen;
        if (GameFilePath && GameFilePath[0]) {
            InitProgramDirectory(GameFilePath);
            chosen = ChooseGameFile(GameFilePath);
        } else if (!HeadlessMode.noDialogs) {
            char* asked = AskForGameFile();
            if (asked) chosen = asked;
            QS_FREE(asked);
        }
        if (chosen.empty()) {
            if (!ChildGame) NoGameData();
            // A child game goes on without a path and says below that it has no game.
            RequestGameEnd();
        }
        VerboseConsole->Output("RunnerLoadGame() - %s\n", chosen.c_str());
        SetGameFilePath(chosen.c_str());
    }
    InitProgramDirectory(GameFilePath);
    ReadOptionsIni(GameFilePath);
    ReadDebugInformation(GameFilePath);
    VerboseConsole->Output("Reading File %s\n", GameFilePath);
    if (s_ownedData) QS_FREE(s_ownedData);  // a restart reading another game releases the previous one
    s_ownedData = nullptr;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    bool refused = false;
    if (embedded) {
        data = embedded;
        size = LinkRecord->dataSize;
    } else {
        s_ownedData = ReadGameFile(GameFilePath, &size, &refused);
        data = s_ownedData;
        if (data) VerboseConsole->Output("Loaded File %s(%d)\n", GameFilePath, static_cast<int>(size));
        else OutputConsole->Output("FAILED to load File %s\n", GameFilePath);
    }
    GameData_SetImage(data, size);
    if (refused) {
        RunnerRefuseGameData();
        return false;
    }
    if (!data) {
        NoGameData();
        return false;
    }
    if (size >= 4 && (std::memcmp(data, "FORM", 4) == 0 || std::memcmp(data, "MROF", 4) == 0))
        VerboseConsole->Output("IFF wad found\n");
    if (!FirstGameFile) FirstGameFile = CopyText(GameFilePath);
    return false;
}

void UnloadGameData()
{
    Path_FreeAll();
    TimeLine_FreeAll();
    Room_FreeAll();
    Object_Free();
    TexturePages_Free();
    Language_Free();
    Option_Free();
    Script_DeleteAll();
    Shader_FreeAll();
    Code_FreeEntries();
    CodeChunks_Free();
    Variable_FreeGlobalObject();
    Variable_FreeNames();
    GameHeader_Reset();
    GameData_SetImage(nullptr, 0);
    LinkRecord_Free();
    if (s_ownedData) QS_FREE(s_ownedData);
    s_ownedData = nullptr;
    DebugInfo_Free();
}

#include "Function/Function_FileSystem.h"

#include <cstring>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/Platform_Environment.h"
#include "Base/Timing.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Host/Host_Folders.h"
#include "Host/Host_Paths.h"
#include "Host/Host_Process.h"
#include "IO/LoadSave.h"
#include "IO/Zip_Unzip.h"
#include "Options/Runner_Options.h"

namespace {
constexpr int kPathSize = 2048;
constexpr uint32_t kAttributeMask = 0x37;

std::string SavePath(const char* name)
{
    char path[kPathSize];
    LoadSave_MakeSavePath(path, sizeof path, name);
    return path;
}

std::string BundlePath(const char* name)
{
    char path[kPathSize];
    LoadSave_MakeBundlePath(path, sizeof path, name);
    return path;
}

// The full path of a file in the save area, else in the bundle; "" in neither.
std::string ExistingPath(const char* name)
{
    char path[kPathSize];
    return LoadSave_ResolvePath(name, path, sizeof path) ? path : "";
}

void SetText(ScriptValue* result, const std::string& text)
{
    ScriptValue_SetString(result, text.c_str());
}

// ---------------------------------------------------------------- files and folders

void F_FileExists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "file_exists")) return;
    const char* name = Arg_String(args, 0);
    ScriptValue_SetReal(result, LoadSave_BundleFileExists(name) || LoadSave_SaveFileExists(name) ? 1 : 0);
}

// Bundle files are never changed: a name the save area lacks does nothing.
void F_FileDelete(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "file_delete")) return;
    const char* name = Arg_String(args, 0);
    if (LoadSave_SaveFileExists(name)) ScriptValue_SetReal(result, LoadSave_DeleteSaveFile(name) ? 1 : 0);
}

void F_FileRename(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 2, "file_rename")) return;
    const char* from = Arg_String(args, 0);
    const char* to = Arg_String(args, 1);
    if (!LoadSave_SaveFileExists(from)) return;
    const std::string target = SavePath(to);
    ScriptValue_SetReal(result, !target.empty() && Host_RenameFile(SavePath(from).c_str(), target.c_str()) ? 1 : 0);
}

void F_FileCopy(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (!Arg_Need(argc, 2, "file_copy")) return;
    const char* source = Arg_String(args, 0);
    const char* destination = Arg_String(args, 1);
    uint32_t size = 0;
    uint8_t* data = LoadSave_ReadWholeFile(ExistingPath(source).c_str(), &size);
    if (!data) data = LoadSave_ReadBundleFile(source, &size);
    if (!data) {
        LogConsole->Output("Unable to open source file %s\n", source ? source : "");
        return;
    }
    const bool written = LoadSave_WriteSaveFile(destination, data, size);
    QS_FREE(data);
    if (!written) {
        LogConsole->Output("Unable to open destination file %s\n", destination ? destination : "");
        return;
    }
    ScriptValue_SetReal(result, 0);
}

void F_FileAttributes(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "file_attributes")) return;
    const char* name = Arg_String(args, 0);
    uint32_t bits = Host_FileAttributes(SavePath(name).c_str());
    if (!bits) bits = Host_FileAttributes(BundlePath(name).c_str());
    ScriptValue_SetReal(result, bits & kAttributeMask);
}

void F_DirectoryExists(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "directory_exists")) return;
    const char* name = Arg_String(args, 0);
    const bool exists = DirectoryExists(SavePath(name).c_str()) || DirectoryExists(BundlePath(name).c_str());
    ScriptValue_SetReal(result, exists ? 1 : 0);
}

void F_DirectoryCreate(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "directory_create")) return;
    ScriptValue_SetReal(result, CreateDirectoryRecursive(SavePath(Arg_String(args, 0)).c_str()) ? 1 : 0);
}

void F_DirectoryDestroy(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "directory_destroy")) return;
    Host_DeleteTree(SavePath(Arg_String(args, 0)).c_str());
}

// ---------------------------------------------------------------- file search

struct FileSearch {
    std::vector<std::string> names;
    size_t position = 0;
    bool open = false;
};
FileSearch s_search;

struct SearchFilter {
    uint32_t attributes;
};

// Folders only when asked for; other entries when no bit but the folder bit
// is asked for, or when they carry a bit that is.
void TakeEntry(const char* name, uint32_t bits, void* user)
{
    const uint32_t wanted = static_cast<SearchFilter*>(user)->attributes;
    const bool folder = bits & HOST_ATTR_FOLDER;
    const bool taken = folder ? (wanted & HOST_ATTR_FOLDER) != 0
                              : (wanted & ~HOST_ATTR_FOLDER) == 0 || (wanted & bits & kAttributeMask) != 0;
    if (!taken) return;
    for (const std::string& known : s_search.names)
        if (known == name) return;
    s_search.names.emplace_back(name);
}

void SearchIn(const std::string& path, SearchFilter* filter)
{
    if (path.empty()) return;
    const size_t slash = path.rfind('/');
    Host_FindFiles(path.substr(0, slash + 1).c_str(), path.c_str() + slash + 1, TakeEntry, filter);
}

void CloseSearch()
{
    s_search = FileSearch{};
}

void F_FileFindFirst(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    CloseSearch();
    SetText(result, "");
    if (!Arg_Need(argc, 2, "file_find_first")) return;
    const char* pattern = Arg_String(args, 0);
    SearchFilter filter{uint32_t(Arg_Int32(args, 1))};
    SearchIn(SavePath(pattern), &filter);
    SearchIn(BundlePath(pattern), &filter);
    if (s_search.names.empty()) return;
    s_search.open = true;
    SetText(result, s_search.names[0]);
}

void F_FileFindNext(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    SetText(result, "");
    if (!s_search.open || s_search.position + 1 >= s_search.names.size()) {
        s_search.position = s_search.names.size();
        return;
    }
    SetText(result, s_search.names[++s_search.position]);
}

void F_FileFindClose(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    if (s_search.open) CloseSearch();
}

// ---------------------------------------------------------------- names

// The last separator of either kind, null when there is none.
const char* LastSeparator(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    const char* backslash = std::strrchr(path, '\\');
    return slash > backslash ? slash : backslash;
}

std::string FilenameName(const char* path)
{
    const char* separator = LastSeparator(path);
    return separator ? separator + 1 : path;
}

// The text before the last separator; empty when there is none or it is the
// first character.
std::string FilenameDirectory(const char* path)
{
    const char* separator = LastSeparator(path);
    return separator ? std::string(path, separator) : std::string();
}

// The extension with its dot, taken from the last part of the path only.
std::string FilenameExtension(const char* path)
{
    const char* dot = std::strrchr(path, '.');
    const char* separator = LastSeparator(path);
    return dot && dot > separator ? dot : "";
}

// The folder of a name, or of the file it names in the save area (else the
// bundle) when it has none; separator is the one that ended the folder.
std::string FolderOf(const char* path, char* separator)
{
    const char* last = LastSeparator(path);
    *separator = last ? *last : '/';
    std::string folder = FilenameDirectory(path);
    if (!folder.empty()) return folder;
    const std::string full = ExistingPath(path);
    if (full.empty()) return "";
    *separator = '/';
    return full.substr(0, full.rfind('/'));
}

void F_FilenameName(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "filename_name")) return;
    const char* path = Arg_String(args, 0);
    SetText(result, path ? FilenameName(path) : "");
}

void F_FilenameDir(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "filename_dir")) return;
    const char* path = Arg_String(args, 0);
    if (!path) {
        FatalRuntimeError("null string passed to filename_dir");
        return;
    }
    char separator;
    std::string folder = FolderOf(path, &separator);
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    SetText(result, folder);
}

void F_FilenamePath(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "filename_path")) return;
    const char* path = Arg_String(args, 0);
    if (!path) {
        FatalRuntimeError("null string passed to filename_path");
        return;
    }
    char separator;
    std::string folder = FolderOf(path, &separator);
    if (!folder.empty()) folder.push_back(separator);
    SetText(result, folder);
}

// No drive letters here, but a name written with one ("c:\games") keeps it.
void F_FilenameDrive(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "filename_drive")) return;
    const char* path = Arg_String(args, 0);
    const bool drive = path && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':';
    SetText(result, drive ? std::string(path, 2) : "");
}

void F_FilenameExt(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "filename_ext")) return;
    const char* path = Arg_String(args, 0);
    SetText(result, path ? FilenameExtension(path) : "");
}

void F_FilenameChangeExt(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 2, "filename_change_ext")) return;
    const char* path = Arg_String(args, 0);
    const char* extension = Arg_String(args, 1);
    if (!extension) extension = "";
    if (!path) {
        SetText(result, "");
        return;
    }
    const std::string current = FilenameExtension(path);
    if (!current.empty()) {
        // The new extension replaces the old one, dot and all.
        SetText(result, std::string(path, std::strlen(path) - current.size()) + extension);
        return;
    }
    const bool addDot = extension[0] && extension[0] != '.';
    SetText(result, std::string(path) + (addDot ? "." : "") + extension);
}

// ---------------------------------------------------------------- programs, environment, command line

// The argument text split into words at blanks; double quotes group a word.
std::vector<std::string> SplitArguments(const char* text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (*p == ' ' || *p == '\t')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word.push_back(*p);
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

void PumpMessages()
{
    Timing_PumpMessages();
}

void F_ExecuteProgram(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (!Arg_Need(argc, 3, "execute_program")) return;
    const char* program = Arg_String(args, 0);
    const char* arguments = Arg_String(args, 1);
    const bool wait = Arg_Bool(args, 2);
    // The program stays one word, spaces and all.
    std::vector<std::string> words{program ? program : ""};
    for (std::string& word : SplitArguments(arguments)) words.push_back(std::move(word));
    if (Host_StartProgram(words, wait, PumpMessages)) {
        ScriptValue_SetReal(result, 0);
        return;
    }
    LogConsole->Output("Cannot execute %s\n", program ? program : "");
}

void F_ExecuteShell(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, 0);
    if (!Arg_Need(argc, 2, "execute_shell")) return;
    const char* program = Arg_String(args, 0);
    if (!program) return;
    if (Host_OpenWithShell(program, Arg_String(args, 1))) return;
    LogConsole->Output("Cannot execute %s\n", program);
    ScriptValue_SetReal(result, -1);
}

void F_EnvironmentGetVariable(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 1, "environment_get_variable")) return;
    char* value = Platform_GetEnvironmentVariable(Arg_String(args, 0));
    ScriptValue_SetString(result, value ? value : "");
    if (value) QS_FREE(value);
}

void F_ParameterCount(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, CommandLineTokens.count);
}

void F_ParameterString(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    SetText(result, "");
    if (!Arg_Need(argc, 1, "parameter_string")) return;
    const int32_t n = Arg_Int32(args, 0);
    if (n >= 0 && n < CommandLineTokens.count && CommandLineTokens.items[n]) SetText(result, CommandLineTokens.items[n]);
}

void F_ZipUnzip(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (!Arg_Need(argc, 2, "zip_unzip")) return;
    ScriptValue_SetReal(result, Zip_Unzip(Arg_String(args, 0), Arg_String(args, 1)));
}
}  // namespace

void InitFileSystemFunctions()
{
    CloseSearch();
    struct Entry {
        const char* name;
        BuiltinRoutine routine;
        int32_t argumentCount;
    };
    static const Entry kFunctions[] = {
        {"file_exists", F_FileExists, 1},
        {"file_delete", F_FileDelete, 1},
        {"file_rename", F_FileRename, 2},
        {"file_copy", F_FileCopy, 2},
        {"file_attributes", F_FileAttributes, 2},
        {"directory_exists", F_DirectoryExists, 1},
        {"directory_create", F_DirectoryCreate, 1},
        {"directory_destroy", F_DirectoryDestroy, 1},
        {"file_find_first", F_FileFindFirst, 2},
        {"file_find_next", F_FileFindNext, 0},
        {"file_find_close", F_FileFindClose, 0},
        {"filename_name", F_FilenameName, 1},
        {"filename_path", F_FilenamePath, 1},
        {"filename_dir", F_FilenameDir, 1},
        {"filename_drive", F_FilenameDrive, 1},
        {"filename_ext", F_FilenameExt, 1},
        {"filename_change_ext", F_FilenameChangeExt, 2},
        {"execute_program", F_ExecuteProgram, 3},
        {"execute_shell", F_ExecuteShell, 2},
        {"environment_get_variable", F_EnvironmentGetVariable, 1},
        {"parameter_count", F_ParameterCount, 0},
        {"parameter_string", F_ParameterString, 1},
        {"zip_unzip", F_ZipUnzip, 2},
    };
    for (const Entry& entry : kFunctions) CodeFunction_Register(entry.name, entry.routine, entry.argumentCount, 0);
}

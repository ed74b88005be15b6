#include "Function/Function_File.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_FileFormats.h"
#include "Function/Function_FileSystem.h"
#include "Function/Function_Ini.h"
#include "Host/Host_Paths.h"
#include "IO/LoadSaveFOpen.h"
#include "Options/Runner_Strings.h"

namespace {
constexpr int kFileSlots = 32;  // slot 0 is never a game's binary or text file
constexpr int kPathSize = 2048;

// Binary modes: 0 read, 1 write, 2 read and write; other values open like 2
// but neither read nor write bytes.
struct BinaryFile {
    char* name;
    int32_t mode;
    LoadSaveFile* handle;
    bool open;
};
BinaryFile s_binary[kFileSlots];

enum TextState : int32_t { TEXT_CLOSED = 0, TEXT_READ = 1, TEXT_WRITE = 2 };
struct TextFile {
    char* name;
    LoadSaveFile* handle;
    int32_t state;
};
TextFile s_text[kFileSlots];

// The legacy file (text slot 0 of the original table) is a plain stream.
struct LegacyFile {
    char* name;
    std::FILE* stream;
    int32_t state;
};
LegacyFile s_legacy;

void SetReal(ScriptValue* result, double value)
{
    ScriptValue_SetReal(result, value);
}

void SetText(ScriptValue* result, const std::string& text)
{
    ScriptValue_SetString(result, text.c_str());
}

void Report(const char* message)
{
    ReportRuntimeError(message, false);
}

void CloseText(TextFile& file)
{
    if (file.state == TEXT_CLOSED) return;
    Runner_ReplaceText(&file.name, nullptr);
    LoadSaveFile_Close(file.handle);
    file.handle = nullptr;
    file.state = TEXT_CLOSED;
}

// The save-area path when the file is there, else the bundle path when it is
// there; *found tells whether either holds it. Without either, the save path.
std::string ExistingPath(const char* name, bool* found)
{
    char path[kPathSize];
    *found = true;
    if (LoadSave_SaveFileExists(name)) {
        LoadSave_MakeSavePath(path, sizeof path, name);
    } else if (LoadSave_BundleFileExists(name)) {
        LoadSave_MakeBundlePath(path, sizeof path, name);
    } else {
        *found = false;
        LoadSave_MakeSavePath(path, sizeof path, name);
    }
    return path;
}

std::string SavePath(const char* name)
{
    char path[kPathSize];
    LoadSave_MakeSavePath(path, sizeof path, name);
    return path;
}

// ---------------------------------------------------------------- binary files

BinaryFile* Binary(ScriptValue* args, const char* message)
{
    const int32_t id = Arg_Int32(args, 0);
    if (id > 0 && id < kFileSlots && s_binary[id].open) return &s_binary[id];
    Report(message);
    return nullptr;
}

void CloseBinary(BinaryFile& file)
{
    LoadSaveFile_Close(file.handle);
    file.handle = nullptr;
    Runner_ReplaceText(&file.name, nullptr);
    file.open = false;
}

void F_FileBinOpen(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetReal(result, -1);
    const char* name = Arg_String(args, 0);
    const int32_t mode = Arg_Int32(args, 1);
    int slot = 1;
    while (slot < kFileSlots && s_binary[slot].open) ++slot;
    if (slot == kFileSlots) {
        Report("Cannot open another file (maximum exceeded).");
        return;
    }
    BinaryFile& file = s_binary[slot];
    if (file.handle) CloseBinary(file);
    Runner_ReplaceText(&file.name, nullptr);
    bool found = false;
    const std::string path = name ? ExistingPath(name, &found) : std::string();
    if (mode != 0) EnsureFileDirectory(path.c_str());
    file.handle = path.empty() ? nullptr : LoadSaveFile_Open(path.c_str(), mode == 0 ? "rb" : mode == 1 ? "wb" : "rw");
    if (!file.handle) {
        LogConsole->Output("Error opening binary file %s\n", name ? name : "");
        return;
    }
    Runner_ReplaceText(&file.name, path.c_str());
    file.mode = mode;
    file.open = true;
    SetReal(result, slot);
}

void F_FileBinClose(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (BinaryFile* file = Binary(args, "Trying to close unopened file.")) CloseBinary(*file);
}

void F_FileBinRewrite(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    BinaryFile* file = Binary(args, "Trying to rewrite unopened file.");
    if (!file) return;
    LoadSaveFile_Close(file->handle);
    file->handle = LoadSaveFile_Open(file->name, "wb+");
    LoadSaveFile_Seek(file->handle, 0, 0);
    file->mode = 1;
}

void F_FileBinPosition(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (BinaryFile* file = Binary(args, "File is not opened.")) SetReal(result, double(LoadSaveFile_Tell(file->handle)));
}

void F_FileBinSize(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    BinaryFile* file = Binary(args, "File is not opened.");
    if (!file) return;
    const int64_t saved = LoadSaveFile_Tell(file->handle);
    SetReal(result, double(LoadSaveFile_Seek(file->handle, 0, 2)));
    LoadSaveFile_Seek(file->handle, saved, 0);
}

void F_FileBinSeek(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (BinaryFile* file = Binary(args, "File is not opened.")) LoadSaveFile_Seek(file->handle, Arg_Int64(args, 1), 0);
}

void F_FileBinReadByte(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    BinaryFile* file = Binary(args, "File is not opened.");
    if (!file) return;
    uint8_t byte = 0;
    if ((file->mode == 0 || file->mode == 2) && LoadSaveFile_Read(&byte, 1, 1, file->handle) == 1) {
        SetReal(result, byte);
        return;
    }
    Report("Error reading byte.");
    SetReal(result, 0);
}

void F_FileBinWriteByte(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    BinaryFile* file = Binary(args, "File is not opened.");
    if (!file || (file->mode != 1 && file->mode != 2)) return;
    const uint8_t byte = uint8_t(Arg_Int64(args, 1) & 0xFF);
    LoadSaveFile_Write(&byte, 1, 1, file->handle);
}

// ---------------------------------------------------------------- text files

// The lowest closed text slot, its old name freed; 0 (reported) when none.
int FreeTextSlot()
{
    for (int slot = 1; slot < kFileSlots; ++slot) {
        if (s_text[slot].state == TEXT_CLOSED) {
            Runner_ReplaceText(&s_text[slot].name, nullptr);
            return slot;
        }
    }
    Report("Cannot open another file (maximum exceeded).");
    return 0;
}

void LogOpenFailure(const char* name)
{
    LogConsole->Output("ERROR!!! :: Failed to open file: %s\n", name ? name : "");
}

// Opens path in the slot with the mode; the slot number, or -1 (logged).
int32_t OpenText(int slot, const std::string& path, const char* mode, TextState state)
{
    LoadSaveFile* handle = path.empty() ? nullptr : LoadSaveFile_Open(path.c_str(), mode);
    if (!handle) {
        LogOpenFailure(path.c_str());
        return -1;
    }
    s_text[slot] = TextFile{nullptr, handle, state};
    Runner_ReplaceText(&s_text[slot].name, path.c_str());
    return slot;
}

TextFile* Text(ScriptValue* args, TextState state)
{
    const int32_t id = Arg_Int32(args, 0);
    if (id > 0 && id < kFileSlots && s_text[id].state == state) return &s_text[id];
    Report(state == TEXT_READ ? "File is not opened for reading." : "File not opened for writing.");
    return nullptr;
}

void F_FileTextOpenRead(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetReal(result, -1);
    const char* name = Arg_String(args, 0);
    const int slot = FreeTextSlot();
    if (!slot) return;
    bool found = false;
    const std::string path = name ? ExistingPath(name, &found) : std::string();
    if (!found) {
        LogOpenFailure(name);
        return;
    }
    SetReal(result, OpenText(slot, path, "rt", TEXT_READ));
}

void F_FileTextOpenWrite(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetReal(result, -1);
    const char* name = Arg_String(args, 0);
    const int slot = FreeTextSlot();
    if (!slot) return;
    const std::string path = SavePath(name);
    EnsureFileDirectory(path.c_str());
    SetReal(result, OpenText(slot, path, "w", TEXT_WRITE));
}

void F_FileTextOpenAppend(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetReal(result, -1);
    const char* name = Arg_String(args, 0);
    const int slot = FreeTextSlot();
    if (!slot) return;
    const std::string path = SavePath(name);
    // A file that only the bundle holds is copied into the save area first,
    // so the append never touches the bundle.
    if (!path.empty() && !LoadSave_SaveFileExists(name) && LoadSave_BundleFileExists(name)) {
        uint32_t size = 0;
        if (uint8_t* data = LoadSave_ReadBundleFile(name, &size)) {
            LoadSave_WriteSaveFile(path.c_str(), data, size);
            QS_FREE(data);
        }
    }
    EnsureFileDirectory(path.c_str());
    SetReal(result, OpenText(slot, path, "a+", TEXT_WRITE));
}

void F_FileTextOpenFromString(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetReal(result, -1);
    const int slot = FreeTextSlot();
    if (!slot) return;
    if (args[0].Kind() != VALUE_STRING) {
        LogConsole->Output("ERROR!!! :: wrong type for filename\n");
        return;
    }
    const char* text = ScriptValue_StringText(&args[0]);
    LoadSaveFile* handle = LoadSaveFile_OpenMemory(text, text ? std::strlen(text) : 0);
    if (!handle) return;
    s_text[slot] = TextFile{nullptr, handle, TEXT_READ};
    Runner_ReplaceText(&s_text[slot].name, "FileFromString");
    SetReal(result, slot);
}

void F_FileTextClose(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const int32_t id = Arg_Int32(args, 0);
    if (id <= 0 || id >= kFileSlots) {
        Report("Trying to close text file that has not been opened.");
        return;
    }
    CloseText(s_text[id]);
}

void F_FileTextReadString(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    TextFile* file = Text(args, TEXT_READ);
    if (!file) return;
    std::string text;
    // The line break that ends the text stays unread; bytes 0xFF are left out.
    while (!LoadSaveFile_Eof(file->handle)) {
        const int32_t c = LoadSaveFile_GetChar(file->handle);
        if (c == '\r' || c == '\n') {
            LoadSaveFile_Seek(file->handle, -1, 1);
            break;
        }
        if ((c & 0xFF) != 0xFF) text.push_back(char(c));
    }
    SetText(result, text);
}

void F_FileTextReadLn(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    TextFile* file = Text(args, TEXT_READ);
    if (!file) return;
    std::string text;
    while (!LoadSaveFile_Eof(file->handle)) {
        const int32_t c = LoadSaveFile_GetChar(file->handle);
        text.push_back(char(c));
        if (c == '\n') break;
    }
    SetText(result, text);
}

void F_FileTextReadReal(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    TextFile* file = Text(args, TEXT_READ);
    if (!file) return;
    double value = 0;
    LoadSaveFile_ReadReal(file->handle, &value);
    SetReal(result, value);
}

void F_FileTextEof(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (TextFile* file = Text(args, TEXT_READ)) SetReal(result, LoadSaveFile_Eof(file->handle) ? 1 : 0);
}

void F_FileTextEoln(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (TextFile* file = Text(args, TEXT_READ)) SetReal(result, LoadSaveFile_Eoln(file->handle) ? 1 : 0);
}

void F_FileTextWriteString(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    TextFile* file = Text(args, TEXT_WRITE);
    if (!file) return;
    LoadSaveFile_WriteString(file->handle, Arg_String(args, 1));
}

void F_FileTextWriteReal(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    TextFile* file = Text(args, TEXT_WRITE);
    if (!file) return;
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%g ", Arg_Real(args, 1));
    if (n > 0) LoadSaveFile_Write(text, 1, size_t(n), file->handle);
}

void F_FileTextWriteLn(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (TextFile* file = Text(args, TEXT_WRITE)) LoadSaveFile_Write("\r\n", 1, 2, file->handle);
}

// ---------------------------------------------------------------- the legacy file

void CloseLegacy()
{
    if (s_legacy.stream) std::fclose(s_legacy.stream);
    s_legacy.stream = nullptr;
    Runner_ReplaceText(&s_legacy.name, nullptr);
    s_legacy.state = TEXT_CLOSED;
}

// Opens the name as given for writing; a stream that cannot be opened is
// reported and never used.
void OpenLegacyForWriting(const char* name, const char* mode, const char* message)
{
    if (!name) {
        Report(message);
        return;
    }
    CloseLegacy();
    s_legacy.stream = std::fopen(name, mode);
    if (!s_legacy.stream) {
        Report(message);
        return;
    }
    Runner_ReplaceText(&s_legacy.name, name);
    s_legacy.state = TEXT_WRITE;
}

bool LegacyReadable(const char* message = "File not opened for reading.")
{
    if (s_legacy.state == TEXT_READ && s_legacy.stream) return true;
    Report(message);
    return false;
}

bool LegacyWritable()
{
    if (s_legacy.state == TEXT_WRITE && s_legacy.stream) return true;
    Report("File not opened for writing.");
    return false;
}

void F_FileOpenRead(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const char* name = Arg_String(args, 0);
    CloseLegacy();
    if (!name || !Host_IsRegularFile(name)) return;
    s_legacy.stream = std::fopen(name, "r");
    if (!s_legacy.stream) return;
    Runner_ReplaceText(&s_legacy.name, name);
    s_legacy.state = TEXT_READ;
}

void F_FileOpenWrite(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    OpenLegacyForWriting(Arg_String(args, 0), "w+", "Error opening file for writing.");
}

void F_FileOpenAppend(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    OpenLegacyForWriting(Arg_String(args, 0), "a+", "Error opening file for appending.");
}

void F_FileClose(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    if (s_legacy.state != TEXT_CLOSED) CloseLegacy();
}

// Up to 1023 characters of a line; keepLineEnd keeps the LF that ends it,
// otherwise a CR or LF ends it and is consumed.
std::string ReadLegacyLine(bool keepLineEnd)
{
    std::string text;
    int c;
    while (text.size() < 1023 && (c = std::fgetc(s_legacy.stream)) != EOF) {
        if (!keepLineEnd && (c == '\r' || c == '\n')) break;
        text.push_back(char(c));
        if (c == '\n') break;
    }
    return text;
}

void F_FileReadString(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    if (LegacyReadable()) SetText(result, ReadLegacyLine(false));
}

void F_FileReadLn(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    if (LegacyReadable()) SetText(result, ReadLegacyLine(true));
}

void F_FileReadReal(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    if (!LegacyReadable()) return;
    double value = 0;
    if (std::fscanf(s_legacy.stream, "%lf", &value) != 1) value = 0;
    SetReal(result, value);
}

void F_FileEof(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    if (!LegacyReadable("File is not opened for reading.")) return;
    // The end shows only once a read meets it, so look one character ahead.
    const int c = std::fgetc(s_legacy.stream);
    if (c != EOF) std::ungetc(c, s_legacy.stream);
    SetReal(result, c == EOF ? 1 : 0);
}

void F_FileWriteString(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (!LegacyWritable()) return;
    const char* text = Arg_String(args, 0);
    std::fprintf(s_legacy.stream, "%s", text ? text : "");
}

void F_FileWriteReal(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    if (LegacyWritable()) std::fprintf(s_legacy.stream, "%10.4f", Arg_Real(args, 0));
}

void F_FileWriteLn(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    if (LegacyWritable()) std::fputs("\n", s_legacy.stream);
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
    uint8_t flag = 0;
};

const Entry kFunctions[] = {
    {"file_bin_open", F_FileBinOpen, 2},
    {"file_bin_rewrite", F_FileBinRewrite, 1},
    {"file_bin_close", F_FileBinClose, 1},
    {"file_bin_position", F_FileBinPosition, 1},
    {"file_bin_size", F_FileBinSize, 1},
    {"file_bin_seek", F_FileBinSeek, 2},
    {"file_bin_read_byte", F_FileBinReadByte, 1},
    {"file_bin_write_byte", F_FileBinWriteByte, 2},
    {"file_text_open_read", F_FileTextOpenRead, 1},
    {"file_text_open_write", F_FileTextOpenWrite, 1},
    {"file_text_open_append", F_FileTextOpenAppend, 1},
    {"file_text_open_from_string", F_FileTextOpenFromString, 1},
    {"file_text_close", F_FileTextClose, 1},
    {"file_text_read_string", F_FileTextReadString, 1},
    {"file_text_read_real", F_FileTextReadReal, 1},
    {"file_text_readln", F_FileTextReadLn, 1},
    {"file_text_eof", F_FileTextEof, 1},
    {"file_text_eoln", F_FileTextEoln, 1},
    {"file_text_write_string", F_FileTextWriteString, 2},
    {"file_text_write_real", F_FileTextWriteReal, 2},
    {"file_text_writeln", F_FileTextWriteLn, 1},
    {"file_open_read", F_FileOpenRead, 1},
    {"file_open_write", F_FileOpenWrite, 1},
    {"file_open_append", F_FileOpenAppend, 1},
    {"file_close", F_FileClose, 0},
    {"file_read_string", F_FileReadString, 0},
    {"file_read_real", F_FileReadReal, 0},
    {"file_readln", F_FileReadLn, 0},
    {"file_eof", F_FileEof, 0},
    {"file_write_string", F_FileWriteString, 1},
    {"file_write_real", F_FileWriteReal, 1},
    {"file_writeln", F_FileWriteLn, 0},
    {"load_csv", F_LoadCsv, 1, 1},
    {"json_encode", F_JsonEncode, 1},
    {"json_decode", F_JsonDecode, 1},
};
}  // namespace

void InitFileFunctions()
{
    // Handles still held from an earlier run are let go unwritten: their
    // game is over, as for a handle that was never closed.
    for (BinaryFile& file : s_binary) {
        LoadSaveFile_Discard(file.handle);
        Runner_ReplaceText(&file.name, nullptr);
        file = BinaryFile{};
    }
    for (TextFile& file : s_text) {
        LoadSaveFile_Discard(file.handle);
        Runner_ReplaceText(&file.name, nullptr);
        file = TextFile{};
    }
    CloseLegacy();
    for (const Entry& entry : kFunctions)
        CodeFunction_Register(entry.name, entry.routine, entry.argumentCount, entry.flag);
    InitFileSystemFunctions();
    InitIniFunctions();
}

void File_CloseAll()
{
    for (BinaryFile& file : s_binary) {
        if (file.open) CloseBinary(file);
    }
}

void File_Reset()
{
    File_CloseAll();
    for (TextFile& file : s_text) CloseText(file);
    CloseLegacy();
}

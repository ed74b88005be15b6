#include "IO/LoadSaveFOpen.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Base/MemoryManager.h"
#include "IO/IO_Files.h"
#include "IO/LoadSave.h"
#include "Options/Runner_Strings.h"

namespace {
// Files are held whole in memory with 32-bit sizes, as everywhere else.
constexpr int64_t kMaxSize = 0x7FFFFFFF;
}  // namespace

struct LoadSaveFile {
    FILE* stream = nullptr;   // set for the buffered streams of LoadSave_OpenFile only
    uint8_t* data = nullptr;  // memory-manager block of exactly size bytes
    int64_t size = 0;
    int64_t position = 0;
    bool textMode = false;
    bool writable = false;
    char* name = nullptr;     // kept only when writable: where the bytes go on close
};

namespace {
// Makes room for end bytes, the new ones zeroed; growth is exact so the file
// written back holds exactly the bytes written.
bool GrowTo(LoadSaveFile* file, int64_t end)
{
    if (end <= file->size) return true;
    if (end > kMaxSize) return false;
    void* block = file->data;
    if (!block) {
        block = QS_ALLOC(size_t(end), true);
        if (!block) return false;
    } else if (!MemoryManager::ReallocPtr(&block, size_t(end), __FILE__, __LINE__)) {
        return false;
    }
    file->data = static_cast<uint8_t*>(block);
    std::memset(file->data + file->size, 0, size_t(end - file->size));
    file->size = end;
    return true;
}

size_t WriteBytes(LoadSaveFile* file, const void* source, size_t n)
{
    if (n == 0 || int64_t(n) > kMaxSize || !GrowTo(file, file->position + int64_t(n))) return 0;
    std::memcpy(file->data + file->position, source, n);
    file->position += int64_t(n);
    return n;
}
}  // namespace

LoadSaveFile* LoadSaveFile_Open(const char* name, const char* mode)
{
    if (!name || !mode) return nullptr;
    bool text = false, read = false, write = false, append = false;
    for (const char* m = mode; *m; ++m) {
        switch (*m) {
        case 't': text = true; break;
        case 'r': read = true; break;
        case 'w': write = true; break;
        case 'a': read = write = append = true; break;
        case '+': write = true; break;
        default: break;
        }
    }
    uint8_t* contents = nullptr;
    uint32_t length = 0;
    if (read) {
        contents = LoadSave_ReadBundleFile(name, &length);
        if (!contents) contents = LoadSave_ReadSaveFile(name, &length);
    }
    if (!contents && !write) return nullptr;

    auto* file = new (std::nothrow) LoadSaveFile;
    if (!file) {
        QS_FREE(contents);
        return nullptr;
    }
    file->textMode = text;
    if (contents) {
        // The read copy becomes the handle's block; its zeroed tail byte past
        // the data (an empty file still gets one) is never counted.
        file->data = contents;
        file->size = length;
        if (text && length > 2 && contents[0] == 0xEF && contents[1] == 0xBB && contents[2] == 0xBF)
            file->position = 3;
        if (append) file->position = file->size;
    }
    if (write) {
        file->writable = true;
        Runner_ReplaceText(&file->name, name);
    }
    return file;
}

LoadSaveFile* LoadSaveFile_OpenMemory(const void* data, size_t size)
{
    auto* file = new (std::nothrow) LoadSaveFile;
    if (!file) return nullptr;
    if (size > 0 && (!data || WriteBytes(file, data, size) != size)) {
        LoadSaveFile_Close(file);
        return nullptr;
    }
    file->position = 0;
    return file;
}

void LoadSaveFile_Close(LoadSaveFile* file)
{
    if (!file) return;
    // A failed write-back has no one to tell: the handle is gone either way.
    if (!file->stream && file->writable && file->name)
        LoadSave_WriteSaveFile(file->name, file->data, size_t(file->size));
    LoadSaveFile_Discard(file);
}

void LoadSaveFile_Discard(LoadSaveFile* file)
{
    if (!file) return;
    if (file->stream) std::fclose(file->stream);
    Runner_ReplaceText(&file->name, nullptr);
    QS_FREE(file->data);
    delete file;
}

int32_t LoadSaveFile_GetChar(LoadSaveFile* file)
{
    if (!file) return -1;
    const int64_t at = file->position++;
    return at >= 0 && at < file->size ? file->data[at] : -1;
}

size_t LoadSaveFile_Read(void* destination, size_t elementSize, size_t count, LoadSaveFile* file)
{
    if (!file || !destination || elementSize == 0 || count == 0 || file->position >= file->size) return 0;
    if (count > size_t(kMaxSize) / elementSize) count = size_t(kMaxSize) / elementSize;
    size_t n = elementSize * count;
    const size_t left = size_t(file->size - file->position);
    if (n > left) n = left;
    std::memcpy(destination, file->data + file->position, n);
    file->position += int64_t(n);
    return n;
}

size_t LoadSaveFile_Write(const void* source, size_t elementSize, size_t count, LoadSaveFile* file)
{
    if (!file || !source || elementSize == 0 || count == 0) return 0;
    if (count > size_t(kMaxSize) / elementSize) return 0;
    if (file->stream) return std::fwrite(source, 1, elementSize * count, file->stream);
    return WriteBytes(file, source, elementSize * count);
}

size_t LoadSaveFile_WriteString(LoadSaveFile* file, const char* text)
{
    if (!file || !text || !text[0]) return 0;
    size_t lone = 0;
    const size_t length = std::strlen(text);
    for (size_t i = 0; i < length; ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++lone;
    if (lone == 0) return LoadSaveFile_Write(text, 1, length, file);
    auto* copy = static_cast<char*>(QS_ALLOC(length + lone, false));
    if (!copy) return 0;
    size_t n = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) copy[n++] = '\r';
        copy[n++] = text[i];
    }
    const size_t written = LoadSaveFile_Write(copy, 1, n, file);
    QS_FREE(copy);
    return written;
}

size_t LoadSaveFile_ReadReal(LoadSaveFile* file, double* out)
{
    *out = 0;
    if (!file) return 0;
    int64_t at = file->position;
    while (at < file->size && std::isspace(file->data[at])) ++at;
    if (at >= file->size) return 0;
    // strtod needs a terminated text; the number cannot be longer than the rest.
    const size_t left = size_t(file->size - at);
    char local[128];
    char* text = left < sizeof local ? local : static_cast<char*>(QS_ALLOC(left + 1, false));
    if (!text) return 0;
    std::memcpy(text, file->data + at, left);
    text[left] = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    const size_t used = size_t(end - text);
    if (text != local) QS_FREE(text);
    if (used == 0) return 0;
    *out = value;
    const size_t consumed = size_t(at - file->position) + used;
    file->position = at + int64_t(used);
    return consumed;
}

int64_t LoadSaveFile_Seek(LoadSaveFile* file, int64_t offset, int origin)
{
    if (!file) return 0;
    int64_t p = file->position;
    switch (origin) {
    case 0: p = offset; break;
    case 1: p = file->position + offset; break;
    case 2: p = file->size - (offset <= 0 ? 0 : offset < file->size ? offset : file->size); break;
    default: break;
    }
    file->position = p < 0 ? 0 : p > kMaxSize ? kMaxSize : p;
    return file->position;
}

int64_t LoadSaveFile_Tell(LoadSaveFile* file)
{
    return file ? file->position : 0;
}

bool LoadSaveFile_Eof(LoadSaveFile* file)
{
    return !file || file->position >= file->size;
}

bool LoadSaveFile_Eoln(LoadSaveFile* file)
{
    if (LoadSaveFile_Eof(file)) return true;
    const uint8_t c = file->data[file->position];
    return c == '\r' || c == '\n';
}

size_t LoadSaveFile_Size(LoadSaveFile* file)
{
    return file ? size_t(file->size) : 0;
}

LoadSaveFile* LoadSave_OpenFile(const char* fullPath, const char* mode)
{
    if (!fullPath || !fullPath[0] || !mode) return nullptr;
    const bool creates = std::strpbrk(mode, "wa") && !LoadSave_FileExists(fullPath);
    FILE* f = std::fopen(fullPath, mode);
    if (!f) return nullptr;
    if (creates) TempDirectory_NoteCreated(fullPath);
    auto* file = new (std::nothrow) LoadSaveFile;
    if (!file) {
        std::fclose(f);
        return nullptr;
    }
    file->stream = f;
    return file;
}

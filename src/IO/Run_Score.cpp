#include "IO/Run_Score.h"

#include <cstring>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "IO/LoadSave.h"

double score = 0;

namespace {
struct ScoreEntry {
    bool hasName = false;
    std::string name;
    int32_t value = 0;
};

struct ScoreTable {
    bool changed = false;
    ScoreEntry entries[SCORE_PLACES];
    std::string emptyName = "<nobody>";
} g_Score;

constexpr char kMagic[4] = {'H', 'I', 'S', 'C'};
constexpr uint8_t kFiller = 0xF0;
const char* const kFileName = "hiscore.dat";

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(std::vector<uint8_t>* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out->push_back(uint8_t(v >> (8 * i)));
}

void PutU32At(std::vector<uint8_t>* out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) (*out)[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// Reads the entries of a file already known to hold end bytes; false at the
// first entry that is damaged.
bool ReadEntries(const uint8_t* data, uint32_t end, const char* path)
{
    uint32_t at = 8;
    for (int place = 0; place < SCORE_PLACES; ++place) {
        if (end - at < 4) {
            LogConsole->Output("%s: entry %d runs past the end of the file\n", path, place + 1);
            return false;
        }
        const uint32_t length = ReadU32(data + at);
        at += 4;
        if (length > SCORE_MAX_NAME) {
            LogConsole->Output("%s: entry %d has a name of %u bytes\n", path, place + 1, length);
            return false;
        }
        const uint32_t padded = (length + 3) & ~3u;
        if (end - at < padded + 4) {
            LogConsole->Output("%s: entry %d runs past the end of the file\n", path, place + 1);
            return false;
        }
        ScoreEntry& entry = g_Score.entries[place];
        entry.hasName = length != 0;
        entry.name.assign(reinterpret_cast<const char*>(data + at), length);
        entry.value = static_cast<int32_t>(ReadU32(data + at + padded));
        at += padded + 4;
    }
    return true;
}
}  // namespace

void Score_Init() { Score_Clear(); }

void Score_Load()
{
    char path[2048];
    LoadSave_MakeSavePath(path, sizeof path, kFileName);
    Score_LoadFile(path);
}

void Score_Save()
{
    if (!g_Score.changed) return;
    char path[2048];
    LoadSave_MakeSavePath(path, sizeof path, kFileName);
    Score_SaveFile(path);
}

bool Score_LoadFile(const char* fullPath)
{
    g_Score.changed = false;
    uint32_t size = 0;
    uint8_t* data = *fullPath ? LoadSave_ReadWholeFile(fullPath, &size) : nullptr;
    if (!data) return false;
    bool loaded = false;
    if (size < 8 || std::memcmp(data, kMagic, 4) != 0) {
        LogConsole->Output("%s is not a high-score file\n", fullPath);
    } else if (ReadU32(data + 4) > size || ReadU32(data + 4) < 8) {
        LogConsole->Output("%s gives a length of %u bytes for a file of %u\n", fullPath, ReadU32(data + 4), size);
    } else {
        // Bytes past the stated end are not the table's.
        loaded = ReadEntries(data, ReadU32(data + 4), fullPath);
    }
    QS_FREE(data);
    return loaded;
}

bool Score_SaveFile(const char* fullPath)
{
    g_Score.changed = false;
    std::vector<uint8_t> bytes(kMagic, kMagic + 4);
    PutU32(&bytes, 0);
    for (const ScoreEntry& entry : g_Score.entries) {
        const uint32_t length = entry.hasName ? uint32_t(entry.name.size()) : 0;
        PutU32(&bytes, length);
        bytes.insert(bytes.end(), entry.name.begin(), entry.name.begin() + length);
        bytes.resize((bytes.size() + 3) & ~size_t(3), kFiller);
        PutU32(&bytes, entry.hasName ? static_cast<uint32_t>(entry.value) : 0);
    }
    PutU32At(&bytes, 4, uint32_t(bytes.size()));
    if (!*fullPath) return false;
    EnsureFileDirectory(fullPath);
    LoadSaveFile* file = LoadSave_OpenFile(fullPath, "wb");
    if (!file) return false;
    const bool written = LoadSaveFile_Write(bytes.data(), 1, bytes.size(), file) == bytes.size();
    LoadSaveFile_Close(file);
    return written;
}

void Score_Add(const char* name, int32_t value)
{
    int place = 0;
    while (place < SCORE_PLACES && g_Score.entries[place].value >= value) ++place;
    if (place == SCORE_PLACES) return;
    for (int i = SCORE_PLACES - 1; i > place; --i) g_Score.entries[i] = std::move(g_Score.entries[i - 1]);
    ScoreEntry& entry = g_Score.entries[place];
    entry.hasName = name != nullptr;
    entry.name = name ? name : "";
    entry.value = value;
    g_Score.changed = true;
}

void Score_Clear()
{
    for (ScoreEntry& entry : g_Score.entries) {
        entry.hasName = true;
        entry.name = g_Score.emptyName;
        entry.value = 0;
    }
}

void Score_Reset() { g_Score = ScoreTable{}; }

void Score_SetEmptyName(const char* text) { g_Score.emptyName = text ? text : ""; }

const char* Score_GetName(int place)
{
    if (place < 1 || place > SCORE_PLACES) return nullptr;
    const ScoreEntry& entry = g_Score.entries[place - 1];
    return entry.hasName ? entry.name.c_str() : nullptr;
}

int32_t Score_GetValue(int place) { return place < 1 || place > SCORE_PLACES ? 0 : g_Score.entries[place - 1].value; }

bool Score_Changed() { return g_Score.changed; }

#include "Base/MemoryTrace.h"

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Base/MemoryManager.h"
#include "Base/MurmurHash3.h"
#include "Base/Thread.h"

namespace {
const char* (*s_builtinName)() = nullptr;
int (*s_interpreterFrames)(MemoryTraceFrame*, int) = nullptr;
// Names of the trace file, keyed by text, Robin Hood probing. Names are copied:
// labels may live in temporary buffers. Storage comes from the C heap so that
// tracing never re-enters the manager.
struct NameEntry {
    char* name;
    int32_t id;
    uint32_t hash;  // 0: empty slot
};

struct MemoryTraceNameMap {
    int32_t capacity = 0;
    int32_t count = 0;
    int32_t mask = 0;
    int32_t growThreshold = 0;
    NameEntry* entries = nullptr;
};

uint32_t NameHash(const char* name)
{
    const uint32_t hash = MurmurHash3_String(name) & 0x7FFFFFFFu;
    return hash ? hash : 1;  // 0 marks an empty slot
}

int32_t ProbeDistance(const MemoryTraceNameMap& map, int32_t slot, uint32_t hash)
{
    return (map.capacity + slot - static_cast<int32_t>(hash & static_cast<uint32_t>(map.mask))) & map.mask;
}

bool NameMap_Setup(MemoryTraceNameMap& map, int32_t capacity)
{
    auto* entries = static_cast<NameEntry*>(std::calloc(static_cast<size_t>(capacity), sizeof(NameEntry)));
    if (!entries) return false;
    map.entries = entries;
    map.capacity = capacity;
    map.mask = capacity - 1;
    map.growThreshold = static_cast<int32_t>(capacity * 0.8);
    map.count = 0;
    return true;
}

void NameMap_Clear(MemoryTraceNameMap& map)
{
    for (int32_t i = 0; i < map.capacity; ++i) {
        if (map.entries[i].hash) std::free(map.entries[i].name);
    }
    std::free(map.entries);
    map = MemoryTraceNameMap{};
}

void NameMap_Place(MemoryTraceNameMap& map, NameEntry entry)
{
    int32_t slot = static_cast<int32_t>(entry.hash & static_cast<uint32_t>(map.mask));
    int32_t distance = 0;
    for (;;) {
        NameEntry& resident = map.entries[slot];
        if (!resident.hash) {
            resident = entry;
            return;
        }
        const int32_t residentDistance = ProbeDistance(map, slot, resident.hash);
        if (residentDistance < distance) {
            const NameEntry displaced = resident;
            resident = entry;
            entry = displaced;
            distance = residentDistance;
        }
        slot = (slot + 1) & map.mask;
        ++distance;
    }
}

bool NameMap_Grow(MemoryTraceNameMap& map)
{
    MemoryTraceNameMap grown;
    if (!NameMap_Setup(grown, map.capacity * 2)) return false;
    for (int32_t i = 0; i < map.capacity; ++i) {
        if (map.entries[i].hash) NameMap_Place(grown, map.entries[i]);
    }
    grown.count = map.count;
    std::free(map.entries);
    map = grown;
    return true;
}

// Id of name, or -1 when it is not in the map.
int32_t NameMap_Find(const MemoryTraceNameMap& map, const char* name, uint32_t hash)
{
    if (!map.entries) return -1;
    int32_t slot = static_cast<int32_t>(hash & static_cast<uint32_t>(map.mask));
    for (int32_t distance = 0;; ++distance, slot = (slot + 1) & map.mask) {
        const NameEntry& resident = map.entries[slot];
        if (!resident.hash || ProbeDistance(map, slot, resident.hash) < distance) return -1;
        if (resident.hash == hash && std::strcmp(resident.name, name) == 0) return resident.id;
    }
}

bool NameMap_Insert(MemoryTraceNameMap& map, const char* name, uint32_t hash, int32_t id)
{
    if (!map.entries && !NameMap_Setup(map, 8)) return false;
    if (map.count > map.growThreshold && !NameMap_Grow(map)) return false;
    char* copy = strdup(name);
    if (!copy) return false;
    NameMap_Place(map, NameEntry{copy, id, hash});
    ++map.count;
    return true;
}

constexpr int kRecordCapacity = 16384;
constexpr int kRecordHeadSize = 8;
constexpr int kAllocFixedSize = 8 + 8 + 4 + 4;
constexpr int kMaxFrames = (kRecordCapacity - kAllocFixedSize) / 8;
constexpr int kLabelSlots = 31;
constexpr int kEventTextSize = 512;

struct MemoryTraceFile {
    uint8_t* buffer = nullptr;
    int32_t buffered = 0;
    char* path = nullptr;
    int32_t capacity = 0;  // 0 or less: every write goes straight to the file
};

struct TraceState {
    MemoryTraceFile file;
    // Head room for the tag and length, then the payload.
    uint8_t record[kRecordHeadSize + kRecordCapacity];
    int32_t recordUsed = 0;
    bool reentered = false;
    MemoryTraceNameMap names;
    int32_t nextNameId = 0;
    MemoryTraceFrame frames[kMaxFrames];
    int32_t frameIds[kMaxFrames];
    char eventText[kEventTextSize];
};

// Plain data only: the globals' destructors that free blocks after the exit
// flush still find a valid (detached) state.
TraceState s_trace;
std::atomic<bool> s_attached{false};

// Main-thread data: only the main thread pushes labels.
const char* s_labels[kLabelSlots + 1];
int32_t s_labelDepth = 0;

Mutex& TraceLock()
{
    static Mutex* lock = new Mutex("MemoryTraceMutex");
    return *lock;
}

void AppendToFile(const char* path, const void* a, size_t an, const void* b, size_t bn)
{
    FILE* f = std::fopen(path, "ab");
    if (!f) return;
    if (an) std::fwrite(a, 1, an, f);
    if (bn) std::fwrite(b, 1, bn, f);
    std::fclose(f);
}

void FlushFile()
{
    MemoryTraceFile& file = s_trace.file;
    if (file.buffered > 0) AppendToFile(file.path, file.buffer, static_cast<size_t>(file.buffered), nullptr, 0);
    file.buffered = 0;
}

void WriteBytes(const void* bytes, size_t n)
{
    MemoryTraceFile& file = s_trace.file;
    if (file.capacity <= 0) {
        AppendToFile(file.path, bytes, n, nullptr, 0);
        return;
    }
    if (static_cast<size_t>(file.buffered) + n >= static_cast<size_t>(file.capacity)) FlushFile();
    if (n >= static_cast<size_t>(file.capacity)) {
        AppendToFile(file.path, bytes, n, nullptr, 0);  // larger than the whole buffer
        return;
    }
    std::memcpy(file.buffer + file.buffered, bytes, n);
    file.buffered += static_cast<int32_t>(n);
}

void PutU32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteRecord(const char tag[4], const void* payload, size_t n)
{
    uint8_t head[kRecordHeadSize];
    std::memcpy(head, tag, 4);
    PutU32(head + 4, static_cast<uint32_t>(n));
    if (s_trace.file.capacity <= 0) {
        AppendToFile(s_trace.file.path, head, sizeof head, payload, n);  // one open per record
        return;
    }
    WriteBytes(head, sizeof head);
    WriteBytes(payload, n);
}

// Payload building in the record buffer; callers size records to fit.
void BeginRecord()
{
    s_trace.recordUsed = 0;
}

void Put32(uint32_t value)
{
    PutU32(s_trace.record + kRecordHeadSize + s_trace.recordUsed, value);
    s_trace.recordUsed += 4;
}

// The high word first, then the low word, each little-endian: a 32-bit
// address reads as four zero bytes and the address.
void PutPointer(const void* p)
{
    const auto address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
    Put32(static_cast<uint32_t>(address >> 32));
    Put32(static_cast<uint32_t>(address));
}

void PutU64(uint64_t value)
{
    Put32(static_cast<uint32_t>(value));
    Put32(static_cast<uint32_t>(value >> 32));
}

void EndRecord(const char tag[4])
{
    WriteRecord(tag, s_trace.record + kRecordHeadSize, static_cast<size_t>(s_trace.recordUsed));
}

// Id of name, entering it (with its "NAME" record) when new; -1 for no name.
int32_t NameId(const char* name)
{
    if (!name) return -1;
    const uint32_t hash = NameHash(name);
    const int32_t found = NameMap_Find(s_trace.names, name, hash);
    if (found >= 0) return found;
    const int32_t id = s_trace.nextNameId;
    if (!NameMap_Insert(s_trace.names, name, hash, id)) return -1;
    ++s_trace.nextNameId;
    WriteRecord("NAME", name, std::strlen(name));
    return id;
}

const char* CurrentLabel()
{
    if (const char* builtin = s_builtinName ? s_builtinName() : nullptr) return builtin;
    if (s_labelDepth <= 0) return nullptr;
    return s_labels[s_labelDepth <= kLabelSlots ? s_labelDepth : kLabelSlots];
}

// Runs body under the trace lock unless tracing is off or already under way
// on this thread.
template <typename Body>
void Traced(Body body)
{
    if (!s_attached.load(std::memory_order_acquire)) return;
    Mutex& lock = TraceLock();
    lock.Lock();
    if (s_attached.load() && !s_trace.reentered) {
        s_trace.reentered = true;
        body();
        s_trace.reentered = false;
    }
    lock.Unlock();
}

void Detach()
{
    s_attached = false;
    FlushFile();
    std::free(s_trace.file.buffer);
    std::free(s_trace.file.path);
    s_trace.file = MemoryTraceFile{};
    NameMap_Clear(s_trace.names);
    s_trace.nextNameId = 0;
}

struct FlushAtExit {
    ~FlushAtExit() { MemoryManager::DetachTraceFile(); }
} s_flushAtExit;
}  // namespace

void MemoryTrace_Alloc(const void* block, size_t size)
{
    Traced([&] {
        const bool mainThread = Thread_IsMainThread();
        const int32_t labelId = mainThread ? NameId(CurrentLabel()) : -1;
        const int frameCount = mainThread && s_interpreterFrames ? s_interpreterFrames(s_trace.frames, kMaxFrames) : 0;
        // Names first: each "NAME" record must precede the record that uses it.
        for (int i = 0; i < frameCount; ++i) s_trace.frameIds[i] = NameId(s_trace.frames[i].function);
        BeginRecord();
        PutPointer(block);
        PutU64(size);
        Put32(static_cast<uint32_t>(labelId));
        Put32(static_cast<uint32_t>(frameCount));
        for (int i = 0; i < frameCount; ++i) {
            Put32(static_cast<uint32_t>(s_trace.frameIds[i]));
            Put32(static_cast<uint32_t>(s_trace.frames[i].line));
        }
        EndRecord("ALLC");
    });
}

void MemoryTrace_Free(const void* block)
{
    Traced([&] {
        BeginRecord();
        PutPointer(block);
        EndRecord("FREE");
    });
}

namespace MemoryManager {
void PushLabel(const char* text)
{
    if (!Thread_IsMainThread()) return;
    ++s_labelDepth;
    if (s_labelDepth <= kLabelSlots) s_labels[s_labelDepth] = text;
}

void PopLabel()
{
    if (!Thread_IsMainThread() || s_labelDepth <= 0) return;
    --s_labelDepth;
}

void TraceEvent(const char* format, ...)
{
    if (!format) return;
    va_list args;
    va_start(args, format);
    Traced([&] {
        std::vsnprintf(s_trace.eventText, sizeof s_trace.eventText, format, args);
        WriteRecord("EVNT", s_trace.eventText, std::strlen(s_trace.eventText));
    });
    va_end(args);
}

bool AttachTraceFile(const char* path, int capacity)
{
    if (!path) return false;
    Mutex& lock = TraceLock();
    lock.Lock();
    Detach();
    bool ok = false;
    if (FILE* f = std::fopen(path, "wb")) {
        std::fclose(f);
        s_trace.file.path = strdup(path);
        s_trace.file.capacity = capacity > 0 ? capacity : 0;
        if (capacity > 0) s_trace.file.buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
        ok = s_trace.file.path && (capacity <= 0 || s_trace.file.buffer);
        if (ok) {
            s_attached = true;
        } else {
            Detach();
        }
    }
    lock.Unlock();
    return ok;
}

void DetachTraceFile()
{
    Mutex& lock = TraceLock();
    lock.Lock();
    Detach();
    lock.Unlock();
}
}  // namespace MemoryManager

void MemoryTrace_SetSources(const char* (*currentBuiltinName)(), int (*interpreterFrames)(MemoryTraceFrame* frames, int max))
{
    s_builtinName = currentBuiltinName;
    s_interpreterFrames = interpreterFrames;
}

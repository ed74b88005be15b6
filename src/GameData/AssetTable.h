#pragma once
// The table of one kind of game asset: records by index, each with its own
// name, as the data file's chunk lists them and as the game adds them at run
// time. An index holds a record or is empty; the table frees the records and
// names it holds. Storage comes from the tracked allocator.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "Options/Runner_Strings.h"

template <typename T>
void AssetTable_Delete(T* record)
{
    delete record;
}

template <typename T, void (*Dispose)(T*) = AssetTable_Delete<T>>
class AssetTable {
public:
    // Records added at run time are named newNamePrefix followed by their index.
    explicit constexpr AssetTable(const char* newNamePrefix = "") : m_prefix(newNamePrefix) {}
    AssetTable(const AssetTable&) = delete;
    AssetTable& operator=(const AssetTable&) = delete;

    int32_t Count() const { return m_count; }
    bool InRange(int32_t index) const { return index >= 0 && index < m_count; }
    // Null outside the table and for an empty index.
    T* Get(int32_t index) const { return InRange(index) ? m_records[index] : nullptr; }
    // Null outside the table and for an index without a name.
    const char* Name(int32_t index) const { return InRange(index) ? m_names[index] : nullptr; }
    // The name of the record at index; missing when there is no record or it has no name.
    const char* NameOr(int32_t index, const char* missing) const
    {
        return Get(index) && m_names[index] ? m_names[index] : missing;
    }
    // The lowest (or highest) index holding a record named exactly name; -1 when none.
    int32_t FindFirst(const char* name) const
    {
        for (int32_t i = 0; name && i < m_count; ++i)
            if (Holds(i, name)) return i;
        return -1;
    }
    int32_t FindLast(const char* name) const
    {
        for (int32_t i = m_count - 1; name && i >= 0; --i)
            if (Holds(i, name)) return i;
        return -1;
    }

    // A new index at the end holding record (taken over), named after the
    // prefix; -1 when record is null or there is no memory (record disposed).
    int32_t Append(T* record)
    {
        const int32_t index = m_count;
        if (!record || !Reserve(index + 1)) {
            if (record) Dispose(record);
            return -1;
        }
        m_records[index] = record;
        m_count = index + 1;
        GiveNewName(index);
        return index;
    }
    // Takes back the last index after an add that could not go on.
    void DropLast()
    {
        if (m_count == 0) return;
        Delete(m_count - 1);
        --m_count;
    }
    // Record (taken over) replaces what index holds; the name stays.
    void Put(int32_t index, T* record)
    {
        if (m_records[index] && m_records[index] != record) Dispose(m_records[index]);
        m_records[index] = record;
    }
    // The index becomes empty: record and name are freed.
    void Delete(int32_t index)
    {
        if (!InRange(index)) return;
        if (m_records[index]) Dispose(m_records[index]);
        m_records[index] = nullptr;
        MemoryManager::Free(m_names[index]);
        m_names[index] = nullptr;
    }
    // An index without a name is named as a new record at that index would be.
    void GiveNewName(int32_t index)
    {
        if (m_names[index]) return;
        char name[64];
        std::snprintf(name, sizeof name, "%s%d", m_prefix, index);
        m_names[index] = Runner_CopyText(name);
    }
    // Every index after index moves one down; the last becomes empty.
    void CloseGap(int32_t index)
    {
        Delete(index);
        for (int32_t i = index; i + 1 < m_count; ++i) {
            m_records[i] = m_records[i + 1];
            m_names[i] = m_names[i + 1];
        }
        m_records[m_count - 1] = nullptr;
        m_names[m_count - 1] = nullptr;
    }
    // count empty indices replace the table; false without memory (the table is then empty).
    bool Reset(int32_t count)
    {
        FreeAll();
        if (!Reserve(count)) return false;
        m_count = count;
        return true;
    }
    // Sets the record and a copy of name at index.
    void Set(int32_t index, T* record, const char* name)
    {
        Put(index, record);
        MemoryManager::Free(m_names[index]);
        m_names[index] = Runner_CopyText(name);
    }
    void FreeAll()
    {
        for (int32_t i = 0; i < m_count; ++i) Delete(i);
        MemoryManager::Free(m_records);
        MemoryManager::Free(m_names);
        m_records = nullptr;
        m_names = nullptr;
        m_count = m_capacity = 0;
    }

    // Reads a chunk that lists its records by offset (0 for none) into a new
    // table: read(i, offset, &record, &name) makes the record of entry i and
    // gives its name (null for none). Only once every entry has been read does
    // the new table replace this one; a failed read, or no memory for the
    // count entries (reported as "no memory for <count> <what>"), leaves this
    // one as it was.
    template <typename ReadRecord>
    bool LoadChunk(const char* tag, const char* what, const uint8_t* payload, uint32_t length, ReadRecord read)
    {
        uint32_t count = 0;
        if (!GameData_CheckList(tag, payload, length, &count)) return false;
        AssetTable loaded(m_prefix);
        if (count > 0x7FFFFFFFu || !loaded.Reset(static_cast<int32_t>(count))) {
            loaded.FreeAll();
            return GameData_Fail(tag, "no memory for %u %s", count, what);
        }
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
            if (offset == 0) continue;
            T* record = nullptr;
            const char* name = nullptr;
            const bool ok = read(i, offset, &record, &name);
            loaded.Set(static_cast<int32_t>(i), record, name);
            if (!ok) {
                loaded.FreeAll();
                return false;
            }
        }
        FreeAll();
        TakeOver(loaded);
        return true;
    }

private:
    bool Holds(int32_t index, const char* name) const
    {
        return m_records[index] && m_names[index] && std::strcmp(m_names[index], name) == 0;
    }
    // Room for count indices; the capacity grows by half again (16 at least).
    bool Reserve(int32_t count)
    {
        if (count <= m_capacity) return true;
        const int32_t capacity = count < 16 ? 16 : count + count / 2;
        void* records = m_records;
        void* names = m_names;
        if (!MemoryManager::ReallocPtr(&records, sizeof(T*) * size_t(capacity), __FILE__, __LINE__)) return false;
        m_records = static_cast<T**>(records);
        if (!MemoryManager::ReallocPtr(&names, sizeof(char*) * size_t(capacity), __FILE__, __LINE__)) return false;
        m_names = static_cast<char**>(names);
        for (int32_t i = m_capacity; i < capacity; ++i) {
            m_records[i] = nullptr;
            m_names[i] = nullptr;
        }
        m_capacity = capacity;
        return true;
    }
    void TakeOver(AssetTable& other)
    {
        m_records = other.m_records;
        m_names = other.m_names;
        m_count = other.m_count;
        m_capacity = other.m_capacity;
        other.m_records = nullptr;
        other.m_names = nullptr;
        other.m_count = other.m_capacity = 0;
    }

    const char* m_prefix;
    T** m_records = nullptr;
    char** m_names = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
};

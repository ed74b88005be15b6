#pragma once
// An indexed list of values. Entries may carry the nested marks; clearing or
// destroying the list destroys the structures they name.
#include <cstdint>

#include "Code/Code_Value.h"

class CDS_List {
public:
    CDS_List() = default;
    ~CDS_List();
    CDS_List(const CDS_List&) = delete;
    CDS_List& operator=(const CDS_List&) = delete;

    // Appends a copy; the array grows by max(16, capacity / 8).
    void Add(const ScriptValue* value);
    // Nothing when position is outside 0..count.
    void Insert(int32_t position, const ScriptValue* value);
    // Stores at position, extending the list when it lies beyond the end;
    // returns old (filled with the slot's former value) or null when nothing
    // was stored.
    ScriptValue* Set(int32_t position, const ScriptValue* value, ScriptValue* old);
    void Replace(int32_t position, const ScriptValue* value);
    void Delete(int32_t position);
    ScriptValue* GetItem(int32_t position);
    // Lowest position of an equal value, -1 when none.
    int32_t FindIndex(const ScriptValue* value);
    // Destroys nested structures, releases every entry (they become
    // undefined); the array stays. Takes DsMutex.
    void Clear();
    // Becomes a copy of source (null source: clear). Copied entries carry no
    // nested marks, so the source stays the only owner of what they name.
    void Copy(CDS_List* source);
    // Insertion sort: ascending keeps equal values in order, descending
    // reverses them.
    void Sort(bool ascending);
    void Shuffle();
    // The text form (a new memory-manager text the caller frees), and reading
    // one back: false, content unchanged, for a text of another structure;
    // false, content emptied, for counts the text cannot hold.
    char* Write();
    bool Read(const char* text, bool legacy);
    int32_t Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    int32_t Capacity() const { return m_capacity; }
    bool Clearing() const { return m_clearing; }

private:
    int32_t m_count = 0;
    int32_t m_capacity = 0;
    ScriptValue* m_items = nullptr;
    bool m_clearing = false;
};

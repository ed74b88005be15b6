#pragma once
// A priority queue: value/priority pairs kept in the order of their adds
// (changed only by deletions); every search scans all entries.
#include <cstdint>

#include "Code/Code_Value.h"

class CDS_Priority {
public:
    CDS_Priority() = default;
    ~CDS_Priority();
    CDS_Priority(const CDS_Priority&) = delete;
    CDS_Priority& operator=(const CDS_Priority&) = delete;

    void Add(const ScriptValue* value, const ScriptValue* priority);
    // The first entry of an equal value gets the new priority.
    void ChangePriority(const ScriptValue* value, const ScriptValue* priority);
    ScriptValue* FindPriority(const ScriptValue* value);
    // Removes the first entry of an equal value; the last entry takes its place.
    void DeleteValue(const ScriptValue* value);
    // result receives the value of the entry with the greatest (least)
    // priority, the earliest one on ties, which is removed; the real 0 when
    // the queue is empty.
    void DeleteMax(ScriptValue* result);
    void DeleteMin(ScriptValue* result);
    ScriptValue* FindMax();
    ScriptValue* FindMin();
    void Clear();
    // Becomes a copy of source; a null source clears.
    void Copy(CDS_Priority* source);
    // The text form (a new memory-manager text the caller frees), and reading
    // one back: false, content unchanged, for a text of another structure;
    // false, content emptied, for counts the text cannot hold.
    char* Write();
    bool Read(const char* text, bool legacy);
    int32_t Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }

    // The collector marks what the entries hold (DS_Mark.cpp).
    void Mark() const;

private:
    // Entry with the greatest (sign 1) or least (sign -1) priority; -1 when empty.
    int32_t Best(int sign);
    int32_t Find(const ScriptValue* value);
    void RemoveAt(int32_t index);
    void DeleteBest(ScriptValue* result, int sign);

    int32_t m_count = 0;
    int32_t m_valueCapacity = 0;
    ScriptValue* m_values = nullptr;
    int32_t m_priorityCapacity = 0;
    ScriptValue* m_priorities = nullptr;
};

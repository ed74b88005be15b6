#pragma once
// A queue of values: items[head .. tail - 1], compacted to the front once more
// than half of the used slots lie before the head.
#include <cstdint>

#include "Code/Code_Value.h"

class CDS_Queue {
public:
    CDS_Queue() = default;
    ~CDS_Queue();
    CDS_Queue(const CDS_Queue&) = delete;
    CDS_Queue& operator=(const CDS_Queue&) = delete;

    void Enqueue(const ScriptValue* value);
    // The value stays in its slot until the slot is written again; callers copy it.
    ScriptValue* Dequeue();
    ScriptValue* Head();
    // The value enqueued last.
    ScriptValue* Tail();
    // The text form (a new memory-manager text the caller frees), and reading
    // one back: false, content unchanged, for a text of another structure;
    // false, content emptied, for counts the text cannot hold.
    char* Write();
    bool Read(const char* text, bool legacy);
    int32_t Size() const { return m_tail - m_head; }
    bool Empty() const { return m_tail == m_head; }
    // Releases every slot; the array stays for the next growth.
    void Clear();
    // Becomes a copy of source, slot for slot; a null source clears.
    void Copy(CDS_Queue* source);
    int32_t HeadIndex() const { return m_head; }
    int32_t TailIndex() const { return m_tail; }

    // The collector marks what the entries hold (DS_Mark.cpp).
    void Mark() const;

private:
    int32_t m_tail = 0;
    int32_t m_head = 0;
    int32_t m_capacity = 0;
    int32_t m_allocated = 0;  // slots of the array, which Clear keeps
    ScriptValue* m_items = nullptr;
};

#pragma once
// A stack of values; the top is the last slot in use.
#include <cstdint>

#include "Code/Code_Value.h"

class CDS_Stack {
public:
    CDS_Stack() = default;
    ~CDS_Stack();
    CDS_Stack(const CDS_Stack&) = delete;
    CDS_Stack& operator=(const CDS_Stack&) = delete;

    void Push(const ScriptValue* value);
    // The popped value stays in its slot until the next push; callers copy it.
    ScriptValue* Pop();
    ScriptValue* Top();
    // Releases every slot and frees the array.
    void Clear();
    // Becomes a copy of source, slot for slot; a null source clears.
    void Copy(CDS_Stack* source);
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
    int32_t m_count = 0;
    int32_t m_capacity = 0;
    ScriptValue* m_items = nullptr;
};

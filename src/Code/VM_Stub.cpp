#include "Code/VM_Main.h"

#include <algorithm>
#include <cstring>

#include "Code/Code_Main.h"

VMFrame* VM_CurrentFrame = nullptr;
int32_t VM_ArgumentCount = 0;
ScriptValue* VM_ArgumentBase = nullptr;

const VMDebugEntry* VM_FindPosEntry(const VMBuffer* table, int32_t codeOffset)
{
    if (!table || !table->m_code) return nullptr;
    const auto* entries = reinterpret_cast<const VMDebugEntry*>(table->m_code);
    const int count = table->m_size / static_cast<int>(sizeof(VMDebugEntry));
    const VMDebugEntry* found = nullptr;
    for (int i = 0; i < count && entries[i].codeOffset <= codeOffset; ++i)
        found = &entries[i];
    return found;
}

// Counts lines up to the entry's source offset; the "#line" renumbering is
// left to the real interpreter.
int VM_LineFromPos(const VMDebugEntry* entry, const char* source, const char** fileName)
{
    if (fileName) *fileName = nullptr;
    if (!entry || !source || entry->sourceOffset < 0) return -1;
    const size_t end = std::min(static_cast<size_t>(entry->sourceOffset), std::strlen(source));
    int line = 1;
    for (size_t i = 0; i < end; ++i)
        if (source[i] == '\n') ++line;
    return line;
}

const char* VM_LineText(const VMDebugEntry* entry, const char* source)
{
    static char text[255];
    if (!entry || !source || entry->sourceOffset < 0) return "<unknown source line>";
    const size_t length = std::strlen(source);
    size_t start = std::min(static_cast<size_t>(entry->sourceOffset), length);
    while (start > 0 && source[start - 1] != '\n') --start;
    size_t n = 0;
    while (start + n < length && source[start + n] != '\r' && source[start + n] != '\n' && n + 1 < sizeof text)
        ++n;
    std::memcpy(text, source + start, n);
    text[n] = '\0';
    return text;
}

int VM_OperandSize(int type)
{
    static const int kSizes[16] = {8, 4, 4, 8, 4, 4, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0};
    return kSizes[type & 0xF];
}

void VM_RunCode(CCode*, CInstance*, CInstance*, ScriptValue*, KVObjectBase*, int, ScriptValue*, int) {}

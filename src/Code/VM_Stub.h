#pragma once
// Stand-in for the bytecode interpreter's run record and debug-table lookups,
// holding only what the error report reads.
#include <cstdint>

struct VMDebugEntry {
    int32_t codeOffset;
    int32_t sourceOffset;
};

// Debug table of a code entry: size in bytes, then the sorted entries.
struct VMBuffer {
    int32_t size;
    const VMDebugEntry* entries;
};

struct VMFrame {
    const char* name;        // name of the current code entry
    VMBuffer* debugTable;    // null when the entry has none
    const char* source;      // source text, or null
    int32_t position;        // byte offset of the next instruction
    int32_t depth;           // script calls active inside this run
    int32_t codeSize;        // bytes of the current code
    int32_t instruction;     // byte offset of the instruction being executed
};

// The run that is executing now; null outside bytecode.
extern VMFrame* VM_CurrentFrame;

const VMDebugEntry* VM_FindPosEntry(const VMBuffer* table, int32_t codeOffset);
int VM_LineFromPos(const VMDebugEntry* entry, const char* source, const char** fileName);
const char* VM_LineText(const VMDebugEntry* entry, const char* source);

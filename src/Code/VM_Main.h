#pragma once
// The bytecode interpreter: its run record and debug-table lookups (what the
// error report reads), the operand sizes, the run of a code entry and its
// error. Until the interpreter is built (VM_Stub.cpp) a run does nothing.
#include <cstdint>

class CCode;
class CInstance;
class KVObjectBase;
class VMBuffer;
struct ScriptValue;

struct VMDebugEntry {
    int32_t codeOffset;
    int32_t sourceOffset;
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

// The running call's arguments, read by the argument built-in variables.
extern int32_t VM_ArgumentCount;
extern ScriptValue* VM_ArgumentBase;

// A code entry's debug table is a VMBuffer whose words are these entries, sorted.
const VMDebugEntry* VM_FindPosEntry(const VMBuffer* table, int32_t codeOffset);
int VM_LineFromPos(const VMDebugEntry* entry, const char* source, const char** fileName);
const char* VM_LineText(const VMDebugEntry* entry, const char* source);

// Operand bytes that follow an instruction word, by its first type (0..15).
int VM_OperandSize(int type);

// Runs a code entry's bytecode (the stand-in runs nothing).
void VM_RunCode(CCode* code, CInstance* self, CInstance* other, ScriptValue* result, KVObjectBase* locals, int argc,
                ScriptValue* args, int flags);

// The interpreter's error: reported as fatal, then the process ends with exit
// code -1 (a child game ends instead); while a watch expression is evaluated
// it only stops the run.
void VM_RuntimeError(VMFrame* frame, const char* format, ...) __attribute__((format(printf, 2, 3)));

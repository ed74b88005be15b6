#pragma once
// The bytecode interpreter as the rest of the engine sees it: the run record
// (what the error report and the debugger read), the code format's tables and
// debug-table look-ups, the listing, and the run of a code entry. The
// interpreter itself lives in the Interpreter layer (it needs variables,
// scripts, instances and extensions, all above this one), which the runner
// installs here with VM_SetInterpreter.
#include <cstdint>

#include "Code/Code_Main.h"

class CInstance;
class KVObjectBase;
class tagIConsole;
struct VMCallRecord;

struct VMDebugEntry {
    int32_t codeOffset;
    int32_t sourceOffset;
};

// Bytecode data types (the type nibbles of an instruction word).
enum VMType : int32_t {
    VMT_DOUBLE = 0,
    VMT_FLOAT = 1,
    VMT_INT = 2,
    VMT_LONG = 3,
    VMT_BOOL = 4,
    VMT_VAR = 5,
    VMT_STRING = 6,
    VMT_DEBUGSTRING = 7,
    VMT_DELETE = 8,    // "pop": the delete form
    VMT_DECLARE = 9,   // "pop": the declaration form
    VMT_ERROR = 15,    // the word's 16-bit immediate; special forms of "pop" and "dup"
};

// Opcode bytes (bits 24-31 of the word).
enum VMOpcode : uint32_t {
    VMO_POPV = 0x05, VMO_CONV = 0x07, VMO_MUL = 0x08, VMO_DIV = 0x09, VMO_REM = 0x0A, VMO_MOD = 0x0B,
    VMO_ADD = 0x0C, VMO_SUB = 0x0D, VMO_AND = 0x0E, VMO_OR = 0x0F, VMO_XOR = 0x10, VMO_NEG = 0x11,
    VMO_NOT = 0x12, VMO_SHL = 0x13, VMO_SHR = 0x14, VMO_SET = 0x15, VMO_POP = 0x45, VMO_PUSHV = 0x80,
    VMO_PUSHI = 0x84, VMO_DUP = 0x86, VMO_CALLV = 0x99, VMO_RET = 0x9C, VMO_EXIT = 0x9D, VMO_POPZ = 0x9E,
    VMO_B = 0xB6, VMO_BT = 0xB7, VMO_BF = 0xB8, VMO_PUSHENV = 0xBA, VMO_POPENV = 0xBB, VMO_PUSH = 0xC0,
    VMO_PUSHL = 0xC1, VMO_PUSHG = 0xC2, VMO_PUSHB = 0xC3, VMO_CALL = 0xD9, VMO_BREAK = 0xFF,
};

// Bits of a variable reference operand.
constexpr uint32_t VMREF_ID_MASK = 0x0FFFFFFF;
constexpr uint32_t VMREF_CLEAR_CONFIGURABLE = 1u << 28;
constexpr uint32_t VMREF_SCOPE_IN_WORD = 1u << 29;
constexpr uint32_t VMREF_SCOPE_INSTANCE = 1u << 30;
constexpr uint32_t VMREF_NO_INDEX = 1u << 31;

// One run of bytecode. The value stack is a block of 8-byte slots growing down
// from its end; a typed item takes one slot, a whole value two. A tag byte per
// slot says what the slot holds, so that nothing but a real value or string
// reference is ever released, whatever the code does.
struct VMFrame {
    VMFrame* nested;          // the run started from inside this one, else null
    VMFrame* previous;        // the run that was current when this one started
    uint8_t* stack;           // the value-stack block
    uint8_t* tags;            // one VMSlotTag per 8 bytes of the block
    int32_t localsGiven;      // 1 when the caller supplied the locals object
    KVObjectBase* locals;     // locals object of the current call
    CInstance* self;
    CInstance* other;
    const uint32_t* code;     // code words of the current code entry
    VMCallRecord* callRecord; // innermost call record (the bottom record at depth 0)
    VMCallRecord* bottomRecord;
    VMBuffer* buffer;         // bytecode of the current code entry
    const char* name;         // name of the current code entry
    VMBuffer* debugTable;     // null when the entry has none
    const char* source;       // source text, or null
    int32_t stackSize;        // bytes in the block
    int32_t position;         // byte offset of the next instruction
    int32_t handlerIndex;     // index of the next instruction in the pre-decoded table
    int32_t depth;            // script calls active inside this run
    int32_t codeSize;         // bytes of the current code
    int32_t instruction;      // byte offset of the instruction being executed
    VMHandler* handlers;      // pre-decoded handler table of the current buffer
    int32_t* indexMap;        // instruction index of each code word (position / 4)
    const VMStep* steps;      // the buffer's inline steps, one per instruction
    bool stopped;             // an error ended the run: nothing more runs in it
};

// Seventeen 8-byte words written just below a call's arguments; positions in
// the block are kept as offsets from its end so that they survive growth.
// The throw support reads the chain of records to find a handler.
struct VMCallRecord {
    int64_t callerPosition;
    int64_t reserved1;
    int64_t callerArgumentCount;
    int64_t previousRecord;      // offset from the block's end, -1 for none
    CInstance* self;
    CInstance* other;
    KVObjectBase* argumentsObject;
    VMBuffer* buffer;            // null marks the run's bottom record
    VMBuffer* debugTable;
    const char* source;
    const char* name;
    int64_t reserved11;
    void* handlerRecord;         // the call's try blocks (JS_Exception.h), owned
    int64_t localsGiven;
    KVObjectBase* locals;
    int64_t reserved15;
    int64_t argumentBase;        // offset from the block's end
};
static_assert(sizeof(VMCallRecord) == 17 * 8);

enum VMSlotTag : uint8_t {
    VMTAG_PLAIN = 0,      // a number, a bool, a saved pointer, the second half of a value
    VMTAG_VALUE = 1,      // the first slot of a 16-byte value
    VMTAG_STRING = 2,     // a string item owning one reference of its RefString
    VMTAG_WITH_ARRAY = 3, // the instance array of a with-block record
    VMTAG_WITH_RECORD = 4,// the other words of a with-block record
};

// The run that is executing now; null outside bytecode.
extern VMFrame* VM_CurrentFrame;

// A thrown value on its way to a handler: set by the throw support
// (JS_UnwindToHandler), taken by the loop of the handling run, which resumes
// at handlerPosition with the thrown value pushed where the try block's code
// started (just below the handling call record when that is unknown). Every
// run between the thrower and that one ends.
struct VMExceptionState {
    bool pending;
    VMFrame* handlingRun;
    int64_t recordPosition;    // the handling call record as an offset from its run's block end
    int64_t stackPosition;     // the try block's start as such an offset, -1 unknown
    int32_t handlerPosition;   // code offset of the handler in that call's code
    ScriptValue thrown;
};
extern VMExceptionState VM_Exception;

// The running call's arguments, read by the argument built-in variables.
extern int32_t VM_ArgumentCount;
extern ScriptValue* VM_ArgumentBase;

// A code entry's debug table is a VMBuffer whose words are these entries, sorted.
const VMDebugEntry* VM_FindPosEntry(const VMBuffer* table, int32_t codeOffset);
// The source line of the entry (1-based, renumbered by "#line" directives),
// -1 without an entry. When fileName is given it receives the directive's
// file token (in a buffer that the next call reuses), or null.
int VM_LineFromPos(const VMDebugEntry* entry, const char* source, const char** fileName);
const char* VM_LineText(const VMDebugEntry* entry, const char* source);

// Operand bytes that follow an instruction word, by its first type (0..15).
int VM_OperandSize(int type);
const char* VM_OpcodeName(uint32_t opcodeByte);
const char* VM_TypeSuffix(int type);
// The debugger's string table (strings of type 7); null while no debugger is connected.
extern const char* (*VM_DebuggerStringText)(uint32_t index);
// One line per instruction: offset, bytes, mnemonic with type suffixes, operand.
void VM_ListCode(const char* name, const VMBuffer* buffer, tagIConsole* console);

// Runs a code entry's bytecode; the top value at the end goes to result. In
// object mode a given arguments object goes to the locals' slot 0.
// Nothing runs until the interpreter is installed.
void VM_RunCode(CCode* code, CInstance* self, CInstance* other, ScriptValue* result, KVObjectBase* locals, int argc,
                ScriptValue* args, KVObjectBase* argumentsObject);
using VMRunCodeFn = void (*)(CCode* code, CInstance* self, CInstance* other, ScriptValue* result,
                             KVObjectBase* locals, int argc, ScriptValue* args, KVObjectBase* argumentsObject);
// The interpreter's run and the handlers its code is pre-decoded with.
void VM_SetInterpreter(VMRunCodeFn run, const VMHandlerSet* handlers);
// Null until the interpreter is installed.
const VMHandlerSet* VM_InterpreterHandlers();

// Checks size bytes of code run from start: every instruction known and
// whole, every branch landing on an instruction of the code (or its end),
// every built-in call naming a registered built-in, and start on an
// instruction. False with the first fault in why.
bool VM_CheckCode(const uint32_t* code, int32_t size, int32_t start, char* why, size_t whySize);

// The interpreter's error: reported as fatal, then the process ends with exit
// code -1 (a child game ends instead); while a watch expression is evaluated
// it only stops the run.
void VM_RuntimeError(VMFrame* frame, const char* format, ...) __attribute__((format(printf, 2, 3)));

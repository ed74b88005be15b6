#pragma once
// Code entries: every piece of game code the runner can execute (an object
// event, a room's creation code, a script, a global initialiser) is one CCode,
// identified by its index in the game's code table. It is bound to a compiled
// function of the game module, or to bytecode for the interpreter, or holds a
// constant value. Code_Run is the single entry through which code runs.
#include <cstdint>

#include "Code/Code_Value.h"

class CInstance;
struct CompiledCodeEntry;

// Chosen once at start-up, for the life of the process: on when a game module
// is linked (every code entry binds the compiled function of its index, and
// bytecode runs only for the debugger's watches), off in the runner without
// one (code entries bind the game file's bytecode for the interpreter).
extern bool CompiledCodeMode;

struct VMFrame;
// An instruction's handler: (instruction word, stack pointer, operand bytes,
// run) -> the new stack pointer.
typedef uint8_t* (*VMHandler)(uint32_t word, uint8_t* sp, const uint8_t* operand, VMFrame* frame);

// What the interpreter hands to the pre-decoder: a handler per opcode index
// and the specialised forms it binds once per code entry.
struct VMHandlerSet {
    VMHandler byIndex[32];
    VMHandler popLocalFast;   // "pop" of a value into a local
    VMHandler convIntToVar;   // "conv" int -> value
    VMHandler convDoubleToVar;// "conv" double -> value
    VMHandler compareValues;  // "set" of two values by one of the six comparisons
    VMHandler pushDoubleValue;// "push.d" followed by "conv.d.v": runs both
    VMHandler arithToLocal;   // "add", "sub", "mul" or "div" of values followed by a "pop" into a local: runs both
    VMHandler pushLocalNumber;// "pushl" followed by "push.d" and "conv.d.v": runs all three
    VMHandler compareBranch;  // a "set" of the compare form followed by "bt" or "bf": runs both
    VMHandler pushTwoLocals;  // "pushl" followed by "pushl": runs both
    VMHandler callBuiltin;    // "call" of a built-in id
    VMHandler callScript;     // "call" of a script id
    VMHandler callGeneral;    // "call" of script_execute or an extension
    VMHandler badInstruction; // an opcode byte that names no instruction, or an operand past the end
};

// What the interpreter's loop runs inline, without a handler call, for an
// instruction and those joined to it, while every value it touches is a real
// in a local or on the stack; any other case runs the instruction's handler.
enum VMStepKind : uint8_t {
    VM_STEP_HANDLER,            // the instruction's handler
    VM_STEP_END,                // the end of the code
    VM_STEP_BRANCH,             // "b"
    VM_STEP_PUSH_LOCAL,         // "pushl" a
    VM_STEP_PUSH_NUMBER,        // a number constant ("push.d", "conv.d.v")
    VM_STEP_PUSH_LOCAL_NUMBER,  // "pushl" a, a number constant
    VM_STEP_PUSH_TWO_LOCALS,    // "pushl" a, "pushl" b
    VM_STEP_POP_LOCAL,          // "pop" into local c
    VM_STEP_ARITH,              // arithmetic (op) of the two values on top
    VM_STEP_ARITH_STORE,        // arithmetic, "pop" into local c
    VM_STEP_LOCAL_NUMBER_ARITH, // "pushl" a, a number constant, arithmetic
    VM_STEP_LOCAL_NUMBER_STORE, // "pushl" a, a number constant, arithmetic, "pop" into local c
    VM_STEP_LOCALS_ARITH,       // "pushl" a, "pushl" b, arithmetic
    VM_STEP_LOCALS_STORE,       // "pushl" a, "pushl" b, arithmetic, "pop" into local c
    VM_STEP_COMPARE_BRANCH,     // comparison (op) of the two values on top, "bt" or "bf"
    VM_STEP_LOCAL_NUMBER_BRANCH,// "pushl" a, a number constant, comparison, "bt" or "bf"
    VM_STEP_LOCALS_BRANCH,      // "pushl" a, "pushl" b, comparison, "bt" or "bf"
    // Handlers the loop calls by name, each from a call site of its own, so
    // that the processor predicts them apart.
    VM_STEP_CALL_BUILTIN,       // the set's callBuiltin
    VM_STEP_CALL_SCRIPT,        // the set's callScript
    VM_STEP_RETURN,             // the handler of "ret"
    VM_STEP_KINDS
};
struct VMStep {
    uint8_t kind;       // VMStepKind
    uint8_t op;         // arithmetic opcode, or comparison form 1..6
    uint8_t onTrue;     // a conditional branch is taken when the comparison holds
    int32_t index;      // instruction index of the first instruction (a "b" holds a copy of its target's step)
    int32_t at;         // code offset of the first instruction
    int32_t after;      // code offset after the first instruction
    int32_t next;       // instruction index after the step
    int32_t target;     // instruction index a taken branch goes to
    int32_t a, b, c;    // local slots
    int32_t top;        // highest local slot the step touches, -1 for none
    double number;      // the number constant
};

// Bytecode of one code entry (or a debug table, or a watch expression).
class VMBuffer {
public:
    VMBuffer();
    virtual ~VMBuffer();
    VMBuffer(const VMBuffer&) = delete;
    VMBuffer& operator=(const VMBuffer&) = delete;

    int32_t m_size = 0;          // bytes of code
    int32_t m_localsCount = 0;
    int32_t m_argumentCount = 0;
    const uint32_t* m_code = nullptr;
    bool m_ownsCode = false;     // a watch expression's words; a code entry's lie in the code chunk

    // Builds the handler table and the index map on first use; false when
    // they cannot be allocated.
    bool Prepare(const VMHandlerSet& set);
    // Pre-decoded by the interpreter on the first run: one handler per
    // instruction (and one past the last, for the end of the code), and the
    // instruction index of every word position (-1 inside an operand).
    VMHandler* m_handlers = nullptr;
    int32_t* m_indexMap = nullptr;
    // One step per instruction (and one for the end), like m_handlers.
    VMStep* m_steps = nullptr;
};

enum CodeKind : int32_t {
    CODE_KIND_CODE = 1,
    CODE_KIND_CODE_FLAGGED = 2,  // made with flag 1
    CODE_KIND_CONSTANT = 3,
};

class CCode {
public:
    // Binds entry index (flag 1 gives kind 2); an index of 0 or more joins the all-code list.
    CCode(int32_t index, int32_t flag);
    // Leaves the all-code list and deletes the entry's debug table.
    virtual ~CCode();
    CCode(const CCode&) = delete;
    CCode& operator=(const CCode&) = delete;

    CCode* m_next = nullptr;
    int32_t m_kind = CODE_KIND_CODE;
    const char* m_source = "";
    ScriptValue m_constant;
    VMBuffer* m_bytecode = nullptr;    // not owned
    VMBuffer* m_debugTable = nullptr;  // owned
    const char* m_name = nullptr;
    int32_t m_index = -1;
    const CompiledCodeEntry* m_compiled = nullptr;
    int32_t m_startOffset = 0;
    int32_t m_localsCount = 0;
    int32_t m_argumentCount = 0;
};

// Head and count of every live entry made with an index of 0 or more.
extern CCode* Code_AllList;
extern int32_t Code_AllCount;

// Appends an entry for index to the code-entry table (a null slot for index
// -1 or when the game has no code); returns its position, 0 when the table
// could not grow.
int32_t Code_AddEntry(int32_t index, int32_t flag);
// The entry at position, null when the position is not in the table.
CCode* Code_GetEntry(int32_t position);
int32_t Code_EntryCount();
// Deletes every entry of the table and frees it (a game's end).
void Code_FreeEntries();

// Runs code on self and other. Always true: errors raised by the code go
// through the error report and CodeErrorFlag.
bool Code_Run(CInstance* self, CInstance* other, CCode* code, ScriptValue* result, int flags);
// Code_Run; on failure reports the last error text (not fatal) and clears CodeErrorFlag.
bool Code_RunReportError(CInstance* self, CInstance* other, CCode* code, ScriptValue* result, int flags);
// Code_Run; on failure the result becomes the string "ERROR".
bool Code_RunOrErrorText(CInstance* self, CInstance* other, CCode* code, ScriptValue* result, int flags);

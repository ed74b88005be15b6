#pragma once
// The link record of the compiled game module: where the game data lies, the
// variable and function names the compiled code refers to (resolved to ids and
// table indexes once, at load), the table of compiled functions by code index,
// and the call chain that error reports walk.
#include <cstdint>

class CInstance;
struct ScriptValue;

// A compiled event or script. An event's function uses only self and other;
// a script's function reads its arguments and writes its result.
typedef void (*CompiledFunction)(CInstance* self, CInstance* other, ScriptValue* result, int argc,
                                 ScriptValue** args);

// In the module: id is the slot of the code's own variable, or -1 for a
// built-in one. After loading: the variable id.
struct LinkVariableRef {
    const char* name;
    int32_t id;
};

// In the module: index 0. After loading: the built-in function's table index
// (or the callable id of a script or extension function; -1 when none).
struct LinkFunctionRef {
    const char* name;
    int32_t index;
};

struct CompiledCodeEntry {
    const char* name;
    CompiledFunction function;
};

// One frame per running compiled function (or built-in call), living in the
// caller's stack frame: the constructor pushes it on the chain, the destructor
// pops it, also when the frame is left by unwinding.
struct StackTraceFrame {
    StackTraceFrame* previous;
    const char* name;
    int line;  // source line of the running statement, -1 for built-in calls

    StackTraceFrame(const char* frameName, int frameLine);
    ~StackTraceFrame();
    StackTraceFrame(const StackTraceFrame&) = delete;
    StackTraceFrame& operator=(const StackTraceFrame&) = delete;
};

struct GameLinkRecord {
    const uint8_t* gameData;   // embedded "FORM" image, null when the data comes from a file
    uint32_t dataSize;
    int32_t globalCount;       // global variables the code uses
    int32_t instanceCount;     // instance variables the code uses
    int32_t codeCount;         // entries of codeTable
    LinkVariableRef** variables;   // null-terminated
    LinkFunctionRef** functions;   // null-terminated
    CompiledCodeEntry* codeTable;  // codeCount entries in code-index order
    StackTraceFrame** callChainHead;
};

// Provided by the game module linked into the executable: fills record and
// returns it. An executable without a game module gets the engine's weak
// default, which fills nothing and returns null.
GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record);

// The game's icon, a PNG image the module carries (as a program carries its
// icon); the engine's weak default has none and returns null.
const uint8_t* GameModule_GetIcon(uint32_t* size);

// Whether the executable carries a game module (which then gives a record).
bool LinkRecord_ModuleLinked();

// The runner's copy of the record (through the memory manager), null when no
// game module is linked or after LinkRecord_Free.
extern GameLinkRecord* LinkRecord;

// Where the head of the call chain lives: the module's head once a record is
// loaded, the engine's own before that.
extern StackTraceFrame** CallChainHead;

// Takes the record from the game module (replacing a previous one). False, with
// a message on LogConsole, when the module gives a record whose counts or
// tables are unusable; the runner then runs without compiled code.
bool LinkRecord_Load();
void LinkRecord_Free();

// Entry index of the module's code table; null without a record or out of range.
const CompiledCodeEntry* LinkRecord_CodeEntry(int32_t index);

// Chunk pass, before the chunks: sizes the name tables from the record's
// counts and names the first slots after its variable references.
void LinkRecord_BindNameTables();

// Chunk pass, after the chunks: every variable reference gets its variable id,
// every function reference its callable id. An unknown function name takes
// the load error path ("Unable to find function").
void LinkRecord_ResolveNames();

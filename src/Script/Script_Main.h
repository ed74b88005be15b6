#pragma once
// Scripts: the game's named functions, callable from any code with arguments
// and a result. The "SCPT" chunk lists them; each is bound to the compiled
// function of its code index (or, outside compiled-code mode, to a bytecode
// code entry).
#include <cstdint>

class CCode;
class CInstance;
struct CompiledCodeEntry;
struct ScriptValue;

class CScript {
public:
    explicit CScript(const char* name);
    // Deletes the bound code entry.
    virtual ~CScript();
    CScript(const CScript&) = delete;
    CScript& operator=(const CScript&) = delete;

    // Fills the script from its record {u32 name reference, u32 code index or
    // source reference}; false (with a message) when a reference is bad.
    bool Load(const uint8_t* record);
    // Binds the code of the script's code index; false when there is none.
    bool BindCode();
    CCode* GetCode() const { return m_code; }
    // A new memory-manager copy of the source text ("" when none is held).
    char* GetText() const;

    CCode* m_code = nullptr;
    const CompiledCodeEntry* m_compiled = nullptr;
    int32_t m_codeIndex = -1;
    char* m_text = nullptr;   // owned source text, only without code
    const char* m_name;       // in the game data
    int32_t m_flag = 0;
};

bool SCPT_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);

CScript* Script_Get(int32_t index);
bool Script_IsValid(int32_t index);
// Highest index with exactly that name, -1 when none.
int32_t Script_FindByName(const char* name);
// "<undefined>" when there is no script at index.
const char* Script_NameOf(int32_t index);
int32_t Script_GetCount();

// Calls script index with argc argument values, which are released (left
// undefined) afterwards; the caller's arguments are restored. False when no
// script has that index.
bool Script_Call(int32_t index, CInstance* self, CInstance* other, int argc, ScriptValue* result, ScriptValue* args);

// Runs a bound script's compiled function with argc argument values, which
// stay the caller's; the caller's arguments are restored afterwards.
void Script_RunCompiled(const CScript* script, CInstance* self, CInstance* other, int argc, ScriptValue* result,
                        ScriptValue* args);

// Binds every script and runs the global initialisers; false after the fatal
// "COMPILATION ERROR" report.
bool Script_Prepare();

// Deletes every script and its name copy (before another game's data is
// read, and at a game's end).
void Script_DeleteAll();

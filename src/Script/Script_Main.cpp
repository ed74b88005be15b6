#include "Script/Script_Main.h"

#include <cstdio>
#include <cstring>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Code/Code_Variable.h"
#include "Code/VM_Main.h"
#include "GameData/AssetTable.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"

namespace {
AssetTable<CScript> s_scripts;

// Whether script records hold code indexes (else source references).
bool RecordsHoldCode()
{
    return CompiledCodeMode || GameTables.codePresent;
}

// Releases the argument values a call was given and leaves them undefined.
void ReleaseArguments(ScriptValue* args, int argc)
{
    for (int i = 0; i < argc; ++i) {
        ScriptValue& v = args[i];
        if (v.MayOwn()) ScriptValue_FreePayload(&v);  // strings, arrays and owned pointers
        v = ScriptValue_Undefined();
    }
}

bool CallCompiled(const CompiledCodeEntry* entry, CInstance* self, CInstance* other, int argc, ScriptValue* result,
                  ScriptValue* args)
{
    constexpr int kStackArgs = 16;
    ScriptValue* pointers[kStackArgs];
    ScriptValue** list = pointers;
    if (argc > kStackArgs) list = static_cast<ScriptValue**>(QS_ALLOC(sizeof(ScriptValue*) * argc, false));
    for (int i = 0; i < argc; ++i) list[i] = &args[i];
    entry->function(self, other, result, argc, list);
    if (list != pointers) QS_FREE(list);
    return true;
}
}  // namespace

CScript::CScript(const char* name) : m_name(name) {}

CScript::~CScript()
{
    delete m_code;
    QS_FREE(m_text);
}

bool CScript::Load(const uint8_t* record)
{
    delete m_code;
    m_code = nullptr;
    m_compiled = nullptr;
    QS_FREE(m_text);
    m_text = nullptr;
    m_codeIndex = -1;
    m_flag = 0;
    if (!GameData_String("SCPT", GameData_U32(record), &m_name)) return false;
    const uint32_t second = GameData_U32(record + 4);
    if (RecordsHoldCode()) {
        m_codeIndex = static_cast<int32_t>(second);
        return true;
    }
    const char* text = nullptr;
    if (!GameData_String("SCPT", second, &text)) return false;
    m_text = DupString(text ? text : "");
    return true;
}

bool CScript::BindCode()
{
    if (CompiledCodeMode) {
        m_compiled = LinkRecord_CodeEntry(m_codeIndex);
        if (m_compiled && m_compiled->function) return true;
        char reason[128];
        std::snprintf(reason, sizeof reason, "code entry %d has no compiled function in the game module",
                      m_codeIndex);
        ErrorLast_Set(reason);
        return false;
    }
    if (!GameTables.codePresent) return false;
    delete m_code;
    m_code = new CCode(m_codeIndex, 0);
    return true;
}

char* CScript::GetText() const
{
    return DupString(m_text ? m_text : "");
}

bool SCPT_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    return s_scripts.LoadChunk("SCPT", "scripts", payload, length,
                               [&](uint32_t i, uint32_t offset, CScript** record, const char** name) {
                                   if (!GameData_CheckRecord("SCPT", payload, length, offset, 8, "script", i))
                                       return false;
                                   *record = new CScript(nullptr);
                                   if (!(*record)->Load(GameData + offset)) return false;
                                   *name = (*record)->m_name;
                                   return true;
                               });
}

CScript* Script_Get(int32_t index)
{
    return s_scripts.Get(index);
}

bool Script_IsValid(int32_t index)
{
    return Script_Get(index) != nullptr;
}

int32_t Script_FindByName(const char* name)
{
    return s_scripts.FindLast(name);
}

const char* Script_NameOf(int32_t index)
{
    return s_scripts.NameOr(index, "<undefined>");
}

int32_t Script_GetCount()
{
    return s_scripts.Count();
}

bool Script_Call(int32_t index, CInstance* self, CInstance* other, int argc, ScriptValue* result, ScriptValue* args)
{
    CScript* script = Script_Get(index);
    if (!script) return false;
    CCode* code = script->m_code;
    if (code && (code->m_compiled || (code->m_bytecode && code->m_bytecode->m_size == 0))) return true;
    // An unbound script has nothing to run.
    if (!code && !(script->m_compiled && script->m_compiled->function)) return true;
    if (argc < 0 || !args) argc = 0;

    const int32_t savedCount = VM_ArgumentCount;
    ScriptValue* savedBase = VM_ArgumentBase;
    VM_ArgumentCount = argc;
    VM_ArgumentBase = args;
    bool ok = true;
    if (code) {
        ok = Code_RunOrErrorText(self, other, code, result, self != nullptr);
        if (!ok) {
            char text[1024];
            const char* previous = ErrorLast_Get() ? ErrorLast_Get() : "";
            std::snprintf(text, sizeof text, "In script %s:\n%s", Script_NameOf(index), previous);
            ErrorLast_Set(text);
        }
    } else {
        ok = CallCompiled(script->m_compiled, self, other, argc, result, args);
    }
    ReleaseArguments(args, argc);
    VM_ArgumentCount = savedCount;
    VM_ArgumentBase = savedBase;
    return ok;
}

void Script_RunCompiled(const CScript* script, CInstance* self, CInstance* other, int argc, ScriptValue* result,
                        ScriptValue* args)
{
    if (argc < 0 || !args) argc = 0;
    const int32_t savedCount = VM_ArgumentCount;
    ScriptValue* savedBase = VM_ArgumentBase;
    VM_ArgumentCount = argc;
    VM_ArgumentBase = args;
    CallCompiled(script->m_compiled, self, other, argc, result, args);
    VM_ArgumentCount = savedCount;
    VM_ArgumentBase = savedBase;
}

bool Script_Prepare()
{
    for (int32_t i = 0; i < s_scripts.Count(); ++i) {
        CScript* script = s_scripts.Get(i);
        if (!script || script->BindCode()) continue;
        const char* pending = ErrorLast_Get() ? ErrorLast_Get() : "";
        const char* name = script->m_name ? script->m_name : "";
        const size_t size = 2 * (std::strlen(name) + std::strlen(pending)) + 68;
        char* text = static_cast<char*>(QS_ALLOC(size, false));
        std::snprintf(text, size, "COMPILATION ERROR in Script: %s\n%s", name, pending);
        ShowRuntimeError(text, true);
        QS_FREE(text);
        return false;
    }
    for (uint32_t i = 0; i < GameTables.globCount; ++i) {
        const int32_t index = static_cast<int32_t>(GameData_U32(GameTables.globList + 4 * i));
        CCode code(index, 0);
        ScriptValue discarded = ScriptValue_Undefined();
        Code_RunReportError(Variable_GlobalInstance(), Variable_GlobalInstance(), &code, &discarded, 0);
        ScriptValue_SetUndefined(&discarded);
    }
    if (ObjectMode) {
        for (int32_t i = 0; i < s_scripts.Count(); ++i) {
            CScript* script = s_scripts.Get(i);
            if (!script || !script->m_code || !script->m_code->m_bytecode || script->m_code->m_startOffset != 0)
                continue;
            ScriptValue scratch = ScriptValue_Undefined();
            Script_Call(i, Variable_GlobalInstance(), Variable_GlobalInstance(), 0, &scratch, nullptr);
            ScriptValue_SetUndefined(&scratch);
        }
    }
    return true;
}

void Script_DeleteAll()
{
    s_scripts.FreeAll();
}

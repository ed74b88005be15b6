#include "Code/Code_Main.h"

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Code/Code_Profiler.h"
#include "Code/VM_Main.h"
#include "Code/CodeChunks.h"
#include "GameData/DebugInfo.h"
#include "GameData/GameHeader.h"
#include "Options/Runner_Options.h"

bool CompiledCodeMode = true;
CCode* Code_AllList = nullptr;
int32_t Code_AllCount = 0;

namespace {
CCode** s_entries = nullptr;
int32_t s_count = 0;
int32_t s_capacity = 0;

// The number of code entries the game has: the module's table, or the CODE chunk's.
int32_t GameCodeCount()
{
    if (CompiledCodeMode) return LinkRecord ? LinkRecord->codeCount : 0;
    return static_cast<int32_t>(GameTables.codeCount);
}

void BindBytecode(CCode* code, int32_t index)
{
    CodeRecordView record;
    if (!CodeChunk_GetRecord(static_cast<uint32_t>(index), &record)) return;
    code->m_name = record.name;
    code->m_bytecode = CodeChunk_GetBuffer(static_cast<uint32_t>(index));
    if (NewCodeFormat) {
        code->m_startOffset = record.startOffset;
        code->m_localsCount = record.localsCount;
        code->m_argumentCount = record.argumentCount;
    }
    if (const char* source = DebugInfo_GetSource(static_cast<uint32_t>(index))) code->m_source = source;
    const uint8_t* words = nullptr;
    uint32_t wordCount = 0;
    if (DebugInfo_GetDebugTable(static_cast<uint32_t>(index), &words, &wordCount)) {
        VMBuffer* table = new VMBuffer();
        table->m_size = static_cast<int32_t>(wordCount * 4);
        table->m_code = reinterpret_cast<const uint32_t*>(words);
        code->m_debugTable = table;
    }
}
}  // namespace

VMBuffer::VMBuffer() = default;

VMBuffer::~VMBuffer()
{
    if (m_ownsCode) QS_FREE(const_cast<uint32_t*>(m_code));
    QS_FREE(m_handlers);
    QS_FREE(m_indexMap);
    QS_FREE(m_steps);
}

CCode::CCode(int32_t index, int32_t flag) : m_index(index)
{
    m_constant = ScriptValue_Real(0.0);
    if (CompiledCodeMode) {
        // An index beyond the module's table binds nothing (and runs nothing).
        m_compiled = LinkRecord_CodeEntry(index);
        if (m_compiled) m_name = m_compiled->name;
    } else if (index >= 0 && index < static_cast<int32_t>(GameTables.codeCount)) {
        BindBytecode(this, index);
    }
    m_kind = flag == 1 ? CODE_KIND_CODE_FLAGGED : CODE_KIND_CODE;
    if (index >= 0) {
        m_next = Code_AllList;
        Code_AllList = this;
        ++Code_AllCount;
    }
}

CCode::~CCode()
{
    for (CCode** link = &Code_AllList; *link; link = &(*link)->m_next) {
        if (*link == this) {
            *link = m_next;
            --Code_AllCount;
            break;
        }
    }
    if (m_constant.MayOwn()) ScriptValue_FreePayload(&m_constant);
    // The bytecode belongs to the code chunk, shared by every entry of its index.
    delete m_debugTable;
}

int32_t Code_AddEntry(int32_t index, int32_t flag)
{
    if (s_count + 1 > s_capacity) {
        int32_t capacity = s_capacity ? (s_capacity * 3 + 1) / 2 : GameCodeCount();
        if (capacity < s_count + 1) capacity = s_count + 1;
        void* grown = QS_REALLOC(s_entries, sizeof(CCode*) * static_cast<size_t>(capacity));
        if (!grown) return 0;
        s_entries = static_cast<CCode**>(grown);
        s_capacity = capacity;
    }
    CCode* code = nullptr;
    if ((GameTables.codePresent || CompiledCodeMode) && index != -1) code = new CCode(index, flag);
    s_entries[s_count] = code;
    return s_count++;
}

CCode* Code_GetEntry(int32_t position)
{
    if (position < 0 || position >= s_count) return nullptr;
    return s_entries[position];
}

int32_t Code_EntryCount()
{
    return s_count;
}

void Code_FreeEntries()
{
    for (int32_t i = 0; i < s_count; ++i) delete s_entries[i];
    QS_FREE(s_entries);
    s_entries = nullptr;
    s_count = s_capacity = 0;
}

bool Code_Run(CInstance* self, CInstance* other, CCode* code, ScriptValue* result, int)
{
    if (!CodeExecutionEnabled) return true;
    CodeErrorFlag = false;
    if (!code) return true;
    switch (code->m_kind) {
    case CODE_KIND_CODE:
    case CODE_KIND_CODE_FLAGGED:
        if (code->m_compiled) {
            if (code->m_compiled->function) code->m_compiled->function(self, other, nullptr, 0, nullptr);
        } else if (code->m_bytecode && code->m_bytecode->m_size > 0) {
            Code_ProfilerBegin(PROFILE_CODE, code->m_index);
            VM_RunCode(code, self, other, result, nullptr, 0, nullptr, nullptr);
            Code_ProfilerEnd();
        }
        break;
    case CODE_KIND_CONSTANT:
        if (result) result->Assign(code->m_constant);
        break;
    default:
        break;
    }
    return true;
}

bool Code_RunReportError(CInstance* self, CInstance* other, CCode* code, ScriptValue* result, int flags)
{
    if (Code_Run(self, other, code, result, flags)) return true;
    ReportRuntimeError(ErrorLast_Get(), false);
    CodeErrorFlag = false;
    return false;
}

bool Code_RunOrErrorText(CInstance* self, CInstance* other, CCode* code, ScriptValue* result, int flags)
{
    if (Code_Run(self, other, code, result, flags)) return true;
    if (result) {
        ScriptValue_SetUndefined(result);
        ScriptValue_InitString(result, "ERROR");
    }
    return false;
}

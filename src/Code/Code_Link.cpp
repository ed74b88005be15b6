#include "Code/Code_Link.h"

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "Code/CodeChunks.h"

GameLinkRecord* LinkRecord = nullptr;

namespace {
StackTraceFrame* s_engineHead = nullptr;

// The number of entries of a null-terminated reference list.
template <typename T>
int32_t CountRefs(T** refs)
{
    int32_t n = 0;
    if (refs)
        while (refs[n]) ++n;
    return n;
}

bool RecordUsable(const GameLinkRecord& r)
{
    if (r.globalCount < 0 || r.instanceCount < 0 || r.codeCount < 0) {
        LogConsole->Output("Link record: negative counts (globals %d, instances %d, code %d)\n", r.globalCount,
                           r.instanceCount, r.codeCount);
        return false;
    }
    if (r.codeCount > 0 && !r.codeTable) {
        LogConsole->Output("Link record: %d code entries but no code table\n", r.codeCount);
        return false;
    }
    if (r.gameData && r.dataSize == 0) {
        LogConsole->Output("Link record: embedded game data of size 0\n");
        return false;
    }
    return true;
}
}  // namespace

StackTraceFrame** CallChainHead = &s_engineHead;

StackTraceFrame::StackTraceFrame(const char* frameName, int frameLine)
    : previous(*CallChainHead), name(frameName), line(frameLine)
{
    *CallChainHead = this;
}

StackTraceFrame::~StackTraceFrame()
{
    *CallChainHead = previous;
}

bool LinkRecord_Load()
{
    LinkRecord_Free();
    auto* record = static_cast<GameLinkRecord*>(QS_ALLOC(sizeof(GameLinkRecord), true));
    if (!GameModule_GetLinkRecord(record)) {  // no game module linked
        QS_FREE(record);
        return true;
    }
    if (!RecordUsable(*record)) {
        QS_FREE(record);
        return false;
    }
    LinkRecord = record;
    // Compiled code pushes its frames on the module's head; the report walks it.
    if (record->callChainHead) CallChainHead = record->callChainHead;
    return true;
}

bool LinkRecord_ModuleLinked()
{
    GameLinkRecord probe{};
    return GameModule_GetLinkRecord(&probe) != nullptr;
}

void LinkRecord_Free()
{
    if (!LinkRecord) return;
    QS_FREE(LinkRecord);
    LinkRecord = nullptr;
    CallChainHead = &s_engineHead;
}

const CompiledCodeEntry* LinkRecord_CodeEntry(int32_t index)
{
    if (!LinkRecord || index < 0 || index >= LinkRecord->codeCount) return nullptr;
    return &LinkRecord->codeTable[index];
}

void LinkRecord_BindNameTables()
{
    if (!LinkRecord) return;
    const int32_t globalCount = LinkRecord->globalCount >= 1 ? LinkRecord->globalCount : Variable_GlobalCount();
    const int32_t instanceCount =
        LinkRecord->instanceCount >= 1 ? LinkRecord->instanceCount : Variable_InstanceCount();
    Variable_SetCounts(globalCount, instanceCount, Variable_LocalCount());
    Variable_SetTableSizes(globalCount, instanceCount, 0);
    LinkVariableRef** refs = LinkRecord->variables;
    // A count beyond the list names only the references there are.
    const int32_t refCount = CountRefs(refs);
    const int32_t instances = LinkRecord->instanceCount < refCount ? LinkRecord->instanceCount : refCount;
    const int32_t globals = LinkRecord->globalCount < refCount ? LinkRecord->globalCount : refCount;
    for (int32_t i = 0; i < instances; ++i) Variable_AppendName(VARIABLE_TABLE_INSTANCE, refs[i]->name);
    for (int32_t i = 0; i < globals; ++i) Variable_AppendName(VARIABLE_TABLE_GLOBAL, refs[i]->name);
    for (int32_t i = 0; i < refCount; ++i)
        if (refs[i]->id == -1) refs[i]->id = Variable_BuiltIn_Find(refs[i]->name);
}

void LinkRecord_ResolveNames()
{
    if (!LinkRecord) return;
    if (LinkVariableRef** vars = LinkRecord->variables)
        for (int32_t i = 0; vars[i]; ++i) vars[i]->id = Variable_FindOrAddName(vars[i]->name);
    if (LinkFunctionRef** funcs = LinkRecord->functions) {
        for (int32_t i = 0; funcs[i]; ++i) {
            int32_t id = CALLID_NONE;
            if (!CodeFunction_Find(funcs[i]->name, &id))
                CodeLoad_Error("Error on load\nUnable to find function %s\n", funcs[i]->name);
            funcs[i]->index = id;
        }
    }
}

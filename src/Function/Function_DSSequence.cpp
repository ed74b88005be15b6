// Stack, queue and priority-queue built-ins. These structures belong to the
// main thread and take no lock.
#include "DataStructure/DS_Native.h"
#include "DataStructure/DS_Priority.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"
#include "Function/Function_DSRoutines.h"

namespace {
template <typename T>
void CopyStructure(DsHandleTable<T>& table, ScriptValue* args)
{
    T* destination = DsArg(table, args, 0);
    if (!destination) return;
    if (T* source = DsArg(table, args, 1)) destination->Copy(source);
}

// A slot that is already empty is reported like any bad handle.
void Destroy(bool (*destroy)(int32_t), ScriptValue* args)
{
    if (!destroy(Arg_Int32(args, 0))) Ds_ReportBadHandle();
}

template <typename T>
void SizeOf(DsHandleTable<T>& table, ScriptValue* result, ScriptValue* args)
{
    if (T* s = DsArg(table, args, 0)) ScriptValue_SetReal(result, s->Size());
}

template <typename T>
void EmptyOf(DsHandleTable<T>& table, ScriptValue* result, ScriptValue* args)
{
    if (T* s = DsArg(table, args, 0)) ScriptValue_SetReal(result, s->Empty() ? 1.0 : 0.0);
}

template <typename T>
void WriteOf(DsHandleTable<T>& table, ScriptValue* result, ScriptValue* args)
{
    if (T* s = DsArg(table, args, 0)) DsResult_Text(result, s->Write());
}

template <typename T>
void ReadInto(DsHandleTable<T>& table, ScriptValue* args, bool legacy)
{
    T* s = DsArg(table, args, 0);
    if (!s) return;
    if (const char* text = Arg_String(args, 1)) s->Read(text, legacy);
}
}  // namespace

DS_ROUTINE(F_DsStackCreate)
{
    ScriptValue_SetReal(result, DsStack_Create());
}

DS_ROUTINE(F_DsStackDestroy)
{
    Destroy(DsStack_Destroy, args);
}

DS_ROUTINE(F_DsStackClear)
{
    if (CDS_Stack* stack = DsArg(DsStackTable, args, 0)) stack->Clear();
}

DS_ROUTINE(F_DsStackCopy)
{
    CopyStructure(DsStackTable, args);
}

DS_ROUTINE(F_DsStackSize)
{
    SizeOf(DsStackTable, result, args);
}

DS_ROUTINE(F_DsStackEmpty)
{
    EmptyOf(DsStackTable, result, args);
}

DS_ROUTINE(F_DsStackPush)
{
    // Without a value the handle is reported even when it is valid.
    if (argc < 2) {
        Ds_ReportBadHandle();
        return;
    }
    CDS_Stack* stack = DsArg(DsStackTable, args, 0);
    if (!stack) return;
    for (int i = 1; i < argc; ++i) stack->Push(&args[i]);
}

DS_ROUTINE(F_DsStackPop)
{
    if (CDS_Stack* stack = DsArg(DsStackTable, args, 0)) DsResult_Copy(result, stack->Pop());
}

DS_ROUTINE(F_DsStackTop)
{
    if (CDS_Stack* stack = DsArg(DsStackTable, args, 0)) DsResult_Copy(result, stack->Top());
}

DS_ROUTINE(F_DsStackWrite)
{
    WriteOf(DsStackTable, result, args);
}

DS_ROUTINE(F_DsStackRead)
{
    ReadInto(DsStackTable, args, DsArg_LegacyInt(argc, args));
}

DS_ROUTINE(F_DsQueueCreate)
{
    ScriptValue_SetReal(result, DsQueue_Create());
}

DS_ROUTINE(F_DsQueueDestroy)
{
    Destroy(DsQueue_Destroy, args);
}

DS_ROUTINE(F_DsQueueClear)
{
    if (CDS_Queue* queue = DsArg(DsQueueTable, args, 0)) queue->Clear();
}

DS_ROUTINE(F_DsQueueCopy)
{
    CopyStructure(DsQueueTable, args);
}

DS_ROUTINE(F_DsQueueSize)
{
    SizeOf(DsQueueTable, result, args);
}

DS_ROUTINE(F_DsQueueEmpty)
{
    EmptyOf(DsQueueTable, result, args);
}

DS_ROUTINE(F_DsQueueEnqueue)
{
    if (argc < 1) {
        Ds_ReportBadHandle();
        return;
    }
    CDS_Queue* queue = DsArg(DsQueueTable, args, 0);
    if (!queue) return;
    for (int i = 1; i < argc; ++i) queue->Enqueue(&args[i]);
}

DS_ROUTINE(F_DsQueueDequeue)
{
    if (CDS_Queue* queue = DsArg(DsQueueTable, args, 0)) DsResult_Copy(result, queue->Dequeue());
}

DS_ROUTINE(F_DsQueueHead)
{
    if (CDS_Queue* queue = DsArg(DsQueueTable, args, 0)) DsResult_Copy(result, queue->Head());
}

DS_ROUTINE(F_DsQueueTail)
{
    if (CDS_Queue* queue = DsArg(DsQueueTable, args, 0)) DsResult_Copy(result, queue->Tail());
}

DS_ROUTINE(F_DsQueueWrite)
{
    WriteOf(DsQueueTable, result, args);
}

DS_ROUTINE(F_DsQueueRead)
{
    ReadInto(DsQueueTable, args, DsArg_LegacyInt(argc, args));
}

DS_ROUTINE(F_DsPriorityCreate)
{
    auto* queue = new CDS_Priority();
    const int32_t handle = DsPriorityTable.Store(queue);
    if (handle < 0) delete queue;
    ScriptValue_SetReal(result, handle);
}

DS_ROUTINE(F_DsPriorityDestroy)
{
    Destroy(DsPriority_Destroy, args);
}

DS_ROUTINE(F_DsPriorityClear)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) queue->Clear();
}

DS_ROUTINE(F_DsPriorityCopy)
{
    CopyStructure(DsPriorityTable, args);
}

DS_ROUTINE(F_DsPrioritySize)
{
    SizeOf(DsPriorityTable, result, args);
}

DS_ROUTINE(F_DsPriorityEmpty)
{
    EmptyOf(DsPriorityTable, result, args);
}

DS_ROUTINE(F_DsPriorityAdd)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) queue->Add(&args[1], &args[2]);
}

DS_ROUTINE(F_DsPriorityChangePriority)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) queue->ChangePriority(&args[1], &args[2]);
}

DS_ROUTINE(F_DsPriorityFindPriority)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) DsResult_Copy(result, queue->FindPriority(&args[1]));
}

DS_ROUTINE(F_DsPriorityDeleteValue)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) queue->DeleteValue(&args[1]);
}

DS_ROUTINE(F_DsPriorityDeleteMin)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) queue->DeleteMin(result);
}

DS_ROUTINE(F_DsPriorityFindMin)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) DsResult_Copy(result, queue->FindMin());
}

DS_ROUTINE(F_DsPriorityDeleteMax)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) queue->DeleteMax(result);
}

DS_ROUTINE(F_DsPriorityFindMax)
{
    if (CDS_Priority* queue = DsArg(DsPriorityTable, args, 0)) DsResult_Copy(result, queue->FindMax());
}

DS_ROUTINE(F_DsPriorityWrite)
{
    WriteOf(DsPriorityTable, result, args);
}

DS_ROUTINE(F_DsPriorityRead)
{
    ReadInto(DsPriorityTable, args, DsArg_LegacyBool(argc, args));
}

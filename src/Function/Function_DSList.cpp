// List built-ins. They take no lock themselves: the list clear, which
// destroys nested maps, takes DsMutex.
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Native.h"
#include "Function/Function_DSRoutines.h"

namespace {
CDS_List* ListArg(ScriptValue* args)
{
    return DsArg(DsListTable, args, 0);
}

void Mark(ScriptValue* result, ScriptValue* args, uint32_t mark)
{
    CDS_List* list = ListArg(args);
    if (!list) return;
    ScriptValue* entry = list->GetItem(Arg_Int32(args, 1));
    if (entry) entry->kind |= mark;
    DsResult_Copy(result, entry);
}
}  // namespace

DS_ROUTINE(F_DsListCreate)
{
    ScriptValue_SetReal(result, DsList_Create());
}

DS_ROUTINE(F_DsListDestroy)
{
    const int32_t handle = Arg_Int32(args, 0);
    if (DsArg_InTable(handle, DsListTable.count)) DsList_Destroy(handle);
}

DS_ROUTINE(F_DsListClear)
{
    if (CDS_List* list = ListArg(args)) list->Clear();
}

DS_ROUTINE(F_DsListCopy)
{
    CDS_List* destination = ListArg(args);
    if (!destination) return;
    if (CDS_List* source = DsArg(DsListTable, args, 1)) destination->Copy(source);
}

DS_ROUTINE(F_DsListSize)
{
    if (CDS_List* list = ListArg(args)) ScriptValue_SetReal(result, list->Size());
}

DS_ROUTINE(F_DsListEmpty)
{
    if (CDS_List* list = ListArg(args)) ScriptValue_SetReal(result, list->Empty() ? 1.0 : 0.0);
}

DS_ROUTINE(F_DsListAdd)
{
    // Without a value the handle is reported even when it is valid.
    if (argc < 2) {
        Ds_ReportBadHandle();
        return;
    }
    CDS_List* list = ListArg(args);
    if (!list) return;
    for (int i = 1; i < argc; ++i) list->Add(&args[i]);
}

DS_ROUTINE(F_DsListInsert)
{
    if (CDS_List* list = ListArg(args)) list->Insert(Arg_Int32(args, 1), &args[2]);
}

DS_ROUTINE(F_DsListReplace)
{
    if (CDS_List* list = ListArg(args)) list->Replace(Arg_Int32(args, 1), &args[2]);
}

DS_ROUTINE(F_DsListDelete)
{
    if (CDS_List* list = ListArg(args)) list->Delete(Arg_Int32(args, 1));
}

DS_ROUTINE(F_DsListFindIndex)
{
    if (CDS_List* list = ListArg(args)) ScriptValue_SetReal(result, list->FindIndex(&args[1]));
}

DS_ROUTINE(F_DsListFindValue)
{
    if (CDS_List* list = ListArg(args)) DsResult_Copy(result, list->GetItem(Arg_Int32(args, 1)));
}

DS_ROUTINE(F_DsListMarkAsList)
{
    Mark(result, args, KIND_NESTED_LIST);
}

DS_ROUTINE(F_DsListMarkAsMap)
{
    Mark(result, args, KIND_NESTED_MAP);
}

DS_ROUTINE(F_DsListSort)
{
    if (CDS_List* list = ListArg(args)) list->Sort(Arg_Bool(args, 1));
}

DS_ROUTINE(F_DsListShuffle)
{
    if (CDS_List* list = ListArg(args)) list->Shuffle();
}

DS_ROUTINE(F_DsListWrite)
{
    if (CDS_List* list = ListArg(args)) DsResult_Text(result, list->Write());
}

DS_ROUTINE(F_DsListRead)
{
    CDS_List* list = ListArg(args);
    if (!list) return;
    const char* text = Arg_String(args, 1);
    if (text) list->Read(text, DsArg_LegacyInt(argc, args));
}

DS_ROUTINE(F_DsListSet)
{
    if (CDS_List* list = ListArg(args)) list->Set(Arg_Int32(args, 1), &args[2], nullptr);
}

DS_ROUTINE(F_DsListSetPost)
{
    CDS_List* list = ListArg(args);
    if (list && list->Set(Arg_Int32(args, 1), &args[2], result)) result->kind &= KIND_MASK;
}

DS_ROUTINE(F_DsListSetPre)
{
    CDS_List* list = ListArg(args);
    if (!list) return;
    list->Set(Arg_Int32(args, 1), &args[2], nullptr);
    result->Assign(args[2]);
}

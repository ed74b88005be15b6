#pragma once
// The routines of the data-structure built-ins and what they share: handle
// arguments, results without nested marks, text results and read flags.
#include <cstdint>

#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Handles.h"

class CInstance;

#define DS_ROUTINE(name)                                                                                    \
    void name([[maybe_unused]] ScriptValue* result, [[maybe_unused]] CInstance* self,                      \
              [[maybe_unused]] CInstance* other, [[maybe_unused]] int argc, [[maybe_unused]] ScriptValue* args)

// The structure named by argument n, or null after the bad-handle report.
template <typename T>
T* DsArg(DsHandleTable<T>& table, ScriptValue* args, int n)
{
    T* structure = table.Get(Arg_Int32(args, n));
    if (!structure) Ds_ReportBadHandle();
    return structure;
}

// result becomes a copy of value without its nested marks, or undefined for null.
void DsResult_Copy(ScriptValue* result, const ScriptValue* value);
// result becomes the text (a memory-manager text, taken over) or "".
void DsResult_Text(ScriptValue* result, char* text);
// The legacy flag of the _read built-ins: false unless exactly 3 arguments.
bool DsArg_LegacyInt(int argc, ScriptValue* args);
bool DsArg_LegacyBool(int argc, ScriptValue* args);
// A destroy built-in of lists and maps: a handle outside the table is
// reported, an empty slot inside it is not.
bool DsArg_InTable(int32_t handle, int32_t count);

DS_ROUTINE(F_DsSetPrecision);
DS_ROUTINE(F_DsExists);

DS_ROUTINE(F_DsStackCreate);
DS_ROUTINE(F_DsStackDestroy);
DS_ROUTINE(F_DsStackClear);
DS_ROUTINE(F_DsStackCopy);
DS_ROUTINE(F_DsStackSize);
DS_ROUTINE(F_DsStackEmpty);
DS_ROUTINE(F_DsStackPush);
DS_ROUTINE(F_DsStackPop);
DS_ROUTINE(F_DsStackTop);
DS_ROUTINE(F_DsStackWrite);
DS_ROUTINE(F_DsStackRead);

DS_ROUTINE(F_DsQueueCreate);
DS_ROUTINE(F_DsQueueDestroy);
DS_ROUTINE(F_DsQueueClear);
DS_ROUTINE(F_DsQueueCopy);
DS_ROUTINE(F_DsQueueSize);
DS_ROUTINE(F_DsQueueEmpty);
DS_ROUTINE(F_DsQueueEnqueue);
DS_ROUTINE(F_DsQueueDequeue);
DS_ROUTINE(F_DsQueueHead);
DS_ROUTINE(F_DsQueueTail);
DS_ROUTINE(F_DsQueueWrite);
DS_ROUTINE(F_DsQueueRead);

DS_ROUTINE(F_DsPriorityCreate);
DS_ROUTINE(F_DsPriorityDestroy);
DS_ROUTINE(F_DsPriorityClear);
DS_ROUTINE(F_DsPriorityCopy);
DS_ROUTINE(F_DsPrioritySize);
DS_ROUTINE(F_DsPriorityEmpty);
DS_ROUTINE(F_DsPriorityAdd);
DS_ROUTINE(F_DsPriorityChangePriority);
DS_ROUTINE(F_DsPriorityFindPriority);
DS_ROUTINE(F_DsPriorityDeleteValue);
DS_ROUTINE(F_DsPriorityDeleteMin);
DS_ROUTINE(F_DsPriorityFindMin);
DS_ROUTINE(F_DsPriorityDeleteMax);
DS_ROUTINE(F_DsPriorityFindMax);
DS_ROUTINE(F_DsPriorityWrite);
DS_ROUTINE(F_DsPriorityRead);

DS_ROUTINE(F_DsListCreate);
DS_ROUTINE(F_DsListDestroy);
DS_ROUTINE(F_DsListClear);
DS_ROUTINE(F_DsListCopy);
DS_ROUTINE(F_DsListSize);
DS_ROUTINE(F_DsListEmpty);
DS_ROUTINE(F_DsListAdd);
DS_ROUTINE(F_DsListInsert);
DS_ROUTINE(F_DsListReplace);
DS_ROUTINE(F_DsListDelete);
DS_ROUTINE(F_DsListFindIndex);
DS_ROUTINE(F_DsListFindValue);
DS_ROUTINE(F_DsListMarkAsList);
DS_ROUTINE(F_DsListMarkAsMap);
DS_ROUTINE(F_DsListSort);
DS_ROUTINE(F_DsListShuffle);
DS_ROUTINE(F_DsListWrite);
DS_ROUTINE(F_DsListRead);
DS_ROUTINE(F_DsListSet);
DS_ROUTINE(F_DsListSetPost);
DS_ROUTINE(F_DsListSetPre);

DS_ROUTINE(F_DsMapCreate);
DS_ROUTINE(F_DsMapDestroy);
DS_ROUTINE(F_DsMapClear);
DS_ROUTINE(F_DsMapCopy);
DS_ROUTINE(F_DsMapSize);
DS_ROUTINE(F_DsMapEmpty);
DS_ROUTINE(F_DsMapAdd);
DS_ROUTINE(F_DsMapSet);
DS_ROUTINE(F_DsMapSetPre);
DS_ROUTINE(F_DsMapSetPost);
DS_ROUTINE(F_DsMapAddList);
DS_ROUTINE(F_DsMapAddMap);
DS_ROUTINE(F_DsMapReplace);
DS_ROUTINE(F_DsMapReplaceList);
DS_ROUTINE(F_DsMapReplaceMap);
DS_ROUTINE(F_DsMapDelete);
DS_ROUTINE(F_DsMapExists);
DS_ROUTINE(F_DsMapFindValue);
DS_ROUTINE(F_DsMapFindPrevious);
DS_ROUTINE(F_DsMapFindNext);
DS_ROUTINE(F_DsMapFindFirst);
DS_ROUTINE(F_DsMapFindLast);
DS_ROUTINE(F_DsMapWrite);
DS_ROUTINE(F_DsMapRead);
DS_ROUTINE(F_DsMapSecureSave);
DS_ROUTINE(F_DsMapSecureLoad);
DS_ROUTINE(F_DsMapSecureSaveBuffer);
DS_ROUTINE(F_DsMapSecureLoadBuffer);

DS_ROUTINE(F_DsGridCreate);
DS_ROUTINE(F_DsGridDestroy);
DS_ROUTINE(F_DsGridCopy);
DS_ROUTINE(F_DsGridResize);
DS_ROUTINE(F_DsGridWidth);
DS_ROUTINE(F_DsGridHeight);
DS_ROUTINE(F_DsGridClear);
DS_ROUTINE(F_DsGridSet);
DS_ROUTINE(F_DsGridSetFast);
DS_ROUTINE(F_DsGridSetPre);
DS_ROUTINE(F_DsGridSetPost);
DS_ROUTINE(F_DsGridAdd);
DS_ROUTINE(F_DsGridMultiply);
DS_ROUTINE(F_DsGridSetRegion);
DS_ROUTINE(F_DsGridAddRegion);
DS_ROUTINE(F_DsGridMultiplyRegion);
DS_ROUTINE(F_DsGridSetDisk);
DS_ROUTINE(F_DsGridAddDisk);
DS_ROUTINE(F_DsGridMultiplyDisk);
DS_ROUTINE(F_DsGridSetGridRegion);
DS_ROUTINE(F_DsGridAddGridRegion);
DS_ROUTINE(F_DsGridMultiplyGridRegion);
DS_ROUTINE(F_DsGridGet);
DS_ROUTINE(F_DsGridGetFast);
DS_ROUTINE(F_DsGridGetSum);
DS_ROUTINE(F_DsGridGetMax);
DS_ROUTINE(F_DsGridGetMin);
DS_ROUTINE(F_DsGridGetMean);
DS_ROUTINE(F_DsGridGetDiskSum);
DS_ROUTINE(F_DsGridGetDiskMax);
DS_ROUTINE(F_DsGridGetDiskMin);
DS_ROUTINE(F_DsGridGetDiskMean);
DS_ROUTINE(F_DsGridValueExists);
DS_ROUTINE(F_DsGridValueX);
DS_ROUTINE(F_DsGridValueY);
DS_ROUTINE(F_DsGridValueDiskExists);
DS_ROUTINE(F_DsGridValueDiskX);
DS_ROUTINE(F_DsGridValueDiskY);
DS_ROUTINE(F_DsGridShuffle);
DS_ROUTINE(F_DsGridWrite);
DS_ROUTINE(F_DsGridRead);
DS_ROUTINE(F_DsGridSort);

#include "DataStructure/DS_Mark.h"

#include "Code/GCRegistry.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Priority.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"

void CDS_Stack::Mark() const
{
    for (int32_t i = 0; i < m_count; ++i) GC_MarkValue(&m_items[i]);
}

void CDS_Queue::Mark() const
{
    for (int32_t i = m_head; i < m_tail; ++i) GC_MarkValue(&m_items[i]);
}

void CDS_Priority::Mark() const
{
    for (int32_t i = 0; i < m_count; ++i) {
        GC_MarkValue(&m_values[i]);
        GC_MarkValue(&m_priorities[i]);
    }
}

namespace {
template <typename T, typename F>
void EachLive(const DsHandleTable<T>& table, F&& mark)
{
    for (int32_t i = 0; i < table.count; ++i) {
        if (table.slots[i]) mark(table.slots[i]);
    }
}
}  // namespace

void Ds_MarkAll()
{
    DsMutexLock lock;
    EachLive(DsMapTable, [](DsMap* map) {
        map->ForEach([](const DsMapElement* element) {
            GC_MarkValue(&element->key);
            GC_MarkValue(&element->value);
        });
    });
    EachLive(DsListTable, [](CDS_List* list) {
        for (int32_t i = 0; i < list->Size(); ++i) GC_MarkValue(list->GetItem(i));
    });
    EachLive(DsStackTable, [](CDS_Stack* stack) { stack->Mark(); });
    EachLive(DsQueueTable, [](CDS_Queue* queue) { queue->Mark(); });
    EachLive(DsGridTable, [](DsGrid* grid) {
        for (int32_t y = 0; y < grid->Height(); ++y) {
            for (int32_t x = 0; x < grid->Width(); ++x) GC_MarkValue(grid->Cell(x, y));
        }
    });
    EachLive(DsPriorityTable, [](CDS_Priority* priority) { priority->Mark(); });
}

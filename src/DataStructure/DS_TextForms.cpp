// The text forms of stacks, queues, lists, priority queues and grids.
#include <utility>

#include "Buffer/MemoryStream.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Priority.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DS_Stack.h"
#include "DataStructure/DS_Text.h"
#include "DataStructure/DS_Values.h"

namespace {
void WriteValues(MemoryStream* stream, const ScriptValue* items, int64_t n)
{
    for (int64_t i = 0; i < n; ++i) WriteValue(stream, &items[i]);
}

// Reads n records into fresh slots (they hold the real 0 and no reference).
bool ReadValues(MemoryStream* stream, ScriptValue* items, int64_t n, int32_t layout)
{
    for (int64_t i = 0; i < n; ++i) {
        if (!ReadValue(&items[i], stream, layout)) return false;
    }
    return true;
}

// Replaces an array with exactly n fresh slots; false when refused.
bool Resize(ScriptValue** items, int32_t* capacity, int64_t n)
{
    DsValues_Free(*items, *capacity);
    *items = nullptr;
    *capacity = 0;
    return DsValues_Grow(items, capacity, n);
}
}  // namespace

char* CDS_Stack::Write()
{
    MemoryStream stream(0);
    stream.WriteInt32(DS_MAGIC_STACK);
    stream.WriteInt32(m_count);
    WriteValues(&stream, m_items, m_count);
    return DsText_Finish(&stream);
}

bool CDS_Stack::Read(const char* text, bool legacy)
{
    MemoryStream stream(0);
    const int32_t layout = DsText_Open(&stream, text, DS_MAGIC_STACK, legacy);
    if (layout < 0) return false;
    Clear();
    const int32_t count = stream.ReadInt32();
    if (!DsText_CountFits(&stream, count) || !Resize(&m_items, &m_capacity, count) ||
        !ReadValues(&stream, m_items, count, layout)) {
        Clear();
        return false;
    }
    m_count = count;
    return true;
}

char* CDS_Queue::Write()
{
    MemoryStream stream(0);
    stream.WriteInt32(DS_MAGIC_QUEUE);
    stream.WriteInt32(m_tail);
    stream.WriteInt32(m_head);
    stream.WriteInt32(m_capacity);
    WriteValues(&stream, m_items, m_capacity);
    return DsText_Finish(&stream);
}

bool CDS_Queue::Read(const char* text, bool legacy)
{
    MemoryStream stream(0);
    const int32_t layout = DsText_Open(&stream, text, DS_MAGIC_QUEUE, legacy);
    if (layout < 0) return false;
    Clear();
    const int32_t tail = stream.ReadInt32(), head = stream.ReadInt32(), capacity = stream.ReadInt32();
    // The live range must lie inside the slots the text holds.
    if (head < 0 || head > tail || tail > capacity || !DsText_CountFits(&stream, capacity) ||
        !Resize(&m_items, &m_allocated, capacity) || !ReadValues(&stream, m_items, capacity, layout)) {
        Clear();
        return false;
    }
    m_tail = tail;
    m_head = head;
    m_capacity = capacity;
    return true;
}

char* CDS_List::Write()
{
    MemoryStream stream(0);
    stream.WriteInt32(DS_MAGIC_LIST);
    stream.WriteInt32(m_count);
    WriteValues(&stream, m_items, m_count);
    return DsText_Finish(&stream);
}

bool CDS_List::Read(const char* text, bool legacy)
{
    MemoryStream stream(0);
    const int32_t layout = DsText_Open(&stream, text, DS_MAGIC_LIST, legacy);
    if (layout < 0) return false;
    Clear();
    const int32_t count = stream.ReadInt32();
    if (!DsText_CountFits(&stream, count) || !Resize(&m_items, &m_capacity, count) ||
        !ReadValues(&stream, m_items, count, layout)) {
        // Every slot read so far is released; none carries a mark.
        DsValues_Free(m_items, m_capacity);
        m_items = nullptr;
        m_capacity = 0;
        return false;
    }
    m_count = count;
    return true;
}

char* CDS_Priority::Write()
{
    MemoryStream stream(0);
    stream.WriteInt32(DS_MAGIC_PRIORITY);
    stream.WriteInt32(m_count);
    WriteValues(&stream, m_priorities, m_count);
    WriteValues(&stream, m_values, m_count);
    return DsText_Finish(&stream);
}

bool CDS_Priority::Read(const char* text, bool legacy)
{
    MemoryStream stream(0);
    const int32_t layout = DsText_Open(&stream, text, DS_MAGIC_PRIORITY, legacy);
    if (layout < 0) return false;
    Clear();
    const int32_t count = stream.ReadInt32();
    if (!DsText_CountFits(&stream, int64_t{count} * 2) || !Resize(&m_values, &m_valueCapacity, count) ||
        !Resize(&m_priorities, &m_priorityCapacity, count) || !ReadValues(&stream, m_priorities, count, layout) ||
        !ReadValues(&stream, m_values, count, layout)) {
        Clear();
        return false;
    }
    m_count = count;
    return true;
}

char* DsGrid::Write()
{
    MemoryStream stream(0);
    stream.WriteInt32(DS_MAGIC_GRID);
    stream.WriteInt32(m_width);
    stream.WriteInt32(m_height);
    // A grid may be wide and 0 high (or the reverse): it has no cells to walk.
    for (int32_t x = 0; m_height > 0 && x < m_width; ++x) {
        for (int32_t y = 0; y < m_height; ++y) WriteValue(&stream, Cell(x, y));
    }
    return DsText_Finish(&stream);
}

bool DsGrid::Read(const char* text, bool legacy)
{
    MemoryStream stream(0);
    const int32_t layout = DsText_Open(&stream, text, DS_MAGIC_GRID, legacy);
    if (layout < 0) return false;
    const int32_t width = stream.ReadInt32(), height = stream.ReadInt32();
    if (!SizeAllowed(width, height) || !DsText_CountFits(&stream, int64_t{width} * height) ||
        !SetSize(width, height)) {
        SetSize(0, 0);
        return false;
    }
    for (int32_t x = 0; m_height > 0 && x < m_width; ++x) {
        for (int32_t y = 0; y < m_height; ++y) {
            if (!ReadValue(Cell(x, y), &stream, layout)) {
                SetSize(0, 0);
                return false;
            }
        }
    }
    return true;
}

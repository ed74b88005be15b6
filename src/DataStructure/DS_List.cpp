#include "DataStructure/DS_List.h"

#include <algorithm>

#include "Base/Random.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Values.h"

CDS_List::~CDS_List()
{
    Clear();
    DsValues_Free(m_items, m_capacity);
}

void CDS_List::Add(const ScriptValue* value)
{
    if (m_count >= m_capacity &&
        !DsValues_Grow(&m_items, &m_capacity, int64_t{m_count} + std::max(16, m_capacity / 8)))
        return;
    m_items[m_count++].Assign(*value);
}

void CDS_List::Insert(int32_t position, const ScriptValue* value)
{
    if (position < 0 || position > m_count) return;
    if (m_count >= m_capacity && !DsValues_Grow(&m_items, &m_capacity, int64_t{m_count} + 16)) return;
    for (int32_t i = m_count; i > position; --i) DsValue_Move(&m_items[i], &m_items[i - 1]);
    m_items[position] = ScriptValue_Undefined();
    m_items[position].Assign(*value);
    ++m_count;
}

ScriptValue* CDS_List::Set(int32_t position, const ScriptValue* value, ScriptValue* old)
{
    if (position < 0) return nullptr;
    const int64_t count = std::max<int64_t>(m_count, int64_t{position} + 1);
    if (count >= m_capacity && !DsValues_Grow(&m_items, &m_capacity, count + 16)) return nullptr;
    m_count = static_cast<int32_t>(count);
    if (old) old->Assign(m_items[position]);
    m_items[position].Assign(*value);
    return old;
}

void CDS_List::Replace(int32_t position, const ScriptValue* value)
{
    if (position >= 0 && position < m_count) m_items[position].Assign(*value);
}

void CDS_List::Delete(int32_t position)
{
    if (position < 0 || position >= m_count) return;
    ScriptValue_SetUndefined(&m_items[position]);
    for (int32_t i = position; i < m_count - 1; ++i) DsValue_Move(&m_items[i], &m_items[i + 1]);
    DsValue_Forget(&m_items[--m_count]);
}

ScriptValue* CDS_List::GetItem(int32_t position)
{
    return (position >= 0 && position < m_count) ? &m_items[position] : nullptr;
}

int32_t CDS_List::FindIndex(const ScriptValue* value)
{
    for (int32_t i = 0; i < m_count; ++i) {
        if (DsCompare(&m_items[i], value) == 0) return i;
    }
    return -1;
}

void CDS_List::Clear()
{
    DsMutexLock lock;
    if (m_clearing) return;
    m_clearing = true;
    for (int32_t i = 0; i < m_count; ++i) {
        ScriptValue& entry = m_items[i];
        switch (DsValue_NestedKind(&entry)) {
        case DS_NESTED_MAP:
            DsMap_Destroy(DsValue_NestedHandle(&entry));
            break;
        case DS_NESTED_LIST:
            DsList_Destroy(DsValue_NestedHandle(&entry));
            break;
        default:
            break;
        }
        entry.kind &= KIND_MASK;
        ScriptValue_SetUndefined(&entry);
    }
    m_count = 0;
    m_clearing = false;
}

void CDS_List::Copy(CDS_List* source)
{
    if (source == this) return;
    if (!source) {
        Clear();
        return;
    }
    if (!DsValues_Grow(&m_items, &m_capacity, source->m_capacity)) return;
    for (int32_t i = 0; i < source->m_capacity; ++i) {
        ScriptValue value = source->m_items[i];
        value.kind &= ~(KIND_NESTED_LIST | KIND_NESTED_MAP);
        m_items[i].Assign(value);
    }
    // Slots the source does not have must not keep entries past the new count.
    for (int32_t i = source->m_capacity; i < m_count; ++i) ScriptValue_SetUndefined(&m_items[i]);
    m_count = source->m_count;
}

void CDS_List::Sort(bool ascending)
{
    for (int32_t i = 1; i < m_count; ++i) {
        for (int32_t j = i; j > 0; --j) {
            const int c = DsCompare(&m_items[j - 1], &m_items[j]);
            if ((c > 0) != ascending) break;
            DsValue_Swap(&m_items[j - 1], &m_items[j]);
        }
    }
}

void CDS_List::Shuffle()
{
    for (int64_t step = 0; step < int64_t{8} * m_count; ++step) {
        const auto a = static_cast<int32_t>(Random_NextInt(m_count));
        const auto b = static_cast<int32_t>(Random_NextInt(m_count));
        DsValue_Swap(&m_items[a], &m_items[b]);
    }
}

#include "DataStructure/DS_Stack.h"

#include "DataStructure/DS_Values.h"

CDS_Stack::~CDS_Stack()
{
    Clear();
}

void CDS_Stack::Push(const ScriptValue* value)
{
    if (m_count >= m_capacity && !DsValues_Grow(&m_items, &m_capacity, int64_t{m_count} + 16)) return;
    m_items[m_count++].Assign(*value);
}

ScriptValue* CDS_Stack::Pop()
{
    return m_count > 0 ? &m_items[--m_count] : nullptr;
}

ScriptValue* CDS_Stack::Top()
{
    return m_count > 0 ? &m_items[m_count - 1] : nullptr;
}

void CDS_Stack::Clear()
{
    // Every slot, not only the live ones: popped values keep their references.
    DsValues_Free(m_items, m_capacity);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void CDS_Stack::Copy(CDS_Stack* source)
{
    if (source == this) return;
    Clear();
    if (!source || !DsValues_Grow(&m_items, &m_capacity, source->m_capacity)) return;
    for (int32_t i = 0; i < m_capacity; ++i) m_items[i].Assign(source->m_items[i]);
    m_count = source->m_count;
}

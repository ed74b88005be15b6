#include "DataStructure/DS_Queue.h"

#include "DataStructure/DS_Values.h"

CDS_Queue::~CDS_Queue()
{
    DsValues_Free(m_items, m_allocated);
}

void CDS_Queue::Enqueue(const ScriptValue* value)
{
    if (m_tail >= m_capacity) {
        if (!DsValues_Grow(&m_items, &m_allocated, int64_t{m_tail} + 16)) return;
        m_capacity = m_tail + 16;
    }
    m_items[m_tail++].Assign(*value);
}

ScriptValue* CDS_Queue::Dequeue()
{
    if (m_head == m_tail) return nullptr;
    const int32_t taken = m_head++;
    if (m_head > 16 && m_head > m_tail / 2) {
        // The taken slot lies above every slot written here.
        for (int32_t i = m_head; i < m_tail; ++i) m_items[i - m_head].Assign(m_items[i]);
        m_tail -= m_head;
        m_head = 0;
    }
    return &m_items[taken];
}

ScriptValue* CDS_Queue::Head()
{
    return m_head == m_tail ? nullptr : &m_items[m_head];
}

ScriptValue* CDS_Queue::Tail()
{
    return m_head == m_tail ? nullptr : &m_items[m_tail - 1];
}

void CDS_Queue::Clear()
{
    for (int32_t i = 0; i < m_allocated; ++i) ScriptValue_SetUndefined(&m_items[i]);
    m_tail = m_head = m_capacity = 0;
}

void CDS_Queue::Copy(CDS_Queue* source)
{
    if (source == this) return;
    Clear();
    if (!source || !DsValues_Grow(&m_items, &m_allocated, source->m_capacity)) return;
    for (int32_t i = 0; i < source->m_capacity; ++i) m_items[i].Assign(source->m_items[i]);
    m_capacity = source->m_capacity;
    m_tail = source->m_tail;
    m_head = source->m_head;
}

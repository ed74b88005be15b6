#include "DataStructure/DS_Priority.h"

#include "DataStructure/DS_Values.h"

CDS_Priority::~CDS_Priority()
{
    Clear();
}

void CDS_Priority::Add(const ScriptValue* value, const ScriptValue* priority)
{
    if (m_count >= m_valueCapacity || m_count >= m_priorityCapacity) {
        const int64_t grown = int64_t{m_count} + 16;
        if (!DsValues_Grow(&m_values, &m_valueCapacity, grown) ||
            !DsValues_Grow(&m_priorities, &m_priorityCapacity, grown))
            return;
    }
    m_values[m_count].Assign(*value);
    m_priorities[m_count].Assign(*priority);
    ++m_count;
}

int32_t CDS_Priority::Find(const ScriptValue* value)
{
    for (int32_t i = 0; i < m_count; ++i) {
        if (DsCompare(&m_values[i], value) == 0) return i;
    }
    return -1;
}

void CDS_Priority::ChangePriority(const ScriptValue* value, const ScriptValue* priority)
{
    const int32_t i = Find(value);
    if (i >= 0) m_priorities[i].Assign(*priority);
}

ScriptValue* CDS_Priority::FindPriority(const ScriptValue* value)
{
    const int32_t i = Find(value);
    return i >= 0 ? &m_priorities[i] : nullptr;
}

void CDS_Priority::RemoveAt(int32_t index)
{
    ScriptValue_SetUndefined(&m_values[index]);
    ScriptValue_SetUndefined(&m_priorities[index]);
    const int32_t last = m_count - 1;
    if (index != last) {
        DsValue_Move(&m_values[index], &m_values[last]);
        DsValue_Move(&m_priorities[index], &m_priorities[last]);
    }
    DsValue_Forget(&m_values[last]);
    DsValue_Forget(&m_priorities[last]);
    m_count = last;
}

void CDS_Priority::DeleteValue(const ScriptValue* value)
{
    const int32_t i = Find(value);
    if (i >= 0) RemoveAt(i);
}

int32_t CDS_Priority::Best(int sign)
{
    if (m_count == 0) return -1;
    int32_t best = 0;
    for (int32_t i = 1; i < m_count; ++i) {
        if (DsCompare(&m_priorities[i], &m_priorities[best]) * sign > 0) best = i;
    }
    return best;
}

void CDS_Priority::DeleteBest(ScriptValue* result, int sign)
{
    // The old result is released, not overwritten.
    ScriptValue_SetReal(result, 0.0);
    const int32_t best = Best(sign);
    if (best < 0) return;
    result->Assign(m_values[best]);
    RemoveAt(best);
}

void CDS_Priority::DeleteMax(ScriptValue* result)
{
    DeleteBest(result, 1);
}

void CDS_Priority::DeleteMin(ScriptValue* result)
{
    DeleteBest(result, -1);
}

ScriptValue* CDS_Priority::FindMax()
{
    const int32_t best = Best(1);
    return best >= 0 ? &m_values[best] : nullptr;
}

ScriptValue* CDS_Priority::FindMin()
{
    const int32_t best = Best(-1);
    return best >= 0 ? &m_values[best] : nullptr;
}

void CDS_Priority::Clear()
{
    DsValues_Free(m_values, m_valueCapacity);
    DsValues_Free(m_priorities, m_priorityCapacity);
    m_values = m_priorities = nullptr;
    m_count = m_valueCapacity = m_priorityCapacity = 0;
}

void CDS_Priority::Copy(CDS_Priority* source)
{
    if (source == this) return;
    Clear();
    if (!source || !DsValues_Grow(&m_values, &m_valueCapacity, source->m_valueCapacity) ||
        !DsValues_Grow(&m_priorities, &m_priorityCapacity, source->m_priorityCapacity))
        return;
    for (int32_t i = 0; i < m_valueCapacity; ++i) m_values[i].Assign(source->m_values[i]);
    for (int32_t i = 0; i < m_priorityCapacity; ++i) m_priorities[i].Assign(source->m_priorities[i]);
    m_count = source->m_count;
}

#include "Motion/Motion_GridQueue.h"

#include <cstring>

#include "Base/MemoryManager.h"

namespace {
constexpr int32_t kFirstCapacity = 4096;
}  // namespace

bool CellQueue::Grow()
{
    const int64_t capacity = m_cells ? static_cast<int64_t>(m_capacity) * 2 : kFirstCapacity;
    if (capacity > INT32_MAX) return false;
    auto* cells = static_cast<int32_t*>(QS_ALLOC(sizeof(int32_t) * static_cast<size_t>(capacity), false));
    if (!cells) return false;
    if (m_count > 0) {
        const int32_t first = m_tail > m_head ? m_count : m_capacity - m_head;  // from head to the end, or all
        std::memcpy(cells, m_cells + m_head, sizeof(int32_t) * static_cast<size_t>(first));
        std::memcpy(cells + first, m_cells, sizeof(int32_t) * static_cast<size_t>(m_count - first));
    }
    QS_FREE(m_cells);
    m_cells = cells;
    m_capacity = static_cast<int32_t>(capacity);
    m_head = 0;
    m_tail = m_count;
    return true;
}

bool CellQueue::Push(int32_t cell)
{
    if (((m_tail + 1) & (m_capacity - 1)) == m_head && !Grow()) return false;
    m_cells[m_tail] = cell;
    m_tail = (m_tail + 1) & (m_capacity - 1);
    ++m_count;
    return true;
}

int32_t CellQueue::Pop()
{
    if (m_count == 0) return -1;
    const int32_t cell = m_cells[m_head];
    m_head = (m_head + 1) & (m_capacity - 1);
    --m_count;
    return cell;
}

void CellQueue::Free()
{
    QS_FREE(m_cells);
    m_cells = nullptr;
    m_capacity = 0;
    Clear();
}

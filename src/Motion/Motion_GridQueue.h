#pragma once
// The queue of cell indices behind the grid search: a ring whose capacity
// is a power of two and which holds capacity - 1 entries. It has no buffer
// until first made ready, gets 4096 entries then and doubles whenever a
// push finds it full. The grids share one for the life of the process.
#include <cstdint>

class CellQueue {
public:
    // Makes sure there is a buffer; false when memory runs out.
    bool Ready() { return m_cells || Grow(); }
    void Clear() { m_head = m_tail = m_count = 0; }
    // False when the queue was full and could not grow.
    bool Push(int32_t cell);
    // The next cell, or -1 when the queue is empty.
    int32_t Pop();
    int32_t Capacity() const { return m_cells ? m_capacity : 0; }
    // Frees the buffer (a queue ready again starts at 4096).
    void Free();

private:
    // Doubles the ring (4096 entries the first time), moving the queued
    // cells to its start in queue order.
    bool Grow();

    int32_t* m_cells = nullptr;
    int32_t m_capacity = 0;
    int32_t m_head = 0;
    int32_t m_tail = 0;
    int32_t m_count = 0;
};

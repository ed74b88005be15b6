#include "DataStructure/DS_Grid.h"

#include <algorithm>
#include <vector>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Base/Random.h"
#include "Code/Code_Arguments.h"
#include "DataStructure/DS_Values.h"

bool DsGridCheck = true;

namespace {
double RealOf(const ScriptValue* value)
{
    ScriptValue copy = *value;
    return Arg_Real(&copy, 0);
}
}  // namespace

void DsGrid_CellOp(int32_t mode, ScriptValue* cell, const ScriptValue* value)
{
    const bool cellString = cell->kind == VALUE_STRING, valueString = value->kind == VALUE_STRING;
    switch (mode) {
    case DS_GRID_SET:
        cell->Assign(*value);
        break;
    case DS_GRID_ADD:
        if (cellString && valueString) {
            // Built on the heap: the joined text may have any length.
            char* joined = ConcatStrings(ScriptValue_StringText(cell), ScriptValue_StringText(value));
            if (joined)
                ScriptValue_AdoptString(cell, joined, -1);
            else
                ScriptValue_SetString(cell, "");
        } else if (cellString || valueString) {
            cell->Assign(*value);
        } else {
            ScriptValue_SetReal(cell, RealOf(cell) + RealOf(value));
        }
        break;
    case DS_GRID_MULTIPLY:
        if (!cellString && !valueString) ScriptValue_SetReal(cell, RealOf(cell) * RealOf(value));
        break;
    default:
        break;
    }
}

DsGrid::DsGrid(int32_t width, int32_t height)
{
    SetSize(width, height);
}

DsGrid::~DsGrid()
{
    DsValues_Free(m_cells, m_width * m_height);
}

bool DsGrid::SizeAllowed(int32_t width, int32_t height)
{
    return width >= 0 && height >= 0 && int64_t{width} * height <= DS_MAX_VALUES;
}

bool DsGrid::SetSize(int32_t width, int32_t height)
{
    if (!SizeAllowed(width, height)) return false;
    ScriptValue* cells = nullptr;
    const int64_t n = int64_t{width} * height;
    if (n > 0) {
        cells = static_cast<ScriptValue*>(QS_ALLOC(static_cast<size_t>(n) * sizeof(ScriptValue), true));
        if (!cells) return false;
    }
    DsValues_Free(m_cells, m_width * m_height);
    m_cells = cells;
    m_width = width;
    m_height = height;
    return true;
}

bool DsGrid::Resize(int32_t width, int32_t height)
{
    ScriptValue* old = m_cells;
    const int32_t oldWidth = m_width, oldHeight = m_height;
    m_cells = nullptr;
    m_width = m_height = 0;
    if (!SetSize(width, height)) {
        m_cells = old;
        m_width = oldWidth;
        m_height = oldHeight;
        return false;
    }
    for (int32_t y = 0; y < oldHeight; ++y) {
        for (int32_t x = 0; x < oldWidth; ++x) {
            ScriptValue* from = &old[x + static_cast<int64_t>(y) * oldWidth];
            if (x < m_width && y < m_height) {
                DsValue_Move(Cell(x, y), from);
                DsValue_Forget(from);
            }
        }
    }
    DsValues_Free(old, oldWidth * oldHeight);
    return true;
}

void DsGrid::SetCell(int32_t x, int32_t y, const ScriptValue* value)
{
    Cell(x, y)->Assign(*value);
}

void DsGrid::Copy(DsGrid* source)
{
    if (source == this || !SetSize(source->m_width, source->m_height)) return;
    for (int64_t i = 0; i < int64_t{m_width} * m_height; ++i) m_cells[i].Assign(source->m_cells[i]);
}

void DsGrid::Clear(const ScriptValue* value)
{
    ScriptValue held = ScriptValue_Undefined();
    held.Assign(*value);  // value may be one of the cells
    for (int64_t i = 0; i < int64_t{m_width} * m_height; ++i) m_cells[i].Assign(held);
    ScriptValue_SetUndefined(&held);
}

void DsGrid::OpAt(int32_t handle, int32_t mode, int32_t x, int32_t y, const ScriptValue* value)
{
    if (!Contains(x, y)) {
        OutputConsole->Output("Grid %d, index out of bounds writing [%d,%d] - size is [%d,%d]\n", handle, x, y,
                              m_width, m_height);
        return;
    }
    DsGrid_CellOp(mode, Cell(x, y), value);
}

void DsGrid::Sort(int32_t column, int32_t direction)
{
    if (column < 0 || column >= m_width || m_height < 2) return;
    std::vector<int32_t> order(static_cast<size_t>(m_height));
    for (int32_t i = 0; i < m_height; ++i) order[static_cast<size_t>(i)] = i;
    // A stable merge sort: the tolerant comparison is not a strict weak
    // order, which an introsort may not be given.
    std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        return DsCompare(Cell(column, a), Cell(column, b)) * direction < 0;
    });
    const int64_t n = int64_t{m_width} * m_height;
    std::vector<ScriptValue> held(m_cells, m_cells + n);
    std::vector<bool> owns(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        owns[static_cast<size_t>(i)] = held[static_cast<size_t>(i)].Kind() == VALUE_ARRAY &&
                                       held[static_cast<size_t>(i)].arr &&
                                       held[static_cast<size_t>(i)].arr->owner == &m_cells[i];
    // Records move whole; only the owner links of arrays follow them.
    for (int32_t row = 0; row < m_height; ++row) {
        const int32_t from = order[static_cast<size_t>(row)];
        for (int32_t x = 0; x < m_width; ++x) {
            const auto index = static_cast<size_t>(x + static_cast<int64_t>(from) * m_width);
            ScriptValue* cell = Cell(x, row);
            *cell = held[index];
            if (owns[index]) cell->arr->owner = cell;
        }
    }
}

void DsGrid::Shuffle()
{
    const int64_t n = int64_t{m_width} * m_height;
    for (int64_t step = 0; step < 8 * n; ++step) {
        const auto x1 = static_cast<int32_t>(Random_NextInt(m_width));
        const auto x2 = static_cast<int32_t>(Random_NextInt(m_width));
        const auto y1 = static_cast<int32_t>(Random_NextInt(m_height));
        const auto y2 = static_cast<int32_t>(Random_NextInt(m_height));
        DsValue_Swap(Cell(x1, y1), Cell(x2, y2));
    }
}

// Motion-planning grids: the grid list, cells, rectangles, instances, drawing
// and the copy into a data-structure grid. The search is in Motion_GridSearch.cpp.
#include "Motion/Motion_Grid.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"
#include "Graphics/Graphics_Primitive.h"
#include "World/Instance.h"

namespace {
// The grid list: destroyed grids leave null slots; it never shrinks while the game runs.
CGrid** s_grids = nullptr;
int32_t s_gridCount = 0;

constexpr uint32_t kForbiddenColour = 0x0000FF;
constexpr uint32_t kFreeColour = 0x008000;

// Room offset to cell, truncating toward zero, clamped into 0..count-1 by the caller.
int64_t CellAlong(int32_t position, int32_t origin, int32_t cellSize)
{
    return (static_cast<int64_t>(position) - origin) / cellSize;
}
}  // namespace

CGrid* CGrid::New(int32_t left, int32_t top, int32_t columns, int32_t rows, int32_t cellWidth, int32_t cellHeight)
{
    if (columns <= 0 || rows <= 0 || cellWidth <= 0 || cellHeight <= 0) return nullptr;
    const int64_t count = static_cast<int64_t>(columns) * rows;
    if (count > INT32_MAX) return nullptr;
    void* block = QS_ALLOC(sizeof(CGrid), true);
    if (!block) return nullptr;
    CGrid* grid = new (block) CGrid();
    grid->m_cells = static_cast<int32_t*>(QS_ALLOC(sizeof(int32_t) * static_cast<size_t>(count), true));
    if (!grid->m_cells) {
        QS_FREE(block);
        return nullptr;
    }
    grid->m_left = left;
    grid->m_top = top;
    grid->m_columns = columns;
    grid->m_rows = rows;
    grid->m_cellWidth = cellWidth;
    grid->m_cellHeight = cellHeight;
    grid->m_cellCount = static_cast<int32_t>(count);
    return grid;
}

void CGrid::Delete()
{
    QS_FREE(m_cells);
    QS_FREE(this);
}

void CGrid::ClearAll()
{
    std::memset(m_cells, 0, sizeof(int32_t) * static_cast<size_t>(m_cellCount));
}

int32_t CGrid::GetCell(int32_t x, int32_t y) const
{
    if (x < 0 || x >= m_columns || y < 0 || y >= m_rows) return -1;
    return m_cells[Index(x, y)];
}

void CGrid::SetCell(int32_t x, int32_t y, int32_t value)
{
    if (x < 0 || x >= m_columns || y < 0 || y >= m_rows) return;
    m_cells[Index(x, y)] = value;
}

void CGrid::CellRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t* firstX, int32_t* lastX, int32_t* firstY,
                      int32_t* lastY) const
{
    // Truncation toward zero lets a rectangle ending less than a cell before
    // the grid still reach its first column or row.
    *firstX = static_cast<int32_t>(std::max<int64_t>(0, CellAlong(std::min(x1, x2), m_left, m_cellWidth)));
    *lastX = static_cast<int32_t>(std::min<int64_t>(m_columns - 1, CellAlong(std::max(x1, x2), m_left, m_cellWidth)));
    *firstY = static_cast<int32_t>(std::max<int64_t>(0, CellAlong(std::min(y1, y2), m_top, m_cellHeight)));
    *lastY = static_cast<int32_t>(std::min<int64_t>(m_rows - 1, CellAlong(std::max(y1, y2), m_top, m_cellHeight)));
}

void CGrid::FillRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t value)
{
    int32_t firstX, lastX, firstY, lastY;
    CellRange(x1, y1, x2, y2, &firstX, &lastX, &firstY, &lastY);
    for (int32_t x = firstX; x <= lastX; ++x) {
        for (int32_t y = firstY; y <= lastY; ++y) m_cells[Index(x, y)] = value;
    }
}

void CGrid::AddRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { FillRectangle(x1, y1, x2, y2, -1); }
void CGrid::ClearRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { FillRectangle(x1, y1, x2, y2, 0); }

void CGrid::AddInstance(CInstance* instance, bool precise)
{
    if (!instance) return;
    if (instance->m_bboxDirty) instance->ComputeBoundingBox(true);
    int32_t firstX, lastX, firstY, lastY;
    CellRange(instance->bbox_left, instance->bbox_top, instance->bbox_right, instance->bbox_bottom, &firstX, &lastX,
              &firstY, &lastY);
    for (int32_t x = firstX; x <= lastX; ++x) {
        for (int32_t y = firstY; y <= lastY; ++y) {
            int32_t& cell = m_cells[Index(x, y)];
            if (!precise) {
                cell = -1;
                continue;
            }
            if (cell == -1) continue;
            const float left = static_cast<float>(static_cast<int64_t>(m_left) + static_cast<int64_t>(m_cellWidth) * x);
            const float top = static_cast<float>(static_cast<int64_t>(m_top) + static_cast<int64_t>(m_cellHeight) * y);
            const float right = left + static_cast<float>(m_cellWidth) - 1.0f;
            const float bottom = top + static_cast<float>(m_cellHeight) - 1.0f;
            if (instance->CollisionRectangle(left, top, right, bottom, true)) cell = -1;
        }
    }
}

void CGrid::Draw() const
{
    for (int32_t x = 0; x < m_columns; ++x) {
        for (int32_t y = 0; y < m_rows; ++y) {
            const float x1 = static_cast<float>(static_cast<int64_t>(m_left) + static_cast<int64_t>(m_cellWidth) * x);
            const float y1 = static_cast<float>(static_cast<int64_t>(m_top) + static_cast<int64_t>(m_cellHeight) * y);
            const uint32_t colour = m_cells[Index(x, y)] == -1 ? kForbiddenColour : kFreeColour;
            GR_Draw_RectangleColour(x1, y1, x1 + static_cast<float>(m_cellWidth), y1 + static_cast<float>(m_cellHeight),
                                    colour, colour, colour, colour, false);
        }
    }
}

int32_t MP_Grid_Create(int32_t left, int32_t top, int32_t columns, int32_t rows, int32_t cellWidth, int32_t cellHeight)
{
    if (columns <= 0 || rows <= 0 || cellWidth <= 0 || cellHeight <= 0) {
        ReportRuntimeError("mp_grid_create :: the cell counts and cell sizes must be above 0", false);
        return -1;
    }
    CGrid* grid = CGrid::New(left, top, columns, rows, cellWidth, cellHeight);
    if (!grid) {
        ReportRuntimeError("mp_grid_create :: the grid has too many cells", false);
        return -1;
    }
    for (int32_t i = 0; i < s_gridCount; ++i) {
        if (!s_grids[i]) {
            s_grids[i] = grid;
            return i;
        }
    }
    auto* grown = static_cast<CGrid**>(QS_REALLOC(s_grids, sizeof(CGrid*) * (static_cast<size_t>(s_gridCount) + 1)));
    if (!grown) {
        grid->Delete();
        ReportRuntimeError("mp_grid_create :: the grid has too many cells", false);
        return -1;
    }
    s_grids = grown;
    s_grids[s_gridCount] = grid;
    return s_gridCount++;
}

CGrid* MP_Grid_Get(int32_t grid)
{
    return grid >= 0 && grid < s_gridCount ? s_grids[grid] : nullptr;
}

void MP_Grid_Destroy(int32_t grid)
{
    if (CGrid* g = MP_Grid_Get(grid)) {
        g->Delete();
        s_grids[grid] = nullptr;
    }
}

void MP_Grid_DestroyAll()
{
    for (int32_t i = 0; i < s_gridCount; ++i) {
        if (s_grids[i]) s_grids[i]->Delete();
    }
    QS_FREE(s_grids);
    s_grids = nullptr;
    s_gridCount = 0;
}

void MP_Grid_ClearAll(int32_t grid)
{
    if (CGrid* g = MP_Grid_Get(grid)) g->ClearAll();
}

void MP_Grid_AddCell(int32_t grid, int32_t x, int32_t y)
{
    if (CGrid* g = MP_Grid_Get(grid)) g->SetCell(x, y, -1);
}

void MP_Grid_ClearCell(int32_t grid, int32_t x, int32_t y)
{
    if (CGrid* g = MP_Grid_Get(grid)) g->SetCell(x, y, 0);
}

int32_t MP_Grid_GetCell(int32_t grid, int32_t x, int32_t y)
{
    const CGrid* g = MP_Grid_Get(grid);
    return g ? g->GetCell(x, y) : -1;
}

void MP_Grid_AddRectangle(int32_t grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (CGrid* g = MP_Grid_Get(grid)) g->AddRectangle(x1, y1, x2, y2);
}

void MP_Grid_ClearRectangle(int32_t grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (CGrid* g = MP_Grid_Get(grid)) g->ClearRectangle(x1, y1, x2, y2);
}

void MP_Grid_AddInstances(int32_t grid, CInstance* instance, bool precise)
{
    if (CGrid* g = MP_Grid_Get(grid)) g->AddInstance(instance, precise);
}

bool MP_Grid_Path(int32_t grid, CGamePath* path, int32_t startX, int32_t startY, int32_t goalX, int32_t goalY,
                  bool diagonal)
{
    CGrid* g = MP_Grid_Get(grid);
    return g && g->FindPath(path, startX, startY, goalX, goalY, diagonal);
}

void MP_Grid_Draw(int32_t grid)
{
    if (const CGrid* g = MP_Grid_Get(grid)) g->Draw();
}

void MP_Grid_ToDsGrid(int32_t grid, int32_t dsGrid)
{
    const CGrid* source = MP_Grid_Get(grid);
    DsGrid* destination = DsGridTable.Get(dsGrid);
    if (!source || !destination) {
        ReportRuntimeError("Invalid source or destination grid", false);
        return;
    }
    if (source->Columns() != destination->Width() || source->Rows() != destination->Height()) {
        ReportRuntimeError("Error, grid sizes do not match (mp_grid_to_ds_grid) ", false);
        return;
    }
    for (int32_t y = 0; y < source->Rows(); ++y) {
        for (int32_t x = 0; x < source->Columns(); ++x) {
            const ScriptValue value = ScriptValue_Real(source->GetCell(x, y));
            destination->SetCell(x, y, &value);
        }
    }
}

// The breadth-first cell search of the motion-planning grids, and the queue
// that all grids share for it.
#include "Motion/Motion_Grid.h"
#include "Motion/Motion_GridQueue.h"
#include "Path/Path_Class.h"

namespace {
CellQueue s_queue;

// The neighbours in the order the search marks them and the walk back tries them.
enum Side { SIDE_L, SIDE_R, SIDE_U, SIDE_D, SIDE_DL, SIDE_DR, SIDE_UL, SIDE_UR, SIDE_COUNT };
constexpr int32_t kDx[SIDE_COUNT] = {-1, 1, 0, 0, -1, 1, -1, 1};
constexpr int32_t kDy[SIDE_COUNT] = {0, 0, -1, 1, 1, 1, -1, -1};
}  // namespace

bool CGrid::CellOf(int32_t px, int32_t py, int32_t* cx, int32_t* cy) const
{
    const int64_t dx = static_cast<int64_t>(px) - m_left;
    const int64_t dy = static_cast<int64_t>(py) - m_top;
    if (dx < 0 || dy < 0 || dx >= static_cast<int64_t>(m_columns) * m_cellWidth ||
        dy >= static_cast<int64_t>(m_rows) * m_cellHeight)
        return false;
    *cx = static_cast<int32_t>(dx / m_cellWidth);
    *cy = static_cast<int32_t>(dy / m_cellHeight);
    return true;
}

bool CGrid::FindPath(CGamePath* path, int32_t startX, int32_t startY, int32_t goalX, int32_t goalY, bool diagonal)
{
    if (!path) return false;
    if (!s_queue.Ready()) return false;
    s_queue.Clear();
    int32_t sx, sy, gx, gy;
    if (!CellOf(startX, startY, &sx, &sy) || !CellOf(goalX, goalY, &gx, &gy)) return false;
    const int32_t start = Index(sx, sy);
    const int32_t goal = Index(gx, gy);
    if (m_cells[start] == -1 || m_cells[goal] == -1) return false;

    m_cells[start] = 1;
    bool found = false;
    bool searching = s_queue.Push(start);
    while (searching) {
        const int32_t cell = s_queue.Pop();
        if (cell < 0) break;
        if (cell == goal) {
            found = true;
            break;
        }
        const int32_t x = cell / m_rows;
        const int32_t y = cell % m_rows;
        // Which neighbours were open before this cell marks any of them: a
        // diagonal needs both cells that flank it open too.
        bool open[SIDE_COUNT];
        for (int side = 0; side < SIDE_COUNT; ++side) open[side] = GetCell(x + kDx[side], y + kDy[side]) == 0;
        const bool take[SIDE_COUNT] = {
            open[SIDE_L], open[SIDE_R], open[SIDE_U], open[SIDE_D],
            diagonal && open[SIDE_DL] && open[SIDE_D] && open[SIDE_L],
            diagonal && open[SIDE_DR] && open[SIDE_D] && open[SIDE_R],
            diagonal && open[SIDE_UL] && open[SIDE_U] && open[SIDE_L],
            diagonal && open[SIDE_UR] && open[SIDE_U] && open[SIDE_R],
        };
        // Marked in the order L, R, U, D, DL, UL, DR, UR.
        static constexpr Side kMarkOrder[SIDE_COUNT] = {SIDE_L,  SIDE_R,  SIDE_U,  SIDE_D,
                                                        SIDE_DL, SIDE_UL, SIDE_DR, SIDE_UR};
        const int32_t next = m_cells[cell] + 1;
        for (Side side : kMarkOrder) {
            if (!take[side]) continue;
            const int32_t neighbour = Index(x + kDx[side], y + kDy[side]);
            m_cells[neighbour] = next;
            if (!s_queue.Push(neighbour)) {
                searching = false;
                break;
            }
        }
    }
    if (found) WritePath(path, goal, start, startX, startY, goalX, goalY, diagonal);
    for (int32_t i = 0; i < m_cellCount; ++i) {
        if (m_cells[i] > 0) m_cells[i] = 0;
    }
    return found;
}

void CGrid::WritePath(CGamePath* path, int32_t goalCell, int32_t startCell, int32_t startX, int32_t startY,
                      int32_t goalX, int32_t goalY, bool diagonal) const
{
    path->Clear();
    path->SetKind(PATH_KIND_STRAIGHT);
    path->SetClosed(false);
    path->AddPoint(static_cast<float>(goalX), static_cast<float>(goalY), 100.0f);
    const int sides = diagonal ? SIDE_COUNT : SIDE_DL;
    for (int32_t cell = goalCell; cell != startCell;) {
        const int32_t x = cell / m_rows;
        const int32_t y = cell % m_rows;
        const int32_t previous = m_cells[cell] - 1;
        int32_t step = -1;
        for (int side = 0; side < sides && step < 0; ++side) {
            const int32_t nx = x + kDx[side], ny = y + kDy[side];
            if (GetCell(nx, ny) != previous) continue;
            // A diagonal past a forbidden cell would cut its corner; the cell
            // that marked this one is always a step that does not.
            if (side >= SIDE_DL && (GetCell(nx, y) == -1 || GetCell(x, ny) == -1)) continue;
            step = Index(nx, ny);
        }
        if (step < 0) break;  // keeps the walk finite; the marking cell is always there
        cell = step;
        if (cell == startCell) break;
        const int64_t cx = static_cast<int64_t>(m_left) + static_cast<int64_t>(m_cellWidth) * (cell / m_rows) + m_cellWidth / 2;
        const int64_t cy = static_cast<int64_t>(m_top) + static_cast<int64_t>(m_cellHeight) * (cell % m_rows) + m_cellHeight / 2;
        path->AddPoint(static_cast<float>(cx), static_cast<float>(cy), 100.0f);
    }
    path->AddPoint(static_cast<float>(startX), static_cast<float>(startY), 100.0f);
    path->Reverse();
}

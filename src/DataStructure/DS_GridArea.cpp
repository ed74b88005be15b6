// Operations of a grid over rectangles and disks: cell operations,
// aggregates and searches.
#include <algorithm>

#include "Base/Console.h"
#include "Code/Code_Arguments.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Values.h"

namespace {
double RealOf(ScriptValue* cell)
{
    ScriptValue copy = *cell;
    return Arg_Real(&copy, 0);
}

bool PlainReal(const ScriptValue* cell)
{
    return cell->kind == VALUE_REAL;
}
}  // namespace

void DsGrid::RegionOp(int32_t mode, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ScriptValue* value)
{
    VisitRect(x1, y1, x2, y2, [&](int32_t, int32_t, ScriptValue* cell) { DsGrid_CellOp(mode, cell, value); });
}

void DsGrid::DiskOp(int32_t mode, double x, double y, double r, const ScriptValue* value)
{
    VisitDisk(x, y, r, [&](int32_t, int32_t, ScriptValue* cell) { DsGrid_CellOp(mode, cell, value); });
}

void DsGrid::GridRegionOp(int32_t mode, DsGrid* source, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                          int32_t xpos, int32_t ypos)
{
    const int32_t sx0 = std::max(0, std::min(x1, x2)), sx1 = std::min(source->m_width - 1, std::max(x1, x2));
    const int32_t sy0 = std::max(0, std::min(y1, y2)), sy1 = std::min(source->m_height - 1, std::max(y1, y2));
    if (sx0 > sx1 || sy0 > sy1) return;
    // Copying toward higher coordinates starts at the far end, so a grid
    // combined with itself reads every source cell before it is written.
    const bool xDown = xpos > sx0, yDown = ypos > sy0;
    for (int32_t i = 0; i <= sx1 - sx0; ++i) {
        const int32_t sx = xDown ? sx1 - i : sx0 + i;
        const int64_t dx = int64_t{xpos} + (sx - sx0);
        if (dx < 0 || dx >= m_width) continue;
        for (int32_t j = 0; j <= sy1 - sy0; ++j) {
            const int32_t sy = yDown ? sy1 - j : sy0 + j;
            const int64_t dy = int64_t{ypos} + (sy - sy0);
            if (dy < 0 || dy >= m_height) continue;
            DsGrid_CellOp(mode, Cell(static_cast<int32_t>(dx), static_cast<int32_t>(dy)), source->Cell(sx, sy));
        }
    }
}

double DsGrid::GetSum(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    double sum = 0.0;
    VisitRect(x1, y1, x2, y2, [&](int32_t, int32_t, ScriptValue* cell) { sum += RealOf(cell); });
    return sum;
}

double DsGrid::GetMean(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    double sum = 0.0;
    int64_t n = 0;
    VisitRect(x1, y1, x2, y2, [&](int32_t, int32_t, ScriptValue* cell) {
        if (!PlainReal(cell)) return;
        sum += cell->real;
        ++n;
    });
    return n > 0 ? sum / static_cast<double>(n) : 0.0;
}

double DsGrid::GetDiskSum(double x, double y, double r)
{
    double sum = 0.0;
    VisitDisk(x, y, r, [&](int32_t, int32_t, ScriptValue* cell) {
        if (PlainReal(cell)) sum += cell->real;
    });
    return sum;
}

double DsGrid::GetDiskMean(double x, double y, double r)
{
    double sum = 0.0;
    int64_t n = 0;
    VisitDisk(x, y, r, [&](int32_t, int32_t, ScriptValue* cell) {
        if (!PlainReal(cell)) return;
        sum += cell->real;
        ++n;
    });
    return n > 0 ? sum / static_cast<double>(n) : 0.0;
}

void DsGrid::Extreme(ScriptValue* result, bool disk, int32_t x1, int32_t y1, int32_t x2, int32_t y2, double dx,
                     double dy, double r, int sign, const char* warning)
{
    ScriptValue* best = nullptr;
    bool warn = false;
    auto visit = [&](int32_t, int32_t, ScriptValue* cell) {
        if (!best) {
            best = cell;
            return;
        }
        const bool bestString = best->kind == VALUE_STRING, cellString = cell->kind == VALUE_STRING;
        if (DsGridCheck ? bestString != cellString : (!bestString && cellString)) warn = true;
        if (DsCompare(best, cell) * sign < 0) best = cell;
    };
    if (disk)
        VisitDisk(dx, dy, r, visit);
    else
        VisitRect(x1, y1, x2, y2, visit);
    if (!best) return;
    if (warn) OutputConsole->Output("%s", warning);
    result->Assign(*best);
}

void DsGrid::GetMax(ScriptValue* result, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    Extreme(result, false, x1, y1, x2, y2, 0, 0, 0, 1,
            "Warning:: ds_grid_get_max called on grid with mix of strings and numerical values\n");
}

void DsGrid::GetMin(ScriptValue* result, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    Extreme(result, false, x1, y1, x2, y2, 0, 0, 0, -1,
            "Warning:: ds_grid_get_min called on grid with mix of strings and numerical values\n");
}

void DsGrid::GetDiskMax(ScriptValue* result, double x, double y, double r)
{
    Extreme(result, true, 0, 0, 0, 0, x, y, r, 1,
            "Warning:: ds_grid_get_max called on grid with mix of strings and numerical values\n");
}

void DsGrid::GetDiskMin(ScriptValue* result, double x, double y, double r)
{
    Extreme(result, true, 0, 0, 0, 0, x, y, r, -1,
            "Warning:: ds_grid_get_disk_min called on grid with mix of strings and numerical values\n");
}

bool DsGrid::ValueFind(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ScriptValue* value, int32_t* outX,
                       int32_t* outY)
{
    bool found = false;
    VisitRect(x1, y1, x2, y2, [&](int32_t x, int32_t y, ScriptValue* cell) {
        if (found || DsCompare(cell, value) != 0) return;
        found = true;
        *outX = x;
        *outY = y;
    });
    return found;
}

bool DsGrid::ValueDiskFind(double x, double y, double r, const ScriptValue* value, int32_t* outX, int32_t* outY)
{
    bool found = false;
    VisitDisk(x, y, r, [&](int32_t i, int32_t j, ScriptValue* cell) {
        if (found || DsCompare(cell, value) != 0) return;
        found = true;
        *outX = i;
        *outY = j;
    });
    return found;
}

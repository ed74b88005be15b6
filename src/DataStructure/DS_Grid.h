#pragma once
// A two-dimensional grid of values, row after row: cell (x, y) is
// cells[x + y * width]. Rectangles are clamped to the grid and may be given by
// any two corners; a disk covers the cells whose centres lie within r of
// (x, y). Every area is visited with x outer and y inner, both ascending.
#include <cmath>
#include <cstdint>

#include "Code/Code_Value.h"

// Set while the runner checks grid accesses (cleared in release mode); it
// chooses which mixed-kind maximum and minimum scans warn.
extern bool DsGridCheck;

enum DsGridMode : int32_t { DS_GRID_SET = 1, DS_GRID_ADD = 2, DS_GRID_MULTIPLY = 3 };

// Applies one mode to a cell: set, add (numbers add, strings concatenate, a
// string and a number give the value) or multiply (nothing with a string).
void DsGrid_CellOp(int32_t mode, ScriptValue* cell, const ScriptValue* value);

class DsGrid {
public:
    // A size the grid cannot take (a negative dimension, or more cells than a
    // container may hold) leaves an empty 0 x 0 grid; see Valid().
    DsGrid(int32_t width, int32_t height);
    ~DsGrid();
    DsGrid(const DsGrid&) = delete;
    DsGrid& operator=(const DsGrid&) = delete;

    static bool SizeAllowed(int32_t width, int32_t height);
    // Every cell becomes the real 0. False, grid unchanged, for a size it
    // cannot take.
    bool SetSize(int32_t width, int32_t height);
    // Keeps the cells that lie inside both sizes; new cells are the real 0.
    bool Resize(int32_t width, int32_t height);
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    ScriptValue* Cell(int32_t x, int32_t y) { return &m_cells[x + static_cast<int64_t>(y) * m_width]; }

    // Callers test the bounds.
    void SetCell(int32_t x, int32_t y, const ScriptValue* value);
    void Copy(DsGrid* source);
    void Clear(const ScriptValue* value);

    // Outside the grid: a console line naming the grid's handle, no change.
    void OpAt(int32_t handle, int32_t mode, int32_t x, int32_t y, const ScriptValue* value);
    void RegionOp(int32_t mode, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ScriptValue* value);
    void DiskOp(int32_t mode, double x, double y, double r, const ScriptValue* value);
    // Applies mode to this grid from a rectangle of source (which may be this
    // grid: the visiting order lets overlapping areas combine correctly).
    void GridRegionOp(int32_t mode, DsGrid* source, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t xpos,
                      int32_t ypos);

    double GetSum(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Means and the disk sum count plain reals only (kind word 0).
    double GetMean(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    double GetDiskSum(double x, double y, double r);
    double GetDiskMean(double x, double y, double r);
    // result receives a copy of the greatest (least) cell, the earliest on
    // ties; unchanged when the area is empty.
    void GetMax(ScriptValue* result, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void GetMin(ScriptValue* result, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void GetDiskMax(ScriptValue* result, double x, double y, double r);
    void GetDiskMin(ScriptValue* result, double x, double y, double r);
    // The first cell equal to value: true with its position, else false.
    bool ValueFind(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ScriptValue* value, int32_t* outX,
                   int32_t* outY);
    bool ValueDiskFind(double x, double y, double r, const ScriptValue* value, int32_t* outX, int32_t* outY);

    // Orders the rows by the cells of one column (direction 1 ascending, -1
    // descending); a column outside the grid changes nothing.
    // The text form (a new memory-manager text the caller frees), and reading
    // one back: false, content unchanged, for a text of another structure;
    // false, content emptied, for counts the text cannot hold.
    char* Write();
    bool Read(const char* text, bool legacy);
    void Sort(int32_t column, int32_t direction);
    void Shuffle();

    // Calls visit(x, y, cell) for every cell of a rectangle or a disk.
    template <typename F>
    void VisitRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, F&& visit);
    template <typename F>
    void VisitDisk(double x, double y, double r, F&& visit);

private:
    void Extreme(ScriptValue* result, bool disk, int32_t x1, int32_t y1, int32_t x2, int32_t y2, double dx,
                 double dy, double r, int sign, const char* warning);

    ScriptValue* m_cells = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

template <typename F>
void DsGrid::VisitRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, F&& visit)
{
    const int32_t xa = x1 < x2 ? x1 : x2, xb = x1 < x2 ? x2 : x1;
    const int32_t ya = y1 < y2 ? y1 : y2, yb = y1 < y2 ? y2 : y1;
    const int32_t x0 = xa > 0 ? xa : 0, xe = xb < m_width - 1 ? xb : m_width - 1;
    const int32_t y0 = ya > 0 ? ya : 0, ye = yb < m_height - 1 ? yb : m_height - 1;
    if (y0 > ye) return;  // a grid 0 high may still be wide
    for (int32_t i = x0; i <= xe; ++i) {
        for (int32_t j = y0; j <= ye; ++j) visit(i, j, Cell(i, j));
    }
}

template <typename F>
void DsGrid::VisitDisk(double x, double y, double r, F&& visit)
{
    // Clamped in doubles first, so no coordinate converts out of range.
    auto clampLow = [](double v) { return v > 0.0 ? v : 0.0; };
    auto clampHigh = [](double v, int32_t size) { return v < size - 1.0 ? v : size - 1.0; };
    const double xLow = clampLow(std::floor(x - r)), xHigh = clampHigh(std::ceil(x + r), m_width);
    const double yLow = clampLow(std::floor(y - r)), yHigh = clampHigh(std::ceil(y + r), m_height);
    if (!(xLow <= xHigh) || !(yLow <= yHigh)) return;
    const double r2 = r * r;
    for (auto i = static_cast<int32_t>(xLow); i <= static_cast<int32_t>(xHigh); ++i) {
        for (auto j = static_cast<int32_t>(yLow); j <= static_cast<int32_t>(yHigh); ++j) {
            const double dx = i - x, dy = j - y;
            if (dx * dx + dy * dy <= r2) visit(i, j, Cell(i, j));
        }
    }
}

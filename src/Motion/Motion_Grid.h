#pragma once
// Motion-planning grids: a regular grid of cells laid over part of the room,
// each free (0) or forbidden (-1), and the shortest cell path between two
// room positions, written into a path as the chain of cell centres. Grids
// are held by index in one list; a destroyed grid's slot is taken by the
// next grid created. Grids are not tied to rooms: they live until destroyed
// or until the runner shuts down.
#include <cstdint>

class CGamePath;
class CInstance;

class CGrid {
public:
    // Null when the sizes are not positive, the cell count does not fit an
    // int32, or memory runs out.
    static CGrid* New(int32_t left, int32_t top, int32_t columns, int32_t rows, int32_t cellWidth, int32_t cellHeight);
    void Delete();

    void ClearAll();
    // The cell's value; -1 outside the grid.
    int32_t GetCell(int32_t x, int32_t y) const;
    // Cells outside the grid are left alone.
    void SetCell(int32_t x, int32_t y, int32_t value);
    // Every cell the rectangle (room coordinates, corners in any order) reaches.
    void AddRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void ClearRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Forbids the cells under the instance's box; with precise, only those
    // whose rectangle the instance's mask touches.
    void AddInstance(CInstance* instance, bool precise);
    // Breadth-first search over 4 (or, with diagonal, 8) neighbours that never
    // cuts a corner. On success the path holds the start, the centres of the
    // cells between and the goal (straight, open) and the result is true; on
    // failure the path is unchanged. No search marks remain either way.
    bool FindPath(CGamePath* path, int32_t startX, int32_t startY, int32_t goalX, int32_t goalY, bool diagonal);
    // A filled rectangle per cell: red when forbidden, dark green when free.
    void Draw() const;

    int32_t Left() const { return m_left; }
    int32_t Top() const { return m_top; }
    int32_t Columns() const { return m_columns; }
    int32_t Rows() const { return m_rows; }
    int32_t CellWidth() const { return m_cellWidth; }
    int32_t CellHeight() const { return m_cellHeight; }

private:
    CGrid() = default;
    // Cell (x, y) lies at x * rows + y: column by column.
    int32_t Index(int32_t x, int32_t y) const { return x * m_rows + y; }
    // The columns and rows a rectangle reaches, clamped to the grid; empty
    // when first > last.
    void CellRange(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t* firstX, int32_t* lastX, int32_t* firstY,
                   int32_t* lastY) const;
    void FillRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t value);
    bool CellOf(int32_t px, int32_t py, int32_t* cx, int32_t* cy) const;
    void WritePath(CGamePath* path, int32_t goalCell, int32_t startCell, int32_t startX, int32_t startY, int32_t goalX,
                   int32_t goalY, bool diagonal) const;

    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_cellWidth = 0;
    int32_t m_cellHeight = 0;
    int32_t m_columns = 0;
    int32_t m_rows = 0;
    int32_t* m_cells = nullptr;  // 0 free, -1 forbidden, above 0 only while a search runs
    int32_t m_cellCount = 0;
};

// Operations by grid index. A bad index (out of range or destroyed) does
// nothing; MP_Grid_GetCell then gives -1 and MP_Grid_Path false.
// The new grid's index; -1, with a report, for sizes of 0 or less or a grid
// too large to hold.
int32_t MP_Grid_Create(int32_t left, int32_t top, int32_t columns, int32_t rows, int32_t cellWidth, int32_t cellHeight);
void MP_Grid_Destroy(int32_t grid);
// Deletes every grid and frees the list (at shutdown).
void MP_Grid_DestroyAll();
// The grid at an index, or null.
CGrid* MP_Grid_Get(int32_t grid);
void MP_Grid_ClearAll(int32_t grid);
void MP_Grid_AddCell(int32_t grid, int32_t x, int32_t y);
void MP_Grid_ClearCell(int32_t grid, int32_t x, int32_t y);
int32_t MP_Grid_GetCell(int32_t grid, int32_t x, int32_t y);
void MP_Grid_AddRectangle(int32_t grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void MP_Grid_ClearRectangle(int32_t grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void MP_Grid_AddInstances(int32_t grid, CInstance* instance, bool precise);
bool MP_Grid_Path(int32_t grid, CGamePath* path, int32_t startX, int32_t startY, int32_t goalX, int32_t goalY,
                  bool diagonal);
void MP_Grid_Draw(int32_t grid);
// Copies the cells into a data-structure grid of the same size; a bad index
// or another size is reported (not fatal) and copies nothing.
void MP_Grid_ToDsGrid(int32_t grid, int32_t dsGrid);

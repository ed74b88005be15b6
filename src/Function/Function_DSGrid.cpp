// Grid built-ins. ds_grid_get and ds_grid_set come in a reporting and a fast
// form (DsGrid_SetBoundsChecking); both stay inside the grid.
#include <cstdio>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Native.h"
#include "Function/Function_DSRoutines.h"

namespace {
DsGrid* GridArg(ScriptValue* args, int n = 0)
{
    return DsArg(DsGridTable, args, n);
}

// The console line of a cell outside the grid (no error report).
bool InBounds(DsGrid* grid, int32_t handle, int32_t x, int32_t y)
{
    if (grid->Contains(x, y)) return true;
    OutputConsole->Output("Grid %d, index out of bounds writing [%d,%d] - size is [%d,%d]\n", handle, x, y,
                          grid->Width(), grid->Height());
    return false;
}

// The checked set behind ds_grid_set, _pre and _post: 0 plain, 1 the result
// becomes the stored value, 2 the result becomes the cell's old value.
void CheckedSet(ScriptValue* result, ScriptValue* args, int form)
{
    DsGrid* grid = GridArg(args);
    if (!grid) return;
    const int32_t x = Arg_Int32(args, 1), y = Arg_Int32(args, 2);
    if (!InBounds(grid, Arg_Int32(args, 0), x, y)) return;
    ScriptValue* cell = grid->Cell(x, y);
    if (form == 2) result->Assign(*cell);
    cell->Assign(args[3]);
    if (form == 1) result->Assign(args[3]);
}

void CellOp(ScriptValue* args, int32_t mode)
{
    if (DsGrid* grid = GridArg(args))
        grid->OpAt(Arg_Int32(args, 0), mode, Arg_Int32(args, 1), Arg_Int32(args, 2), &args[3]);
}

void RegionOp(ScriptValue* args, int32_t mode)
{
    if (DsGrid* grid = GridArg(args))
        grid->RegionOp(mode, Arg_Int32(args, 1), Arg_Int32(args, 2), Arg_Int32(args, 3), Arg_Int32(args, 4), &args[5]);
}

void DiskOp(ScriptValue* args, int32_t mode)
{
    if (DsGrid* grid = GridArg(args))
        grid->DiskOp(mode, Arg_Real(args, 1), Arg_Real(args, 2), Arg_Real(args, 3), &args[4]);
}

void GridRegionOp(ScriptValue* args, int32_t mode)
{
    DsGrid* grid = GridArg(args);
    if (!grid) return;
    DsGrid* source = GridArg(args, 1);
    if (!source) return;
    grid->GridRegionOp(mode, source, Arg_Int32(args, 2), Arg_Int32(args, 3), Arg_Int32(args, 4), Arg_Int32(args, 5),
                       Arg_Int32(args, 6), Arg_Int32(args, 7));
}

// Region aggregates: the grid and the rectangle of arguments 1 to 4.
template <typename F>
void OverRect(ScriptValue* args, F&& op)
{
    if (DsGrid* grid = GridArg(args))
        op(grid, Arg_Int32(args, 1), Arg_Int32(args, 2), Arg_Int32(args, 3), Arg_Int32(args, 4));
}

// Disk aggregates: the grid and the disk of arguments 1 to 3.
template <typename F>
void OverDisk(ScriptValue* args, F&& op)
{
    if (DsGrid* grid = GridArg(args)) op(grid, Arg_Real(args, 1), Arg_Real(args, 2), Arg_Real(args, 3));
}

// 0 exists, 1 x, 2 y of the first equal cell.
void FoundResult(ScriptValue* result, bool found, int32_t x, int32_t y, int what)
{
    if (what == 0)
        ScriptValue_SetReal(result, found ? 1.0 : 0.0);
    else
        ScriptValue_SetReal(result, found ? (what == 1 ? x : y) : -1.0);
}

void ValueInRect(ScriptValue* result, ScriptValue* args, int what)
{
    OverRect(args, [&](DsGrid* grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        int32_t x = -1, y = -1;
        const bool found = grid->ValueFind(x1, y1, x2, y2, &args[5], &x, &y);
        FoundResult(result, found, x, y, what);
    });
}

void ValueInDisk(ScriptValue* result, ScriptValue* args, int what)
{
    OverDisk(args, [&](DsGrid* grid, double x0, double y0, double r) {
        int32_t x = -1, y = -1;
        const bool found = grid->ValueDiskFind(x0, y0, r, &args[4], &x, &y);
        FoundResult(result, found, x, y, what);
    });
}
}  // namespace

DS_ROUTINE(F_DsGridCreate)
{
    const int32_t width = Arg_Int32(args, 0), height = Arg_Int32(args, 1);
    const int32_t handle = DsGrid_Create(width, height);
    // A size no grid can take is refused here instead of overflowing its cell count.
    if (handle < 0) {
        char message[128];
        std::snprintf(message, sizeof message, "ds_grid_create: a grid of %d x %d cells cannot be made", width,
                      height);
        ReportRuntimeError(message, false);
    }
    ScriptValue_SetReal(result, handle);
}

DS_ROUTINE(F_DsGridDestroy)
{
    if (!DsGrid_Destroy(Arg_Int32(args, 0))) Ds_ReportBadHandle();
}

DS_ROUTINE(F_DsGridCopy)
{
    DsGrid* destination = GridArg(args);
    if (!destination) return;
    if (DsGrid* source = GridArg(args, 1)) destination->Copy(source);
}

DS_ROUTINE(F_DsGridResize)
{
    DsGrid* grid = GridArg(args);
    if (!grid) return;
    const int32_t width = Arg_Int32(args, 1), height = Arg_Int32(args, 2);
    if (width <= 0 || height <= 0) {
        ReportRuntimeError("Error: Can not resize a grid with a dimension of <=0\n", true);
        return;
    }
    if (!grid->Resize(width, height)) {
        char message[128];
        std::snprintf(message, sizeof message, "ds_grid_resize: a grid of %d x %d cells cannot be made", width,
                      height);
        ReportRuntimeError(message, false);
    }
}

DS_ROUTINE(F_DsGridWidth)
{
    ScriptValue_SetReal(result, 0.0);
    if (DsGrid* grid = GridArg(args)) ScriptValue_SetReal(result, grid->Width());
}

DS_ROUTINE(F_DsGridHeight)
{
    ScriptValue_SetReal(result, 0.0);
    if (DsGrid* grid = GridArg(args)) ScriptValue_SetReal(result, grid->Height());
}

DS_ROUTINE(F_DsGridClear)
{
    if (DsGrid* grid = GridArg(args)) grid->Clear(&args[1]);
}

DS_ROUTINE(F_DsGridSet)
{
    CheckedSet(result, args, 0);
}

DS_ROUTINE(F_DsGridSetFast)
{
    // No reports, but still nothing outside a live grid.
    DsGrid* grid = DsGridTable.Get(Arg_Int32(args, 0));
    const int32_t x = Arg_Int32(args, 1), y = Arg_Int32(args, 2);
    if (grid && grid->Contains(x, y)) grid->Cell(x, y)->Assign(args[3]);
}

DS_ROUTINE(F_DsGridSetPre)
{
    CheckedSet(result, args, 1);
}

DS_ROUTINE(F_DsGridSetPost)
{
    CheckedSet(result, args, 2);
}

DS_ROUTINE(F_DsGridAdd)
{
    CellOp(args, DS_GRID_ADD);
}

DS_ROUTINE(F_DsGridMultiply)
{
    CellOp(args, DS_GRID_MULTIPLY);
}

DS_ROUTINE(F_DsGridSetRegion)
{
    RegionOp(args, DS_GRID_SET);
}

DS_ROUTINE(F_DsGridAddRegion)
{
    RegionOp(args, DS_GRID_ADD);
}

DS_ROUTINE(F_DsGridMultiplyRegion)
{
    RegionOp(args, DS_GRID_MULTIPLY);
}

DS_ROUTINE(F_DsGridSetDisk)
{
    DiskOp(args, DS_GRID_SET);
}

DS_ROUTINE(F_DsGridAddDisk)
{
    DiskOp(args, DS_GRID_ADD);
}

DS_ROUTINE(F_DsGridMultiplyDisk)
{
    DiskOp(args, DS_GRID_MULTIPLY);
}

DS_ROUTINE(F_DsGridSetGridRegion)
{
    GridRegionOp(args, DS_GRID_SET);
}

DS_ROUTINE(F_DsGridAddGridRegion)
{
    GridRegionOp(args, DS_GRID_ADD);
}

DS_ROUTINE(F_DsGridMultiplyGridRegion)
{
    GridRegionOp(args, DS_GRID_MULTIPLY);
}

DS_ROUTINE(F_DsGridGet)
{
    DsGrid* grid = GridArg(args);
    if (!grid) return;
    const int32_t x = Arg_Int32(args, 1), y = Arg_Int32(args, 2);
    if (InBounds(grid, Arg_Int32(args, 0), x, y))
        result->Assign(*grid->Cell(x, y));
    else
        ScriptValue_SetUndefined(result);
}

DS_ROUTINE(F_DsGridGetFast)
{
    DsGrid* grid = DsGridTable.Get(Arg_Int32(args, 0));
    const int32_t x = Arg_Int32(args, 1), y = Arg_Int32(args, 2);
    if (grid && grid->Contains(x, y))
        result->Assign(*grid->Cell(x, y));
    else
        ScriptValue_SetUndefined(result);
}

DS_ROUTINE(F_DsGridGetSum)
{
    OverRect(args, [result](DsGrid* grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        ScriptValue_SetReal(result, grid->GetSum(x1, y1, x2, y2));
    });
}

DS_ROUTINE(F_DsGridGetMax)
{
    OverRect(args, [result](DsGrid* grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        grid->GetMax(result, x1, y1, x2, y2);
    });
}

DS_ROUTINE(F_DsGridGetMin)
{
    OverRect(args, [result](DsGrid* grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        grid->GetMin(result, x1, y1, x2, y2);
    });
}

DS_ROUTINE(F_DsGridGetMean)
{
    OverRect(args, [result](DsGrid* grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        ScriptValue_SetReal(result, grid->GetMean(x1, y1, x2, y2));
    });
}

DS_ROUTINE(F_DsGridGetDiskSum)
{
    OverDisk(args, [result](DsGrid* grid, double x, double y, double r) {
        ScriptValue_SetReal(result, grid->GetDiskSum(x, y, r));
    });
}

DS_ROUTINE(F_DsGridGetDiskMax)
{
    OverDisk(args, [result](DsGrid* grid, double x, double y, double r) { grid->GetDiskMax(result, x, y, r); });
}

DS_ROUTINE(F_DsGridGetDiskMin)
{
    OverDisk(args, [result](DsGrid* grid, double x, double y, double r) { grid->GetDiskMin(result, x, y, r); });
}

DS_ROUTINE(F_DsGridGetDiskMean)
{
    OverDisk(args, [result](DsGrid* grid, double x, double y, double r) {
        ScriptValue_SetReal(result, grid->GetDiskMean(x, y, r));
    });
}

DS_ROUTINE(F_DsGridValueExists)
{
    ValueInRect(result, args, 0);
}

DS_ROUTINE(F_DsGridValueX)
{
    ValueInRect(result, args, 1);
}

DS_ROUTINE(F_DsGridValueY)
{
    ValueInRect(result, args, 2);
}

DS_ROUTINE(F_DsGridValueDiskExists)
{
    ValueInDisk(result, args, 0);
}

DS_ROUTINE(F_DsGridValueDiskX)
{
    ValueInDisk(result, args, 1);
}

DS_ROUTINE(F_DsGridValueDiskY)
{
    ValueInDisk(result, args, 2);
}

DS_ROUTINE(F_DsGridShuffle)
{
    if (DsGrid* grid = GridArg(args)) grid->Shuffle();
}

DS_ROUTINE(F_DsGridWrite)
{
    if (DsGrid* grid = GridArg(args)) DsResult_Text(result, grid->Write());
}

DS_ROUTINE(F_DsGridRead)
{
    DsGrid* grid = GridArg(args);
    if (!grid) return;
    if (const char* text = Arg_String(args, 1)) grid->Read(text, DsArg_LegacyInt(argc, args));
}

DS_ROUTINE(F_DsGridSort)
{
    if (DsGrid* grid = GridArg(args)) grid->Sort(Arg_Int32(args, 1), Arg_Bool(args, 2) ? 1 : -1);
}

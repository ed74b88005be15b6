// Fuzzes the comma-separated reader: any bytes make a grid or -1, and a grid
// is as wide as its first line's fields and as high as its lines.
#include <cstdint>

#include "Base/Console.h"
#include "DataStructure/DS_Csv.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        return true;
    }();
    (void)quiet;
    const int32_t handle = CSV_LoadText(reinterpret_cast<const char*>(data), size);
    DsGrid* grid = DsGridTable.Get(handle);
    if (handle >= 0 && !grid) __builtin_trap();
    if (grid) {
        // Every cell is a string from the text or the real 0 a short row leaves.
        for (int32_t y = 0; y < grid->Height(); ++y)
            for (int32_t x = 0; x < grid->Width(); ++x) {
                const ScriptValue* cell = grid->Cell(x, y);
                if (cell->Kind() != VALUE_STRING && !(cell->Kind() == VALUE_REAL && cell->real == 0)) __builtin_trap();
            }
        if (grid->Height() > static_cast<int64_t>(size)) __builtin_trap();
        DsGrid_Destroy(handle);
    }
    return 0;
}

// Comma-separated text as grids of strings.
#include "DataStructure/DS_Csv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "DataStructure/DS_Grid.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using CsvTest = DsFixture;

// "W x H: row/row", cells separated by ',': strings in brackets, reals bare.
std::string Describe(int32_t handle)
{
    DsGrid* grid = DsGridTable.Get(handle);
    if (!grid) return "no grid (" + std::to_string(handle) + ")";
    std::string out = std::to_string(grid->Width()) + "x" + std::to_string(grid->Height()) + ":";
    for (int32_t y = 0; y < grid->Height(); ++y) {
        out += y ? "/" : " ";
        for (int32_t x = 0; x < grid->Width(); ++x) {
            const ScriptValue* cell = grid->Cell(x, y);
            if (x) out += ",";
            if (cell->Kind() == VALUE_STRING) {
                out += "[" + StringOf(cell) + "]";
            } else {
                char real[32];
                std::snprintf(real, sizeof real, "%g", cell->real);
                out += real;
            }
        }
    }
    return out;
}

std::string Load(const std::string& text)
{
    return Describe(CSV_LoadText(text.data(), text.size()));
}

TEST_F(CsvTest, FieldsLinesAndQuotes)
{
    struct Case {
        const char* why;
        std::string text;
        const char* grid;
    };
    const Case cases[] = {
        {"no final line end", "a,b\nc,d", "2x2: [a],[b]/[c],[d]"},
        {"CR LF and a final one", "a,b\r\nc,d\r\n", "2x2: [a],[b]/[c],[d]"},
        {"a lone CR ends a line too", "a\rb", "1x2: [a]/[b]"},
        {"short row: numbers stay strings, the rest is 0", "1,2,3\n4\n", "3x2: [1],[2],[3]/[4],0,0"},
        {"the first line sets the width", "a,b\nc,d,e,f", "2x2: [a],[b]/[c],[d]"},
        {"a quoted comma", "\"x,y\",z", "2x1: [x,y],[z]"},
        {"a doubled quote mark", "\"a\"\"b\"", "1x1: [a\"b]"},
        {"an empty quoted field", "\"\",b", "2x1: [],[b]"},
        {"an empty line between two", "a\n\nb", "1x3: [a]/[]/[b]"},
        {"LF then CR LF is an empty line", "a\n\r\nb", "1x3: [a]/[]/[b]"},
        {"an empty first line is one column", "\na,b", "1x2: []/[a]"},
        {"a trailing comma", "a,", "2x1: [a],[]"},
        {"a line end inside quotes still ends the line", "\"a\nb\",c", "1x2: [a]/[b]"},
        {"a byte-order mark belongs to the first field", "\xEF\xBB\xBF" "a,b", "2x1: [\xEF\xBB\xBF" "a],[b]"},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(c.text), c.grid) << c.why;
    EXPECT_EQ(CSV_LoadText("", 0), -1) << "no lines";
}

TEST_F(CsvTest, OnlyTheGivenBytesAreRead)
{
    // File bytes carry no terminator: whatever follows them is not text.
    const char bytes[] = {'a', ',', 'b', '\n', 'c', ',', 'd', 'X', 'Y'};
    EXPECT_EQ(Describe(CSV_LoadText(bytes, 7)), "2x2: [a],[b]/[c],[d]");
}

TEST_F(CsvTest, AGridFarLargerThanItsTextIsRefused)
{
    const std::string wide = std::string(200, ',') + std::string(5000, '\n');
    EXPECT_EQ(CSV_LoadText(wide.data(), wide.size()), -1);
    EXPECT_NE(console.text.find("201 columns by 5000 lines"), std::string::npos) << console.text;
    for (int32_t h = 0; h < DsGridTable.count; ++h) EXPECT_EQ(DsGridTable.Get(h), nullptr) << "grid " << h;
}

}  // namespace

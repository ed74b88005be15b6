#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Base/Random.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Native.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using DsGridTest = DsFixture;

// The plain model the grid is checked against: doubles, cell (x, y) at x + y * w.
struct Model {
    int w, h;
    std::vector<double> cells;
    double& at(int x, int y) { return cells[static_cast<size_t>(x + y * w)]; }
};

Model ModelOf(DsGrid& grid)
{
    Model m{grid.Width(), grid.Height(), {}};
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) m.cells.push_back(grid.Cell(x, y)->real);
    return m;
}

void Fill(DsGrid& grid)
{
    for (int y = 0; y < grid.Height(); ++y)
        for (int x = 0; x < grid.Width(); ++x) grid.SetCell(x, y, &Val(x * 10 + y + 1));
}

double Apply(int mode, double cell, double v)
{
    return mode == DS_GRID_SET ? v : (mode == DS_GRID_ADD ? cell + v : cell * v);
}

TEST_F(DsGridTest, RectangleAndDiskOperationsMatchABruteForceGrid)
{
    struct Rect {
        int x1, y1, x2, y2;
    } rects[] = {{1, 1, 3, 2}, {5, 5, -3, 1}, {-10, -10, -1, -1}, {6, 4, 6, 4}, {0, 0, 100, 100}};
    struct Disk {
        double x, y, r;
    } disks[] = {{1, 1, 1}, {1, 1, 0.5}, {3.5, 2.2, 1.7}, {-2, -2, 2.9}, {6, 4, 0}, {NAN, 1, 1}, {1, 1, INFINITY}};
    for (int mode : {DS_GRID_SET, DS_GRID_ADD, DS_GRID_MULTIPLY}) {
        for (const Rect& r : rects) {
            DsGrid grid(7, 5);
            Fill(grid);
            Model want = ModelOf(grid);
            for (int x = std::max(0, std::min(r.x1, r.x2)); x <= std::min(6, std::max(r.x1, r.x2)); ++x)
                for (int y = std::max(0, std::min(r.y1, r.y2)); y <= std::min(4, std::max(r.y1, r.y2)); ++y)
                    want.at(x, y) = Apply(mode, want.at(x, y), 3);
            grid.RegionOp(mode, r.x1, r.y1, r.x2, r.y2, &Val(3));
            EXPECT_EQ(ModelOf(grid).cells, want.cells) << "mode " << mode << " rect " << r.x1 << "," << r.y1;
        }
        for (const Disk& d : disks) {
            DsGrid grid(7, 5);
            Fill(grid);
            Model want = ModelOf(grid);
            double sum = 0;
            int n = 0;
            for (int x = 0; x < 7; ++x)
                for (int y = 0; y < 5; ++y)
                    if ((x - d.x) * (x - d.x) + (y - d.y) * (y - d.y) <= d.r * d.r) {
                        sum += want.at(x, y);
                        ++n;
                        want.at(x, y) = Apply(mode, want.at(x, y), 3);
                    }
            EXPECT_EQ(grid.GetDiskSum(d.x, d.y, d.r), sum);
            EXPECT_EQ(grid.GetDiskMean(d.x, d.y, d.r), n ? sum / n : 0);
            grid.DiskOp(mode, d.x, d.y, d.r, &Val(3));
            EXPECT_EQ(ModelOf(grid).cells, want.cells) << "mode " << mode << " disk " << d.x << "," << d.y;
        }
    }
}

TEST_F(DsGridTest, GridRegionOperationsReadEachSourceCellBeforeWritingIt)
{
    struct Case {
        int x1, y1, x2, y2, xpos, ypos;
    } cases[] = {{0, 0, 3, 2, 1, 1}, {2, 1, 6, 4, 0, 0}, {0, 0, 6, 4, 4, -2}, {1, 1, 5, 3, -3, 3}, {3, 0, 0, 9, 2, 0}};
    for (int mode : {DS_GRID_SET, DS_GRID_ADD, DS_GRID_MULTIPLY}) {
        for (const Case& c : cases) {
            for (bool self : {true, false}) {
                DsGrid grid(7, 5), other(5, 6);
                Fill(grid);
                Fill(other);
                DsGrid& source = self ? grid : other;
                Model from = ModelOf(source), want = ModelOf(grid);
                const int sx0 = std::max(0, std::min(c.x1, c.x2)), sx1 = std::min(from.w - 1, std::max(c.x1, c.x2));
                const int sy0 = std::max(0, std::min(c.y1, c.y2)), sy1 = std::min(from.h - 1, std::max(c.y1, c.y2));
                for (int x = sx0; x <= sx1; ++x)
                    for (int y = sy0; y <= sy1; ++y) {
                        const int dx = c.xpos + x - sx0, dy = c.ypos + y - sy0;
                        if (dx >= 0 && dy >= 0 && dx < 7 && dy < 5) want.at(dx, dy) = Apply(mode, want.at(dx, dy), from.at(x, y));
                    }
                grid.GridRegionOp(mode, &source, c.x1, c.y1, c.x2, c.y2, c.xpos, c.ypos);
                EXPECT_EQ(ModelOf(grid).cells, want.cells) << "mode " << mode << " self " << self << " at " << c.xpos;
            }
        }
    }
}

TEST_F(DsGridTest, CellOperationsOnStringsAndNumbers)
{
    struct Case {
        int mode;
        Val cell, value;
        const char* text;  // null: a real
        double real;
    } cases[] = {
        {DS_GRID_ADD, Val("a"), Val("b"), "ab", 0},     {DS_GRID_ADD, Val("a"), Val(5), nullptr, 5},
        {DS_GRID_ADD, Val(5), Val("a"), "a", 0},        {DS_GRID_MULTIPLY, Val("a"), Val(2), "a", 0},
        {DS_GRID_ADD, Int64(2), Val(1), nullptr, 3},    {DS_GRID_MULTIPLY, Int32(3), Val(2.5), nullptr, 7.5},
        {7, Val(1), Val(2), nullptr, 1},
    };
    for (auto& c : cases) {
        DsGrid_CellOp(c.mode, &c.cell, &c.value);
        if (c.text) {
            EXPECT_EQ(StringOf(&c.cell), c.text);
        } else {
            EXPECT_EQ(c.cell.v.kind, VALUE_REAL);
            EXPECT_EQ(c.cell.v.real, c.real);
        }
    }
    // Joined texts may be longer than any fixed buffer.
    const std::string half(1500, 'q');
    Val cell(half.c_str());
    DsGrid_CellOp(DS_GRID_ADD, &cell, &Val(half.c_str()));
    EXPECT_EQ(StringOf(&cell), half + half);
}

TEST_F(DsGridTest, OpAtOutsideTheGridPrintsTheLineAndChangesNothing)
{
    DsGrid grid(3, 2);
    grid.OpAt(4, DS_GRID_SET, 3, 0, &Val(1));
    grid.OpAt(4, DS_GRID_ADD, 2, 1, &Val(1));
    EXPECT_EQ(console.text, "Grid 4, index out of bounds writing [3,0] - size is [3,2]\n");
    EXPECT_EQ(grid.GetSum(0, 0, 2, 1), 1);
    EXPECT_EQ(grid.GetMean(0, 0, 2, 1), 1.0 / 6);
}

TEST_F(DsGridTest, AggregatesOverMixedCells)
{
    DsGrid grid(3, 1);
    grid.SetCell(0, 0, &Val(1));
    grid.SetCell(1, 0, &Val("x"));
    grid.SetCell(2, 0, &Val(3));
    Val best;
    grid.GetMax(&best, 0, 0, 2, 0);
    EXPECT_EQ(StringOf(&best), "x");
    grid.GetMin(&best, 0, 0, 2, 0);
    EXPECT_EQ(best.v.real, 1);
    EXPECT_EQ(console.text, "Warning:: ds_grid_get_max called on grid with mix of strings and numerical values\n"
                            "Warning:: ds_grid_get_min called on grid with mix of strings and numerical values\n");
    grid.GetDiskMin(&best, 5, 5, 1);  // an empty area leaves the result alone
    EXPECT_EQ(best.v.real, 1);

    grid.SetCell(0, 0, &Val(2));
    grid.SetCell(1, 0, &Int32(4));
    grid.SetCell(2, 0, &Val("s"));
    EXPECT_EQ(grid.GetMean(0, 0, 2, 0), 2);
    EXPECT_EQ(grid.GetDiskSum(1, 0, 1), 2);
    int32_t x = -1, y = -1;
    EXPECT_TRUE(grid.ValueFind(0, 0, 2, 0, &Val(4), &x, &y));
    EXPECT_EQ(x, 1);
    EXPECT_FALSE(grid.ValueDiskFind(1, 0, 5, &Val("t"), &x, &y));
}

TEST_F(DsGridTest, ResizeKeepsTheCommonCells)
{
    DsGrid grid(3, 3);
    Fill(grid);
    ASSERT_TRUE(grid.Resize(2, 4));
    Model m = ModelOf(grid);
    EXPECT_EQ(m.cells, (std::vector<double>{1, 11, 2, 12, 3, 13, 0, 0}));
    EXPECT_FALSE(grid.Resize(-1, 4));
    EXPECT_EQ(grid.Width(), 2);
}

TEST_F(DsGridTest, SortOrdersRowsByAColumnAndIgnoresColumnsOutsideTheGrid)
{
    DsGrid grid(2, 4);
    const double keys[] = {3, 1, 4, 2};
    for (int y = 0; y < 4; ++y) {
        grid.SetCell(0, y, &Val(y));
        grid.SetCell(1, y, &Val(keys[y]));
    }
    const Model before = ModelOf(grid);
    grid.Sort(2, 1);
    grid.Sort(-1, 1);
    EXPECT_EQ(ModelOf(grid).cells, before.cells);
    grid.Sort(1, -1);
    EXPECT_EQ(ModelOf(grid).cells, (std::vector<double>{2, 4, 0, 3, 3, 2, 1, 1}));
}

TEST_F(DsGridTest, ShuffleKeepsEveryCell)
{
    Random_Seed(3);
    DsGrid grid(4, 3);
    Fill(grid);
    std::vector<double> before = ModelOf(grid).cells;
    grid.Shuffle();
    std::vector<double> after = ModelOf(grid).cells;
    EXPECT_NE(after, before);
    std::sort(after.begin(), after.end());
    std::sort(before.begin(), before.end());
    EXPECT_EQ(after, before);
}

TEST_F(DsGridTest, SizesThatCannotBeHeldMakeNoGrid)
{
    EXPECT_EQ(DsGrid_Create(65536, 65536), -1);  // the product overflows 32 bits
    EXPECT_EQ(DsGrid_Create(-1, 5), -1);
    const int32_t empty = DsGrid_Create(0, 5);
    ASSERT_GE(empty, 0);
    EXPECT_EQ(DsGridTable.Get(empty)->GetSum(0, 0, 10, 10), 0);
}
}  // namespace

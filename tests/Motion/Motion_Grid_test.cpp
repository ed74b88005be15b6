// Motion-planning grids: cells, rectangles, instances, the cell search and
// the grid list.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"
#include "Motion/Motion_Grid.h"
#include "Path/Path_Class.h"
#include "Sprite/Sprite_Class.h"
#include "Options/Runner_Options.h"
#include "World/Instance.h"
#include "support/EngineReset.h"
#include "support/TestSprites.h"

namespace {
using Points = std::vector<std::pair<float, float>>;

struct GridTest : ::testing::Test {
    CGamePath* path = CGamePath::New();
    void SetUp() override
    {
        Console_SetStdoutSuppressed(true);
        ShowErrorDialogs = false;
        HeadlessMode.noDialogs = true;
    }
    void TearDown() override
    {
        path->Delete();
        MP_Grid_DestroyAll();
    }

    Points PathPoints() const
    {
        Points out;
        for (int32_t i = 0; i < path->GetPointCount(); ++i) out.emplace_back(path->GetPoint(i).x, path->GetPoint(i).y);
        return out;
    }
    // The last report's message is exactly text.
    static bool Reported(const std::string& text)
    {
        return ErrorLast_Get() && std::string(ErrorLast_Get()).find("\n" + text + "\n") != std::string::npos;
    }
    // Every cell is free or forbidden: no search left a mark.
    static bool Unmarked(int32_t grid)
    {
        const CGrid* g = MP_Grid_Get(grid);
        for (int32_t x = 0; x < g->Columns(); ++x)
            for (int32_t y = 0; y < g->Rows(); ++y)
                if (g->GetCell(x, y) != 0 && g->GetCell(x, y) != -1) return false;
        return true;
    }
    // A grid drawn as rows of text, '#' forbidden; cells of cellSize pixels at (0, 0).
    static int32_t FromRows(const std::vector<std::string>& rows, int32_t cellSize)
    {
        const int32_t grid =
            MP_Grid_Create(0, 0, static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()), cellSize, cellSize);
        for (size_t y = 0; y < rows.size(); ++y)
            for (size_t x = 0; x < rows[y].size(); ++x)
                if (rows[y][x] == '#') MP_Grid_AddCell(grid, static_cast<int32_t>(x), static_cast<int32_t>(y));
        return grid;
    }
};

TEST_F(GridTest, StraightPathRunsThroughCellCentresFromStartToGoal)
{
    const int32_t grid = MP_Grid_Create(0, 0, 10, 10, 32, 32);
    ASSERT_TRUE(MP_Grid_Path(grid, path, 16, 16, 300, 16, false));
    Points expected = {{16, 16}};
    for (int cell = 1; cell <= 8; ++cell) expected.emplace_back(32 * cell + 16, 16);
    expected.emplace_back(300, 16);
    EXPECT_EQ(PathPoints(), expected);
    EXPECT_EQ(path->GetKind(), PATH_KIND_STRAIGHT);
    EXPECT_FALSE(path->GetClosed());
    EXPECT_TRUE(Unmarked(grid));

    ASSERT_TRUE(MP_Grid_Path(grid, path, 3, 4, 30, 31, true));  // one cell
    EXPECT_EQ(PathPoints(), (Points{{3, 4}, {30, 31}}));
}

TEST_F(GridTest, WallWithAGapIsPassedThroughTheGapAndAClosedWallLeavesNoMarks)
{
    const int32_t grid = FromRows({".....#....",
                                   ".....#....",
                                   "..........",
                                   ".....#....",
                                   ".....#...."},
                                  10);
    ASSERT_TRUE(MP_Grid_Path(grid, path, 5, 5, 95, 5, false));
    const Points points = PathPoints();
    bool throughGap = false;
    for (const auto& [x, y] : points) throughGap = throughGap || (x == 55 && y == 25);
    EXPECT_TRUE(throughGap);
    EXPECT_EQ(points.size(), 14u);  // 13 steps: 9 across, 2 down and 2 up
    EXPECT_TRUE(Unmarked(grid));

    MP_Grid_AddCell(grid, 5, 2);
    path->Clear();
    path->AddPoint(1, 2, 3);
    EXPECT_FALSE(MP_Grid_Path(grid, path, 5, 5, 95, 5, true));
    EXPECT_EQ(PathPoints(), (Points{{1, 2}}));  // the path is left as it was
    EXPECT_TRUE(Unmarked(grid));
}

TEST_F(GridTest, StartAndGoalOutsideTheGridOrOnForbiddenCellsFindNothing)
{
    const int32_t grid = MP_Grid_Create(100, 50, 4, 4, 10, 10);
    MP_Grid_AddCell(grid, 3, 3);
    const int32_t cases[][4] = {
        {99, 55, 105, 55},   // start left of the grid
        {105, 90, 105, 55},  // start below it (the last row ends at 89)
        {105, 55, 140, 55},  // goal past the right edge
        {105, 55, 135, 85},  // goal on a forbidden cell
        {135, 85, 105, 55},  // start on a forbidden cell
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(MP_Grid_Path(grid, path, c[0], c[1], c[2], c[3], true)) << c[0] << "," << c[1];
        EXPECT_EQ(path->GetPointCount(), 0);
    }
    EXPECT_TRUE(MP_Grid_Path(grid, path, 100, 50, 139, 79, true));
    EXPECT_FALSE(MP_Grid_Path(grid + 1, path, 100, 50, 110, 50, true));  // no such grid
    EXPECT_FALSE(MP_Grid_Path(grid, nullptr, 100, 50, 110, 50, true));
}

TEST_F(GridTest, DiagonalsNeverCutACorner)
{
    // An obstacle at (1, 0): from (0, 0) to (1, 1) the path goes down first.
    const int32_t grid = FromRows({".#", ".."}, 32);
    ASSERT_TRUE(MP_Grid_Path(grid, path, 16, 16, 48, 48, true));
    EXPECT_EQ(PathPoints(), (Points{{16, 16}, {16, 48}, {48, 48}}));
    // Free corners: one diagonal step.
    MP_Grid_ClearCell(grid, 1, 0);
    ASSERT_TRUE(MP_Grid_Path(grid, path, 16, 16, 48, 48, true));
    EXPECT_EQ(PathPoints(), (Points{{16, 16}, {48, 48}}));

    // Here the walk back from the goal meets, before the cell that reached
    // it, a cell one step nearer the start whose diagonal passes the
    // forbidden corner at (4, 3); that step is not taken.
    const int32_t maze = FromRows({"#......",
                                   ".......",
                                   ".##....",
                                   "....#..",
                                   "#..#..."},
                                  10);
    ASSERT_TRUE(MP_Grid_Path(maze, path, 5, 25, 55, 25, true));
    EXPECT_EQ(PathPoints(), (Points{{5, 25}, {5, 15}, {15, 15}, {25, 15}, {35, 15}, {45, 25}, {55, 25}}));
}

TEST_F(GridTest, EquallyShortRoutesFollowTheNeighbourOrderOfTheWalkBack)
{
    const int32_t grid = MP_Grid_Create(0, 0, 3, 3, 10, 10);
    // Back from (1, 1): L (0, 1) before U (1, 0).
    ASSERT_TRUE(MP_Grid_Path(grid, path, 5, 5, 15, 15, false));
    EXPECT_EQ(PathPoints(), (Points{{5, 5}, {5, 15}, {15, 15}}));
    // Back from (0, 0): R (1, 0) before D (0, 1).
    ASSERT_TRUE(MP_Grid_Path(grid, path, 15, 15, 5, 5, false));
    EXPECT_EQ(PathPoints(), (Points{{15, 15}, {15, 5}, {5, 5}}));
    // Back from (2, 0) to (0, 2) with diagonals: two diagonal steps through the centre.
    ASSERT_TRUE(MP_Grid_Path(grid, path, 5, 25, 25, 5, true));
    EXPECT_EQ(PathPoints(), (Points{{5, 25}, {15, 15}, {25, 5}}));
}

TEST_F(GridTest, ASearchQueueingMoreThan4095CellsStillFindsTheShortestPath)
{
    // From the centre of an open grid the wave 1030 cells out holds 4120
    // cells at once, long after the ring first wrapped: the queue must grow
    // and keep its order.
    const int32_t grid = MP_Grid_Create(0, 0, 2080, 2080, 1, 1);
    ASSERT_TRUE(MP_Grid_Path(grid, path, 1040, 1040, 10, 1040, false));
    ASSERT_EQ(path->GetPointCount(), 1031);  // 1029 cells between
    for (int32_t i = 0; i < path->GetPointCount(); ++i) {
        EXPECT_EQ(path->GetPoint(i).x, static_cast<float>(1040 - i)) << i;
        EXPECT_EQ(path->GetPoint(i).y, 1040.0f) << i;
    }
    EXPECT_TRUE(Unmarked(grid));
}

TEST_F(GridTest, CellsAndRectanglesStayInsideTheGrid)
{
    const int32_t grid = MP_Grid_Create(0, 0, 10, 10, 32, 32);
    EXPECT_EQ(MP_Grid_GetCell(grid, 10, 0), -1);
    EXPECT_EQ(MP_Grid_GetCell(grid, 0, -1), -1);
    EXPECT_EQ(MP_Grid_GetCell(grid + 1, 0, 0), -1);
    EXPECT_EQ(MP_Grid_GetCell(-1, 0, 0), -1);
    MP_Grid_AddCell(grid, 10, 0);  // outside: nothing
    MP_Grid_AddCell(grid, 9, 9);
    EXPECT_EQ(MP_Grid_GetCell(grid, 9, 9), -1);

    // Less than a cell left of the grid still reaches column 0.
    MP_Grid_AddRectangle(grid, -5, 0, -1, 10);
    EXPECT_EQ(MP_Grid_GetCell(grid, 0, 0), -1);
    EXPECT_EQ(MP_Grid_GetCell(grid, 0, 1), 0);
    // Corners in any order; clamped to the grid.
    MP_Grid_AddRectangle(grid, 400, 100, 250, 64);
    for (int32_t x = 0; x < 10; ++x)
        for (int32_t y = 0; y < 10; ++y) {
            const bool inRect = x >= 7 && y >= 2 && y <= 3;
            const bool other = (x == 0 && y == 0) || (x == 9 && y == 9);
            EXPECT_EQ(MP_Grid_GetCell(grid, x, y), inRect || other ? -1 : 0) << x << "," << y;
        }
    MP_Grid_ClearRectangle(grid, 0, 0, 1000, 1000);
    MP_Grid_AddCell(grid, 4, 4);
    MP_Grid_ClearCell(grid, 4, 4);
    EXPECT_TRUE(Unmarked(grid));
    EXPECT_EQ(MP_Grid_GetCell(grid, 4, 4), 0);
    MP_Grid_AddRectangle(grid, -1000, -1000, -40, -40);  // more than a cell away: nothing
    MP_Grid_AddCell(grid, 5, 5);
    MP_Grid_ClearAll(grid);
    for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(MP_Grid_GetCell(grid, x, x), 0);
}

TEST_F(GridTest, GridsTakeTheFirstFreedSlotAndRefuseSizesTheyCannotHold)
{
    EXPECT_EQ(MP_Grid_Create(0, 0, 2, 2, 8, 8), 0);
    EXPECT_EQ(MP_Grid_Create(0, 0, 2, 2, 8, 8), 1);
    EXPECT_EQ(MP_Grid_Create(0, 0, 2, 2, 8, 8), 2);
    MP_Grid_Destroy(1);
    EXPECT_EQ(MP_Grid_GetCell(1, 0, 0), -1);
    MP_Grid_Destroy(1);  // twice: nothing
    EXPECT_EQ(MP_Grid_Create(0, 0, 2, 2, 8, 8), 1);
    EXPECT_EQ(MP_Grid_Create(0, 0, 2, 2, 8, 8), 3);

    const int32_t refused[][4] = {{0, 2, 8, 8}, {2, -1, 8, 8}, {2, 2, 0, 8}, {2, 2, 8, -8}, {65536, 65536, 1, 1}};
    for (const auto& r : refused) {
        ForgetErrors();
        EXPECT_EQ(MP_Grid_Create(0, 0, r[0], r[1], r[2], r[3]), -1) << r[0] << " x " << r[1];
        EXPECT_NE(ErrorLast_Get(), nullptr);
    }
    EXPECT_EQ(MP_Grid_Create(0, 0, 1, 1, 1, 1), 4);  // the refusals took no slot
}

TEST_F(GridTest, InstancesForbidTheirBoxOrOnlyWhatTheirMaskTouches)
{
    // A 32 x 32 diamond centred on (96, 96) over 8-pixel cells: its box
    // covers cells 10..13 both ways; the diamond misses the corner cells.
    const int32_t sprite = TestSprite_Add({1, 32, 32, 0, nullptr, 16, 16});
    CSprite* diamond = Sprite_Get(sprite);
    diamond->CreateCollisionMask(true, MASK_BOX_MANUAL, {0, 0, 31, 31}, MASK_SHAPE_DIAMOND, 0);
    diamond->precise = true;
    CInstance instance(96, 96, 100001, -1, false);
    instance.sprite_index = sprite;
    const int32_t box = MP_Grid_Create(0, 0, 20, 20, 8, 8);
    const int32_t precise = MP_Grid_Create(0, 0, 20, 20, 8, 8);
    MP_Grid_AddInstances(box, &instance, false);
    MP_Grid_AddInstances(precise, &instance, true);
    MP_Grid_AddInstances(precise, nullptr, true);
    for (int32_t x = 9; x <= 14; ++x)
        for (int32_t y = 9; y <= 14; ++y) {
            const bool inBox = x >= 10 && x <= 13 && y >= 10 && y <= 13;
            const bool corner = (x == 10 || x == 13) && (y == 10 || y == 13);
            EXPECT_EQ(MP_Grid_GetCell(box, x, y), inBox ? -1 : 0) << x << "," << y;
            EXPECT_EQ(MP_Grid_GetCell(precise, x, y), inBox && !corner ? -1 : 0) << x << "," << y;
        }
}

TEST_F(GridTest, CopyIntoADataStructureGridNeedsBothGridsAndOneSize)
{
    const int32_t grid = MP_Grid_Create(0, 0, 3, 2, 8, 8);
    MP_Grid_AddCell(grid, 2, 1);
    const int32_t same = DsGridTable.Store(new DsGrid(3, 2));
    const int32_t other = DsGridTable.Store(new DsGrid(2, 3));
    const ScriptValue seven = ScriptValue_Real(7);
    DsGridTable.Get(other)->SetCell(0, 0, &seven);

    ForgetErrors();
    MP_Grid_ToDsGrid(grid, other);
    EXPECT_TRUE(Reported("Error, grid sizes do not match (mp_grid_to_ds_grid) "));
    EXPECT_EQ(DsGridTable.Get(other)->Cell(0, 0)->real, 7.0);
    for (const auto& bad : {std::pair{grid + 1, same}, std::pair{grid, same + 5}, std::pair{-1, same}}) {
        ForgetErrors();
        MP_Grid_ToDsGrid(bad.first, bad.second);
        EXPECT_TRUE(Reported("Invalid source or destination grid"));
    }
    ForgetErrors();
    MP_Grid_ToDsGrid(grid, same);
    EXPECT_EQ(ErrorLast_Get(), nullptr);
    DsGrid* copy = DsGridTable.Get(same);
    for (int32_t x = 0; x < 3; ++x)
        for (int32_t y = 0; y < 2; ++y) EXPECT_EQ(copy->Cell(x, y)->real, x == 2 && y == 1 ? -1.0 : 0.0);
    DsGrid_Destroy(same);
    DsGrid_Destroy(other);
}
}  // namespace

// The motion-planning built-ins as game code calls them: their arguments,
// targets and the path they must be given.
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "Code/Code_Function.h"
#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"
#include "Function/Function_Game.h"
#include "Motion/Motion_Grid.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"
#include "World/WorldFixture.h"
#include "support/TestSprites.h"

namespace {
struct MotionBuiltins : WorldFixture {
    int32_t wall = -1, ghost = -1, mover = -1;

    void SetUp() override
    {
        WorldFixture::SetUp();
        CodeFunction_FreeAll();
        InitGameFunctions();
        Path_Init();
        const int32_t square = TestSprite_Add({1, 16, 16, 0, nullptr});
        const int32_t dot = TestSprite_Add({1, 1, 1, 0, nullptr});
        wall = Object(square, true);
        ghost = Object(square, false);
        mover = Object(dot, false);
    }
    void TearDown() override
    {
        WorldFixture::TearDown();
        Path_FreeAll();
        MP_Grid_DestroyAll();
        CodeFunction_FreeAll();
    }
    int32_t Object(int32_t sprite, bool solid)
    {
        const int32_t index = NewObject();
        Object_Get(index)->sprite = sprite;
        Object_Get(index)->flags = solid ? 0x13u : 0x12u;
        return index;
    }
    // Calls a built-in by name with self as both self and other; the result's
    // real, or NaN when it is not a real.
    static double Call(CInstance* self, const char* name, std::vector<double> args)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue> values;
        for (double a : args) values.push_back(ScriptValue_Real(a));
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& v : values) pointers.push_back(&v);
        ScriptValue result = ScriptValue_Real(0);
        CallBuiltinFunction(self, self, &result, static_cast<int>(values.size()), index, pointers.data());
        return result.Kind() == VALUE_REAL ? result.real : std::numeric_limits<double>::quiet_NaN();
    }
};

TEST_F(MotionBuiltins, PathFormsNeedAnExistingPath)
{
    CInstance* self = room.CreateInstance(100, 100, mover);
    const int32_t grid = static_cast<int32_t>(Call(self, "mp_grid_create", {0, 0, 10, 10, 16, 16}));
    const std::vector<std::pair<const char*, std::vector<double>>> calls = {
        {"mp_linear_path", {7, 110, 100, 4, 0}},
        {"mp_linear_path_object", {-1, 110, 100, 4, double(wall)}},
        {"mp_potential_path", {7, 110, 100, 4, 2, 0}},
        {"mp_potential_path_object", {7, 110, 100, 4, 2, double(wall)}},
        {"mp_grid_path", {double(grid), 7, 8, 8, 100, 100, 1}},
    };
    for (const auto& [name, args] : calls) {
        ForgetErrors();
        EXPECT_TRUE(std::isnan(Call(self, name, args))) << name << ": the result stays unset";
        EXPECT_NE(LastReport().find("\nTrying to assign to a non-existing path.\n"), std::string::npos) << name;
        EXPECT_EQ(self->x, 100.0f);
    }
    const int32_t path = Path_Add();
    ForgetErrors();
    EXPECT_EQ(Call(self, "mp_linear_path", {double(path), 110, 100, 4, 0}), 1.0);
    EXPECT_EQ(Path_Get(path)->GetPointCount(), 4);
    EXPECT_EQ(Call(self, "mp_grid_path", {grid + 5.0, double(path), 8, 8, 100, 100, 1}), 0.0) << "no such grid";
    EXPECT_EQ(Call(self, "mp_grid_path", {double(grid), double(path), 8, 8, 100, 100, 1}), 1.0);
    EXPECT_EQ(LastReport(), "");
}

TEST_F(MotionBuiltins, PlainFormsTestSolidOrAllAndObjectFormsTheirObject)
{
    room.CreateInstance(110, 92, ghost);
    CInstance* self = room.CreateInstance(100, 100, mover);
    EXPECT_EQ(Call(self, "mp_linear_step_object", {112, 100, 20, double(ghost)}), 1.0);
    EXPECT_EQ(self->x, 100.0f) << "the ghost blocks when named";
    EXPECT_EQ(Call(self, "mp_linear_step", {112, 100, 20, 1}), 1.0);
    EXPECT_EQ(self->x, 100.0f) << "checkall: every instance blocks";
    EXPECT_EQ(Call(self, "mp_potential_step_object", {112, 100, 20, double(wall)}), 1.0);
    EXPECT_EQ(self->x, 112.0f) << "no wall there";
    EXPECT_EQ(Call(self, "mp_linear_step", {130, 100, 4, 0}), 0.0);
    EXPECT_EQ(self->x, 116.0f) << "only solid instances block";
}

TEST_F(MotionBuiltins, AddInstancesSkipsDeactivatedAndDestroyedInstances)
{
    CInstance* live = room.CreateInstance(0, 0, wall);
    CInstance* asleep = room.CreateInstance(16, 0, wall);
    CInstance* gone = room.CreateInstance(32, 0, wall);
    asleep->SetDeactivated(true);
    gone->m_marked = true;
    CInstance* self = room.CreateInstance(200, 200, mover);
    const double grid = Call(self, "mp_grid_create", {0, 0, 4, 1, 16, 16});
    for (double target : {double(wall), -3.0, double(asleep->id), double(gone->id)})
        Call(self, "mp_grid_add_instances", {grid, target, 0});
    std::vector<double> cells;
    for (int x = 0; x < 4; ++x) cells.push_back(Call(self, "mp_grid_get_cell", {grid, double(x), 0}));
    EXPECT_EQ(cells, (std::vector<double>{-1, 0, 0, 0}));
    // Self names the caller.
    live->SetPosition(48, 0);
    Call(live, "mp_grid_add_instances", {grid, -1, 1});
    EXPECT_EQ(Call(self, "mp_grid_get_cell", {grid, 3, 0}), -1.0);
}

TEST_F(MotionBuiltins, GridToDsGridTakesBothGrids)
{
    int32_t index = -1;
    ASSERT_TRUE(CodeFunction_Find("mp_grid_to_ds_grid", &index));
    EXPECT_EQ(CodeFunction_At(index)->argumentCount, 2);
    CInstance* self = room.CreateInstance(0, 0, mover);
    const double grid = Call(self, "mp_grid_create", {0, 0, 2, 2, 8, 8});
    Call(self, "mp_grid_add_rectangle", {grid, 8, 8, 15, 15});
    const int32_t ds = DsGridTable.Store(new DsGrid(2, 2));
    Call(self, "mp_grid_to_ds_grid", {grid, double(ds)});
    EXPECT_EQ(DsGridTable.Get(ds)->Cell(1, 1)->real, -1.0);
    EXPECT_EQ(DsGridTable.Get(ds)->Cell(0, 1)->real, 0.0);
    DsGrid_Destroy(ds);

    ForgetErrors();
    EXPECT_EQ(Call(self, "mp_grid_create", {0, 0, 0, 2, 8, 8}), -1.0);
    EXPECT_NE(LastReport(), "");
}
}  // namespace

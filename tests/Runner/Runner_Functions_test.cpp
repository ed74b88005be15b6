#include <gtest/gtest.h>

#include <vector>

#include "Code/Code_Function.h"
#include "DataStructure/DS_Handles.h"
#include "Function/BuiltinCallFixture.h"
#include "GameData/GameHeader.h"
#include "Runner/Runner_StartUp.h"

namespace {
ScriptValue CallByName(const char* name, std::vector<ScriptValue> args)
{
    return BuiltinCalls::CallFrom(ScriptValue_Undefined(), name, std::move(args));
}

// Game code finds the data-structure built-ins in the table the runner fills,
// and qsc_release_mode's switch swaps ds_grid_get and the vertex writers
// back and forth.
TEST(RunnerFunctions, DataStructureGroupIsRegisteredAndReleaseModeSwapsGridAccess)
{
    CodeFunction_FreeAll();
    InitQSCFunctions();
    ScriptValue grid = CallByName("ds_grid_create", {ScriptValue_Real(2), ScriptValue_Real(2)});
    ASSERT_EQ(grid.kind, VALUE_REAL);
    int32_t index = -1;
    ASSERT_TRUE(CodeFunction_Find("ds_grid_get", &index));
    const BuiltinRoutine checked = CodeFunction_At(index)->routine;
    int32_t writer = -1, format = -1;
    ASSERT_TRUE(CodeFunction_Find("vertex_position", &writer));
    ASSERT_TRUE(CodeFunction_Find("vertex_format_begin", &format));
    const BuiltinRoutine checkedWriter = CodeFunction_At(writer)->routine;
    const bool savedChecks = ReleaseModeChecks;
    SetReleaseMode(false);
    EXPECT_NE(CodeFunction_At(index)->routine, checked);
    EXPECT_NE(CodeFunction_At(writer)->routine, checkedWriter);
    SetReleaseMode(true);
    EXPECT_EQ(CodeFunction_At(index)->routine, checked);
    EXPECT_EQ(CodeFunction_At(writer)->routine, checkedWriter);
    ReleaseModeChecks = savedChecks;
    ScriptValue cell = CallByName("ds_grid_get", {grid, ScriptValue_Real(1), ScriptValue_Real(1)});
    EXPECT_EQ(cell.kind, VALUE_REAL);
    EXPECT_TRUE(DsGrid_Destroy(int32_t(grid.real)));
    CodeFunction_FreeAll();
}

// The light, GPU-state, legacy 3D switches, legacy 3D drawing and models exist by game format; the
// display and window built-ins exist in both.
TEST(RunnerFunctions, LightAndGpuStateBuiltinsFollowTheGameFormat)
{
    struct Case {
        bool layerMode;
        std::vector<const char*> present, absent;
    };
    const Case cases[] = {
        {true,
         {"gpu_get_state", "gpu_set_fog", "gpu_push_state", "draw_light_get", "draw_set_lighting", "window_set_caption",
          "display_reset"},
         {"d3d_set_fog", "d3d_light_enable", "Kivo_EnableAlphaBlend", "d3d_set_culling", "d3d_primitive_begin",
          "d3d_draw_block", "d3d_model_create"}},
        {false,
         {"d3d_set_fog", "d3d_set_shading", "d3d_light_enable", "d3d_set_lighting", "draw_enable_alphablend",
          "Kivo_EnableAlphaBlend", "d3d_set_hidden", "window_set_caption", "display_get_width", "d3d_primitive_begin",
          "d3d_vertex_normal_texture_color", "d3d_draw_ellipsoid", "d3d_model_create", "d3d_model_floor"},
         {"gpu_get_state", "gpu_set_blendmode", "draw_light_get", "draw_get_lighting"}},
    };
    for (const Case& c : cases) {
        CodeFunction_FreeAll();
        LayerMode = c.layerMode;
        InitQSCFunctions();
        int32_t index = -1;
        for (const char* name : c.present) EXPECT_TRUE(CodeFunction_Find(name, &index)) << name << " " << c.layerMode;
        for (const char* name : c.absent) EXPECT_FALSE(CodeFunction_Find(name, &index)) << name << " " << c.layerMode;
    }
    LayerMode = false;
    CodeFunction_FreeAll();
}
}  // namespace

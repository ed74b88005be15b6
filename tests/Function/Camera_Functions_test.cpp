#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_Display.h"
#include "World/CameraFixture.h"
#include "Function/Camera_Functions.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "support/EngineReset.h"

namespace {

struct CameraFunctionsTest : CameraWorld {
    void SetUp() override
    {
        CameraWorld::SetUp();
        Console_SetStdoutSuppressed(true);
        ShowErrorDialogs = false;
        HeadlessMode.noDialogs = true;
        InitCameraFunctions();
    }
    static std::string LastError() { return ErrorLast_Get() ? ErrorLast_Get() : ""; }

    // Calls a built-in's routine by name; the result starts as the real 1234.
    static ScriptValue Call(const char* name, std::vector<ScriptValue> args)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        const char* found = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t count = 0;
        uint8_t flag = 0;
        CodeFunction_GetInfo(index, &found, &routine, &count, &flag);
        ScriptValue result = ScriptValue_Real(1234);
        if (routine) routine(&result, nullptr, nullptr, static_cast<int>(args.size()), args.data());
        for (ScriptValue& arg : args) ScriptValue_SetUndefined(&arg);
        return result;
    }
    static double Real(const char* name, std::initializer_list<double> values)
    {
        std::vector<ScriptValue> args;
        for (double v : values) args.push_back(ScriptValue_Real(v));
        ScriptValue result = Call(name, args);
        EXPECT_EQ(result.Kind(), VALUE_REAL) << name;
        return result.real;
    }
    // Another count of a value that Call releases with the arguments.
    static ScriptValue Shared(const ScriptValue& value)
    {
        ScriptValue_AddRef(&value);
        return value;
    }
    // An array of one row of n reals 0, 1, 2 ...
    static ScriptValue Row(int n)
    {
        ScriptValue array = ScriptValue_Undefined();
        for (int k = n - 1; k >= 0; --k) ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(&array, k), k);
        return array;
    }
};

TEST_F(CameraFunctionsTest, AllAreRegisteredWithFlagOne)
{
    EXPECT_EQ(CodeFunction_Count(), 47);
    for (int32_t i = 0; i < CodeFunction_Count(); ++i) {
        const char* name = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t count = -2;
        uint8_t flag = 0;
        CodeFunction_GetInfo(i, &name, &routine, &count, &flag);
        EXPECT_EQ(flag, 1) << name;
        EXPECT_NE(routine, nullptr) << name;
    }
}

TEST_F(CameraFunctionsTest, WrongArgumentCountsShowTheBuiltInsOwnText)
{
    const struct {
        const char* name;
        int count;
    } checked[] = {
        {"camera_destroy", 1}, {"camera_apply", 1}, {"camera_set_view_mat", 2}, {"camera_set_proj_mat", 2},
        {"camera_set_update_script", 2}, {"camera_set_begin_script", 2}, {"camera_set_end_script", 2},
        {"camera_set_view_pos", 3}, {"camera_set_view_size", 3}, {"camera_set_view_speed", 3},
        {"camera_set_view_border", 3}, {"camera_set_view_angle", 2}, {"camera_set_view_target", 2},
        {"camera_get_view_mat", 1}, {"camera_get_proj_mat", 1}, {"camera_get_update_script", 1},
        {"camera_get_begin_script", 1}, {"camera_get_end_script", 1}, {"camera_get_view_x", 1},
        {"camera_get_view_y", 1}, {"camera_get_view_width", 1}, {"camera_get_view_height", 1},
        {"camera_get_view_speed_x", 1}, {"camera_get_view_speed_y", 1}, {"camera_get_view_border_x", 1},
        {"camera_get_view_border_y", 1}, {"camera_get_view_angle", 1}, {"camera_get_view_target", 1},
    };
    CameraList::CreateCamera();  // camera 0 exists: only the count is wrong
    for (const auto& c : checked) {
        for (int argc : {c.count - 1, c.count + 1}) {
            SCOPED_TRACE(std::string(c.name) + " with " + std::to_string(argc));
            ForgetErrors();
            std::vector<ScriptValue> args(static_cast<size_t>(argc), ScriptValue_Real(0));
            const ScriptValue result = Call(c.name, args);
            EXPECT_EQ(result.real, -1.0);
            EXPECT_EQ(LastError(), std::string(c.name) + "() - wrong number of arguments");
            EXPECT_FALSE(FatalErrorShown);
        }
    }
    EXPECT_EQ(CameraList::GetCount(), 1);  // camera_destroy with a wrong count destroyed nothing
    ForgetErrors();
    EXPECT_EQ(Real("camera_create", {1}), -1.0);
    EXPECT_EQ(LastError(), "camera_create() - doesn't take any arguments");
    ForgetErrors();
    EXPECT_EQ(Real("camera_create_view", {0, 0, 640}), -1.0);
    EXPECT_EQ(LastError(), "camera_create_view() - must have at least 4 arguments");
    EXPECT_EQ(CameraList::GetCount(), 1);
}

TEST_F(CameraFunctionsTest, UnknownCameraGivesMinusOneWithoutMessage)
{
    EXPECT_EQ(Real("camera_get_view_x", {5}), -1.0);
    EXPECT_EQ(Real("camera_set_view_pos", {5, 1, 2}), -1.0);
    EXPECT_EQ(Real("camera_apply", {5}), -1.0);
    EXPECT_EQ(Real("camera_get_active", {}), -1.0);
    EXPECT_EQ(Real("camera_get_default", {}), -1.0);
    EXPECT_FALSE(error_occurred);
}

TEST_F(CameraFunctionsTest, SettersAndGettersAsATable)
{
    const double id = Real("camera_create", {});
    ASSERT_EQ(id, 0.0);
    const struct {
        const char* setter;
        double a, b;
        const char* getterA;
        const char* getterB;
        bool changes;
    } cases[] = {
        {"camera_set_view_speed", 4.5, -1, "camera_get_view_speed_x", "camera_get_view_speed_y", false},
        {"camera_set_view_border", 16, 24, "camera_get_view_border_x", "camera_get_view_border_y", false},
        {"camera_set_update_script", 3, 0, "camera_get_update_script", nullptr, false},
        {"camera_set_begin_script", 4, 0, "camera_get_begin_script", nullptr, false},
        {"camera_set_end_script", 5, 0, "camera_get_end_script", nullptr, false},
        {"camera_set_view_target", 100007, 0, "camera_get_view_target", nullptr, false},
        {"camera_set_view_pos", 10.5, 20.25, "camera_get_view_x", "camera_get_view_y", true},
        {"camera_set_view_size", 320, 180, "camera_get_view_width", "camera_get_view_height", true},
        {"camera_set_view_angle", 33, 0, "camera_get_view_angle", nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setter);
        Camera* camera = CameraList::GetCamera(0);
        camera->viewChanged = 0;
        const double result = c.getterB ? Real(c.setter, {id, c.a, c.b}) : Real(c.setter, {id, c.a});
        EXPECT_EQ(result, -1.0);
        EXPECT_EQ(Real(c.getterA, {id}), c.a);
        if (c.getterB) {
            EXPECT_EQ(Real(c.getterB, {id}), c.b);
        }
        EXPECT_EQ(camera->IsViewChanged(), c.changes);
    }
    EXPECT_FALSE(error_occurred);
}

TEST_F(CameraFunctionsTest, CreateViewMakesACentredFreeCamera)
{
    const double id = Real("camera_create_view", {0, 0, 640, 480});
    const Camera* camera = CameraList::GetCamera(static_cast<int32_t>(id));
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->target, -1);
    EXPECT_EQ(camera->speedX, -1.0f);
    EXPECT_EQ(camera->speedY, -1.0f);
    EXPECT_EQ(camera->borderX, 0.0f);
    EXPECT_EQ(camera->angle, 0.0f);
    EXPECT_NEAR(camera->view.m[3][0], -320.0f, 1e-3f);
    EXPECT_NEAR(camera->view.m[3][1], -240.0f, 1e-3f);
    EXPECT_TRUE(camera->Is2D());
    const double full = Real("camera_create_view", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    camera = CameraList::GetCamera(static_cast<int32_t>(full));
    EXPECT_EQ(camera->angle, 5.0f);
    EXPECT_EQ(camera->target, 6);
    EXPECT_EQ(camera->speedX, 7.0f);
    EXPECT_EQ(camera->speedY, 8.0f);
    EXPECT_EQ(camera->borderX, 9.0f);
    EXPECT_EQ(camera->borderY, 10.0f);
}

TEST_F(CameraFunctionsTest, DestroyingTheActiveCameraLeavesNone)
{
    Real("camera_create", {});
    Real("camera_create", {});
    CameraList::SetActiveCamera(1);
    EXPECT_EQ(Real("camera_get_active", {}), 1.0);
    EXPECT_EQ(Real("camera_destroy", {1}), -1.0);
    EXPECT_EQ(Real("camera_get_active", {}), -1.0);
    EXPECT_EQ(CameraList::GetCount(), 1);
}

TEST_F(CameraFunctionsTest, DefaultCameraMustExist)
{
    Real("camera_create", {});
    EXPECT_EQ(Real("camera_set_default", {9}), 1234.0);  // result left as the caller set it
    EXPECT_EQ(Real("camera_get_default", {}), -1.0);
    Real("camera_set_default", {0});
    EXPECT_EQ(Real("camera_get_default", {}), 0.0);
    CameraList::DestroyCamera(0);
    EXPECT_EQ(Real("camera_get_default", {}), -1.0);
}

TEST_F(CameraFunctionsTest, MatricesGoOutAndComeBackAsArrays)
{
    Real("camera_create_view", {0, 0, 640, 480});
    ScriptValue view = Call("camera_get_view_mat", {ScriptValue_Real(0)});
    ASSERT_EQ(view.Kind(), VALUE_ARRAY);
    ASSERT_EQ(view.arr->rowCount, 1);
    ASSERT_EQ(view.arr->rows[0].length, 16);
    EXPECT_EQ(view.arr->rows[0].elements[12].real, -320.0);
    EXPECT_EQ(view.arr->rows[0].elements[15].real, 1.0);
    Real("camera_create", {});
    EXPECT_EQ(Call("camera_set_view_mat", {ScriptValue_Real(1), Shared(view)}).real, -1.0);
    EXPECT_EQ(CameraList::GetCamera(1)->view.m[3][0], -320.0f);
    ScriptValue projection = Call("camera_get_proj_mat", {ScriptValue_Real(0)});
    Call("camera_set_proj_mat", {ScriptValue_Real(1), Shared(projection)});
    EXPECT_EQ(CameraList::GetCamera(1)->projection.m[0][0], 2.0f / 640);
    EXPECT_NEAR(CameraList::GetCamera(1)->invViewProjection.m[0][0], 320.0f, 1e-3f);
    EXPECT_FALSE(error_occurred);
    ScriptValue_SetUndefined(&view);
    ScriptValue_SetUndefined(&projection);
}

TEST_F(CameraFunctionsTest, BadMatrixArraysAreReportedAndChangeNothing)
{
    Real("camera_create_view", {0, 0, 640, 480});
    const Matrix before = CameraList::GetCamera(0)->view;
    EXPECT_EQ(Call("camera_set_view_mat", {ScriptValue_Real(0), Row(15)}).real, -1.0);
    EXPECT_NE(LastError().find("camera_set_view_mat() - must be 16 entries in array"), std::string::npos);
    EXPECT_FALSE(FatalErrorShown);
    ForgetErrors();
    Call("camera_set_proj_mat", {ScriptValue_Real(0), ScriptValue_Real(3)});
    EXPECT_NE(LastError().find("camera_set_proj_mat() - array invalid (has it been created properly?)"),
              std::string::npos);
    ForgetErrors();
    ScriptValue twoRows = Row(16);
    ScriptValue_ArrayElementForWrite(&twoRows, ARRAY_ROW_STRIDE);  // row 1 exists, row 0 keeps 16
    Call("camera_set_view_mat", {ScriptValue_Real(0), twoRows});
    EXPECT_FALSE(error_occurred);
    EXPECT_EQ(CameraList::GetCamera(0)->view.m[3][0], 12.0f);  // row 0 taken: 0, 1, 2 ...
    CameraList::GetCamera(0)->SetViewMat(&before.m[0][0]);
}

TEST_F(CameraFunctionsTest, ViewBuiltInsReadAndWriteTheCurrentRoomsViews)
{
    room.views[3].camera = 7;
    EXPECT_EQ(Real("view_get_camera", {3}), 7.0);
    EXPECT_EQ(Real("view_set_xport", {2, 10.5}), 1234.0);  // result left as the caller set it
    EXPECT_EQ(room.views[2].portX, 10);  // ties to even
    Real("view_set_xport", {2, 11.5});
    EXPECT_EQ(Real("view_get_xport", {2}), 12.0);
    Real("view_set_yport", {1, 5});
    Real("view_set_wport", {1, 300});
    Real("view_set_hport", {1, 200});
    EXPECT_EQ(Real("view_get_yport", {1}), 5.0);
    EXPECT_EQ(Real("view_get_wport", {1}), 300.0);
    EXPECT_EQ(Real("view_get_hport", {1}), 200.0);
    Real("view_set_camera", {9, 4});  // outside 0..7: view 0
    EXPECT_EQ(room.views[0].camera, 4);
    EXPECT_EQ(Real("view_get_camera", {-1}), 4.0);
    Real("view_set_visible", {5, 0.6});
    EXPECT_TRUE(room.views[5].visible);
    EXPECT_EQ(Real("view_get_visible", {5}), 1.0);
    Real("view_set_visible", {5, 0.4});
    EXPECT_FALSE(room.views[5].visible);
    EXPECT_EQ(Real("view_get_surface_id", {4}), -1.0);
    Real("view_set_surface_id", {4, 3});
    EXPECT_EQ(Real("view_get_surface_id", {4}), 3.0);
    Run_Room = nullptr;
    EXPECT_EQ(Real("view_get_camera", {0}), 0.0);  // no room runs
    Real("view_set_xport", {0, 1});
    Run_Room = &room;
    EXPECT_FALSE(error_occurred);
}

TEST_F(CameraFunctionsTest, ApplyWritesTheRendererRectangle)
{
    Real("camera_create_view", {100, 50, 640, 480});
    EXPECT_EQ(Real("camera_apply", {0}), -1.0);
    EXPECT_NEAR(RendererViewRect.x, 100.0f, 1e-2f);
    EXPECT_NEAR(RendererViewRect.width, 640.0f, 1e-2f);
}

}  // namespace

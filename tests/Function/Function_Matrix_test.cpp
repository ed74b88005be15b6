// The matrix, frustum and matrix-stack built-ins and the "3D.." registration.
#include "Function/Function_3D.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "Options/Runner_Options.h"
#include "Runner/Runner_Entry.h"
#include "World/Room_Main.h"
#include "support/GpuTestFrame.h"

namespace {

class MatrixFunctionsTest : public ::testing::Test {
protected:
    GpuTestFrame frame{16, 16};  // the renderer keeps its matrices only with a device
    bool layerMode = LayerMode;

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        Console_SetStdoutSuppressed(true);
        ShowErrorDialogs = false;
        HeadlessMode.noDialogs = true;
        ResetErrors();
        Register(true);  // also empties the matrix stack another test may have left
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        ResetErrors();
        ShowErrorDialogs = true;
        HeadlessMode = HeadlessModeFlags{};
        Console_Reset();
        LayerMode = layerMode;
        DrawColour = 0xFF000000u;
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        for (int slot = 0; slot < 3; ++slot) GR_D3D_SetMatrix(slot, identity);
    }
    static void Register(bool newFormat)
    {
        CodeFunction_FreeAll();
        LayerMode = newFormat;
        Init3DFunctions();
    }
    static void ResetErrors()
    {
        FatalErrorShown = AllErrorsFatal = error_occurred = CodeErrorFlag = false;
        PendingRoomCode = -1;
        ErrorLast_Set(nullptr);
        Runner_DiscardMessages();
    }
    static std::string TakeError()
    {
        const std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ResetErrors();
        return text;
    }
    static bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

    static ScriptValue Call(const char* name, std::vector<ScriptValue> args)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        const char* found = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t count = 0;
        uint8_t flag = 0;
        CodeFunction_GetInfo(index, &found, &routine, &count, &flag);
        ScriptValue result = ScriptValue_Undefined();
        if (routine) routine(&result, nullptr, nullptr, static_cast<int>(args.size()), args.data());
        for (ScriptValue& arg : args) ScriptValue_SetUndefined(&arg);
        return result;
    }
    static std::vector<ScriptValue> Reals(std::initializer_list<double> values)
    {
        std::vector<ScriptValue> args;
        for (double v : values) args.push_back(ScriptValue_Real(v));
        return args;
    }
    // The reals of row 0 of an array result (released here).
    static std::vector<double> Values(ScriptValue value)
    {
        std::vector<double> out;
        if (value.Kind() == VALUE_ARRAY && value.arr && value.arr->rowCount > 0)
            for (int i = 0; i < value.arr->rows[0].length; ++i) out.push_back(value.arr->rows[0].elements[i].real);
        ScriptValue_SetUndefined(&value);
        return out;
    }
    static ScriptValue MatrixValue(const std::vector<double>& values)
    {
        ScriptValue array = ScriptValue_Undefined();
        for (int k = static_cast<int>(values.size()) - 1; k >= 0; --k)
            ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(&array, k), values[static_cast<size_t>(k)]);
        return array;
    }
    static std::vector<double> Transform(const std::vector<double>& m, double x, double y, double z)
    {
        std::vector<ScriptValue> args = {MatrixValue(m), ScriptValue_Real(x), ScriptValue_Real(y), ScriptValue_Real(z)};
        return Values(Call("matrix_transform_vertex", args));
    }
    static void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected)
    {
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5) << i;
    }
};

TEST_F(MatrixFunctionsTest, BuildRotatesAboutYThenXThenZThenScalesAlongWorldAxes)
{
    const auto turn = Values(Call("matrix_build", Reals({0, 0, 0, 0, 0, 90, 1, 1, 1})));
    ASSERT_EQ(turn.size(), 16u);
    ExpectNear(Transform(turn, 1, 0, 0), {0, -1, 0});
    const auto move = Values(Call("matrix_build", Reals({10, 20, 30, 0, 0, 0, 1, 1, 1})));
    ExpectNear(Transform(move, 1, 2, 3), {11, 22, 33});
    // Scale after the turn: the object's y axis, turned onto world x, is stretched by the x scale.
    const auto turnScale = Values(Call("matrix_build", Reals({0, 0, 0, 0, 0, 90, 2, 1, 1})));
    ExpectNear(Transform(turnScale, 0, 1, 0), {2, 0, 0});
    ExpectNear(Transform(turnScale, 1, 0, 0), {0, -1, 0});
    Call("matrix_build", Reals({1, 2, 3}));
    EXPECT_TRUE(Has(TakeError(), "Illegal argument count or type"));
}

TEST_F(MatrixFunctionsTest, ProjectionsRefuseZeroSizesAsTheirRulesSay)
{
    const auto ortho = Values(Call("matrix_build_projection_ortho", Reals({0, 100, 1, 10})));
    ExpectNear(ortho, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(TakeError(), "");
    Call("matrix_build_projection_perspective", Reals({0, 100, 1, 10}));
    EXPECT_TRUE(Has(TakeError(), "can't have width or height of zero"));
    Call("matrix_build_projection_perspective_fov", Reals({60, 0, 1, 10}));
    EXPECT_TRUE(Has(TakeError(), "can't have fov or aspect of zero"));
    const auto fov = Values(Call("matrix_build_projection_perspective_fov", Reals({90, 2, 1, 10})));
    EXPECT_NEAR(fov[5], 1.0, 1e-5) << "s = 1 / tan(45 degrees)";
    EXPECT_NEAR(fov[0], 0.5, 1e-5);
    EXPECT_EQ(fov[11], 1.0);
}

TEST_F(MatrixFunctionsTest, MultiplyAndRendererSlotsCheckTheirArguments)
{
    const auto a = Values(Call("matrix_build", Reals({5, 0, 0, 0, 0, 0, 2, 2, 2})));
    const auto b = Values(Call("matrix_build", Reals({0, 7, 0, 0, 0, 0, 1, 1, 1})));
    const auto ab = Values(Call("matrix_multiply", {MatrixValue(a), MatrixValue(b)}));
    ExpectNear(Transform(ab, 1, 1, 1), {7, 9, 2});  // a first, then b
    Call("matrix_multiply", {MatrixValue(a)});
    EXPECT_TRUE(Has(TakeError(), "Illegal argument count"));
    Call("matrix_multiply", {MatrixValue(a), ScriptValue_Real(1)});
    EXPECT_TRUE(Has(TakeError(), "Illegal argument type"));
    Call("matrix_multiply", {MatrixValue(a), MatrixValue({1, 2, 3})});
    EXPECT_TRUE(Has(TakeError(), "Illegal matrix"));
    Call("matrix_transform_vertex", {MatrixValue({1, 2}), ScriptValue_Real(1), ScriptValue_Real(1), ScriptValue_Real(1)});
    EXPECT_TRUE(Has(TakeError(), "Illegal matrix")) << "a short row is never read past";

    Call("matrix_get", Reals({-1}));
    EXPECT_TRUE(Has(TakeError(), "Illegal matrix type"));
    Call("matrix_set", {ScriptValue_Real(3), MatrixValue(a)});
    EXPECT_TRUE(Has(TakeError(), "Illegal matrix type"));
    Call("matrix_set", {ScriptValue_Real(2), MatrixValue({1})});
    EXPECT_TRUE(Has(TakeError(), "Illegal matrix"));
    GR_UpdateCullRect();
    Call("matrix_set", {ScriptValue_Real(2), MatrixValue(a)});
    EXPECT_TRUE(GR_CullRect.stale) << "a world change marks the culling rectangle";
    ExpectNear(Values(Call("matrix_get", Reals({2}))), a);
    GR_UpdateCullRect();
    Call("matrix_set", {ScriptValue_Real(0), MatrixValue(b)});
    EXPECT_FALSE(GR_CullRect.stale) << "view changes do not";
}

TEST_F(MatrixFunctionsTest, StackHolds50PushesAndARefusedPushLeavesTheTop)
{
    EXPECT_EQ(Call("matrix_stack_is_empty", {}).real, 1.0);
    for (int i = 0; i < 50; ++i) Call("matrix_stack_push", {});
    EXPECT_EQ(TakeError(), "");
    Call("matrix_stack_push", {});
    EXPECT_TRUE(Has(TakeError(), "matrix_stack_push() - stack is full"));
    Call("matrix_stack_clear", {});

    const auto scale = Values(Call("matrix_build", Reals({0, 0, 0, 0, 0, 0, 2, 2, 2})));
    const auto move = Values(Call("matrix_build", Reals({3, 0, 0, 0, 0, 0, 1, 1, 1})));
    Call("matrix_stack_set", {MatrixValue(move)});
    Call("matrix_stack_push", {MatrixValue(scale)});
    ExpectNear(Transform(Values(Call("matrix_stack_top", {})), 1, 0, 0), {5, 0, 0});  // the argument applies first
    Call("matrix_stack_push", {ScriptValue_Real(4)});
    EXPECT_TRUE(Has(TakeError(), "argument must be matrix"));
    Call("matrix_stack_pop", {});
    EXPECT_EQ(Call("matrix_stack_is_empty", {}).real, 1.0) << "the refused push did not raise the top";
    Call("matrix_stack_push", {MatrixValue({1, 2})});
    EXPECT_TRUE(Has(TakeError(), "matrix_stack_multiply() - matrix not valid"));
    Call("matrix_stack_set", {ScriptValue_Real(1)});
    EXPECT_TRUE(Has(TakeError(), "matrix_stack_set() - expects matrix"));
    // Popping the base makes it identity even after it was set.
    Call("matrix_stack_pop", {});
    EXPECT_EQ(Call("matrix_stack_is_empty", {}).real, 1.0);
    ExpectNear(Transform(Values(Call("matrix_stack_top", {})), 1, 0, 0), {1, 0, 0});
}

TEST_F(MatrixFunctionsTest, FrustumOfAnOrthographicViewTestsSpheres)
{
    const auto projection = Values(Call("matrix_build_projection_ortho", Reals({100, 100, 1, 1000})));
    const auto identity = Values(Call("matrix_build_identity", {}));
    Call("matrix_set", {ScriptValue_Real(0), MatrixValue(identity)});
    Call("matrix_set", {ScriptValue_Real(1), MatrixValue(projection)});
    EXPECT_EQ(Call("frustum_build", {}).real, 0.0);
    EXPECT_EQ(Call("frustum_test_sphere", Reals({0, 0, 500, 1})).real, 1.0);
    EXPECT_EQ(Call("frustum_test_sphere", Reals({200, 0, 500, 1})).real, 0.0);
    EXPECT_EQ(Call("frustum_test_sphere", Reals({60, 0, 500, 20})).real, 1.0);
    EXPECT_EQ(Call("frustum_test_sphere", Reals({0, 0, -5, 1})).real, 0.0) << "before the near plane";
}

TEST_F(MatrixFunctionsTest, RegistrationDependsOnTheGameFormat)
{
    int32_t index = -1;
    EXPECT_TRUE(CodeFunction_Find("matrix_stack_push", &index));
    EXPECT_FALSE(CodeFunction_Find("d3d_start", &index));
    EXPECT_EQ(DrawColour, 0xFFFFFFFFu) << "new-format games start drawing in white";
    DrawColour = 0xFF000000u;
    Register(false);
    EXPECT_FALSE(CodeFunction_Find("matrix_stack_push", &index));
    EXPECT_TRUE(CodeFunction_Find("d3d_transform_stack_push", &index));
    EXPECT_TRUE(CodeFunction_Find("matrix_build", &index));
    EXPECT_EQ(DrawColour, 0xFF000000u);
    // The legacy built-ins reach their back ends.
    EXPECT_EQ(Call("d3d_transform_stack_pop", {}).real, 0.0);
    Call("d3d_transform_set_translation", Reals({4, 5, 6}));
    ExpectNear(Values(Call("d3d_transform_vertex", Reals({1, 1, 1}))), {5, 6, 7});
    Call("d3d_transform_set_identity", {});
}

}  // namespace

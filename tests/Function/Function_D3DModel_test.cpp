// The d3d_model_ built-ins through the built-in table: the commands they add,
// saving and loading through the save area and the bundle, drawing, and ids
// and arguments that are wrong.
#include "Function/Function_D3DModel.h"


#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "Base/Console.h"
#include "Function/BuiltinCallFixture.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_3D_Model.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/LoadSave.h"
#include "support/FileWorld.h"
#include "support/GpuTestFrame.h"
#include "support/RecordingConsole.h"

using ::testing::HasSubstr;

namespace {

struct D3DModelFunctions : BuiltinCallFixture, FileWorld {
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        LayerMode = false;
        InitD3DModelFunctions();
        ASSERT_TRUE(Enter());
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        Model_FreeAll();
        LogConsole = savedLog;
        EXPECT_TRUE(Leave());
        BuiltinCallFixture::TearDown();
    }
    // Calls a built-in that sets no result.
    void Run(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_UNDEFINED) << name;
        ScriptValue_SetUndefined(&result);
    }
    static std::vector<ScriptValue> Args(int id, std::vector<double> values)
    {
        std::vector<ScriptValue> args{R(id)};
        for (double v : values) args.push_back(R(v));
        return args;
    }
    static std::vector<ModelCommand> Commands(int id)
    {
        int count = 0;
        const ModelCommand* c = Model_Commands(id, &count);
        return c ? std::vector<ModelCommand>(c, c + count) : std::vector<ModelCommand>{};
    }
};

TEST_F(D3DModelFunctions, BuiltinsAddTheirCommandsInArgumentOrder)
{
    struct Case {
        const char* name;
        std::vector<double> args;
        int kind;
        std::vector<double> fields;  // integer fields compared as integers
    };
    const Case cases[] = {
        {"d3d_model_primitive_begin", {5}, MODEL_BEGIN, {5}},
        {"d3d_model_primitive_end", {}, MODEL_END, {}},
        {"d3d_model_vertex", {1, 2, 3}, MODEL_VERTEX, {1, 2, 3}},
        {"d3d_model_vertex_colour", {1, 2, 3, 0xFF, 0.5}, MODEL_VERTEX_COLOUR, {1, 2, 3, 0xFF, 0.5}},
        {"d3d_model_vertex_color", {1, 2, 3, 0xFF, 0.5}, MODEL_VERTEX_COLOUR, {1, 2, 3, 0xFF, 0.5}},
        {"d3d_model_vertex_texture", {1, 2, 3, 4, 5}, MODEL_VERTEX_TEXTURE, {1, 2, 3, 4, 5}},
        {"d3d_model_vertex_texture_colour", {1, 2, 3, 4, 5, 6, 7}, MODEL_VERTEX_TEXTURE_COLOUR, {1, 2, 3, 4, 5, 6, 7}},
        {"d3d_model_vertex_texture_color", {1, 2, 3, 4, 5, 6, 7}, MODEL_VERTEX_TEXTURE_COLOUR, {1, 2, 3, 4, 5, 6, 7}},
        {"d3d_model_vertex_normal", {1, 2, 3, 4, 5, 6}, MODEL_VERTEX_NORMAL, {1, 2, 3, 4, 5, 6}},
        {"d3d_model_vertex_normal_colour", {1, 2, 3, 4, 5, 6, 7, 8}, MODEL_VERTEX_NORMAL_COLOUR,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"d3d_model_vertex_normal_color", {1, 2, 3, 4, 5, 6, 7, 8}, MODEL_VERTEX_NORMAL_COLOUR,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"d3d_model_vertex_normal_texture", {1, 2, 3, 4, 5, 6, 7, 8}, MODEL_VERTEX_NORMAL_TEXTURE,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"d3d_model_vertex_normal_texture_colour", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         MODEL_VERTEX_NORMAL_TEXTURE_COLOUR, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"d3d_model_vertex_normal_texture_color", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         MODEL_VERTEX_NORMAL_TEXTURE_COLOUR, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"d3d_model_block", {1, 2, 3, 4, 5, 6, 7, 8}, MODEL_BLOCK, {1, 2, 3, 4, 5, 6, 7, 8}},
        // The closed flag is a bool: anything above 0.5 is closed.
        {"d3d_model_cylinder", {1, 2, 3, 4, 5, 6, 7, 8, 0.75, 10.9}, MODEL_CYLINDER, {1, 2, 3, 4, 5, 6, 7, 8, 1, 10}},
        {"d3d_model_cone", {1, 2, 3, 4, 5, 6, 7, 8, 0.25, 24}, MODEL_CONE, {1, 2, 3, 4, 5, 6, 7, 8, 0, 24}},
        {"d3d_model_ellipsoid", {1, 2, 3, 4, 5, 6, 7, 8, 9}, MODEL_ELLIPSOID, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"d3d_model_wall", {1, 2, 3, 4, 5, 6, 7, 8}, MODEL_WALL, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"d3d_model_floor", {1, 2, 3, 4, 5, 6, 7, 8}, MODEL_FLOOR, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    const int model = static_cast<int>(Num("d3d_model_create"));
    for (const Case& c : cases) Run(c.name, Args(model, c.args));
    const std::vector<ModelCommand> commands = Commands(model);
    ASSERT_EQ(commands.size(), std::size(cases));
    for (size_t k = 0; k < commands.size(); ++k) {
        const Case& c = cases[k];
        const ModelCommand& got = commands[k];
        EXPECT_EQ(got.kind, c.kind) << c.name;
        for (int n = 0; n < 10; ++n) {
            const double want = n < static_cast<int>(c.fields.size()) ? c.fields[static_cast<size_t>(n)] : 0;
            const bool integer = (c.kind == MODEL_VERTEX_COLOUR && n == 3) ||
                                 (c.kind == MODEL_VERTEX_TEXTURE_COLOUR && n == 5) ||
                                 (c.kind == MODEL_VERTEX_NORMAL_COLOUR && n == 6) ||
                                 (c.kind == MODEL_VERTEX_NORMAL_TEXTURE_COLOUR && n == 8) ||
                                 ((c.kind == MODEL_CYLINDER || c.kind == MODEL_CONE) && n >= 8) ||
                                 (c.kind == MODEL_ELLIPSOID && n == 8);
            const double value = integer ? got.fields[n].i : got.fields[n].f;
            EXPECT_EQ(value, want) << c.name << " field " << n;
        }
    }
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(log.text, "");
}

TEST_F(D3DModelFunctions, SaveAndLoadGoThroughTheSaveAreaAndTheBundle)
{
    const int model = static_cast<int>(Num("d3d_model_create"));
    Run("d3d_model_block", Args(model, {1, 2, 3, 4, 5, 6, 7, 8}));
    Run("d3d_model_save", {R(model), S("models/deep/m.txt")});
    EXPECT_THAT(root.Read("save/models/deep/m.txt"), HasSubstr("100\n1\n10 "))
        << "the folders are made under the save area";

    const int copy = static_cast<int>(Num("d3d_model_create"));
    EXPECT_EQ(Num("d3d_model_load", {R(copy), S("models/deep/m.txt")}), 1);
    ASSERT_EQ(Commands(copy).size(), 1u);
    EXPECT_EQ(Commands(copy)[0].fields[7].f, 8.0f);

    root.Write("game/bundled.txt", "100\n1\n14 0 0 0 1 1 1 1 1 0 0\n");
    EXPECT_EQ(Num("d3d_model_load", {R(copy), S("bundled.txt")}), 1);
    ASSERT_EQ(Commands(copy).size(), 1u);
    EXPECT_EQ(Commands(copy)[0].kind, MODEL_WALL);

    EXPECT_EQ(Num("d3d_model_load", {R(copy), S("absent.txt")}), 0);
    EXPECT_EQ(log.text, "d3d_model_load - unable to find file absent.txt\n");
    EXPECT_EQ(Commands(copy).size(), 1u) << "a missing file changes nothing";

    // Found but not a model: 0, the model is left empty, the log says why.
    log.text.clear();
    root.Write("game/broken.txt", "100\n5\n");
    EXPECT_EQ(Num("d3d_model_load", {R(copy), S("broken.txt")}), 0);
    EXPECT_TRUE(Commands(copy).empty());
    EXPECT_THAT(log.text,
                HasSubstr("broken.txt has a command count of 5, more than the file can hold; the model is left empty"));

    log.text.clear();
    Run("d3d_model_save", {R(model), S("/etc/outside.txt")});
    EXPECT_THAT(log.text, HasSubstr("d3d_model_save: /etc/outside.txt cannot be written"));
    EXPECT_FALSE(std::filesystem::exists("/etc/outside.txt"));
}

TEST_F(D3DModelFunctions, IdsThatNameNoModelAreLoggedAndNeverFollowed)
{
    const int model = static_cast<int>(Num("d3d_model_create"));
    Run("d3d_model_destroy", {R(model)});
    root.Write("save/m.txt", "100\n0\n");
    Run("d3d_model_vertex", Args(model, {1, 2, 3}));
    Run("d3d_model_cone", Args(-1, {0, 0, 0, 1, 1, 1, 1, 1, 1, 8}));
    Run("d3d_model_draw", {R(4096), R(0), R(0), R(0), R(-1)});
    Run("d3d_model_clear", {R(model)});
    Run("d3d_model_destroy", {R(model)});
    Run("d3d_model_save", {R(model), S("out.txt")});
    EXPECT_EQ(Num("d3d_model_load", {R(model), S("m.txt")}), 0) << "there is no model to load into";
    EXPECT_EQ(log.text,
              "d3d_model_vertex: model 0 does not exist\n"
              "d3d_model_cone: model -1 does not exist\n"
              "d3d_model_draw: model 4096 does not exist\n"
              "d3d_model_clear: model 0 does not exist\n"
              "d3d_model_destroy: model 0 does not exist\n"
              "d3d_model_save: model 0 does not exist\n"
              "d3d_model_load: model 0 does not exist\n");
    EXPECT_EQ(root.Read("save/out.txt"), "<missing>");
    EXPECT_FALSE(Model_Exists(model));
    EXPECT_EQ(TakeError(), "");
}

TEST_F(D3DModelFunctions, WrongArgumentKindsAreFatalAndShortCallsReported)
{
    const int model = static_cast<int>(Num("d3d_model_create"));
    Run("d3d_model_vertex", {R(model), R(1), S("two"), R(3)});
    EXPECT_THAT(TakeError(), HasSubstr("d3d_model_vertex argument 3 incorrect type (string)"));
    Run("d3d_model_draw", {R(model), R(0), R(0), R(0), A({1})});
    EXPECT_THAT(TakeError(), HasSubstr("d3d_model_draw argument 5 incorrect type (array)"));
    Run("d3d_model_cylinder", {R(model), R(0), R(0), R(0), R(1), R(1), R(1), R(1), R(1), S("yes"), R(8)});
    EXPECT_THAT(TakeError(), HasSubstr("d3d_model_cylinder argument 10 incorrect type (string)"));
    EXPECT_EQ(Num("d3d_model_load", {R(model), R(3)}), 0);
    EXPECT_THAT(TakeError(), HasSubstr("d3d_model_load argument 2 incorrect type (number)"));
    Run("d3d_model_block", {A({0}), R(0), R(0), R(0), R(1), R(1), R(1), R(1), R(1)});
    EXPECT_THAT(TakeError(), HasSubstr("d3d_model_block argument 1 incorrect type (array)"));

    const size_t before = Commands(model).size();
    Run("d3d_model_vertex_colour", {R(model), R(1), R(2), R(3)});
    EXPECT_THAT(TakeError(), HasSubstr("4 arguments given, 6 needed"));
    Run("d3d_model_wall", {R(model), R(0), R(0)});
    EXPECT_THAT(TakeError(), HasSubstr("3 arguments given, 9 needed"));
    EXPECT_EQ(Commands(model).size(), before) << "short calls add nothing";
}

TEST_F(D3DModelFunctions, DrawTakesTheModelsPositionAndTexture)
{
    GpuTestFrame frame(64, 64);
    ASSERT_TRUE(frame.ok);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float projection[16] = {1.0f / 8, 0, 0, 0, 0, 1.0f / 8, 0, 0, 0, 0, 1.0f / 200, 0, 0, 0, 0, 1};
    GR_D3D_SetMatrix(MATRIX_WORLD, identity);
    GR_D3D_SetMatrix(MATRIX_VIEW, identity);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
    GR_3D_SetMode(true);
    DrawColour = 0xFF0000FFu;
    GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);

    const int model = static_cast<int>(Num("d3d_model_create"));
    Run("d3d_model_block", Args(model, {-1, -1, 10, 1, 1, 20, 1, 1}));
    Run("d3d_model_draw", {R(model), R(4), R(-4), R(0), R(-1)});
    EXPECT_TRUE(Near(frame.Pixel(48, 48), Rgba(255, 0, 0, 255), 2)) << "moved right and down";
    EXPECT_EQ(frame.Pixel(32, 32), Rgba(0, 0, 0, 255));
    // A texture number beyond the int range names none: drawn untextured in a batch of its own.
    Run("d3d_model_draw", {R(model), R(-4), R(4), R(0), R(1e12)});
    EXPECT_TRUE(Near(frame.Pixel(16, 16), Rgba(255, 0, 0, 255), 2));
    EXPECT_EQ(Model_BatchCount(model), 2);
    EXPECT_EQ(TakeError(), "");
    Model_FreeAll();
    GR_3D_SetMode(false);
    DrawColour = 0xFF000000u;
}

TEST(D3DModelRegistration, OnlyLegacyGamesHaveTheNames)
{
    CodeFunction_FreeAll();
    LayerMode = true;
    InitD3DModelFunctions();
    int32_t index;
    EXPECT_FALSE(CodeFunction_Find("d3d_model_create", &index));
    LayerMode = false;
    InitD3DModelFunctions();
    EXPECT_TRUE(CodeFunction_Find("d3d_model_create", &index));
    EXPECT_TRUE(CodeFunction_Find("d3d_model_vertex_normal_texture_color", &index));
    CodeFunction_FreeAll();
}

}  // namespace

// The legacy d3d_ drawing built-ins through the built-in table: the vertices
// they build, the shapes they draw, and arguments of the wrong kind.
#include "Function/Function_D3DDraw.h"

#include <vector>

#include "Function/BuiltinCallFixture.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_D3DPrim.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"

namespace {

struct D3DDrawFunctions : BuiltinCallFixture {
    std::vector<std::vector<D3DVertex>> runs;
    std::vector<int> kinds;
    D3DPrimRecorder recorder{this, [](void* target, int kind, const D3DVertex* v, int n) {
                                 auto* self = static_cast<D3DDrawFunctions*>(target);
                                 self->runs.emplace_back(v, v + n);
                                 self->kinds.push_back(kind);
                             }};

    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        LayerMode = false;
        InitD3DDrawFunctions();
        D3DPrim_SetRecorder(&recorder);
        DrawColour = 0xFF00FF00u;
    }
    void TearDown() override
    {
        D3DPrim_SetRecorder(nullptr);
        DrawColour = 0xFF000000u;
        BuiltinCallFixture::TearDown();
    }
};

TEST_F(D3DDrawFunctions, VertexBuiltinsPassTheirArgumentsInOrder)
{
    struct Case {
        const char* name;
        std::vector<double> args;
        D3DVertex expected;
    };
    const Case cases[] = {
        {"d3d_vertex", {1, 2, 3}, {1, 2, 3, 0, 0, 0, 0xFF00FF00u, 0, 0}},
        {"d3d_vertex_colour", {1, 2, 3, 0x0000FF, 0.5}, {1, 2, 3, 0, 0, 0, 0x7F0000FFu, 0, 0}},
        {"d3d_vertex_color", {1, 2, 3, 0x0000FF, 0.5}, {1, 2, 3, 0, 0, 0, 0x7F0000FFu, 0, 0}},
        {"d3d_vertex_texture", {1, 2, 3, 0.25, 0.75}, {1, 2, 3, 0, 0, 0, 0xFF00FF00u, 0.25f, 0.75f}},
        {"d3d_vertex_texture_colour", {1, 2, 3, 0.25, 0.75, 0x102030, 1},
         {1, 2, 3, 0, 0, 0, 0xFF102031u, 0.25f, 0.75f}},
        {"d3d_vertex_texture_color", {1, 2, 3, 0.25, 0.75, 0x102030, 1}, {1, 2, 3, 0, 0, 0, 0xFF102031u, 0.25f, 0.75f}},
        {"d3d_vertex_normal", {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6, 0xFF00FF00u, 0, 0}},
        {"d3d_vertex_normal_colour", {1, 2, 3, 4, 5, 6, 0x0000FF, 0}, {1, 2, 3, 4, 5, 6, 0x000000FFu, 0, 0}},
        {"d3d_vertex_normal_color", {1, 2, 3, 4, 5, 6, 0x0000FF, 0}, {1, 2, 3, 4, 5, 6, 0x000000FFu, 0, 0}},
        {"d3d_vertex_normal_texture", {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 0xFF00FF00u, 7, 8}},
        {"d3d_vertex_normal_texture_colour", {1, 2, 3, 4, 5, 6, 7, 8, 0xFFFFFF, 1},
         {1, 2, 3, 4, 5, 6, 0xFFFFFFFFu, 7, 8}},
        {"d3d_vertex_normal_texture_color", {1, 2, 3, 4, 5, 6, 7, 8, 0xFFFFFF, 1},
         {1, 2, 3, 4, 5, 6, 0xFFFFFFFFu, 7, 8}},
    };
    for (const Case& c : cases) {
        runs.clear();
        Call("d3d_primitive_begin", {R(PR_POINTLIST)});
        std::vector<ScriptValue> args;
        for (double a : c.args) args.push_back(R(a));
        Call(c.name, args);
        Call("d3d_primitive_end", {});
        ASSERT_EQ(runs.size(), 1u) << c.name;
        ASSERT_EQ(runs[0].size(), 1u) << c.name;
        const D3DVertex& v = runs[0][0];
        const D3DVertex& e = c.expected;
        EXPECT_EQ(v.colour, e.colour) << c.name;
        const float got[8] = {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v};
        const float want[8] = {e.x, e.y, e.z, e.nx, e.ny, e.nz, e.u, e.v};
        for (int k = 0; k < 8; ++k) EXPECT_EQ(got[k], want[k]) << c.name << " field " << k;
        EXPECT_EQ(TakeError(), "") << c.name;
    }
}

TEST_F(D3DDrawFunctions, ShapeBuiltinsDrawTheirShapes)
{
    Call("d3d_primitive_begin_texture", {R(PR_TRIANGLESTRIP), R(-1)});
    for (int i = 0; i < 3; ++i) Call("d3d_vertex", {R(i), R(0), R(0)});
    Call("d3d_primitive_end", {});
    Call("d3d_draw_block", {R(0), R(0), R(0), R(1), R(1), R(1), R(-1), R(2), R(3)});
    Call("d3d_draw_cone", {R(0), R(0), R(0), R(1), R(1), R(1), R(-1), R(1), R(1), R(1), R(2)});
    Call("d3d_draw_cylinder", {R(0), R(0), R(0), R(1), R(1), R(1), R(-1), R(1), R(1), R(0), R(4)});
    Call("d3d_draw_ellipsoid", {R(0), R(0), R(0), R(1), R(1), R(1), R(-1), R(1), R(1), R(6)});
    Call("d3d_draw_wall", {R(0), R(0), R(0), R(1), R(0), R(1), R(-1), R(1), R(1)});
    Call("d3d_draw_floor", {R(0), R(0), R(0), R(1), R(1), R(1), R(-1), R(1), R(1)});
    std::vector<int> sizes;
    for (const auto& r : runs) sizes.push_back(static_cast<int>(r.size()));
    EXPECT_EQ(sizes, (std::vector<int>{3, 36, 8, 5, 10, 14, 14, 14, 4, 4}));
    EXPECT_EQ(kinds.front(), PR_TRIANGLESTRIP);
    EXPECT_EQ(runs[1][2].u, 2.0f) << "the block's repeats";
    EXPECT_EQ(runs[1][2].v, 3.0f);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(D3DDrawFunctions, TooFewArgumentsAreReportedAndDrawNothing)
{
    Call("d3d_primitive_begin", {R(PR_POINTLIST)});
    Call("d3d_vertex_colour", {R(1), R(2), R(3)});
    EXPECT_NE(TakeError().find("3 arguments given, 5 needed"), std::string::npos);
    Call("d3d_draw_block", {R(0), R(0), R(0), R(1), R(1), R(1)});
    EXPECT_NE(TakeError().find("6 arguments given, 9 needed"), std::string::npos);
    Call("d3d_primitive_end", {});
    EXPECT_TRUE(runs.empty());
}

TEST_F(D3DDrawFunctions, ArgumentsOfTheWrongKindAreFatal)
{
    Call("d3d_vertex", {R(1), S("two"), R(3)});
    EXPECT_NE(TakeError().find("d3d_vertex argument 2 incorrect type (string)"), std::string::npos);
    Call("d3d_primitive_begin", {A({4})});
    EXPECT_NE(TakeError().find("d3d_primitive_begin argument 1 incorrect type (array)"), std::string::npos);
    Call("d3d_draw_block", {R(0), R(0), R(0), R(1), R(1), R(1), A({1}), R(1), R(1)});
    EXPECT_NE(TakeError().find("d3d_draw_block argument 7 incorrect type (array)"), std::string::npos);
    Call("d3d_draw_cone", {R(0), R(0), R(0), R(1), R(1), R(1), R(-1), R(1), R(1), S("yes"), R(8)});
    EXPECT_NE(TakeError().find("d3d_draw_cone argument 10 incorrect type (string)"), std::string::npos);
    Call("d3d_vertex_normal_texture_colour", {R(0), R(0), R(0), R(0), R(0), R(1), R(0), R(0), A({255}), R(1)});
    EXPECT_NE(TakeError().find("d3d_vertex_normal_texture_colour argument 9 incorrect type (array)"),
              std::string::npos);
}

TEST(D3DDrawRegistration, OnlyLegacyGamesHaveTheNames)
{
    CodeFunction_FreeAll();
    LayerMode = true;
    InitD3DDrawFunctions();
    int32_t index;
    EXPECT_FALSE(CodeFunction_Find("d3d_draw_block", &index));
    LayerMode = false;
    InitD3DDrawFunctions();
    EXPECT_TRUE(CodeFunction_Find("d3d_draw_block", &index));
    EXPECT_TRUE(CodeFunction_Find("d3d_vertex_normal_texture_color", &index));
    CodeFunction_FreeAll();
}

}  // namespace

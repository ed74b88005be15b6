// The point and rectangle containment built-ins, through the built-in table.
#include "Function/BuiltinCallFixture.h"
#include "Function/Function_Game.h"

namespace {
struct Containment : BuiltinCallFixture {
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitGameFunctions();
    }
    static double Ask(const char* name, std::initializer_list<double> args)
    {
        std::vector<ScriptValue> values;
        for (double a : args) values.push_back(R(a));
        return Num(name, std::move(values));
    }
};

struct Case {
    const char* what;
    const char* name;
    std::initializer_list<double> args;
    double expected;
};

TEST_F(Containment, EdgesCornersAndOverlapsFollowEachShapesRules)
{
    const Case cases[] = {
        {"inside", "point_in_rectangle", {5, 5, 0, 0, 10, 10}, 1},
        {"on the far corner", "point_in_rectangle", {10, 10, 0, 0, 10, 10}, 1},
        {"corners not reordered", "point_in_rectangle", {5, 5, 10, 0, 0, 10}, 0},
        // Triangle (0,0) (10,0) (0,10): the edge from the second to the third vertex is outside.
        {"inside", "point_in_triangle", {2, 2, 0, 0, 10, 0, 0, 10}, 1},
        {"on the first edge", "point_in_triangle", {5, 0, 0, 0, 10, 0, 0, 10}, 1},
        {"on the third edge", "point_in_triangle", {0, 5, 0, 0, 10, 0, 0, 10}, 1},
        {"on the opposite edge", "point_in_triangle", {5, 5, 0, 0, 10, 0, 0, 10}, 0},
        {"the first vertex", "point_in_triangle", {0, 0, 0, 0, 10, 0, 0, 10}, 1},
        {"outside", "point_in_triangle", {-1, 2, 0, 0, 10, 0, 0, 10}, 0},
        {"degenerate", "point_in_triangle", {1, 1, 0, 0, 5, 5, 10, 10}, 0},
        {"on the circle", "point_in_circle", {3, 4, 0, 0, 5}, 1},
        {"outside the circle", "point_in_circle", {3, 4.01, 0, 0, 5}, 0},
        {"negative radius", "point_in_circle", {0, 0, 0, 0, -1}, 0},
        {"itself", "rectangle_in_rectangle", {0, 0, 10, 10, 0, 0, 10, 10}, 1},
        {"inside, corners reversed", "rectangle_in_rectangle", {8, 8, 2, 2, 10, 10, 0, 0}, 1},
        {"sharing an edge", "rectangle_in_rectangle", {10, 0, 20, 10, 0, 0, 10, 10}, 2},
        {"a plus-shaped crossing", "rectangle_in_rectangle", {-5, 4, 15, 6, 4, -5, 6, 15}, 2},
        {"around the other", "rectangle_in_rectangle", {-5, -5, 15, 15, 0, 0, 10, 10}, 2},
        {"apart", "rectangle_in_rectangle", {11, 0, 20, 10, 0, 0, 10, 10}, 0},
        {"all corners inside", "rectangle_in_triangle", {1, 1, 3, 3, 0, 0, 10, 0, 0, 10}, 1},
        {"some corners inside", "rectangle_in_triangle", {4, 4, 8, 8, 0, 0, 10, 0, 0, 10}, 2},
        {"a triangle inside the rectangle", "rectangle_in_triangle", {0, 0, 100, 100, 10, 10, 20, 10, 10, 20}, 0},
        {"all corners within", "rectangle_in_circle", {-1, -1, 1, 1, 0, 0, 5}, 1},
        {"touching at one point", "rectangle_in_circle", {10, -5, 20, 5, 0, 0, 10}, 2},
        {"apart", "rectangle_in_circle", {10.5, -5, 20, 5, 0, 0, 10}, 0},
        {"the circle inside", "rectangle_in_circle", {-100, -100, 100, 100, 0, 0, 10}, 2},
    };
    for (const Case& c : cases) EXPECT_EQ(Ask(c.name, c.args), c.expected) << c.name << ": " << c.what;
}

TEST_F(Containment, ArgumentsAreSinglePrecision)
{
    // 0.1 + 1e-9 is 0.1 in single precision: on the rectangle's edge.
    EXPECT_EQ(Ask("point_in_rectangle", {0.1 + 1e-9, 0, 0, 0, 0.1, 1}), 1.0);
    EXPECT_EQ(Ask("point_in_circle", {1 + 1e-9, 0, 0, 0, 1}), 1.0);
}
}  // namespace

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "Base/Random.h"
#include "MathFunctionFixture.h"

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct NumberCase {
    const char* name;
    std::vector<double> args;
    double expected;
};

std::ostream& operator<<(std::ostream& os, const NumberCase& c)
{
    os << c.name << "(";
    for (double a : c.args) os << a << ",";
    return os << ") = " << c.expected;
}

// Each case gives exactly its result and reports nothing.
void ExpectNumbers(const std::vector<NumberCase>& cases)
{
    for (const NumberCase& c : cases) {
        std::vector<ScriptValue> args;
        for (double a : c.args) args.push_back(MathFunctions::R(a));
        const double got = MathFunctions::Num(c.name, args);
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(got)) << c << ", got " << got;
        } else {
            EXPECT_EQ(got, c.expected) << c;
        }
        EXPECT_EQ(MathFunctions::TakeError(), "") << c;
    }
}
}  // namespace

TEST_F(MathFunctions, RegistersTheGroupInTableOrderWithItsCountsAndFlags)
{
    int32_t first = -1, last = -1;
    ASSERT_TRUE(CodeFunction_Find("is_bool", &first));
    ASSERT_TRUE(CodeFunction_Find("angle_difference", &last));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 115);
    EXPECT_EQ(CodeFunction_Count(), 116);

    struct Expect {
        const char* name;
        int32_t index;
        int32_t count;
        uint8_t flag;
    };
    // The 2-D array built-ins carry the counts their routines read.
    for (const Expect& e : {Expect{"array_get_2D", 19, 3, 0}, Expect{"array_set_2D", 20, 4, 0},
                            Expect{"array_set_2D_post", 22, 4, 0}, Expect{"array_create", 24, -1, 0},
                            Expect{"min3", 67, 3, 0}, Expect{"clamp", 72, 3, 1}, Expect{"lerp", 73, 3, 1},
                            Expect{"string_format", 78, 3, 0}, Expect{"math_set_epsilon", 113, 1, 0}}) {
        int32_t id = -1;
        ASSERT_TRUE(CodeFunction_Find(e.name, &id)) << e.name;
        const char* name = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t count = 0;
        uint8_t flag = 0;
        CodeFunction_GetInfo(id, &name, &routine, &count, &flag);
        EXPECT_EQ(id, e.index) << e.name;
        EXPECT_EQ(count, e.count) << e.name;
        EXPECT_EQ(flag, e.flag) << e.name;
    }

    auto routineOf = [](const char* builtin) {
        int32_t id = -1;
        EXPECT_TRUE(CodeFunction_Find(builtin, &id));
        const char* name = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t count = 0;
        uint8_t flag = 0;
        CodeFunction_GetInfo(id, &name, &routine, &count, &flag);
        return routine;
    };
    EXPECT_EQ(routineOf("randomise"), routineOf("randomize"));
    EXPECT_EQ(routineOf("dot_product_normalized"), routineOf("dot_product_normalised"));
    EXPECT_EQ(routineOf("max3"), routineOf("max"));
}

TEST_F(MathFunctions, RoundingAndElementaryFunctions)
{
    ExpectNumbers({NumberCase{"round", {2.5}, 2}, NumberCase{"round", {3.5}, 4}, NumberCase{"round", {-2.5}, -2},
                      NumberCase{"round", {-0.5}, 0}, NumberCase{"round", {3e9}, 0}, NumberCase{"round", {-3e9}, 0},
                      NumberCase{"round", {kNaN}, 0}, NumberCase{"round", {2147483647.4}, 2147483647},
                      NumberCase{"floor", {3e9 + 0.5}, 3e9}, NumberCase{"ceil", {-1.5}, -1},
                      NumberCase{"sign", {-0.0}, 0}, NumberCase{"sign", {kNaN}, -1}, NumberCase{"sign", {-7}, -1},
                      NumberCase{"frac", {-2.25}, -0.25}, NumberCase{"abs", {-3}, 3}, NumberCase{"sqr", {-3}, 9},
                      NumberCase{"log2", {8}, 3}, NumberCase{"logn", {2, 1024}, 10}, NumberCase{"power", {2, -1}, 0.5},
                      NumberCase{"ln", {0}, -INFINITY}, NumberCase{"sqrt", {2.25}, 1.5}});
}

TEST_F(MathFunctions, TrigonometrySnapsInSinglePrecision)
{
    ExpectNumbers({NumberCase{"sin", {3.1415927}, 0}, NumberCase{"cos", {1.5707964}, 0},
                      NumberCase{"dsin", {180}, 0}, NumberCase{"dcos", {90}, 0}, NumberCase{"sin", {0.000001}, 0},
                      NumberCase{"darctan", {0.0000001}, 0},
                      NumberCase{"sin", {0.5}, static_cast<float>(std::sin(static_cast<double>(0.5f)))},
                      NumberCase{"dsin", {30}, 0.5f}, NumberCase{"arccos", {1.00000001}, 0},
                      NumberCase{"darccos", {-1}, 180}, NumberCase{"darctan2", {-1, -1}, -135},
                      NumberCase{"arctan2", {1, 0}, 1.5707963705062866}, NumberCase{"sin", {kNaN}, kNaN},
                      NumberCase{"degtorad", {180}, 3.1415927410125732},
                      NumberCase{"radtodeg", {3.1415927410125732}, 180}});
}

TEST_F(MathFunctions, GeometryInSinglePrecision)
{
    ExpectNumbers({NumberCase{"lengthdir_x", {10, 60}, 4.9999995f}, NumberCase{"lengthdir_x", {10, 90}, 0},
                      NumberCase{"lengthdir_y", {10, 90}, -10}, NumberCase{"lengthdir_y", {10, 0}, 0},
                      NumberCase{"lengthdir_x", {3.00001, 0}, 3}, NumberCase{"lengthdir_x", {2.99999, 0}, 2.99999f},
                      NumberCase{"lengthdir_x", {-3.00004, 0}, -3},
                      NumberCase{"point_direction", {0, 0, 0, 10}, 270}, NumberCase{"point_direction", {0, 0, 0, -10}, 90},
                      NumberCase{"point_direction", {0, 0, 0, 0}, 0}, NumberCase{"point_direction", {0, 0, -1, 0}, 180},
                      NumberCase{"point_direction", {0, 0, 1, 1}, 315}, NumberCase{"point_direction", {5, 5, 6, 5}, 0},
                      NumberCase{"angle_difference", {10, 350}, 20}, NumberCase{"angle_difference", {350, 10}, -20},
                      NumberCase{"angle_difference", {0, 180}, -180}, NumberCase{"angle_difference", {180, 0}, -180},
                      NumberCase{"angle_difference", {-720, 45}, -45},
                      NumberCase{"point_distance", {1, 1, 4, 5}, 5}, NumberCase{"point_distance_3d", {0, 0, 0, 2, 3, 6}, 7},
                      NumberCase{"dot_product", {1, 2, 3, 4}, 11}, NumberCase{"dot_product_3d", {1, 2, 3, 4, 5, 6}, 32},
                      NumberCase{"dot_product_normalised", {2, 0, 0, 5}, 0},
                      NumberCase{"dot_product_normalized", {3, 0, -7, 0}, -1},
                      NumberCase{"dot_product_3d_normalised", {0, 0, 2, 0, 0, 9}, 1},
                      NumberCase{"dot_product_normalised", {0, 0, 1, 1}, kNaN}});
}

TEST_F(MathFunctions, AggregatesClampAndLerp)
{
    ExpectNumbers({NumberCase{"median", {1, 2, 3, 4}, 3}, NumberCase{"median", {}, 0},
                      NumberCase{"median", {kNaN, 5, 1}, 5}, NumberCase{"median", {9, -1, 4}, 4},
                      NumberCase{"mean", {1, 2, 6}, 3}, NumberCase{"mean", {}, 0}, NumberCase{"min", {}, 0},
                      NumberCase{"max", {3, 9, -2}, 9}, NumberCase{"min3", {3, 9, -2}, -2},
                      NumberCase{"clamp", {5, 0, 3}, 3}, NumberCase{"clamp", {-5, 0, 3}, 0},
                      NumberCase{"clamp", {1, 4, 2}, 2}, NumberCase{"lerp", {10, 20, 1.5}, 25}});
}

TEST_F(MathFunctions, RangeErrorsReportAndGiveZero)
{
    struct Case {
        const char* name;
        double arg;
        const char* message;
    };
    for (const Case& c : {Case{"sqrt", -1, "Cannot apply sqrt to negative number."},
                          Case{"arcsin", 2, "Error in function arcsin()."},
                          Case{"arccos", 1.0000001, "Error in function arccos()."},
                          Case{"darcsin", -1.5, "Error in function arcsin()."},
                          Case{"darccos", kNaN, "Error in function arccos()."}}) {
        EXPECT_EQ(Num(c.name, {R(c.arg)}), 0) << c.name;
        const std::string report = TakeError();
        EXPECT_NE(report.find(c.message), std::string::npos) << c.name << ": " << report;
        EXPECT_EQ(report.find("FATAL"), std::string::npos) << c.name;
    }
}

TEST_F(MathFunctions, MinMaxAndChooseReturnTheArgumentItself)
{
    ScriptValue m = Call("max", {S("10"), R(5)});
    ASSERT_EQ(m.Kind(), VALUE_STRING);
    EXPECT_STREQ(ScriptValue_StringText(&m), "10");
    ScriptValue_SetUndefined(&m);

    m = Call("min", {I32(2), R(2.0)});
    EXPECT_EQ(m.Kind(), VALUE_INT32);  // a tie keeps the earliest
    EXPECT_EQ(m.i32, 2);

    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) seen.insert(Str("choose", {S("a"), S("b"), S("c")}));
    EXPECT_EQ(seen, (std::set<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Num("choose", {}), 0);
}

TEST_F(MathFunctions, SeededRandomRepeatsAndKeepsTheSeedUnsigned)
{
    Num("random_set_seed", {R(1234)});
    EXPECT_EQ(Num("random_get_seed", {}), 1234);
    std::vector<double> first;
    for (int i = 0; i < 5; ++i) first.push_back(Num("random", {R(100)}));
    Num("random_set_seed", {R(1234)});
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Num("random", {R(100)}), first[i]);

    Num("random_set_seed", {R(-1)});
    EXPECT_EQ(Num("random_get_seed", {}), 4294967295.0);

    const double seed = Num("randomize", {});
    EXPECT_GE(seed, 0);
    EXPECT_EQ(Num("random_get_seed", {}), seed);
}

TEST_F(MathFunctions, IntegerRandomDrawsSixtyThreeBitsFromTwoOutputs)
{
    Random_Seed(77);
    const uint64_t lo = Random_Next();
    const uint64_t hi = Random_Next() & 0x7fffffff;
    const uint64_t r = hi << 32 | lo;
    Random_Seed(77);
    EXPECT_EQ(Num("irandom", {R(1000)}), static_cast<double>(r % 1001));
    Random_Seed(77);
    EXPECT_EQ(Num("irandom", {R(-1000)}), -static_cast<double>(r % 1001));
    Random_Seed(77);
    EXPECT_EQ(Num("irandom_range", {R(-5), R(5)}), -5.0 + static_cast<double>(r % 11));
}

TEST_F(MathFunctions, IntegerRandomStaysInRangeUpToTheSixtyFourBitLimits)
{
    Random_Seed(5);
    std::set<double> small, negative, truncated;
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(Num("irandom", {R(0)}), 0);
        EXPECT_EQ(Num("irandom_range", {R(5), R(5)}), 5);
        small.insert(Num("irandom_range", {R(3), R(1)}));
        negative.insert(Num("irandom", {R(-3)}));
        truncated.insert(Num("irandom", {R(2.9)}));
    }
    EXPECT_EQ(small, (std::set<double>{1, 2, 3}));
    EXPECT_EQ(negative, (std::set<double>{-3, -2, -1, 0}));
    EXPECT_EQ(truncated, (std::set<double>{0, 1, 2}));

    // Spans of 2^63 and 2^64 values neither overflow nor divide by zero, and
    // the full span reaches both halves.
    constexpr int64_t kMin = INT64_MIN, kMax = INT64_MAX;
    bool below = false, above = false;
    for (int i = 0; i < 100; ++i) {
        const double up = Num("irandom", {I64(kMax)});
        EXPECT_GE(up, 0);
        EXPECT_LE(up, 9223372036854775807.0);
        const double down = Num("irandom", {I64(kMin)});
        EXPECT_LE(down, 0);
        EXPECT_GE(down, -9223372036854775808.0);
        const double full = Num("irandom_range", {I64(kMax), I64(kMin)});
        EXPECT_GE(full, -9223372036854775808.0);
        EXPECT_LE(full, 9223372036854775807.0);
        below = below || full < 0;
        above = above || full > 0;
    }
    EXPECT_TRUE(below && above);
    EXPECT_EQ(Random_IntBetween(kMax, kMax), kMax);
    EXPECT_EQ(Random_IntBetween(kMin, kMin), kMin);
    EXPECT_LE(Random_IntUpTo(kMin), 0);
}

TEST_F(MathFunctions, RandomRangeCoversTheSpanBetweenEitherOrder)
{
    Random_Seed(9);
    for (int i = 0; i < 200; ++i) {
        const double v = Num("random_range", {R(5), R(2)});
        EXPECT_GE(v, 2);
        EXPECT_LT(v, 5);
        const double w = Num("random", {R(-4)});
        EXPECT_LE(w, 0);
        EXPECT_GT(w, -4);
    }
}

TEST_F(MathFunctions, EpsilonAcceptsOnlyZeroToBelowOne)
{
    struct Case {
        double set;
        double expected;
    };
    MathEpsilon = 1e-10;
    for (const Case& c : {Case{0.5, 0.5}, Case{1, 0.5}, Case{-0.1, 0.5}, Case{kNaN, 0.5}, Case{0, 1e-11},
                          Case{0.999, 0.999}}) {
        ScriptValue result = Call("math_set_epsilon", {R(c.set)});
        EXPECT_EQ(result.Kind(), VALUE_UNDEFINED);
        EXPECT_EQ(MathEpsilon, c.expected) << c.set;
        EXPECT_EQ(Num("math_get_epsilon", {}), c.expected);
    }
}

TEST_F(MathFunctions, FloatArgumentsRejectStringsWhereRealArgumentsConvertThem)
{
    EXPECT_EQ(Num("abs", {S("-4")}), 4);
    EXPECT_EQ(TakeError(), "");
    Num("sin", {S("1")});
    EXPECT_NE(TakeError().find("sin argument 1 incorrect type (string) expecting a Number"), std::string::npos);
}

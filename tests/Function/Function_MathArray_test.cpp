#include <string>
#include <vector>

#include "Code/Code_ValueConvert.h"
#include "MathFunctionFixture.h"

namespace {
struct MathArrays : MathFunctions {
    ScriptValue a = ScriptValue_Undefined();

    void TearDown() override
    {
        ScriptValue_SetUndefined(&a);
        MathFunctions::TearDown();
    }
    // A new array of reals in row 0.
    static ScriptValue Array(std::vector<double> values)
    {
        ScriptValue v = Call("array_create", {R(0)});
        for (size_t i = 0; i < values.size(); ++i) Call("array_set", {Ref(v), R(static_cast<double>(i)), R(values[i])});
        return v;
    }
    // Row 0 as reals (a string element reads as -1).
    static std::vector<double> Row0(const ScriptValue& v)
    {
        std::vector<double> out;
        if (v.Kind() != VALUE_ARRAY || !v.arr || v.arr->rowCount == 0) return out;
        for (int32_t i = 0; i < v.arr->rows[0].length; ++i) {
            const ScriptValue& e = v.arr->rows[0].elements[i];
            out.push_back(e.Kind() == VALUE_REAL ? e.real : -1);
        }
        return out;
    }
};

ScriptValue Kinded(uint32_t kind, int64_t payload = 0)
{
    ScriptValue v = ScriptValue_Undefined();
    v.i64 = payload;
    v.kind = kind;
    return v;
}
}  // namespace

TEST_F(MathArrays, CreateFillsRowZeroAndSpillsIntoFurtherRows)
{
    a = Call("array_create", {R(3)});
    EXPECT_EQ(Row0(a), (std::vector<double>{0, 0, 0}));
    ScriptValue_SetUndefined(&a);

    a = Call("array_create", {R(3), S("a")});
    ASSERT_EQ(a.arr->rows[0].length, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(a.arr->rows[0].elements[i].str, a.arr->rows[0].elements[0].str);
    EXPECT_EQ(a.arr->rows[0].elements[0].str->count, 3);
    ScriptValue_SetUndefined(&a);

    for (double size : {0.0, -2.0}) {
        a = Call("array_create", {R(size)});
        ASSERT_EQ(a.Kind(), VALUE_ARRAY);
        EXPECT_EQ(Num("array_length_1d", {Ref(a)}), 0);
        ScriptValue_SetUndefined(&a);
    }

    a = Call("array_create", {R(32001)});
    EXPECT_EQ(Num("array_height_2d", {Ref(a)}), 2);
    EXPECT_EQ(Num("array_length_2d", {Ref(a), R(0)}), 0);
    EXPECT_EQ(Num("array_length_2d", {Ref(a), R(1)}), 1);
}

TEST_F(MathArrays, MeasuresGiveZeroOutsideAndForNonArrays)
{
    a = Array({1, 2});
    struct Case {
        const char* name;
        std::vector<ScriptValue> args;
        double expected;
    };
    for (Case& c : std::vector<Case>{{"array_length_2d", {Ref(a), R(-1)}, 0},
                                     {"array_length_2d", {Ref(a), R(1)}, 0},
                                     {"array_length_2d", {Ref(a), R(0)}, 2},
                                     {"array_length_2d", {R(5), R(0)}, 0},
                                     {"array_length_1d", {S("ab")}, 0},
                                     {"array_height_2d", {R(1)}, 0},
                                     {"array_height_2d", {Ref(a), R(0)}, 0},
                                     {"array_height_2d", {Ref(a)}, 1}}) {
        EXPECT_EQ(Num(c.name, c.args), c.expected) << c.name;
    }
}

TEST_F(MathArrays, SettersGrowTheCallersArrayAndReturnTheirValues)
{
    a = Array({1, 2});
    ScriptValue shared = Ref(a);
    Call("array_set", {Ref(a), R(5), R(9)});
    EXPECT_EQ(Row0(shared), (std::vector<double>{1, 2, 0, 0, 0, 9}));  // same record, changed in place

    Call("array_set", {Ref(a), R(32000), R(4)});
    EXPECT_EQ(Num("array_height_2d", {Ref(a)}), 2);
    EXPECT_EQ(Num("array_length_2d", {Ref(a), R(1)}), 1);

    EXPECT_EQ(Num("array_set_post", {Ref(a), R(0), R(7)}), 1);
    EXPECT_EQ(Num("array_set_pre", {Ref(a), R(0), R(8)}), 8);
    EXPECT_EQ(Num("array_set_post", {Ref(a), R(40), R(3)}), 0);  // nothing there before
    EXPECT_EQ(Num("array_set_2D_post", {Ref(a), R(1), R(0), R(6)}), 4);
    EXPECT_EQ(Num("array_set_2D_pre", {Ref(a), R(2), R(3), R(5)}), 5);
    EXPECT_EQ(Num("array_get_2D", {Ref(a), R(2), R(3)}), 5);
    EXPECT_EQ(Num("array_get_2D", {Ref(a), R(1), R(0)}), 6);

    // Negative positions and positions beyond one 32-bit index store nothing.
    const double height = Num("array_height_2d", {Ref(a)});
    Call("array_set", {Ref(a), R(-1), R(1)});
    Call("array_set_2D", {Ref(a), R(-1), R(0), R(1)});
    Call("array_set_2D", {Ref(a), R(2147483647), R(0), R(1)});
    EXPECT_EQ(Num("array_height_2d", {Ref(a)}), height);
    EXPECT_EQ(TakeError(), "");
    ScriptValue_SetUndefined(&shared);
}

TEST_F(MathArrays, ReadingOutsideTheArray)
{
    a = Array({1, 2, 3});
    EXPECT_EQ(Num("array_get", {Ref(a), R(2)}), 3);
    EXPECT_EQ(Num("array_get_2D", {Ref(a), R(0), R(99)}), 0);
    EXPECT_EQ(Num("array_get_2D", {Ref(a), R(-3), R(0)}), 0);
    EXPECT_EQ(TakeError(), "");

    struct Case {
        double index;
        const char* message;
    };
    for (const Case& c : {Case{5, "array_get :: Index [0,5] out of range [1,3]"},
                          Case{-1, "array_get :: Index [0,-1] out of range [1,3]"},
                          Case{64000, "array_get :: Index [2,0] out of range [1,-1]"}}) {
        Call("array_get", {Ref(a), R(c.index)});
        EXPECT_NE(TakeError().find(c.message), std::string::npos) << c.message;
    }

    EXPECT_EQ(Call("array_get", {R(1), R(0)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Call("array_get_2D", {Ref(a), R(0)}).Kind(), VALUE_UNDEFINED);  // one argument short
    EXPECT_EQ(Call("array_get_2D", {S("x"), R(0), R(0)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(MathArrays, MisusedSettersAreFatalWithTheirMessages)
{
    a = Array({1});
    struct Case {
        const char* name;
        std::vector<ScriptValue> args;
        const char* message;
    };
    std::vector<Case> cases;
    cases.push_back({"array_set", {Ref(a), R(0)}, "array_set :: takes 3 arguments"});
    cases.push_back({"array_set", {R(1), R(0)}, "array_set :: argument 0 is not an array"});
    cases.push_back({"array_set_pre", {S("s"), R(0), R(1)}, "array_set :: argument 0 is not an array"});
    cases.push_back({"array_set", {}, "array_set :: argument 0 is not an array"});
    cases.push_back({"array_set_2D", {Ref(a), R(0), R(0)}, "array_set_2d :: takes 4 arguments"});
    cases.push_back({"array_set_2D_post", {R(0), R(0), R(0), R(0)}, "array_set_2d :: argument 0 is not an array"});
    cases.push_back({"array_set_post", {R(0), R(0), R(0)}, "trying to index a variable which is not an array"});
    cases.push_back({"array_equals", {Ref(a)}, "array_equals :: takes 2 arguments"});
    cases.push_back({"array_equals", {Ref(a), R(1)}, "array_equals :: argument 1 is not an array"});
    cases.push_back({"array_equals", {R(1), Ref(a)}, "array_equals :: argument 0 is not an array"});
    cases.push_back({"array_copy", {Ref(a), R(0), Ref(a), R(0)}, "array_copy :: takes 5 arguments"});
    cases.push_back({"array_copy", {Ref(a), R(0), R(1), R(0), R(1)}, "array_copy :: argument 2 is not an array"});
    cases.push_back({"array_copy", {R(1), R(0), Ref(a), R(0), R(1)}, "array_copy :: argument 0 is not an array"});
    ScriptValue noRecord = Kinded(VALUE_ARRAY);
    cases.push_back({"array_set", {noRecord, R(0), R(1)}, "array_set :: takes 3 arguments"});
    for (Case& c : cases) {
        Call(c.name, c.args);
        const std::string report = TakeError();
        EXPECT_NE(report.find(c.message), std::string::npos) << c.name << ": " << report;
        EXPECT_NE(report.find("FATAL"), std::string::npos) << c.name;
    }
    EXPECT_EQ(Row0(a), (std::vector<double>{1}));
}

TEST_F(MathArrays, EqualsComparesShapeThenElementsWithTheTolerance)
{
    struct Case {
        std::vector<double> x, y;
        bool equal;
    };
    for (const Case& c : {Case{{1, 2}, {1, 2.00000000001}, true}, Case{{1}, {1, 2}, false},
                          Case{{1, 2}, {1, 2.001}, false}, Case{{}, {}, true}}) {
        ScriptValue result = Call("array_equals", {Array(c.x), Array(c.y)});
        ASSERT_EQ(result.Kind(), VALUE_BOOL);
        EXPECT_EQ(result.real, c.equal ? 1.0 : 0.0);
        EXPECT_EQ(Num("is_bool", {result}), 1);
    }

    ScriptValue x = Call("array_create", {R(1), S("a")});
    ScriptValue y = Call("array_create", {R(1), S("a")});
    ScriptValue result = Call("array_equals", {Ref(x), Ref(y)});
    EXPECT_EQ(result.real, 1.0);
    Call("array_set", {Ref(y), R(0), I32(3)});
    Call("array_set", {Ref(x), R(0), R(3)});
    EXPECT_EQ(Call("array_equals", {Ref(x), Ref(y)}).real, 1.0);  // a real 3 equals an int32 3

    MathEpsilon = 0.01;
    EXPECT_EQ(Call("array_equals", {Array({1, 2}), Array({1, 2.001})}).real, 1.0);
    ScriptValue_SetUndefined(&x);
    ScriptValue_SetUndefined(&y);
}

TEST_F(MathArrays, CopyWithinOneArrayMovesEitherWay)
{
    struct Case {
        std::vector<double> start;
        double d, s, n;
        std::vector<double> expected;
    };
    for (const Case& c : {Case{{1, 2, 3}, 1, 0, 3, {1, 1, 2, 3}},
                          Case{{1, 2, 3, 4}, 0, 1, 3, {2, 3, 4, 4}},  // destination before the source
                          Case{{1, 2, 3, 4, 5}, 0, 2, 3, {3, 4, 5, 4, 5}},
                          Case{{1, 2}, 0, 0, 0, {1, 2}}, Case{{1, 2}, 0, 1, -4, {1, 2}}}) {
        ScriptValue v = Array(c.start);
        Call("array_copy", {Ref(v), R(c.d), Ref(v), R(c.s), R(c.n)});
        EXPECT_EQ(Row0(v), c.expected) << c.d << " " << c.s << " " << c.n;
        ScriptValue_SetUndefined(&v);
    }
}

TEST_F(MathArrays, CopyBetweenArraysGrowsTheDestinationAndSkipsMissingSources)
{
    a = Array({1});
    ScriptValue source = Array({7, 8, 9});
    Call("array_copy", {Ref(a), R(2), Ref(source), R(1), R(5)});  // source elements 3..5 do not exist
    EXPECT_EQ(Row0(a), (std::vector<double>{1, 0, 8, 9}));

    // A huge count or far-off indexes stop at the source's end, not after 2^31 steps.
    Call("array_copy", {Ref(a), R(2147483000), Ref(source), R(-2147483647), R(2147483647)});
    Call("array_copy", {Ref(a), R(-5), Ref(source), R(0), R(3)});
    EXPECT_EQ(Row0(a), (std::vector<double>{1, 0, 8, 9}));
    EXPECT_EQ(Row0(source), (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(TakeError(), "");
    ScriptValue_SetUndefined(&source);
}

TEST_F(MathFunctions, KindTestsReadTheWholeKindWord)
{
    const uint32_t kinds[] = {VALUE_REAL, VALUE_STRING, VALUE_ARRAY, VALUE_PTR, VALUE_VEC3, VALUE_UNDEFINED,
                              VALUE_INT32, VALUE_VEC4, VALUE_VEC44, VALUE_INT64, VALUE_BOOL};
    const char* tests[] = {"is_real", "is_string", "is_array", "is_ptr", "is_vec3", "is_undefined",
                           "is_int32", "is_vec4", "is_matrix", "is_int64", "is_bool"};
    for (uint32_t kind : kinds) {
        for (size_t t = 0; t < std::size(tests); ++t) {
            ScriptValue v = ScriptValue_Undefined();
            v.kind = kind;
            v.i64 = 0;
            EXPECT_EQ(Num(tests[t], {v}), kinds[t] == kind ? 1 : 0) << tests[t] << " of kind " << kind;
        }
    }
    ScriptValue marked = R(4);
    marked.kind |= KIND_NESTED_LIST;
    EXPECT_EQ(Num("is_real", {marked}), 0);
    EXPECT_EQ(Str("typeof", {marked}), "number");

    struct Name {
        uint32_t kind;
        const char* name;
    };
    for (const Name& n : {Name{VALUE_INT64, "int64"}, Name{VALUE_VEC44, "vec44"}, Name{VALUE_NULL, "null"},
                          Name{VALUE_ITERATOR, "iterator"}, Name{VALUE_BOOL, "bool"}, Name{99, "unknown"}}) {
        ScriptValue v = ScriptValue_Undefined();
        v.kind = n.kind;
        EXPECT_EQ(Str("typeof", {v}), n.name);
    }
}

TEST_F(MathFunctions, ConversionsOfEveryKind)
{
    EXPECT_EQ(Num("real", {S("3.5abc")}), 3.5);
    EXPECT_EQ(Num("real", {S("")}), 0);
    EXPECT_EQ(Num("real", {I64(-9)}), -9);
    EXPECT_EQ(Num("real", {ScriptValue_Undefined()}), 0);
    ScriptValue nested = Call("array_create", {R(1), S("7.25")});
    EXPECT_EQ(Num("real", {Ref(nested)}), 7.25);
    ScriptValue_SetUndefined(&nested);
    ScriptValue empty = Call("array_create", {R(0)});
    EXPECT_EQ(Num("real", {Ref(empty)}), 0);
    EXPECT_EQ(empty.arr->rowCount, 0);  // read, not created
    ScriptValue_SetUndefined(&empty);

    struct IntCase {
        ScriptValue arg;
        int64_t expected;
    };
    for (IntCase c : {IntCase{S("12.9"), 12}, IntCase{R(-7.9), -7}, IntCase{I32(-3), -3},
                      IntCase{S("9223372036854775807"), INT64_MAX}, IntCase{ScriptValue_Undefined(), 0}}) {
        ScriptValue v = Call("int64", {c.arg});
        EXPECT_EQ(v.Kind(), VALUE_INT64);
        EXPECT_EQ(v.i64, c.expected);
    }
    for (IntCase c : {IntCase{S("ff"), 255}, IntCase{R(4096.7), 4096}, IntCase{I64(0x1234), 0x1234}}) {
        ScriptValue v = Call("ptr", {c.arg});
        EXPECT_EQ(v.Kind(), VALUE_PTR);
        EXPECT_EQ(reinterpret_cast<intptr_t>(v.ptr), c.expected);
    }
    EXPECT_EQ(TakeError(), "");

    struct Fatal {
        const char* name;
        ScriptValue arg;
        const char* message;
    };
    ScriptValue unset = ScriptValue_Undefined();
    unset.kind = VALUE_UNSET;
    ScriptValue pointer = ScriptValue_Undefined();
    pointer.kind = VALUE_PTR;
    for (const Fatal& f : {Fatal{"real", pointer, "REAL argument incorrect type 3"},
                           Fatal{"real", unset, "REAL argument is unset"},
                           Fatal{"int64", unset, "I64 argument is unset"},
                           Fatal{"ptr", unset, "PTR argument is unset"}}) {
        Call(f.name, {f.arg});
        EXPECT_NE(TakeError().find(f.message), std::string::npos) << f.message;
    }
}

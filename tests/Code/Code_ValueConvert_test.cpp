#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "Code/Code_ValueConvert.h"
#include "Base/HeapTextBuilder.h"
#include "ValueTestSupport.h"

namespace {
void Put(ScriptValue* array, int32_t index, double d) { ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(array, index), d); }
}  // namespace

TEST(ValueConvert, NumericConversionsByKind)
{
    struct Case {
        const char* what;
        ScriptValue value;
        double real;
        int32_t i32;
        int64_t i64;
        intptr_t ptr;
    };
    const double big = 1e30;
    const Case cases[] = {
        {"3.9", ScriptValue_Real(3.9), 3.9, 3, 3, 3},
        {"-3.9", ScriptValue_Real(-3.9), -3.9, -3, -3, -3},
        {"bool", MakeValue(VALUE_BOOL, 0x3FF0000000000000), 1.0, 1, 1, 1},
        {"int32", MakeValue(VALUE_INT32, static_cast<uint32_t>(-5)), -5.0, -5, -5, -5},
        {"int64", MakeValue(VALUE_INT64, (int64_t{1} << 40) + 7), 1099511627783.0, 7, (int64_t{1} << 40) + 7,
         static_cast<intptr_t>((int64_t{1} << 40) + 7)},
        {"undefined", ScriptValue_Undefined(), 0.0, 0, 0, 0},
        {"1e30 saturates", ScriptValue_Real(big), big, -1, INT64_MAX, INT64_MAX},
        {"-1e30 saturates", ScriptValue_Real(-big), -big, 0, INT64_MIN, INT64_MIN},
        {"ptr", MakeValue(VALUE_PTR, 0x123456789), 0.0, 0x23456789, 0x123456789, 0x123456789},
    };
    for (const Case& c : cases) {
        ScriptValue v = c.value;
        if (v.Kind() != VALUE_PTR) {
            EXPECT_EQ(ScriptValue_ToReal(&v), c.real) << c.what;
        }
        EXPECT_EQ(ScriptValue_ToInt32(&v), c.i32) << c.what;
        EXPECT_EQ(ScriptValue_ToInt64(&v), c.i64) << c.what;
        EXPECT_EQ(ScriptValue_ToPointer(&v), c.ptr) << c.what;
    }
    ScriptValue nan = ScriptValue_Real(NAN);
    EXPECT_EQ(ScriptValue_ToInt32(&nan), 0);
    EXPECT_EQ(ScriptValue_ToInt64(&nan), 0);
}

TEST(ValueConvert, StringsParseAsTheCLibraryDoes)
{
    struct Case {
        const char* text;
        double real;
        int32_t i32;
        int64_t i64;
        intptr_t ptr;
    };
    const Case cases[] = {
        {"12abc", 12.0, 12, 12, 0x12abc},
        {"abc", 0.0, 0, 0, 0xabc},
        {"ff", 0.0, 0, 0, 255},
        {" -7.5", -7.5, -7, -7, -7},
        {"99999999999", 99999999999.0, INT32_MAX, 99999999999, 0x99999999999},
    };
    for (const Case& c : cases) {
        HeldValue v(c.text);
        EXPECT_EQ(ScriptValue_ToReal(&v.v), c.real) << c.text;
        EXPECT_EQ(ScriptValue_ToInt32(&v.v), c.i32) << c.text;
        EXPECT_EQ(ScriptValue_ToInt64(&v.v), c.i64) << c.text;
        EXPECT_EQ(ScriptValue_ToPointer(&v.v), c.ptr) << c.text;
    }
    HeldValue none;
    ScriptValue_SetString(&none.v, nullptr);
    EXPECT_EQ(ScriptValue_ToReal(&none.v), 0.0);
    EXPECT_EQ(ScriptValue_ToInt32(&none.v), 0);
    EXPECT_EQ(ScriptValue_ToPointer(&none.v), 0);
}

TEST(ValueConvert, ArraysConvertThroughElementZeroCreatingItWhenMissing)
{
    HeldValue empty;
    ScriptValue_ArrayElementForWrite(&empty.v, -1);  // an array with one empty row
    EXPECT_EQ(ScriptValue_ToInt32(&empty.v), 0);
    ASSERT_EQ(empty.v.arr->rowCount, 1);
    ASSERT_EQ(empty.v.arr->rows[0].length, 1);
    EXPECT_EQ(empty.v.arr->rows[0].elements[0].kind, VALUE_REAL);

    HeldValue owner;
    Put(&owner.v, 0, 6.5);
    HeldValue copy;
    copy.v.Assign(owner.v);
    EXPECT_EQ(ScriptValue_ToReal(&copy.v), 6.5);
    EXPECT_NE(copy.v.arr, owner.v.arr);  // the non-owner converted through a clone
}

TEST(ValueConvert, KindErrorsAreFatal)
{
    ScriptValue ptr = MakeValue(VALUE_PTR, 16);
    ScriptValue unset = MakeValue(VALUE_UNSET);
    ScriptValue object = MakeValue(VALUE_OBJECT);
    ScriptValue null = MakeValue(VALUE_NULL);
    EXPECT_FATAL_ERROR(ScriptValue_ToReal(&ptr), "REAL argument incorrect type 3");
    EXPECT_FATAL_ERROR(ScriptValue_ToReal(&unset), "REAL argument is unset");
    EXPECT_FATAL_ERROR(ScriptValue_ToInt32(&unset), "I32 argument is unset");
    EXPECT_FATAL_ERROR(ScriptValue_ToInt32(&object), "I32 argument incorrect type 6");
    EXPECT_FATAL_ERROR(ScriptValue_ToInt64(&null), "I64 argument incorrect type 12");
    EXPECT_FATAL_ERROR(ScriptValue_ToPointer(&unset), "PTR argument is unset");
    EXPECT_FATAL_ERROR(ScriptValue_Hash(&unset), "HASH argument is unset");
    EXPECT_FATAL_ERROR(TextOf(unset), "STRING argument is unset");
}

TEST(ValueConvert, KindNames)
{
    const char* names[] = {"number", "string", "array", "ptr",   "vec3",     "undefined", "object",  "int32",
                           "vec4",   "vec44",  "int64", "accessor", "null", "bool",      "iterator"};
    for (uint32_t k = 0; k < 15; ++k) {
        ScriptValue v = MakeValue(k | KIND_NESTED_LIST);
        EXPECT_STREQ(ScriptValue_KindName(&v), names[k]);
    }
    ScriptValue unset = MakeValue(VALUE_UNSET);
    EXPECT_STREQ(ScriptValue_KindName(&unset), "unknown");
}

TEST(ValueText, TextFormsByKind)
{
    struct Case {
        ScriptValue value;
        const char* text;
    };
    const Case cases[] = {
        {ScriptValue_Real(0.1), "0.10"},
        {ScriptValue_Real(1.0 / 3.0), "0.33"},
        {ScriptValue_Real(-2.0), "-2"},
        {ScriptValue_Real(3.0), "3"},
        {ScriptValue_Real(2.5), "2.50"},
        {ScriptValue_Real(-0.0), "0"},
        {ScriptValue_Real(1e20), "100000000000000000000.00"},
        {ScriptValue_Real(NAN), "NaN"},
        {MakeValue(VALUE_BOOL, 0x3FF0000000000000), "1"},
        {MakeValue(VALUE_BOOL, 0), "0"},
        {MakeValue(VALUE_INT32, static_cast<uint32_t>(-7)), "-7"},
        {MakeValue(VALUE_INT64, int64_t{1} << 40), "1099511627776"},
        {ScriptValue_Undefined(), "undefined"},
        {MakeValue(VALUE_OBJECT, 0), "null"},
        {MakeValue(VALUE_NULL), ""},
        {MakeValue(VALUE_VEC3), ""},
        {MakeValue(VALUE_STRING, 0), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TextOf(c.value), c.text);
    HeldValue s("text");
    EXPECT_EQ(TextOf(s.v), "text");
}

TEST(ValueText, ArraysPrintRowByRowAndCyclesStop)
{
    HeldValue one;
    Put(&one.v, 0, 1);
    Put(&one.v, 1, 2);
    EXPECT_EQ(TextOf(one.v), "{ { 1,2 },  }");

    HeldValue two;
    Put(&two.v, 0, 1);
    Put(&two.v, 32000, 2);
    Put(&two.v, 32001, 3);
    EXPECT_EQ(TextOf(two.v), "{ { 1 }, { 2,3 },  }");

    HeldValue empty;
    ScriptValue_ArrayElementForWrite(&empty.v, ARRAY_INDEX_NONE);
    EXPECT_EQ(TextOf(empty.v), "{  }");

    HeldValue cyclic;
    Put(&cyclic.v, 0, 0);
    ScriptValue_ArrayElementForWrite(&cyclic.v, 0)->Assign(cyclic.v);
    EXPECT_EQ(TextOf(cyclic.v), "{ { {  } },  }");
    // A later, separate conversion prints the array in full again.
    EXPECT_EQ(TextOf(cyclic.v), "{ { {  } },  }");
    ScriptValue_SetUndefined(ScriptValue_ArrayElementForWrite(&cyclic.v, 0));  // break the cycle
}

TEST(ValueText, TextBuilderAppendsTextForms)
{
    HeapTextBuilder builder;
    HeldValue s("x=");
    TextBuilder_AppendValue(&builder, &s.v);
    ScriptValue n = ScriptValue_Real(2.5);
    TextBuilder_AppendValue(&builder, &n);
    HeldValue longText(std::string(300, 'y').c_str());
    TextBuilder_AppendValue(&builder, &longText.v);
    EXPECT_EQ(std::string(builder.data), "x=2.50" + std::string(300, 'y'));
    EXPECT_EQ(builder.length, 306);
    EXPECT_GT(builder.capacity, builder.length);
}

TEST(ValueHash, HashByKind)
{
    HeldValue abc("abc");
    EXPECT_EQ(ScriptValue_Hash(&abc.v), 0xCADBBE3Du);
    ScriptValue number = ScriptValue_Real(-3.7);
    EXPECT_EQ(ScriptValue_Hash(&number), static_cast<uint32_t>(-3));
    ScriptValue boolean = MakeValue(VALUE_BOOL, 0x3FF0000000000000);
    EXPECT_EQ(ScriptValue_Hash(&boolean), 0u);
    ScriptValue i64 = MakeValue(VALUE_INT64, (int64_t{5} << 32) | 9);
    EXPECT_EQ(ScriptValue_Hash(&i64), 9u);
    ScriptValue undefined = ScriptValue_Undefined();
    EXPECT_EQ(ScriptValue_Hash(&undefined), 0u);
    ScriptValue noString = MakeValue(VALUE_STRING, 0);
    EXPECT_EQ(ScriptValue_Hash(&noString), 0u);
}

TEST(ValueCompare, ComparisonByKindPair)
{
    HeldValue a("apple"), b("banana"), a2("apple"), high("\xC3\xA9");
    HeldValue arr, arrCopy, other;
    Put(&arr.v, 0, 1);
    arrCopy.v.Assign(arr.v);
    Put(&other.v, 0, 1);
    ScriptValue noText = MakeValue(VALUE_STRING, 0);
    ScriptValue obj = MakeValue(VALUE_OBJECT, 0x1000);
    struct Case {
        const char* what;
        ScriptValue x, y;
        double tolerance;
        int expected;
    };
    const Case cases[] = {
        {"equal within tolerance", ScriptValue_Real(1.0), ScriptValue_Real(1.05), 0.1, 0},
        {"less", ScriptValue_Real(1.0), ScriptValue_Real(2.0), 0.1, -1},
        {"greater", ScriptValue_Real(3.0), ScriptValue_Real(2.0), 0.1, 1},
        {"NaN", ScriptValue_Real(NAN), ScriptValue_Real(1.0), 0.1, 1},
        {"bool with number", MakeValue(VALUE_BOOL, 0x3FF0000000000000), ScriptValue_Real(1.0), 0, 0},
        {"int32 with number in float", MakeValue(VALUE_INT32, 1), ScriptValue_Real(1.00000001), 1e-10, 0},
        {"number with int32", ScriptValue_Real(0.5), MakeValue(VALUE_INT32, 1), 0.1, -1},
        {"bool with int32 exact", MakeValue(VALUE_BOOL, 0x3FF0000000000000), MakeValue(VALUE_INT32, 2), 5, -1},
        {"number with int64", ScriptValue_Real(3.9), MakeValue(VALUE_INT64, 3), 0, 0},
        {"int64 with number", MakeValue(VALUE_INT64, 2), ScriptValue_Real(3.0), 0, -1},
        {"int32 with int64", MakeValue(VALUE_INT32, static_cast<uint32_t>(-1)), MakeValue(VALUE_INT64, -1), 0, 0},
        {"int64 with int32", MakeValue(VALUE_INT64, 5), MakeValue(VALUE_INT32, 4), 0, 1},
        {"undefined pair", ScriptValue_Undefined(), ScriptValue_Undefined(), 0, 0},
        {"equal strings", a.v, a2.v, 0, 0},
        {"string before", a.v, b.v, 0, -1},
        {"string after", b.v, a.v, 0, 1},
        {"unsigned bytes", high.v, a.v, 0, 1},
        {"string without record", noText, a.v, 0, 1},
        {"same array", arr.v, arrCopy.v, 0, 0},
        {"different arrays", arr.v, other.v, 0, 1},
        {"ptr lower", MakeValue(VALUE_PTR, 0x10), MakeValue(VALUE_PTR, 0x20), 0, 1},
        {"ptr higher", MakeValue(VALUE_PTR, 0x20), MakeValue(VALUE_PTR, 0x10), 0, -1},
        {"same object", obj, obj, 0, 1},
        {"number with string", ScriptValue_Real(3), a.v, 0, -1},
        {"string with number", a.v, ScriptValue_Real(3), 0, 1},
        {"null pair", MakeValue(VALUE_NULL), MakeValue(VALUE_NULL), 0, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(Value_CompareEpsilon(&c.x, &c.y, c.tolerance), c.expected) << c.what;
}

TEST(ValueOperators, AddAssignByKind)
{
    ScriptValue n = ScriptValue_Real(1.5);
    HeldValue two("2");
    n.AddAssign(two.v);
    EXPECT_EQ(n.real, 3.5);

    HeldValue s("ab");
    HeldValue t("cd");
    RefString* old = s.v.str;
    HeldValue keep;
    keep.v.Assign(s.v);
    s.v.AddAssign(t.v);
    EXPECT_STREQ(ScriptValue_StringText(&s.v), "abcd");
    EXPECT_EQ(s.v.str->length, 4);
    EXPECT_EQ(old->count, 1);  // the shared old text is untouched
    EXPECT_STREQ(ScriptValue_StringText(&keep.v), "ab");
    s.v.AddAssign(s.v);
    EXPECT_STREQ(ScriptValue_StringText(&s.v), "abcdabcd");

    ScriptValue i = MakeValue(VALUE_INT32, INT32_MAX);
    ScriptValue one = ScriptValue_Real(1);
    i.AddAssign(one);
    EXPECT_EQ(i.i32, INT32_MIN);
    ScriptValue l = MakeValue(VALUE_INT64, INT64_MAX);
    l.AddAssign(one);
    EXPECT_EQ(l.i64, INT64_MIN);
}

TEST(ValueOperators, AddAssignOfMismatchedKindsIsFatal)
{
    EXPECT_FATAL_ERROR(
        {
            HeldValue s("a");
            ScriptValue three = ScriptValue_Real(3);
            s.v.AddAssign(three);
        },
        "invalid type for \\+= lhs=a \\(type=1\\), rhs=3 \\(type=0\\)");
    EXPECT_FATAL_ERROR(
        {
            ScriptValue u = ScriptValue_Undefined();
            ScriptValue one = ScriptValue_Real(1);
            u.AddAssign(one);
        },
        "invalid type for \\+= lhs=undefined \\(type=5\\), rhs=1 \\(type=0\\)");
}

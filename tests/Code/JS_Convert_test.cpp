#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Code/Code_Value.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
#include "Code/JS_Number.h"
#include "Code/ObjectBase.h"
#include "Code/ValueTestSupport.h"
#include "GameData/GameHeader.h"

namespace {
ScriptValue Text(const char* text)
{
    ScriptValue v = ScriptValue_Undefined();
    ScriptValue_InitString(&v, text);
    return v;
}

ScriptValue Int32(int32_t n)
{
    ScriptValue v = ScriptValue_Undefined();
    v.i64 = 0;
    v.i32 = n;
    v.kind = VALUE_INT32;
    return v;
}

ScriptValue Int64(int64_t n)
{
    ScriptValue v = ScriptValue_Undefined();
    v.i64 = n;
    v.kind = VALUE_INT64;
    return v;
}

ScriptValue ObjectValue(KVObjectBase* object)
{
    ScriptValue v = ScriptValue_Undefined();
    v.obj = object;
    v.kind = VALUE_OBJECT;
    return v;
}

double ToNumber(ScriptValue v)
{
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_EQ(JS_ConvertToNumber(&out, &v), JS_CONVERTED);
    ScriptValue_SetUndefined(&v);
    return out.real;
}

std::string ToText(ScriptValue v, int* status = nullptr)
{
    ScriptValue out = ScriptValue_Undefined();
    const int s = JS_ConvertToString(&out, &v);
    if (status) *status = s;
    const char* text = out.Kind() == VALUE_STRING ? ScriptValue_StringText(&out) : nullptr;
    std::string result = text ? text : "<none>";
    ScriptValue_SetUndefined(&out);
    ScriptValue_SetUndefined(&v);
    return result;
}

// What valueOf and toString routines of the object under test return, and in which order they ran.
std::string s_calls;
void ValueOfSeven(ScriptValue* out, CInstance*, CInstance*, int, ScriptValue*)
{
    s_calls += "valueOf ";
    ScriptValue_SetReal(out, 7);
}
void ToStringText(ScriptValue* out, CInstance*, CInstance*, int, ScriptValue*)
{
    s_calls += "toString ";
    ScriptValue_SetUndefined(out);
    ScriptValue_InitString(out, "text");
}
void ReturnsObject(ScriptValue* out, CInstance* self, CInstance*, int, ScriptValue*)
{
    s_calls += "object ";
    ScriptValue_SetUndefined(out);
    *out = ObjectValue(reinterpret_cast<KVObjectBase*>(self));
}

class JSConvertTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectMode = true;
        s_calls.clear();
    }
    void TearDown() override { GC_Collect(); }

    static KVObjectBase* WithMethods(BuiltinRoutine valueOf, BuiltinRoutine toString, const char* className = nullptr)
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_NewStandardObject(&v, nullptr, nullptr, 0, nullptr);
        if (className) v.obj->AddString("[[Class]]", className, 0);
        v.obj->AddObject("valueOf", JS_NewNativeFunction(valueOf, 0, false), 0);
        v.obj->AddObject("toString", JS_NewNativeFunction(toString, 0, false), 0);
        return v.obj;
    }
};
}  // namespace

TEST_F(JSConvertTest, TextReadsAsANumberOnlyWhenWhiteSpaceSurroundsOneWholeNumber)
{
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {" 12 ", 12},          {"12px", NAN},        {"", 0},
        {"   ", 0},            {"0x1F", 31},         {"0x", NAN},
        {"0xFFFFFFFF", -1},    {"0x1g", NAN},        {"Infinity", INFINITY},
        {"-Infinity", -INFINITY}, {"+Infinity", INFINITY}, {"infinity", NAN},
        {"Infinityx", NAN},    {"+5", 5},            {".5", 0.5},
        {".", NAN},            {"-", NAN},           {"1e3", 1000},
        {"abc", NAN},          {"\t\n 4 \r", 4},     {"\xC2\xA0" "8\xE2\x80\xA8", 8},
        {"\xE3\x80\x80" "9", 9}, {"\xEF\xBB\xBF" "3", 3}, {"\xC2\x85" "3", NAN},
        {"1 2", NAN},
    };
    for (const Case& c : cases) {
        const double got = ToNumber(Text(c.text));
        if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(got)) << c.text;
        else EXPECT_EQ(got, c.expected) << c.text;
    }
}

TEST_F(JSConvertTest, PrimitivesConvertToNumbersByKind)
{
    ScriptValue b = ScriptValue_Real(1);
    b.kind = VALUE_BOOL;
    EXPECT_EQ(ToNumber(b), 1);
    EXPECT_EQ(ToNumber(Int64(-3)), -3);
    ScriptValue null = ScriptValue_Undefined();
    null.kind = VALUE_NULL;
    EXPECT_EQ(ToNumber(null), 0);
    EXPECT_TRUE(std::isnan(ToNumber(ScriptValue_Undefined())));
}

TEST_F(JSConvertTest, Int32AndUint32WrapTheTruncatedNumber)
{
    struct Case {
        double in;
        double int32;
        double uint32;
    } cases[] = {
        {2147483648.0, -2147483648.0, 2147483648.0},
        {4294967295.0, -1, 4294967295.0},
        {-1.5, -1, 4294967295.0},
        {-1, -1, 4294967295.0},
        {NAN, 0, 0},
        {INFINITY, 0, 0},
        {4294967298.7, 2, 2},
        {1e300, 0, 0},
    };
    for (const Case& c : cases) {
        ScriptValue in = ScriptValue_Real(c.in);
        ScriptValue out = ScriptValue_Undefined();
        ASSERT_EQ(JS_ConvertToInt32(&out, &in), JS_CONVERTED);
        EXPECT_EQ(out.real, c.int32) << c.in;
        ASSERT_EQ(JS_ConvertToUint32(&out, &in), JS_CONVERTED);
        EXPECT_EQ(out.real, c.uint32) << c.in;
    }
    const ScriptValue integers[] = {ScriptValue_Real(-1.5), ScriptValue_Real(NAN), ScriptValue_Real(-INFINITY)};
    EXPECT_EQ(JS_ConvertToInteger(&integers[0]), -1.0);
    EXPECT_EQ(JS_ConvertToInteger(&integers[1]), 0.0);
    EXPECT_EQ(JS_ConvertToInteger(&integers[2]), -INFINITY);
}

TEST_F(JSConvertTest, PrimitivesConvertToTheirTexts)
{
    EXPECT_EQ(ToText(ScriptValue_Real(-0.0)), "0");
    EXPECT_EQ(ToText(ScriptValue_Real(NAN)), "NaN");
    EXPECT_EQ(ToText(ScriptValue_Real(-INFINITY)), "-Infinity");
    EXPECT_EQ(ToText(ScriptValue_Real(0.1)), "0.1");
    EXPECT_EQ(ToText(ScriptValue_Real(1e21)), "1e+21");
    EXPECT_EQ(ToText(Int32(-42)), "-42");
    EXPECT_EQ(ToText(Int64(1234567890123LL)), "1234567890123");
    ScriptValue b = ScriptValue_Real(0);
    b.kind = VALUE_BOOL;
    EXPECT_EQ(ToText(b), "false");
    ScriptValue null = ScriptValue_Undefined();
    null.kind = VALUE_NULL;
    EXPECT_EQ(ToText(null), "null");
    EXPECT_EQ(ToText(ScriptValue_Undefined()), "undefined");
}

TEST_F(JSConvertTest, ObjectsConvertThroughValueOfOrToStringInTheOrderTheHintAsks)
{
    KVObjectBase* plain = WithMethods(ValueOfSeven, ToStringText);
    EXPECT_EQ(ToNumber(ObjectValue(plain)), 7);
    EXPECT_EQ(s_calls, "valueOf ");
    s_calls.clear();
    EXPECT_EQ(ToText(ObjectValue(plain)), "text");
    EXPECT_EQ(s_calls, "toString ");

    // Without a hint a Date asks toString first; others valueOf.
    s_calls.clear();
    ScriptValue out = ScriptValue_Undefined();
    ScriptValue date = ObjectValue(WithMethods(ValueOfSeven, ToStringText, "Date"));
    ASSERT_EQ(F_JS_ToPrimitive(&out, &date, -1), JS_CONVERTED);
    EXPECT_EQ(s_calls, "toString ");
    ScriptValue_SetUndefined(&out);

    // A method returning an object is passed over for the other.
    s_calls.clear();
    EXPECT_TRUE(std::isnan(ToNumber(ObjectValue(WithMethods(ReturnsObject, ToStringText)))));
    EXPECT_EQ(s_calls, "object toString ");
}

TEST_F(JSConvertTest, AnObjectWithoutAPrimitiveFailsWithStatusOne)
{
    ScriptValue object = ObjectValue(WithMethods(ReturnsObject, ReturnsObject));
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_EQ(F_JS_ToPrimitive(&out, &object, 0), JS_FAILED);
    EXPECT_EQ(s_calls, "object object ");
    int status = -1;
    ToText(object, &status);
    EXPECT_EQ(status, JS_FAILED);
    EXPECT_EQ(JS_ConvertToNumber(&out, &object), JS_FAILED);
}

TEST_F(JSConvertTest, BooleansOfEveryKind)
{
    ScriptValue null = ScriptValue_Undefined();
    null.kind = VALUE_NULL;
    ScriptValue zeroText = Text("0");
    ScriptValue empty = Text("");
    ScriptValue object = ObjectValue(WithMethods(ValueOfSeven, ToStringText));
    ScriptValue nan = ScriptValue_Real(NAN);
    const ScriptValue minusOne = Int64(-1);
    const ScriptValue zero = Int32(0);
    EXPECT_TRUE(JS_ToBoolean(&minusOne));
    EXPECT_FALSE(JS_ToBoolean(&zero));
    EXPECT_TRUE(JS_ToBoolean(&zeroText));
    EXPECT_FALSE(JS_ToBoolean(&empty));
    EXPECT_FALSE(JS_ToBoolean(&nan));
    EXPECT_FALSE(JS_ToBoolean(&null));
    EXPECT_TRUE(JS_ToBoolean(&object));
    ScriptValue_SetUndefined(&zeroText);
    ScriptValue_SetUndefined(&empty);
    ScriptValue pointer = ScriptValue_Undefined();
    pointer.ptr = nullptr;
    pointer.kind = VALUE_PTR;
    EXPECT_FATAL_ERROR(EXPECT_FALSE(JS_ToBoolean(&pointer)), "unhandled type \\(3\\) for JS_ToBoolean");
}

TEST_F(JSConvertTest, ToObjectWrapsPrimitivesAndRefusesNullAndUndefined)
{
    ScriptValue out = ScriptValue_Undefined();
    ScriptValue null = ScriptValue_Undefined();
    null.kind = VALUE_NULL;
    EXPECT_EQ(F_JS_ToObject(&out, &null), JS_FAILED);
    const ScriptValue undefined = ScriptValue_Undefined();
    EXPECT_EQ(F_JS_ToObject(&out, &undefined), JS_FAILED);

    const ScriptValue five = Int32(5);
    ASSERT_EQ(F_JS_ToObject(&out, &five), JS_CONVERTED);
    ASSERT_EQ(out.Kind(), static_cast<uint32_t>(VALUE_OBJECT));
    EXPECT_TRUE(JS_HasClass(out.obj, "Number"));
    ScriptValue primitive = ScriptValue_Undefined();
    JS_Object_Get(out.obj, &primitive, "[[PrimitiveValue]]");
    EXPECT_EQ(primitive.real, 5);

    ScriptValue truth = ScriptValue_Real(1);
    truth.kind = VALUE_BOOL;
    ASSERT_EQ(F_JS_ToObject(&out, &truth), JS_CONVERTED);
    EXPECT_TRUE(JS_HasClass(out.obj, "Boolean"));
    JS_Object_Get(out.obj, &primitive, "[[PrimitiveValue]]");
    EXPECT_EQ(primitive.real, 1);

    const ScriptValue object = out;
    ScriptValue again = ScriptValue_Undefined();
    ASSERT_EQ(F_JS_ToObject(&again, &object), JS_CONVERTED);
    EXPECT_EQ(again.obj, object.obj);
}

TEST_F(JSConvertTest, BuiltInEntryPointsOfBooleanStringIsNaNAndIsFinite)
{
    ScriptValue result = ScriptValue_Undefined();
    ScriptValue args[1] = {Text("")};
    JS_Boolean_Call(&result, nullptr, nullptr, 1, args);
    EXPECT_EQ(result.Kind(), static_cast<uint32_t>(VALUE_BOOL));
    EXPECT_EQ(result.real, 0);
    JS_IsNaN(&result, nullptr, nullptr, 1, args);
    EXPECT_EQ(result.real, 0);  // "" is 0
    ScriptValue_SetUndefined(&args[0]);
    args[0] = Text("x");
    JS_IsNaN(&result, nullptr, nullptr, 1, args);
    EXPECT_EQ(result.real, 1);
    ScriptValue_SetUndefined(&args[0]);
    args[0] = ScriptValue_Real(INFINITY);
    JS_IsFinite(&result, nullptr, nullptr, 1, args);
    EXPECT_EQ(result.real, 0);
    JS_String_Call(&result, nullptr, nullptr, 1, args);
    EXPECT_STREQ(ScriptValue_StringText(&result), "Infinity");
    JS_String_Call(&result, nullptr, nullptr, 0, nullptr);
    EXPECT_STREQ(ScriptValue_StringText(&result), "");
    ScriptValue_SetUndefined(&result);
}

TEST(JSWhiteSpace, FollowsTheUnicodeCategoriesAboveLatin1)
{
    for (uint32_t c : {0x20u, 0x09u, 0x0Bu, 0xA0u, 0x1680u, 0x2000u, 0x200Au, 0x2029u, 0x3000u, 0xFEFFu, 0xD800u,
                       0xE000u, 0x0903u})
        EXPECT_TRUE(JS_IsStrWhiteSpaceChar(c)) << std::hex << c;
    for (uint32_t c : {0x41u, 0x00u, 0x85u, 0x9Fu, 0x4E00u, 0x110000u})
        EXPECT_FALSE(JS_IsStrWhiteSpaceChar(c)) << std::hex << c;
}

#include "Code/JS_Number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Code/Code_Value.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
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

class JSNumberTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectMode = true;
        JS_InitNumber();
    }
    void TearDown() override
    {
        JS_NumberPrototype = nullptr;
        JS_Exception.thrown = false;
        GC_Collect();
    }

    static CInstance* NumberObject(double d)
    {
        ScriptValue arg = ScriptValue_Real(d);
        ScriptValue out = ScriptValue_Undefined();
        JS_Number_Construct(&out, nullptr, nullptr, 1, &arg);
        return reinterpret_cast<CInstance*>(out.obj);
    }
    // The text a method gives for the number with the arguments.
    static std::string Call(BuiltinRoutine method, double d, std::initializer_list<ScriptValue> args = {})
    {
        ScriptValue argv[4];
        int argc = 0;
        for (const ScriptValue& a : args) argv[argc++] = a;
        ScriptValue out = ScriptValue_Undefined();
        method(&out, NumberObject(d), nullptr, argc, argv);
        std::string text = out.Kind() == VALUE_STRING ? ScriptValue_StringText(&out) : "<kind " + std::to_string(out.Kind()) + ">";
        ScriptValue_SetUndefined(&out);
        return text;
    }
    static double Parse(BuiltinRoutine parse, std::initializer_list<ScriptValue> args)
    {
        ScriptValue argv[2];
        int argc = 0;
        for (const ScriptValue& a : args) argv[argc++] = a;
        ScriptValue out = ScriptValue_Undefined();
        parse(&out, nullptr, nullptr, argc, argv);
        for (int i = 0; i < argc; ++i) ScriptValue_SetUndefined(&argv[i]);
        return out.real;
    }
};
}  // namespace

TEST_F(JSNumberTest, ToStringWritesTheNumberInTheRadix)
{
    const ScriptValue undefined = ScriptValue_Undefined();
    struct Case {
        double value;
        double radix;
        const char* text;
    } cases[] = {
        {255, 16, "ff"}, {255, 2, "11111111"}, {-255, 16, "-ff"}, {0.5, 2, "0.1"},  {-0.5, 2, "-0.1"},
        {3, 10, "3"},    {35, 36, "z"},         {0, 7, "0"},       {NAN, 2, "NaN"}, {-INFINITY, 16, "-Infinity"},
        {1.75, 4, "1.3"},
    };
    for (const Case& c : cases) EXPECT_EQ(Call(JS_Number_toString, c.value, {ScriptValue_Real(c.radix)}), c.text);
    EXPECT_EQ(Call(JS_Number_toString, 3), "3");
    EXPECT_EQ(Call(JS_Number_toString, 3, {undefined}), "3");
    EXPECT_EQ(Call(JS_Number_toString, 3, {ScriptValue_Real(2), ScriptValue_Real(5)}), "3");
    for (double radix : {1.0, 37.0})
        EXPECT_FATAL_ERROR(Call(JS_Number_toString, 3, {ScriptValue_Real(radix)}),
                           "RangeError: Number.prototype.toString radix must be between 2 and 36 inclusive.");
}

TEST_F(JSNumberTest, RadixTextsThatNeverEndStopWithinTheirBuffer)
{
    const std::string third = Call(JS_Number_toString, 0.5, {ScriptValue_Real(3)});
    EXPECT_EQ(third.substr(0, 6), "0.1111");
    EXPECT_LT(third.size(), 1280u);
    // The largest and smallest doubles in radix 2 fit whole.
    const std::string largest = Call(JS_Number_toString, 1.7976931348623157e308, {ScriptValue_Real(2)});
    EXPECT_EQ(largest.size(), 1024u);
    EXPECT_EQ(largest.find_first_not_of('1'), 53u);
    const std::string smallest = Call(JS_Number_toString, 5e-324, {ScriptValue_Real(2)});
    EXPECT_EQ(smallest.size(), 2u + 1074u);
    EXPECT_EQ(smallest.back(), '1');
}

TEST_F(JSNumberTest, FixedExponentialAndPrecisionFormsAndTheirRanges)
{
    const ScriptValue undefined = ScriptValue_Undefined();
    EXPECT_EQ(Call(JS_Number_toFixed, 1.005, {ScriptValue_Real(2)}), "1.00");
    EXPECT_EQ(Call(JS_Number_toFixed, 1e21, {ScriptValue_Real(2)}), "1e+21");
    EXPECT_EQ(Call(JS_Number_toFixed, -1e21, {ScriptValue_Real(2)}), "-1e+21");
    EXPECT_EQ(Call(JS_Number_toFixed, 5, {ScriptValue_Real(0)}), "5");
    EXPECT_EQ(Call(JS_Number_toFixed, 2.5), "2");
    EXPECT_EQ(Call(JS_Number_toFixed, NAN, {ScriptValue_Real(2)}), "NaN");
    EXPECT_EQ(Call(JS_Number_toExponential, 123.45), "1.23450e+02");
    EXPECT_EQ(Call(JS_Number_toExponential, 123.45, {undefined}), "1.23450e+02");
    EXPECT_EQ(Call(JS_Number_toExponential, 0, {ScriptValue_Real(0)}), "0e+00");
    EXPECT_EQ(Call(JS_Number_toPrecision, 5, {ScriptValue_Real(3)}), "5.00");
    EXPECT_EQ(Call(JS_Number_toPrecision, -5, {ScriptValue_Real(3)}), "-5.00");
    EXPECT_EQ(Call(JS_Number_toPrecision, 123, {ScriptValue_Real(5)}), "123.00");
    EXPECT_EQ(Call(JS_Number_toPrecision, 0.000123, {ScriptValue_Real(2)}), "0.00012");
    EXPECT_EQ(Call(JS_Number_toPrecision, 5), "5");
    EXPECT_EQ(Call(JS_Number_toPrecision, NAN, {ScriptValue_Real(3)}), "NaN");
    // Exponent forms keep their digits in the mantissa, whatever the magnitude.
    EXPECT_EQ(Call(JS_Number_toPrecision, 1e300, {ScriptValue_Real(20)}), "1.0000000000000000525e+300");
    EXPECT_EQ(Call(JS_Number_toPrecision, 1e21, {ScriptValue_Real(5)}), "1.0000e+21");
    EXPECT_EQ(Call(JS_Number_toPrecision, 1e-7, {ScriptValue_Real(6)}), "1.00000e-07");

    struct Range {
        BuiltinRoutine method;
        double digits;
        const char* message;
    } ranges[] = {
        {JS_Number_toFixed, 21, "toFixed fraction digits should be >= 1 and <= 20"},
        {JS_Number_toFixed, -1, "toFixed fraction digits should be >= 1 and <= 20"},
        {JS_Number_toExponential, 21, "toExponential fraction digits should be >= 1 and <= 20"},
        {JS_Number_toPrecision, 0, "toPrecision fraction digits should be > 1 and <= 20"},
        {JS_Number_toPrecision, 21, "toPrecision fraction digits should be > 1 and <= 20"},
    };
    for (const Range& r : ranges)
        EXPECT_FATAL_ERROR(Call(r.method, 5, {ScriptValue_Real(r.digits)}), r.message);
}

TEST_F(JSNumberTest, ReceiversWithoutANumberAreRefused)
{
    ScriptValue plain = ScriptValue_Undefined();
    JS_NewStandardObject(&plain, nullptr, nullptr, 0, nullptr);
    auto* receiver = reinterpret_cast<CInstance*>(plain.obj);
    ScriptValue out = ScriptValue_Undefined();
    for (BuiltinRoutine method : {JS_Number_toFixed, JS_Number_toExponential, JS_Number_toPrecision,
                                  JS_Number_valueOf, JS_Number_toLocaleString})
        EXPECT_FATAL_ERROR(method(&out, receiver, nullptr, 0, nullptr), "TypeError: NoMessage");
    EXPECT_FATAL_ERROR(JS_Number_toString(&out, receiver, nullptr, 0, nullptr),
                       "Cannot use Number.prototype.toString on an object which is not of type Number.");
    // The value of a Number object, and of Number called and constructed.
    JS_Number_valueOf(&out, NumberObject(7), nullptr, 0, nullptr);
    EXPECT_EQ(out.real, 7);
    ScriptValue twelve = Text("12");
    JS_Number_Call(&out, nullptr, nullptr, 1, &twelve);
    EXPECT_EQ(out.real, 12);
    JS_Number_Call(&out, nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(out.real, 0);
    ScriptValue_SetUndefined(&twelve);
}

TEST_F(JSNumberTest, ParseIntReadsDigitsOfTheRadixAfterBlanksAndSign)
{
    const ScriptValue none = ScriptValue_Undefined();
    struct Case {
        const char* text;
        ScriptValue radix;
        double expected;
    } cases[] = {
        {"  42px", none, 42},       {"-0x1A", none, -26},          {"0x1A", ScriptValue_Real(16), 26},
        {"0x1A", ScriptValue_Real(10), 0}, {"z", ScriptValue_Real(36), 35}, {"Z", ScriptValue_Real(36), 35},
        {"12", ScriptValue_Real(1), NAN}, {"12", ScriptValue_Real(37), NAN}, {"", none, NAN},
        {"\v5", none, NAN},          {"99999999999", none, 99999999999.0}, {"+7", none, 7},
        {"-", none, NAN},            {"102", ScriptValue_Real(2), 2}, {"11", ScriptValue_Real(4294967298.0), 3},
    };
    for (const Case& c : cases) {
        const double got = c.radix.Kind() == VALUE_UNDEFINED ? Parse(JS_parseInt, {Text(c.text)})
                                                              : Parse(JS_parseInt, {Text(c.text), c.radix});
        if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(got)) << c.text;
        else EXPECT_EQ(got, c.expected) << c.text;
    }
    EXPECT_TRUE(std::isnan(Parse(JS_parseInt, {})));
    EXPECT_EQ(Parse(JS_parseInt, {ScriptValue_Real(15.9)}), 15);
}

TEST_F(JSNumberTest, ParseFloatReadsTheLongestNumberPrefix)
{
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {"3.5e2xyz", 350}, {".5", 0.5},          {"1e999", NAN}, {"Infinity", INFINITY}, {"-infinity", -INFINITY},
        {"abc", NAN},      {" \t-2.5e-3", -0.0025}, {"0x10", 16}, {"1e-400", 0},
        {"", NAN},
    };
    for (const Case& c : cases) {
        const double got = Parse(JS_parseFloat, {Text(c.text)});
        if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(got)) << c.text;
        else EXPECT_EQ(got, c.expected) << c.text;
    }
    EXPECT_TRUE(std::isnan(Parse(JS_parseFloat, {})));
}

TEST_F(JSNumberTest, ThePrototypeAndConstructorCarryTheirMethodsAndConstants)
{
    ScriptValue v = ScriptValue_Undefined();
    JS_Object_Get(JS_NumberPrototype, &v, "[[PrimitiveValue]]");
    EXPECT_EQ(v.real, 0);
    JS_Object_Get(JS_NumberPrototype, &v, "toFixed");
    ASSERT_TRUE(JS_IsCallable(&v));
    ScriptValue length = ScriptValue_Undefined();
    JS_Object_Get(v.obj, &length, "length");
    EXPECT_EQ(length.real, 1);
    JS_Object_GetOwnProperty(JS_NumberPrototype, &v, "toString");
    EXPECT_EQ(v.flags, VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);
    JS_Object_Get(JS_NumberPrototype, &v, "constructor");
    KVObjectBase* constructor = v.obj;
    JS_Object_Get(constructor, &v, "MIN_VALUE");
    EXPECT_EQ(v.real, 5e-324);
    JS_Object_Get(constructor, &v, "NEGATIVE_INFINITY");
    EXPECT_EQ(v.real, -INFINITY);
    // A constructed Number inherits the methods: its text comes through toString.
    ScriptValue seven = ScriptValue_Undefined();
    seven.obj = reinterpret_cast<KVObjectBase*>(NumberObject(7.5));
    seven.kind = VALUE_OBJECT;
    ScriptValue text = ScriptValue_Undefined();
    ASSERT_EQ(JS_ConvertToString(&text, &seven), JS_CONVERTED);
    EXPECT_STREQ(ScriptValue_StringText(&text), "7.5");
    ScriptValue_SetUndefined(&text);
}

#include "Code/JS_Array.h"

#include <gtest/gtest.h>

#include <string>

#include "Base/MemoryManager.h"
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

class JSArrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectMode = true;
        JS_InitArrayBuiltins();
    }
    void TearDown() override
    {
        JS_ArrayPrototype = nullptr;
        JS_Exception.thrown = false;
        GC_Collect();
    }

    static KVObjectBase* Construct(int argc, ScriptValue* args)
    {
        ScriptValue out = ScriptValue_Undefined();
        JS_Array_Construct(&out, nullptr, nullptr, argc, args);
        return out.Kind() == VALUE_OBJECT ? out.obj : nullptr;
    }
    static double Length(KVObjectBase* array)
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_Object_Get(array, &v, "length");
        return v.real;
    }
    static void SetLength(KVObjectBase* array, double n)
    {
        const ScriptValue v = ScriptValue_Real(n);
        JS_Object_Put(array, &v, "length", false);
    }
    // Each element as a letter: h hole, u undefined, n a number, s a string.
    static std::string Shape(KVObjectBase* array)
    {
        std::string shape;
        for (int i = 0; i < static_cast<int>(Length(array)); ++i) {
            ScriptValue v = ScriptValue_Undefined();
            JS_Object_GetOwnProperty(array, &v, std::to_string(i).c_str());
            shape += v.Kind() == VALUE_UNSET ? 'h' : v.Kind() == VALUE_UNDEFINED ? 'u' : v.Kind() == VALUE_REAL ? 'n' : 's';
            ScriptValue_SetUndefined(&v);
        }
        return shape;
    }
};
}  // namespace

TEST_F(JSArrayTest, TheConstructorFormsMakeHolesOrElements)
{
    ScriptValue three = ScriptValue_Real(3);
    KVObjectBase* holes = Construct(1, &three);
    ASSERT_NE(holes, nullptr);
    EXPECT_EQ(Shape(holes), "hhh");

    ScriptValue text = Text("3");
    KVObjectBase* one = Construct(1, &text);
    EXPECT_EQ(Shape(one), "s");
    ScriptValue_SetUndefined(&text);

    ScriptValue two[2] = {ScriptValue_Real(1), ScriptValue_Real(2)};
    KVObjectBase* pair = Construct(2, two);
    EXPECT_EQ(Shape(pair), "nn");
    ScriptValue element = ScriptValue_Undefined();
    JS_Object_GetOwnProperty(pair, &element, "1");
    EXPECT_EQ(element.real, 2);
    EXPECT_EQ(element.flags, VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE);
    EXPECT_EQ(Length(Construct(0, nullptr)), 0);

    for (double bad : {-1.0, 1.5, 4294967296.0}) {
        ScriptValue n = ScriptValue_Real(bad);
        EXPECT_FATAL_ERROR(EXPECT_EQ(Construct(1, &n), nullptr), "RangeError: NoMessage") << bad;
    }
}

TEST_F(JSArrayTest, WritesPastTheEndFillTheGapWithUndefinedAndLengthShrinksAndGrows)
{
    KVObjectBase* array = Construct(0, nullptr);
    ScriptValue self = ScriptValue_Undefined();
    self.obj = array;
    self.kind = VALUE_OBJECT;
    const ScriptValue ten = ScriptValue_Real(10);
    const ScriptValue value = ScriptValue_Real(7);
    EXPECT_TRUE(JS_Object_PutByKey(&self, &ten, &value));
    EXPECT_EQ(Length(array), 11);
    EXPECT_EQ(Shape(array), "uuuuuuuuuun");

    SetLength(array, 2);
    EXPECT_EQ(Shape(array), "uu");
    SetLength(array, 8);
    EXPECT_EQ(Shape(array), "uuuuuuuu");

    // Through [[Put]] by name, and "" is element 0.
    ScriptValue word = Text("w");
    JS_Object_Put(array, &word, "3", false);
    ScriptValue v = ScriptValue_Undefined();
    JS_Object_Get(array, &v, "");
    EXPECT_EQ(v.Kind(), static_cast<uint32_t>(VALUE_UNDEFINED));
    EXPECT_EQ(Shape(array), "uuusuuuu");
    EXPECT_TRUE(JS_Object_Delete(array, "3"));
    EXPECT_EQ(Shape(array), "uuuuuuuu");
    EXPECT_FALSE(JS_Object_Delete(array, "30"));
    ScriptValue_SetUndefined(&word);
}

TEST_F(JSArrayTest, HugeLengthsAndIndicesAreRefusedWithoutTakingTheMemory)
{
    const int64_t before = MemoryManager::TotalHeaderBytes();
    ScriptValue huge = ScriptValue_Real(4294967295.0);
    EXPECT_FATAL_ERROR(EXPECT_EQ(Construct(1, &huge), nullptr), "RangeError: Array length too large");

    KVObjectBase* array = Construct(0, nullptr);
    EXPECT_FATAL_ERROR(SetLength(array, 4e9), "RangeError: Array length too large");
    EXPECT_EQ(Length(array), 0);
    ScriptValue self = ScriptValue_Undefined();
    self.obj = array;
    self.kind = VALUE_OBJECT;
    const ScriptValue index = ScriptValue_Real(4e9);
    EXPECT_FATAL_ERROR(JS_Object_PutByKey(&self, &index, &index), "RangeError: Array length too large");
    EXPECT_EQ(Length(array), 0);
    EXPECT_LT(MemoryManager::TotalHeaderBytes() - before, 1 << 20);
}

TEST_F(JSArrayTest, IsArrayKnowsArraysButNotTheirPrototype)
{
    ScriptValue out = ScriptValue_Undefined();
    ScriptValue arg = ScriptValue_Undefined();
    arg.obj = Construct(0, nullptr);
    arg.kind = VALUE_OBJECT;
    JS_Array_IsArray(&out, nullptr, nullptr, 1, &arg);
    EXPECT_EQ(out.real, 1);
    arg.obj = JS_ArrayPrototype;
    JS_Array_IsArray(&out, nullptr, nullptr, 1, &arg);
    EXPECT_EQ(out.real, 0);
    JS_Array_IsArray(&out, nullptr, nullptr, 0, nullptr);
    EXPECT_EQ(out.Kind(), static_cast<uint32_t>(VALUE_BOOL));
    EXPECT_EQ(out.real, 0);
}

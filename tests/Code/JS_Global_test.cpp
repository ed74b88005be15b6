#include "Code/JS_Global.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Code/Code_Constant.h"
#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Error.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/ValueTestSupport.h"
#include "GameData/GameHeader.h"
#include "Variable/Code_VariableValue.h"
#include "support/EngineReset.h"

namespace {
double s_roomSpeed = 30;
bool GetRoomSpeed(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, s_roomSpeed);
    return true;
}
bool SetRoomSpeed(CInstance*, int32_t, ScriptValue* value)
{
    s_roomSpeed = value->real;
    return true;
}
void DrawThing(ScriptValue* out, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetReal(out, 1); }

ScriptValue ObjectValue(KVObjectBase* object)
{
    ScriptValue v = ScriptValue_Undefined();
    v.obj = object;
    v.kind = VALUE_OBJECT;
    return v;
}

ScriptValue Text(const char* text)
{
    ScriptValue v = ScriptValue_Undefined();
    ScriptValue_InitString(&v, text);
    return v;
}

class JSGlobalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectMode = true;
        s_roomSpeed = 30;
        CodeFunction_Register("draw_thing", DrawThing, 3, 0);
        Code_Constant_AddReal("c_red", 255);
        Code_Constant_AddReal("global", -5);
        Variable_BuiltIn_Add("room_speed", GetRoomSpeed, SetRoomSpeed);
        Variable_BuiltIn_Add("x", GetRoomSpeed, nullptr);
        Variable_SetCounts(0, 0, 0);
        Variable_CreateGlobalObject();
        JS_InitBuiltInObjects();
        global = Variable_GlobalObject();
    }
    // The global object goes with the reset; then what only it reached is collected.
    void TearDown() override
    {
        EngineReset();
        GC_Collect();
    }

    KVObjectBase* Object(KVObjectBase* in, const char* name)
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_Object_Get(in, &v, name);
        EXPECT_EQ(v.Kind(), static_cast<uint32_t>(VALUE_OBJECT)) << name;
        return v.Kind() == VALUE_OBJECT ? v.obj : nullptr;
    }
    // The text of a value through its string conversion ("<failed>" when that fails).
    static std::string TextOf(ScriptValue v)
    {
        ScriptValue text = ScriptValue_Undefined();
        const int status = JS_ConvertToString(&text, &v);
        std::string result = status == JS_CONVERTED ? ScriptValue_StringText(&text) : "<failed>";
        ScriptValue_SetUndefined(&text);
        return result;
    }
    // A new error made by the constructor called (not constructed) with the arguments.
    ScriptValue MakeError(const char* type, int argc, ScriptValue* args)
    {
        ScriptValue out = ScriptValue_Undefined();
        JS_CallFunction(global, &out, Object(global, type), argc, args);
        return out;
    }
    bool InstanceOf(const ScriptValue& value, const char* type)
    {
        ScriptValue args[2] = {ObjectValue(Object(global, type)), value};
        ScriptValue answer = ScriptValue_Undefined();
        JS_InstanceOf(&answer, nullptr, nullptr, 2, args);
        return answer.real != 0;
    }

    KVObjectBase* global = nullptr;
};
}  // namespace

TEST_F(JSGlobalTest, TheGlobalObjectNamesItselfAndShowsTheBuiltInsThroughQs)
{
    EXPECT_EQ(Object(global, "global"), global);
    KVObjectBase* qs = Object(global, "qs");
    ASSERT_NE(qs, nullptr);
    EXPECT_EQ(global->m_parentScope, qs);
    EXPECT_EQ(GlobalScopeObject, global);

    ScriptValue v = ScriptValue_Undefined();
    JS_Object_Get(qs, &v, "room_speed");
    EXPECT_EQ(v.real, 30);
    const ScriptValue sixty = ScriptValue_Real(60);
    JS_Object_Put(qs, &sixty, "room_speed", false);
    EXPECT_EQ(s_roomSpeed, 60);
    // Instance variables and the constant "global" stay out.
    JS_Object_GetOwnProperty(qs, &v, "x");
    EXPECT_EQ(v.Kind(), static_cast<uint32_t>(VALUE_UNSET));
    JS_Object_GetOwnProperty(qs, &v, "global");
    EXPECT_EQ(v.Kind(), static_cast<uint32_t>(VALUE_UNSET));
    JS_Object_Get(qs, &v, "c_red");
    EXPECT_EQ(v.real, 255);
    JS_Object_GetOwnProperty(qs, &v, "c_red");
    EXPECT_EQ(v.flags, VALUE_FLAG_ENUMERABLE);

    KVObjectBase* draw = Object(qs, "draw_thing");
    ASSERT_NE(draw, nullptr);
    JS_Object_Get(draw, &v, "length");
    EXPECT_EQ(v.real, 3);
    ScriptValue result = ScriptValue_Undefined();
    EXPECT_EQ(JS_CallFunction(global, &result, draw, 0, nullptr), JS_CONVERTED);
    EXPECT_EQ(result.real, 1);

    JS_Object_Get(global, &v, "NaN");
    EXPECT_TRUE(std::isnan(v.real));
    JS_Object_Get(global, &v, "undefined");
    EXPECT_EQ(v.Kind(), static_cast<uint32_t>(VALUE_UNDEFINED));
}

TEST_F(JSGlobalTest, UnimplementedFunctionsAreFunctionsThatRaiseReferenceError)
{
    ScriptValue encode = ObjectValue(Object(global, "encodeURI"));
    EXPECT_TRUE(JS_IsCallable(&encode));
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_FATAL_ERROR(JS_CallValue(global, &out, &encode, 0, nullptr), "ReferenceError: unimplemented function");
    ScriptValue args[2] = {ObjectValue(Object(global, "RegExp")), Text("a")};
    EXPECT_FATAL_ERROR(JS_New(&out, nullptr, nullptr, 2, args), "ReferenceError: unimplemented function");
    ScriptValue_SetUndefined(&args[1]);
}

TEST_F(JSGlobalTest, ErrorsNameTheirTypeAndMessage)
{
    ScriptValue boom = Text("boom");
    ScriptValue error = MakeError("Error", 1, &boom);
    EXPECT_EQ(TextOf(error), "Error: boom");
    EXPECT_TRUE(InstanceOf(error, "Error"));
    EXPECT_FALSE(InstanceOf(error, "TypeError"));

    ScriptValue type = ScriptValue_Undefined();
    const ScriptValue constructor = ObjectValue(Object(global, "TypeError"));
    JS_New(&type, nullptr, nullptr, 1, const_cast<ScriptValue*>(&constructor));
    EXPECT_EQ(TextOf(type), "TypeError");

    ScriptValue range = MakeError("RangeError", 1, &boom);
    EXPECT_TRUE(InstanceOf(range, "RangeError"));
    EXPECT_TRUE(InstanceOf(range, "Error"));
    ScriptValue name = ScriptValue_Undefined();
    JS_Object_Get(JS_ErrorPrototype[JS_ERROR_RANGE], &name, "name");
    EXPECT_STREQ(ScriptValue_StringText(&name), "RangeError");
    ScriptValue_SetUndefined(&name);

    range.obj->AddString("name", "", 0);
    EXPECT_EQ(TextOf(range), "boom");
    ScriptValue_SetUndefined(&boom);
}

TEST_F(JSGlobalTest, ErrorToStringRefusesAnObjectThatIsNoError)
{
    ScriptValue plain = ScriptValue_Undefined();
    JS_NewStandardObject(&plain, nullptr, nullptr, 0, nullptr);
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_FATAL_ERROR(JS_Error_toString(&out, reinterpret_cast<CInstance*>(plain.obj), nullptr, 0, nullptr),
                       "TypeError: NoMessage");
    // Raised errors inherit from their type's prototype.
    EXPECT_TRUE(InstanceOf(JS_Exception.current, "TypeError"));
    JS_Exception.thrown = false;
}

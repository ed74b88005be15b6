#include "Code/JS_Call.h"

#include <gtest/gtest.h>

#include "Code/Code_Value.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/ValueTestSupport.h"
#include "GameData/GameHeader.h"

namespace {
KVObjectBase* s_self = nullptr;
int s_argc = -1;

void Remember(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue*)
{
    s_self = reinterpret_cast<KVObjectBase*>(self);
    s_argc = argc;
    EXPECT_EQ(self, other);
    ScriptValue_SetReal(out, 5);
}

// The compiled function of a script function object: remembers this and
// returns an object of its own, which construction must drop.
bool RunCompiled(void*, KVObjectBase* self, ScriptValue* out, int argc, ScriptValue*)
{
    s_self = self;
    s_argc = argc;
    JS_NewStandardObject(out, nullptr, nullptr, 0, nullptr);
    return true;
}

class JSCallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectMode = true;
        s_self = nullptr;
        s_argc = -1;
        saved = JS_SetScriptRunner(nullptr);
    }
    void TearDown() override
    {
        JS_SetScriptRunner(saved);
        GC_Collect();
    }
    static KVObjectBase* NewObject()
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_NewStandardObject(&v, nullptr, nullptr, 0, nullptr);
        return v.obj;
    }
    static ScriptValue ObjectValue(KVObjectBase* object)
    {
        ScriptValue v = ScriptValue_Undefined();
        v.obj = object;
        v.kind = VALUE_OBJECT;
        return v;
    }
    static ScriptValue Get(KVObjectBase* object, const char* name)
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_Object_Get(object, &v, name);
        return v;
    }
    // A script function object without interpreter code, as compiled-code mode makes them.
    static KVObjectBase* CompiledScriptFunction()
    {
        KVObjectBase* function = JS_NewNativeFunction(nullptr, 0, false);
        static int script = 0;
        function->AddPointer("[[Call_Script]]", &script, 0);
        function->AddPointer("[[Construct]]", reinterpret_cast<void*>(JS_ScriptFunction_Construct), 0);
        *function->SlotAt(0) = ObjectValue(NewObject());
        return function;
    }

    JSScriptRunner saved = nullptr;
};
}  // namespace

TEST_F(JSCallTest, ANativeFunctionRunsWithThisAsSelfAndOther)
{
    KVObjectBase* function = JS_NewNativeFunction(Remember, 2, true);
    KVObjectBase* self = NewObject();
    ScriptValue out = ScriptValue_Undefined();
    ScriptValue args[2] = {ScriptValue_Real(1), ScriptValue_Real(2)};
    EXPECT_EQ(JS_CallFunction(self, &out, function, 2, args), JS_CONVERTED);
    EXPECT_EQ(s_self, self);
    EXPECT_EQ(s_argc, 2);
    EXPECT_EQ(out.real, 5);
    const ScriptValue notAnObject = ScriptValue_Real(1);
    EXPECT_EQ(JS_CallValue(self, &out, &notAnObject, 0, nullptr), JS_FAILED);
    const ScriptValue length = Get(function, "length");
    EXPECT_EQ(length.real, 2);
}

TEST_F(JSCallTest, TheArgumentsObjectOfOneArgumentToALengthThreeFunction)
{
    KVObjectBase* function = JS_NewNativeFunction(Remember, 3, false);
    ScriptValue out = ScriptValue_Undefined();
    ScriptValue arg = ScriptValue_Undefined();
    ScriptValue_InitString(&arg, "first");
    JS_CreateArgumentsObject(&out, function, 1, &arg, false);
    ScriptValue_SetUndefined(&arg);
    KVObjectBase* arguments = out.obj;
    EXPECT_TRUE(JS_HasClass(arguments, "Arguments"));

    ScriptValue v = Get(arguments, "length");
    EXPECT_EQ(v.real, 1);
    v = Get(arguments, "0");
    EXPECT_STREQ(ScriptValue_StringText(&v), "first");
    EXPECT_EQ(v.flags, 7u);
    ScriptValue_SetUndefined(&v);
    EXPECT_EQ(Get(arguments, "1").Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Get(arguments, "2").Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Get(arguments, "3").Kind(), VALUE_UNSET);
    v = Get(arguments, "callee");
    EXPECT_EQ(v.obj, function);

    // A write of an element goes to the store, keeping its flags.
    const ScriptValue nine = ScriptValue_Real(9);
    EXPECT_EQ(JS_Object_Put(arguments, &nine, "0", false), JS_DEFINE_DONE);
    v = Get(arguments, "0");
    EXPECT_EQ(v.real, 9);
    EXPECT_EQ(v.flags, 7u);
    EXPECT_EQ(Get(arguments, "length").real, 1);

    JS_CreateArgumentsObject(&out, function, 0, nullptr, true);
    EXPECT_EQ(Get(out.obj, "callee").Kind(), VALUE_UNSET);
    EXPECT_EQ(Get(out.obj, "length").real, 0);
}

TEST_F(JSCallTest, CompiledScriptFunctionsRunThroughTheRunnerAndFailWithoutOne)
{
    KVObjectBase* function = CompiledScriptFunction();
    KVObjectBase* self = NewObject();
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_FATAL_ERROR(JS_CallFunction(self, &out, function, 0, nullptr),
                       "Unable to find a handler for exception TypeError: NoMessage");
    JS_Exception.thrown = false;
    JS_SetScriptRunner(RunCompiled);
    EXPECT_EQ(JS_CallFunction(self, &out, function, 0, nullptr), JS_CONVERTED);
    EXPECT_EQ(s_self, self);
    EXPECT_EQ(out.Kind(), VALUE_OBJECT);
}

TEST_F(JSCallTest, NewMakesAnObjectOfTheFunctionsPrototypeSlotWhateverTheFunctionReturns)
{
    JS_SetScriptRunner(RunCompiled);
    KVObjectBase* function = CompiledScriptFunction();
    KVObjectBase* prototype = function->SlotAt(0)->obj;
    ScriptValue args[2] = {ObjectValue(function), ScriptValue_Real(1)};
    ScriptValue made = ScriptValue_Undefined();
    JS_New(&made, nullptr, nullptr, 2, args);
    ASSERT_EQ(made.Kind(), VALUE_OBJECT);
    EXPECT_EQ(s_self, made.obj);  // the constructor ran on the new object
    EXPECT_EQ(s_argc, 1);
    EXPECT_EQ(JS_PrototypeOf(made.obj), prototype);

    ScriptValue answer = ScriptValue_Undefined();
    ScriptValue test[2] = {ObjectValue(function), made};
    JS_InstanceOf(&answer, nullptr, nullptr, 2, test);
    EXPECT_EQ(answer.Kind(), VALUE_BOOL);
    EXPECT_EQ(answer.real, 1);

    // A prototype slot replaced by a number gives objects without a prototype.
    *function->SlotAt(0) = ScriptValue_Real(3);
    ScriptValue bare = ScriptValue_Undefined();
    JS_New(&bare, nullptr, nullptr, 1, args);
    ASSERT_EQ(bare.Kind(), VALUE_OBJECT);
    EXPECT_EQ(JS_PrototypeOf(bare.obj), nullptr);
    ScriptValue link = ScriptValue_Undefined();
    JS_DefaultGetOwnProperty(bare.obj, &link, "[[Prototype]]");
    EXPECT_EQ(link.Kind(), VALUE_NULL);
    EXPECT_FATAL_ERROR(JS_InstanceOf(&answer, nullptr, nullptr, 2, test),
                       "exception TypeError: Left-hand side of instanceof is not an object");
}

TEST_F(JSCallTest, NewAndInstanceofRefuseWhatCannotConstructOrHaveInstances)
{
    const struct {
        ScriptValue constructor;
        const char* error;
    } cases[] = {
        {[] {
             ScriptValue v = ScriptValue_Undefined();
             v.kind = VALUE_UNSET;
             return v;
         }(),
         "ReferenceError: Trying to find a constructor which does not exist"},
        {ScriptValue_Real(1), "TypeError: Trying to construct something which isn't an object"},
        {ObjectValue(NewObject()), "TypeError: Trying to construct something that isn't a function"},
    };
    for (const auto& c : cases) {
        ScriptValue out = ScriptValue_Undefined();
        ScriptValue args[1] = {c.constructor};
        EXPECT_FATAL_ERROR(JS_New(&out, nullptr, nullptr, 1, args), c.error);
        JS_Exception.thrown = false;
    }
    ScriptValue out = ScriptValue_Undefined();
    ScriptValue test[2] = {ObjectValue(NewObject()), ObjectValue(NewObject())};
    EXPECT_FATAL_ERROR(JS_InstanceOf(&out, nullptr, nullptr, 2, test),
                       "TypeError: Trying to find instances of something which isn't a function \\(2\\)");
    JS_Exception.thrown = false;
    test[0] = ScriptValue_Real(1);
    EXPECT_FATAL_ERROR(JS_InstanceOf(&out, nullptr, nullptr, 2, test),
                       "TypeError: Trying to look for instances of something which isn't an object");
    JS_Exception.thrown = false;
    EXPECT_FATAL_ERROR(JS_InstanceOf(&out, nullptr, nullptr, 1, test), "ReferenceError: lhs of instanceof does not exist");
    JS_Exception.thrown = false;
}

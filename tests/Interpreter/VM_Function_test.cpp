// Script function objects of object mode: made from a script, called and
// constructed through the object model with an activation object and an
// Arguments object, bracketed by the profiler.
#include <string>
#include <vector>

#include "Code/Code_Function.h"
#include "Code/Code_Profiler.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Code/VM_Main.h"
#include "Interpreter/VMFixture.h"
#include "Script/Script_Function.h"

namespace {
KVObjectBase* s_this = nullptr;
KVObjectBase* s_returned = nullptr;
ScriptValue s_arguments = ScriptValue_Undefined();
std::vector<std::string> s_scopes;
ScriptValue s_kept = ScriptValue_Undefined();

// Remembers this and the running call's Arguments object (slot 0 of its
// activation object), and returns a fresh object.
void Inspect(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue*)
{
    s_this = reinterpret_cast<KVObjectBase*>(self);
    KVObjectBase* activation = VM_CurrentFrame ? VM_CurrentFrame->locals : nullptr;
    const ScriptValue* slot = activation ? activation->PeekSlot(0) : nullptr;
    s_arguments = slot ? *slot : ScriptValue_Undefined();
    JS_NewStandardObject(result, nullptr, nullptr, 0, nullptr);
    s_returned = result->obj;
}

void Keep(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    s_kept = args[0];
    *result = ScriptValue_Real(0);
}

void RecordBegin(int32_t kind, int32_t index) { s_scopes.push_back(std::to_string(kind) + ":" + std::to_string(index)); }
void RecordEnd() { s_scopes.push_back("end"); }

struct VMScriptFunctionTest : VMTest {
    int32_t inspectId = -1, refId = -1, keepId = -1;
    KVObjectBase* function = nullptr;

    void SetUp() override
    {
        VMTest::SetUp();
        CodeFunction_Register("vm_test_inspect", Inspect, 0, 0);
        CodeFunction_Register("vm_test_script_ref", JS_NewScriptFunction, 1, 0);
        CodeFunction_Register("vm_test_keep", Keep, 1, 0);
        ASSERT_TRUE(CodeFunction_Find("vm_test_inspect", &inspectId) && CodeFunction_Find("vm_test_script_ref", &refId) &&
                    CodeFunction_Find("vm_test_keep", &keepId));
        s_this = s_returned = nullptr;
        s_arguments = s_kept = ScriptValue_Undefined();
        s_scopes.clear();
        // Script 0 (entry 1) returns what the inspection made; entry 2 makes
        // a function object of script 0 while it runs and keeps it.
        Load({"push.d 0\nconv.d.v", "call.i " + std::to_string(inspectId) + " 0\nret.v",
              "push.d 100000\nconv.d.v\ncall.i " + std::to_string(refId) + " 1\ncall.i " + std::to_string(keepId) +
                  " 1\npopz.v\npush.d 1\nconv.d.v"},
             {1});
        ObjectMode = true;
        ScriptValue id = ScriptValue_Real(CALLID_SCRIPT_BASE);
        ScriptValue made = ScriptValue_Undefined();
        JS_NewScriptFunction(&made, nullptr, nullptr, 1, &id);
        ASSERT_EQ(made.Kind(), VALUE_OBJECT);
        function = made.obj;
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        VMTest::TearDown();
    }
    static ScriptValue ObjectValue(KVObjectBase* object)
    {
        ScriptValue v = ScriptValue_Undefined();
        v.obj = object;
        v.kind = VALUE_OBJECT;
        return v;
    }
    static double Number(KVObjectBase* object, const char* name)
    {
        ScriptValue v = ScriptValue_Undefined();
        JS_Object_Get(object, &v, name);
        return v.Kind() == VALUE_REAL ? v.real : -1;
    }
};
}  // namespace

TEST_F(VMScriptFunctionTest, AScriptFunctionObjectCarriesItsScriptAndAPrototypeThatPointsBack)
{
    EXPECT_TRUE(JS_HasClass(function, "Function"));
    const ScriptValue value = ObjectValue(function);
    EXPECT_TRUE(JS_IsCallable(&value));
    EXPECT_EQ(Number(function, "length"), 0);
    const ScriptValue* prototype = function->PeekSlot(0);
    ASSERT_TRUE(prototype && prototype->Kind() == VALUE_OBJECT);
    ScriptValue back = ScriptValue_Undefined();
    JS_Object_Get(prototype->obj, &back, "constructor");
    EXPECT_EQ(back.obj, function);
    // No script: nothing is made.
    ScriptValue id = ScriptValue_Real(CALLID_SCRIPT_BASE + 5);
    ScriptValue untouched = ScriptValue_Real(3);
    JS_NewScriptFunction(&untouched, nullptr, nullptr, 1, &id);
    EXPECT_EQ(untouched.real, 3);
}

TEST_F(VMScriptFunctionTest, ACallRunsTheCodeWithThisAndAnArgumentsObjectInsideAProfilerScope)
{
    const CodeProfilerHooks saved = Code_Profiler_SetHooks(CodeProfilerHooks{RecordBegin, RecordEnd});
    Code_ProfilerActive = true;
    ScriptValue self = ScriptValue_Undefined();
    JS_NewStandardObject(&self, nullptr, nullptr, 0, nullptr);
    ScriptValue out = ScriptValue_Undefined();
    ScriptValue arg = ScriptValue_Real(8);
    EXPECT_EQ(JS_CallFunction(self.obj, &out, function, 1, &arg), JS_CONVERTED);
    Code_ProfilerActive = false;
    Code_Profiler_SetHooks(saved);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(s_this, self.obj);
    EXPECT_EQ(out.obj, s_returned);
    ASSERT_EQ(s_arguments.Kind(), VALUE_OBJECT);
    EXPECT_EQ(Number(s_arguments.obj, "length"), 1);
    EXPECT_EQ(Number(s_arguments.obj, "0"), 8);
    const std::string inspect = "0:" + std::to_string(inspectId);
    EXPECT_EQ(s_scopes, (std::vector<std::string>{"1:1", inspect, "end", "end"}));
}

TEST_F(VMScriptFunctionTest, ConstructionGivesTheNewObjectEvenWhenTheConstructorReturnsAnother)
{
    ScriptValue args[1] = {ObjectValue(function)};
    ScriptValue made = ScriptValue_Undefined();
    JS_New(&made, nullptr, nullptr, 1, args);
    EXPECT_EQ(Error(), "");
    ASSERT_EQ(made.Kind(), VALUE_OBJECT);
    EXPECT_EQ(s_this, made.obj);
    EXPECT_NE(made.obj, s_returned);
    EXPECT_EQ(JS_PrototypeOf(made.obj), function->PeekSlot(0)->obj);
}

TEST_F(VMScriptFunctionTest, AFunctionMadeInsideACallKeepsThatCallsActivationAsItsScope)
{
    // The activation object stays after the call for the collector instead
    // of going back to the pool.
    ScriptValue r = Run(2);
    EXPECT_EQ(Error(), "");
    ASSERT_EQ(s_kept.Kind(), VALUE_OBJECT);
    ScriptValue scope = ScriptValue_Undefined();
    JS_Object_GetProperty(s_kept.obj, &scope, "[[Scope]]");
    ASSERT_EQ(scope.Kind(), VALUE_OBJECT);
    EXPECT_TRUE(scope.obj->m_scopeCaptured);
    EXPECT_GE(scope.obj->m_registryIndex, 0);  // still alive, not pooled
    Release(r);
}

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Code/Code_Variable.h"
#include "Function/MiscFunctionFixture.h"
#include "Variable/Code_VariableValue.h"
#include "Variable/Variable_BuiltIn.h"
#include "Variable/Variable_GameState.h"
#include "World/InstanceFixture.h"
#include "World/Instance_Lookup.h"

namespace {
struct VariableFunctions : InstanceWorld, BuiltinCalls {
    std::vector<std::unique_ptr<CInstance>> made;
    int32_t object = 0;

    void SetUp() override
    {
        InstanceWorld::SetUp();
        CodeFunction_FreeAll();
        ResetErrors();
        InitMiscFunctions(Platform_MiscRoutines());
        Variable_BuiltIn_Init();
        NewCodeFormat = true;  // names by global and instance table
        Variable_SetCounts(0, 0, 0);
        Variable_CreateGlobalObject();
        object = NewObject(-1, 0)->index;
    }
    void TearDown() override
    {
        for (auto& i : made) {
            room.activeInstances.Remove(i.get());
            Instance_Delete(i->id);
        }
        made.clear();
        Variable_FreeGlobalObject();
        Variable_FreeNames();
        NewCodeFormat = false;
        CodeFunction_FreeAll();
        ResetErrors();
        ChildGame = false;
        InstanceWorld::TearDown();
    }
    CInstance* Make()
    {
        const int32_t id = 100000 + static_cast<int32_t>(made.size());
        made.push_back(std::make_unique<CInstance>(3.0f, 4.0f, id, object, true));
        Instance_Insert(id, made.back().get());
        room.activeInstances.Insert(made.back().get());
        return made.back().get();
    }
    // A call made on behalf of self.
    static ScriptValue CallAs(CInstance* self, const char* name, std::vector<ScriptValue> args)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Real(-1234.5);
        CallBuiltinFunction(self, self, &result, static_cast<int>(args.size()), index, pointers.data());
        for (ScriptValue& a : args) ScriptValue_SetUndefined(&a);
        return result;
    }
    static bool Bool(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_BOOL) << name;
        return result.Kind() == VALUE_BOOL && result.real != 0;
    }
    static std::vector<std::string> Names(double id)
    {
        ScriptValue result = Call("variable_instance_get_names", {R(id)});
        std::vector<std::string> out;
        EXPECT_EQ(result.Kind(), VALUE_ARRAY);
        if (result.Kind() == VALUE_ARRAY && result.arr->rowCount > 0)
            for (int32_t k = 0; k < result.arr->rows[0].length; ++k)
                out.push_back(ScriptValue_StringText(&result.arr->rows[0].elements[k]));
        ScriptValue_SetUndefined(&result);
        return out;
    }
};

TEST_F(VariableFunctions, GlobalsByName)
{
    EXPECT_FALSE(Bool("variable_global_exists", {S("lives_left")}));
    EXPECT_EQ(Call("variable_global_get", {S("lives_left")}).Kind(), VALUE_UNDEFINED);

    Call("variable_global_set", {S("lives_left"), S("three")});
    EXPECT_TRUE(Bool("variable_global_exists", {S("lives_left")}));
    EXPECT_EQ(Str("variable_global_get", {S("lives_left")}), "three");
    // Undefined is a value: the variable still exists.
    Call("variable_global_set", {S("lives_left"), ScriptValue_Undefined()});
    EXPECT_TRUE(Bool("variable_global_exists", {S("lives_left")}));

    // A built-in variable goes through its getter and setter.
    Call("variable_global_set", {S("score"), R(41.6)});
    EXPECT_EQ(score, 42);
    EXPECT_EQ(Num("variable_global_get", {S("score")}), 42);
    EXPECT_TRUE(Bool("variable_global_exists", {S("score")}));
    score = 0;
    EXPECT_EQ(TakeError(), "");
}

TEST_F(VariableFunctions, InstancesByName)
{
    CInstance* a = Make();
    CInstance* b = Make();
    Call("variable_instance_set", {R(a->id), S("hp"), R(7)});
    Call("variable_instance_set", {R(a->id), S("name"), S("ann")});
    Call("variable_instance_set", {R(a->id), S("x"), R(12)});
    EXPECT_EQ(a->x, 12.0f) << "a built-in goes through its setter";
    EXPECT_EQ(Num("variable_instance_get", {R(a->id), S("hp")}), 7);
    EXPECT_EQ(Str("variable_instance_get", {R(a->id), S("name")}), "ann");
    EXPECT_EQ(Call("variable_instance_get", {R(b->id), S("hp")}).Kind(), VALUE_UNDEFINED) << "set on a only";
    EXPECT_EQ(Names(a->id), (std::vector<std::string>{"hp", "name"}));
    EXPECT_TRUE(Names(b->id).empty());

    // Only instance ids address get, set and get_names.
    EXPECT_EQ(CallAs(a, "variable_instance_get", {R(-1), S("hp")}).Kind(), VALUE_UNDEFINED);
    Call("variable_instance_set", {R(999999), S("hp"), R(1)});
    EXPECT_TRUE(Names(999999).empty());
    EXPECT_TRUE(Names(object).empty());

    // exists addresses instances as with does.
    const struct {
        CInstance* self;
        int32_t target;
        const char* name;
        bool exists;
    } cases[] = {
        {a, -1, "hp", true},  {b, -1, "hp", false}, {b, -1, "x", true},       {b, object, "hp", true},
        {b, -3, "hp", true},  {a, b->id, "hp", false}, {a, 999999, "x", false}, {a, -1, "nothing", false},
    };
    for (const auto& c : cases) {
        ScriptValue result = CallAs(c.self, "variable_instance_exists", {R(c.target), S(c.name)});
        EXPECT_EQ(result.Kind(), VALUE_BOOL);
        EXPECT_EQ(result.real, c.exists ? 1 : 0) << c.target << " " << c.name;
    }
    a->m_deactivated = true;
    EXPECT_EQ(CallAs(b, "variable_instance_exists", {R(object), S("hp")}).real, 0) << "deactivated instances are skipped";
    a->m_deactivated = false;
    EXPECT_EQ(TakeError(), "");
}
}  // namespace

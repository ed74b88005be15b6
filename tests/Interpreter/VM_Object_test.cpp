// The object-mode forms of the operator, comparison and conversion
// instructions, run against the object model's primitive rules.
#include <cmath>

#include "Code/Code_Function.h"
#include "Code/JS_Main.h"
#include "Code/VariableList.h"
#include "Code/VM_Main.h"
#include "Script/Script_Main.h"
#include "Interpreter/VMFixture.h"

namespace {
// Strings 0.. of the programs' string table.
const std::vector<std::string> kStrings = {"2", "ab", " 0x1A ", "", "b"};

struct Case {
    const char* name;
    const char* source;
    double expected;   // NaN: the result is the string in text
    const char* text;
};

// Each program leaves one value on top; n(x) pushes the number x as a value.
#define N(x) "push.d " #x "\nconv.d.v\n"
#define S(i) "push.s " #i "\nconv.s.v\n"
const Case kForms[] = {
    {"add joins a number and a string", N(1) S(0) "add.v.v 0x100", NAN, "12"},
    {"add of numbers", N(1) N(2) "add.v.v 0x100", 3, nullptr},
    {"add of typed items", "push.i 1\npush.s 0\nadd.s.i 0x100", NAN, "12"},
    {"numeric add converts the string", N(1) S(0) "add.v.v 0x200", 3, nullptr},
    {"sub reads hexadecimal text", S(2) N(1) "sub.v.v 0x100", 25, nullptr},
    {"sub of text that is no number", S(1) N(1) "sub.v.v 0x100", NAN, nullptr},
    {"mul", N(3) S(0) "mul.v.v 0x100", 6, nullptr},
    {"div by zero", N(1) N(0) "div.v.v 0x100", INFINITY, nullptr},
    {"mod keeps the sign", N(-7) N(2) "mod.v.v 0x100", -1, nullptr},
    {"and", N(6) N(3) "and.v.v 0x100", 2, nullptr},
    {"or", N(6) N(3) "or.v.v 0x100", 7, nullptr},
    {"xor", N(5) N(1) "xor.v.v 0x100", 4, nullptr},
    {"shl counts modulo 32", N(1) N(33) "shl.v.v 0x100", 2, nullptr},
    {"and wraps beyond 32 bits", N(4294967297) N(3) "and.v.v 0x100", 1, nullptr},
    {"shr is arithmetic", N(-8) N(1) "shr.v.v 0x100", -4, nullptr},
    {"shr with bit 15 is logical", N(-1) N(28) "shr.v.v 0x8100", 15, nullptr},
    {"neg of a string", S(0) "neg.v 0x100", -2, nullptr},
    {"unary plus of a string", S(0) "neg.v 0x200", 2, nullptr},
    {"logical not of the empty string", S(3) "not.v 0x100\nconv.b.v", 1, nullptr},
    {"bitwise not", N(5) "not.v 0x200", -6, nullptr},
    {"less", N(1) N(2) "set.v.v 7\nconv.b.v", 1, nullptr},
    {"greater", N(1) N(2) "set.v.v 8\nconv.b.v", 0, nullptr},
    {"less or equal on equals", N(2) S(0) "set.v.v 9\nconv.b.v", 1, nullptr},
    {"greater or equal", N(1) N(2) "set.v.v 10\nconv.b.v", 0, nullptr},
    {"less on NaN is false", S(1) N(2) "set.v.v 7\nconv.b.v", 0, nullptr},
    {"greater or equal on NaN is false", S(1) N(2) "set.v.v 10\nconv.b.v", 0, nullptr},
    {"texts compare as texts", S(0) S(1) "set.v.v 7\nconv.b.v", 1, nullptr},
    {"equal converts the string", N(2) S(0) "set.v.v 12\nconv.b.v", 1, nullptr},
    {"not equal", N(2) S(0) "set.v.v 13\nconv.b.v", 0, nullptr},
    {"strict equal of a number and an int64", N(1) "push.l 1\nconv.l.v\nset.v.v 14\nconv.b.v", 1, nullptr},
    {"strict equal of a number and a string", N(2) S(0) "set.v.v 14\nconv.b.v", 0, nullptr},
    {"strict not equal", N(2) S(0) "set.v.v 15\nconv.b.v", 1, nullptr},
    {"truth of a text", S(1) "conv.v.b 0x100\nconv.b.v", 1, nullptr},
    {"truth of zero", N(0) "conv.v.b 0x100\nconv.b.v", 0, nullptr},
    {"number of a text", S(2) "conv.v.v 0x200", 26, nullptr},
};
#undef N
#undef S

// The game's header sets the mode when it is read: the programs run as an
// object-mode game's.
struct VMObjectTest : VMTest {
    void LoadObjectMode(const std::vector<std::string>& sources)
    {
        Load(sources, {}, kStrings);
        ObjectMode = true;
    }
};

class VMObjectForms : public VMObjectTest, public ::testing::WithParamInterface<Case> {};

TEST_P(VMObjectForms, LeaveTheExpectedValue)
{
    const Case& c = GetParam();
    LoadObjectMode({c.source});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    if (c.text) {
        EXPECT_EQ(Text(r), c.text);
    } else {
        ASSERT_TRUE(r.Kind() == VALUE_REAL || r.Kind() == VALUE_BOOL) << r.Kind();
        if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(r.real)) << r.real;
        else EXPECT_EQ(r.real, c.expected);
    }
    Release(r);
}

INSTANTIATE_TEST_SUITE_P(Table, VMObjectForms, ::testing::ValuesIn(kForms), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// Unset operands and failed conversions throw; with no handler anywhere the
// throw is the run's fatal error.
TEST_F(VMObjectTest, UnsetOperandsAndFailedConversionsThrow)
{
    const std::vector<std::pair<std::string, std::string>> kPrograms = {
        {"push.v unset.0\npush.d 1\nconv.d.v\nsub.v.v 0x100", "ReferenceError: could not find variable before '-'"},
        {"push.d 1\nconv.d.v\npush.v unset.0\nadd.v.v 0x100", "ReferenceError: could not find variable after '+' operator"},
        {"push.v unset.0\nneg.v 0x200", "ReferenceError: could not find lhs variable in unary - #2"},
        {"push.v unset.0\nconv.v.b 0x100", "ReferenceError: could not find lhs variable on conv"},
        {"push.d 1\nconv.d.v\npush.v unset.0\nset.v.v 14", "ReferenceError: could not find variable after '==='/'!=='"},
        {"push.s 0\nconv.s.v\npush.d 1\nconv.d.v\nset.v.v 11", "TypeError: right-hand side of in operator must be an object"},
        {"push.v unset.0\npopz.v", "ReferenceError: DoPopNull : Could not find variable"},
        {"push.v unset.0\nconv.v.d", "ReferenceError: DoConv :1: Could not find variable"},
        {"push.v unset.0\npop.v.v local.100000", "ReferenceError: Attempting to set variable"},
        {"push.d 1\nconv.d.v\npush.d 2\nconv.d.v\nrem.v.v 0x100", "DoRem :: Execution Error"},
    };
    std::vector<std::string> sources;
    for (const auto& program : kPrograms) sources.push_back(program.first);
    LoadObjectMode(sources);
    for (size_t i = 0; i < sources.size(); ++i) {
        ScriptValue r = Run(static_cast<int32_t>(i));
        const std::string expected = i + 1 < sources.size()
                                         ? "Unable to find a handler for exception " + kPrograms[i].second
                                         : kPrograms[i].second;
        EXPECT_TRUE(ErrorHas(expected)) << sources[i] << "\n" << Error();
        EXPECT_FALSE(VM_Exception.pending);
        Release(r);
    }
}

// ------------------------------------------------------------------ scopes

// A built-in handing out the test's object as an object value.
KVObjectBase* s_object = nullptr;
void TestObject(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    result->obj = s_object;
    result->flags = 0;
    result->kind = VALUE_OBJECT;
}

struct VMScopeTest : VMObjectTest {
    int32_t object = -1;
    void SetUp() override
    {
        VMObjectTest::SetUp();
        CodeFunction_Register("vm_test_object", TestObject, 0, 0);
        ASSERT_TRUE(CodeFunction_Find("vm_test_object", &object));
        s_object = KVObjectBase::Alloc(2, VALUE_UNSET, true);
        if (!s_object->m_properties) s_object->m_properties = new CVariableList();
        GlobalScopeObject = KVObjectBase::Alloc(4, VALUE_UNSET, true);
    }
    void TearDown() override
    {
        KVObjectBase::Free(s_object);
        KVObjectBase::Free(GlobalScopeObject);
        GlobalScopeObject = nullptr;
        CodeFunction_FreeAll();
        VMObjectTest::TearDown();
    }
    std::string Object() { return "call.i " + std::to_string(object) + " 0\n"; }
};

TEST_F(VMScopeTest, TheScopeChainIsReadWrittenAndDeleted)
{
    LoadObjectMode({"push.d 5\nconv.d.v\npop.v.v -11.100001\npush.v -11.100001",
                    "pop.v.del -11.100001\npopz.v\npush.v -11.100001"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.Kind(), VALUE_REAL);
    EXPECT_EQ(r.real, 5);
    EXPECT_EQ(GlobalScopeObject->SlotAt(1)->real, 5);
    // Gone after its delete: the read finds nothing.
    Run(1);
    EXPECT_TRUE(ErrorHas("Push :: Execution Error - Variable Get -11")) << Error();
}

TEST_F(VMScopeTest, LocalsAlongTheScopesAreDeclaredBeforeTheyAreSet)
{
    LoadObjectMode({"push.d 7\nconv.d.v\npop.v.v -12.100002",
                    "pop.v.decl -12.100002\npush.d 7\nconv.d.v\npop.v.v -12.100002\npush.v -12.100002",
                    "pop.v.del local.100001", "push.d 1\nconv.d.v\npop.v.v -13.258"});
    Run(0);
    EXPECT_TRUE(ErrorHas("Variable set failed")) << Error();
    ScriptValue r = Run(1);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 7);
    // The delete of a local gives whether it held undefined.
    r = Run(2);
    EXPECT_EQ(r.Kind(), VALUE_BOOL);
    EXPECT_EQ(r.real, 0);
    Run(3);
    EXPECT_TRUE(ErrorHas("Unable to find any instance for argument scope '2 / 1'")) << Error();
}

TEST_F(VMScopeTest, MembersOfObjectValues)
{
    LoadObjectMode({Object() + "push.v -9.100001",
                    "push.s 0\nconv.s.v\n" + Object() + "push.v -10.100001",
                    "push.d 1\nconv.d.v\npush.v -9.100001",
                    "push.v unset.0\npush.v -9.100001",
                    "push.s 1\nconv.s.v\n" + Object() + "pop.v.v -9.100001\npush.d 3\nconv.d.v",
                    "push.d 1\nconv.d.v\npop.v.del -9.100001",
                    "push.v unset.0\npop.v.del -9.100001",
                    "push.s 1\nconv.s.v\npush.s 0\nconv.s.v\npush.d 1\nconv.d.v\npop.v.v -10.100001\npush.d 4\nconv.d.v"});
    // The object model finds no members yet: they read as undefined.
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.Kind(), VALUE_UNDEFINED);
    r = Run(1);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.Kind(), VALUE_UNDEFINED);
    // A number's member goes to its Number object.
    r = Run(2);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.Kind(), VALUE_UNDEFINED);
    Run(3);
    EXPECT_TRUE(ErrorHas("ReferenceError: Variable")) << Error();
    EXPECT_TRUE(ErrorHas("cannot be resolved.")) << Error();
    // Stores consume the object value and the stored string (the leak checker watches).
    r = Run(4);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 3);
    r = Run(5);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.Kind(), VALUE_REAL);
    EXPECT_EQ(r.real, 0);
    Run(6);
    EXPECT_TRUE(ErrorHas("ReferenceError: Cannot find variable to delete")) << Error();
    r = Run(7);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 4);
}

// ------------------------------------------------------------------ function values and with-blocks

// 1 when the running self is the test's object.
void TestSelf(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue*)
{
    *result = ScriptValue_Real(self == reinterpret_cast<CInstance*>(s_object) ? 1 : 0);
}
// A native function of the object model: 100 plus its arguments, 1000 more when this is the object.
void TestNative(ScriptValue* result, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    double sum = 100;
    for (int i = 0; i < argc; ++i) sum += args[i].real;
    if (self == reinterpret_cast<CInstance*>(s_object)) sum += 1000;
    *result = ScriptValue_Real(sum);
}

struct VMFunctionTest : VMScopeTest {
    int32_t self = -1;
    void SetUp() override
    {
        VMScopeTest::SetUp();
        CodeFunction_Register("vm_test_self", TestSelf, 0, 0);
        ASSERT_TRUE(CodeFunction_Find("vm_test_self", &self));
    }
    std::string Self() { return "call.i " + std::to_string(self) + " 0\n"; }
};

TEST_F(VMFunctionTest, NativeFunctionValuesTakeThisAndTheirArguments)
{
    const std::string callee = Object() + Object();   // this-value, then the callee on top
    LoadObjectMode({"push.d 9\nconv.d.v\n" + callee + "call.v 0 0\nadd.v.v",
                    "push.d 9\nconv.d.v\npush.d 4\nconv.d.v\npush.d 3\nconv.d.v\n" + callee + "call.v 0 2\nadd.v.v",
                    callee + "call.v 0 0", Object() + "push.d 1\nconv.d.v\ncall.v 0 0",
                    "push.d 1\nconv.d.v\npush.v unset.0\ncall.v 0 0"});
    // An object that is no function.
    ScriptValue r = Run(2);
    EXPECT_TRUE(ErrorHas("TypeError: Invalid callv target #1")) << Error();
    Run(3);
    EXPECT_TRUE(ErrorHas("TypeError: Invalid callv target #2")) << Error();
    Run(4);
    EXPECT_TRUE(ErrorHas("ReferenceError: Invalid callv target")) << Error();

    s_object->AddPointer("[[Call_Cpp]]", reinterpret_cast<void*>(&TestNative), 0);
    r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 9 + 1100);
    r = Run(1);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 9 + 1107);
}

TEST_F(VMFunctionTest, ScriptFunctionValuesRunWithThisAsSelf)
{
    Load({"push.d 9\nconv.d.v\npush.d 5\nconv.d.v\n" + Object() + Object() + "call.v 0 1\nadd.v.v\n" + Self() +
              "add.v.v",
          Self() + "ret.v"},
         {1}, kStrings);
    ObjectMode = true;
    s_object->AddPointer("[[Call_Script]]", Script_Get(0), 0);
    // The script sees the object as self; after the return self is the caller's again.
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 9 + 1 + 0);
}

TEST_F(VMScopeTest, ARunsArgumentsObjectIsItsFirstLocal)
{
    LoadObjectMode({"pushl 100000"});
    CCode code(0, 0);
    // A new locals object and a given one: slot 0 holds the arguments object,
    // and the string the given one held there is released.
    ScriptValue r = ScriptValue_Undefined();
    VM_RunCode(&code, nullptr, nullptr, &r, nullptr, 0, nullptr, s_object);
    EXPECT_EQ(Error(), "");
    ASSERT_EQ(r.Kind(), VALUE_OBJECT);
    EXPECT_EQ(r.obj, s_object);
    KVObjectBase* locals = KVObjectBase::Alloc(4, VALUE_UNSET, true);
    ScriptValue_SetString(locals->SlotAt(0), "held");
    r = ScriptValue_Undefined();
    VM_RunCode(&code, nullptr, nullptr, &r, locals, 0, nullptr, s_object);
    ASSERT_EQ(r.Kind(), VALUE_OBJECT);
    EXPECT_EQ(r.obj, s_object);
    EXPECT_EQ(locals->SlotAt(0)->obj, s_object);
    KVObjectBase::Free(locals);
    // Without one the slot is left alone.
    r = ScriptValue_Undefined();
    VM_RunCode(&code, nullptr, nullptr, &r, nullptr, 0, nullptr, nullptr);
    EXPECT_NE(r.Kind(), VALUE_OBJECT);
}

TEST_F(VMFunctionTest, WithBlocksOverObjectValues)
{
    LoadObjectMode({Object() + "pushenv end object\n" + Self() + "pop.v.v local.100000\nend:\npopenv end\n"
                        "pushl 100000\npush.d 10\nconv.d.v\nmul.v.v\n" + Self() + "add.v.v",
                    "push.d 1\nconv.d.v\npushenv end object\nend:\npopenv end"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.real, 10);
    Run(1);
    EXPECT_TRUE(ErrorHas("FOo")) << Error();
}
}  // namespace

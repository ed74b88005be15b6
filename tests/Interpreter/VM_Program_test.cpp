#include <cmath>
#include <limits>

#include "Code/Code_Function.h"
#include "Code/VM_Main.h"
#include "Interpreter/VMFixture.h"
#include "Interpreter/VM_Interpreter.h"

namespace {
struct Case {
    const char* name;
    const char* source;
    double expected;   // the real (or bool) result
};

// Each program leaves one value on top.
const Case kNumbers[] = {
    {"sub int items", "push.i 5\npush.i 7\nsub.i.i\nconv.i.v", -2},
    {"add double and int", "push.d 1.5\npush.i 2\nadd.i.d\nconv.d.v", 3.5},
    {"int wraps", "push.i 2147483647\npush.i 1\nadd.i.i\nconv.i.v", -2147483648.0},
    {"INT_MIN / -1", "push.i -2147483648\npush.i -1\ndiv.i.i\nconv.i.v", -2147483648.0},
    {"INT_MIN mod -1", "push.i -2147483648\npush.i -1\nmod.i.i\nconv.i.v", 0},
    {"rem gives the quotient", "push.d 7.9\npush.d 2.2\nrem.d.d\nconv.d.v", 3},
    {"mod of doubles", "push.d 7.5\npush.d 2\nmod.d.d\nconv.d.v", 1.5},
    {"shl count wraps at 32", "push.i 1\npush.i 33\nshl.i.i\nconv.i.v", 2},
    {"shr is arithmetic", "push.i -8\npush.i 1\nshr.i.i\nconv.i.v", -4},
    {"shl of longs wraps at 64", "push.l 1\npush.l 64\nshl.l.l\nconv.l.d\nconv.d.v", 1},
    {"and of bools", "push.b 1\npush.b 0\nand.b.b\nconv.b.v", 0},
    {"xor of two true bools", "push.b 1\npush.b 1\nxor.b.b\nconv.b.v", 0},
    {"and of a double and a bool", "push.d 3\npush.b 1\nand.b.d\nconv.d.v", 1},
    {"neg of a bool value", "push.b 1\nconv.b.v\nneg.v\n", -1},
    {"not of a bool item", "push.b 0\nnot.b\nconv.b.v", 1},
    {"equal within epsilon", "push.d 0.1\npush.d 0.2\nadd.d.d\npush.d 0.3\nset.d.d eq\nconv.b.v", 1},
    {"less on equal ints", "push.i 5\npush.i 5\nset.i.i lt\nconv.b.v", 0},
    {"less or equal on equal ints", "push.i 5\npush.i 5\nset.i.i le\nconv.b.v", 1},
    {"INT_MIN below 1", "push.i -2147483648\npush.i 1\nset.i.i lt\nconv.b.v", 1},
    {"values below", "push.d 1\nconv.d.v\npush.d 2\nconv.d.v\nset.v.v lt\nconv.b.v", 1},
    {"values not above or equal", "push.d 1\nconv.d.v\npush.d 2\nconv.d.v\nset.v.v ge\nconv.b.v", 0},
    {"values above", "push.d 3\nconv.d.v\npush.d 2\nconv.d.v\nset.v.v gt\nconv.b.v", 1},
    {"values at most within epsilon", "push.d 2.00000000001\nconv.d.v\npush.d 2\nconv.d.v\nset.v.v le\nconv.b.v", 1},
    {"values equal within epsilon",
     "push.d 0.1\nconv.d.v\npush.d 0.2\nconv.d.v\nadd.v.v\npush.d 0.3\nconv.d.v\nset.v.v eq\nconv.b.v", 1},
    {"values not unequal within epsilon",
     "push.d 0.1\nconv.d.v\npush.d 0.2\nconv.d.v\nadd.v.v\npush.d 0.3\nconv.d.v\nset.v.v ne\nconv.b.v", 0},
    {"bool value equals real value", "push.b 1\nconv.b.v\npush.d 1\nconv.d.v\nset.v.v eq\nconv.b.v", 1},
    {"string item converted as a double", "push.s 0\nconv.d.v\npopz.v\npush.d 1\nconv.d.v", 1},
    {"difference stored in a local",
     "push.d 7\nconv.d.v\npush.d 2\nconv.d.v\nsub.v.v\npop.v.v local.100000\npushl 100000", 5},
    {"product stored in a local",
     "push.d 7\nconv.d.v\npush.d 2\nconv.d.v\nmul.v.v\npop.v.v local.100000\npushl 100000", 14},
    {"quotient stored in a local",
     "push.d 7\nconv.d.v\npush.d 2\nconv.d.v\ndiv.v.v\npop.v.v local.100000\npushl 100000", 3.5},
    {"sum of a bool stored in a local",
     "push.b 1\nconv.b.v\npush.d 2\nconv.d.v\nadd.v.v\npop.v.v local.100000\npushl 100000", 3},
    {"number equals no string", "push.d 1\nconv.d.v\npush.s 0\nconv.s.v\nset.v.v eq\nconv.b.v", 0},
    {"number differs from a string", "push.d 1\nconv.d.v\npush.s 0\nconv.s.v\nset.v.v ne\nconv.b.v", 1},
    {"int to bool of -3", "push.i -3\nconv.i.b\nconv.b.v", 0},
    {"string true to bool", "push.s 1\nconv.s.b\nconv.b.v", 1},
    {"string True to bool", "push.s 2\nconv.s.b\nconv.b.v", 0},
    {"string to double", "push.s 3\nconv.s.d\nconv.d.v", 12.5},
    {"double to int truncates", "push.d -2.7\nconv.d.i\nconv.i.v", -2},
    {"huge double to int is defined", "push.d 1e300\nconv.d.i\npopz.i\npush.d 1\nconv.d.v", 1},
    {"bt jumps on true", "push.b 1\nbt yes\npush.d 1\nconv.d.v\nexit.i\nyes:\npush.d 2\nconv.d.v", 2},
    {"bf falls through on true", "push.b 1\nbf no\npush.d 1\nconv.d.v\nexit.i\nno:\npush.d 2\nconv.d.v", 1},
    {"two locals subtracted",
     "push.d 9\nconv.d.v\npop.v.v local.100000\npush.d 4\nconv.d.v\npop.v.v local.100001\npushl 100000\n"
     "pushl 100001\nsub.v.v", 5},
    {"loop counts to ten",
     "push.d 0\nconv.d.v\npop.v.v local.100000\nloop:\npushl 100000\npush.d 10\nconv.d.v\nset.v.v lt\nbf end\n"
     "pushl 100000\npush.d 1\nconv.d.v\nadd.v.v\npop.v.v local.100000\nb loop\nend:\npushl 100000", 10},
    {"bt on values equal within epsilon",
     "push.d 1\nconv.d.v\npush.d 1.00000000001\nconv.d.v\nset.v.v eq\nbt yes\npush.d 1\nconv.d.v\nexit.i\n"
     "yes:\npush.d 2\nconv.d.v", 2},
    {"bf on equal string values",
     "push.s 0\nconv.s.v\npush.s 0\nconv.s.v\nset.v.v eq\nbf no\npush.d 1\nconv.d.v\nexit.i\nno:\npush.d 2\nconv.d.v", 1},
    {"dup copies values", "push.d 4\nconv.d.v\ndup.v 0\nadd.v.v", 8},
    {"swap form of dup", "push.d 10\nconv.d.v\npush.d 4\nconv.d.v\ndup.v 0x11 swap\nsub.v.v", -6},
};

class VMNumbers : public VMTest, public ::testing::WithParamInterface<Case> {};

TEST_P(VMNumbers, LeaveTheExpectedValue)
{
    Load({GetParam().source}, {}, {"ab", "true", "True", "12.5"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    ASSERT_TRUE(r.Kind() == VALUE_REAL || r.Kind() == VALUE_BOOL) << r.Kind();
    EXPECT_NEAR(r.real, GetParam().expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Table, VMNumbers, ::testing::ValuesIn(kNumbers),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST_F(VMTest, StringsConcatenateRepeatAndConvert)
{
    ScriptValue r = RunSource("push.s 0\npush.s 1\nadd.s.s\nconv.s.v", {"ab", "cd"});
    EXPECT_EQ(Text(r), "abcd");
    Release(r);
    r = Run(0);  // the operands were released: the same code runs again alike
    EXPECT_EQ(Text(r), "abcd");
    Release(r);

    Load({"push.d 3\npush.s 0\nmul.s.d\nconv.s.v", "push.d 0\npush.s 0\nmul.s.d\nconv.s.v",
          "push.d 0.5\nconv.d.s\nconv.s.v"},
         {}, {"ab"});
    r = Run(0);
    EXPECT_EQ(Text(r), "ababab");
    Release(r);
    r = Run(1);
    EXPECT_EQ(Text(r), "");
    Release(r);
    r = Run(2);
    EXPECT_EQ(Text(r), "0.5");
    Release(r);
}

TEST_F(VMTest, DivisionByZeroIsAnErrorForIntegersAndInfinityForDoubles)
{
    Load({"push.i 7\npush.i 0\ndiv.i.i\nconv.i.v", "push.d 1\npush.d 0\ndiv.d.d\nconv.d.v",
          "push.d 5\npush.d 1e-11\nmod.d.d\nconv.d.v", "push.l 5\npush.l 0\nrem.l.l\nconv.l.v"});
    Run(0);
    EXPECT_TRUE(ErrorHas("DoDiv :: Divide by zero")) << Error();
    const ScriptValue r = Run(1);
    EXPECT_EQ(Error(), "");
    EXPECT_TRUE(std::isinf(r.real));
    Run(2);
    EXPECT_TRUE(ErrorHas("DoMod :: Divide by zero")) << Error();
    Run(3);
    EXPECT_TRUE(ErrorHas("DoRem :: Divide by zero")) << Error();
}

TEST_F(VMTest, RefusedOperandsNameTheInstructionAndSide)
{
    Load({"push.s 0\npush.d 1\nsub.d.s", "push.d 1\npush.d 2\npush.d 3\nadd.v.d"}, {}, {"x"});
    Run(0);
    EXPECT_TRUE(ErrorHas("DoSub :: Execution Engine - Cannot operate on string type")) << Error();
    // A double item read as a whole value is refused on its side.
    Run(1);
    EXPECT_TRUE(ErrorHas("DoAdd :1: Malformed variable")) << Error();
    Run(0);
    EXPECT_TRUE(ErrorHas("DoSub :: Execution Engine - Cannot operate on string type")) << Error();
}

// ------------------------------------------------------------------ calls

int s_calls = 0;
void TestSum(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ++s_calls;
    double sum = 0;
    for (int i = 0; i < argc; ++i) sum += args[i].real;
    *result = ScriptValue_Real(sum + 1000 * argc);
}
// The running call's argument i (as the argument variables read it).
void TestArgument(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const int i = static_cast<int>(args[0].real);
    *result = i < VM_ArgumentCount ? VM_ArgumentBase[i] : ScriptValue_Real(-1);
    ScriptValue_AddRef(result);
}

struct VMCallTest : VMTest {
    int32_t sum = -1, argument = -1;
    void SetUp() override
    {
        VMTest::SetUp();
        CodeFunction_Register("vm_test_sum", TestSum, -1, 0);
        CodeFunction_Register("vm_test_argument", TestArgument, 1, 0);
        ASSERT_TRUE(CodeFunction_Find("vm_test_sum", &sum));
        ASSERT_TRUE(CodeFunction_Find("vm_test_argument", &argument));
        s_calls = 0;
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        VMTest::TearDown();
    }
    std::string Call(int32_t id, int argc) { return "call.i " + std::to_string(id) + " " + std::to_string(argc) + "\n"; }
    std::string Arg(int i) { return "push.d " + std::to_string(i) + "\nconv.d.v\n" + Call(argument, 1); }
};

TEST_F(VMCallTest, BuiltinsTakeTheirArgumentsAndLeaveOneResult)
{
    // Three arguments give way to one result; below them an earlier value stays.
    Load({"push.d 7\nconv.d.v\npush.d 3\nconv.d.v\npush.d 2\nconv.d.v\npush.d 1\nconv.d.v\n" + Call(sum, 3) +
              "add.v.v",
          Call(sum, 0) + "push.d 1\nconv.d.v\nadd.v.v"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 7 + 3006);
    r = Run(1);
    EXPECT_DOUBLE_EQ(r.real, 1);
    EXPECT_EQ(s_calls, 2);
}

TEST_F(VMCallTest, ScriptsGetArgumentsReturnAndRestoreTheCallersArguments)
{
    // Script 0 (entry 1) returns argument0 - argument1; entry 2 runs off its end; entry 3 exits.
    Load({"push.d 10\nconv.d.v\npush.d 4\nconv.d.v\ncall.i 100000 2\n" + Arg(1) + "push.d 99\nconv.d.v\npop.v.v local.100000\nadd.v.v",
          Arg(1) + Arg(0) + "sub.v.v\nret.v",
          "push.d 5\nconv.d.v\npopz.v",
          "push.d 5\nconv.d.v\nexit.i\npush.d 6\nconv.d.v",
          "call.i 100001 0\ncall.i 100002 0\nadd.v.v\npush.d 1\nconv.d.v\nadd.v.v",
          "push.e 0\nret.e"},
         {1, 2, 3, 5});
    // 10 - 4 plus the outer run's own argument 1 (none: -1).
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 10 - 4 - 1);
    // A script running off its end and one exiting both return 0.
    r = Run(4);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 1);
}

TEST_F(VMCallTest, ScriptExecuteTakesTheScriptFromItsFirstArgument)
{
    Load({"push.d 3\nconv.d.v\npush.d 8\nconv.d.v\npush.d 0\nconv.d.v\ncall.i 499999 3",
          Arg(1) + Arg(0) + "sub.v.v\nret.v"},
         {1});
    const ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 3 - 8);
}

TEST_F(VMCallTest, RecursionGrowsTheStackAndKeepsTheCallersFrames)
{
    // script 0: n <= 0 ? 0 : n + script0(n - 1), with a local kept across the call.
    const std::string fib = Arg(0) + "pop.v.v local.100000\n"
                                     "pushl 100000\npush.d 0\nconv.d.v\nset.v.v le\nbf recurse\n"
                                     "push.d 0\nconv.d.v\nret.v\n"
                                     "recurse:\npushl 100000\npush.d 1\nconv.d.v\nsub.v.v\ncall.i 100000 1\n"
                                     "pushl 100000\nadd.v.v\nret.v";
    Load({"push.d 2000\nconv.d.v\ncall.i 100000 1", fib}, {1});
    const ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 2000.0 * 2001 / 2);
}

TEST_F(VMCallTest, UnboundedRecursionStopsWithStackOverflow)
{
    Load({"call.i 100000 0", "push.d 1\nconv.d.v\ncall.i 100000 1"}, {1});
    Run(0);
    EXPECT_TRUE(ErrorHas("Stack overflow")) << Error();
}

TEST_F(VMCallTest, CallsOfMissingScriptsAndBadFormsAreErrors)
{
    Load({"call.i 100007 0", "push.i 1\npush.i 1\n" + Call(sum, 1), ".word 0xD9040000\n.word 0",
          "call.i -2147483647 0", "push.d -2147483647\nconv.d.v\ncall.i 499999 1"});
    Run(0);
    EXPECT_TRUE(ErrorHas("call to non-existent script")) << Error();
    Run(1);
    EXPECT_TRUE(ErrorHas("is not a value")) << Error();
    Run(2);
    EXPECT_TRUE(ErrorHas("DoCall :: Execution Engine type error")) << Error();
    // Ids far outside every range (no arithmetic on them may overflow).
    Run(3);
    EXPECT_TRUE(ErrorHas("DoCall :: unknown built-in function -2147483647")) << Error();
    Run(4);
    EXPECT_TRUE(ErrorHas("call to non-existent script")) << Error();
}

// ------------------------------------------------------------------ variables

TEST_F(VMTest, LocalsGlobalsAndUnsetReads)
{
    Load({"push.d 5\nconv.d.v\npop.v.v local.100001\npush.v local.100001\npush.d 2\nconv.d.v\nmul.v.v",
          "push.d 3\nconv.d.v\npop.v.v global.100002\npushg 100002",
          "pushl 100003",
          "pushl 100009",
          "push.v self.100001"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 10);
    r = Run(1);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 3);
    Run(2);
    EXPECT_TRUE(ErrorHas("not set before reading it")) << Error();
    Run(3);
    EXPECT_TRUE(ErrorHas("local variable id 100009 out of range")) << Error();
    Run(4);  // no self
    EXPECT_TRUE(ErrorHas("Variable self.")) << Error();
}

TEST_F(VMTest, StoresIntoLocalsReleaseWhatTheLocalHeld)
{
    // Strings stored over numbers and numbers over strings: every reference
    // is given back once (ASan checks leaks and double releases).
    Load({"push.s 0\nconv.s.v\npop.v.v local.100000\npush.d 2\nconv.d.v\npop.v.v local.100000\npushl 100000",
          "push.d 2\nconv.d.v\npop.v.v local.100000\npush.s 0\nconv.s.v\npop.v.v local.100000\npushl 100000",
          "push.d 2\npush.d 3\npop.v.v local.100000", "pop.v.v local.100000",
          "push.s 0\nconv.s.v\npop.v.v local.100000\npush.d 1\nconv.d.v\npush.d 2\nconv.d.v\nadd.v.v\n"
          "pop.v.v local.100000\npushl 100000",
          "push.s 0\nconv.s.v\npush.s 0\nconv.s.v\nadd.v.v\npop.v.v local.100000\npushl 100000",
          "push.s 0\nconv.s.v\npop.v.v local.100000\npushl 100000\npush.d 1\nconv.d.v\npopz.v",
          "push.s 0\nconv.s.v\npop.v.v local.100000\npushl 100000\npushl 100000\nadd.v.v"},
         {}, {"text"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(r.Kind(), VALUE_REAL);
    EXPECT_DOUBLE_EQ(r.real, 2);
    r = Run(1);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Text(r), "text");
    Release(r);
    Run(2);
    EXPECT_TRUE(ErrorHas("Pop :: Malformed variable")) << Error();
    Run(3);
    EXPECT_TRUE(ErrorHas("underflow")) << Error();
    // A sum stored over a string, and a string sum.
    r = Run(4);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 3);
    r = Run(5);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Text(r), "texttext");
    Release(r);
    // A string local read before a number constant, and twice in a row.
    r = Run(6);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Text(r), "text");
    Release(r);
    r = Run(7);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Text(r), "texttext");
    Release(r);
}

TEST_F(VMTest, ArrayElementsOfLocals)
{
    Load({"push.d 7\nconv.d.v\npush.i 3\npop.v.v local.100000[]\n"
          "push.i 3\npush.v local.100000[]"});
    ScriptValue r = Run(0);
    EXPECT_EQ(Error(), "");
    EXPECT_DOUBLE_EQ(r.real, 7);
}

// ------------------------------------------------------------------ malformed code

TEST_F(VMTest, MalformedCodeStopsWithAnErrorInsteadOfReadingOutside)
{
    const char* const kPrograms[][2] = {
        {"b 400", "outside the code"},
        {"b -4", "outside the code"},
        {".word 0x42000000", "unknown opcode"},
        {".word 0xC0000000", "runs past the end"},
        {"popz.v", "underflow"},
        {"add.v.v", "underflow"},
        {"conv.d.v", "underflow"},
        {"pushl 100003\npush.d 1\nconv.d.v", "not set before reading it"},
        {"push.d 1\nconv.d.v\npop.v.v local.100000\npushl 100000\npushl 100003", "not set before reading it"},
        {"push.d 1\nconv.d.v\nset.v.v lt", "underflow"},
        {"push.d 1\nset.v.v lt", "underflow"},
        {"push.d 1\npush.d 2\npopz.v", "Malformed variable"},
        {"push.d 1\npopz.s", "Malformed string"},
        {"push.d 1\nconv.d.v\npopz.i\npush.d 5\npopz.v", "Malformed variable"},
        {"push.s 9999", "string 9999 out of range"},
        {"pushb 99999", "variable index is out of range"},
        {"push.i 1\npush.d 2\n.word 0x452F0001", "Instruction malformed"},
        {"push.i 0\npush.i 0\npush.i 0\npopenv 0", "no with-block record"},
        {"pushi -5\npushenv 0", "Cannot use global in with statement"},
    };
    std::vector<std::string> sources;
    for (const auto& program : kPrograms) sources.push_back(program[0]);
    Load(sources);
    for (size_t i = 0; i < sources.size(); ++i) {
        Run(static_cast<int32_t>(i));
        EXPECT_TRUE(ErrorHas(kPrograms[i][1])) << sources[i] << "\n" << Error();
    }
}

TEST_F(VMTest, ValuesLeftOnTheStackAreReleased)
{
    // Strings left behind by a stopped run and by the end of the code are freed (ASan checks).
    Load({"push.s 0\nconv.s.v\npush.s 0\npush.s 0\nadd.s.s\nb 400", "push.s 0\nconv.s.v\npush.s 0\nconv.s.v"},
         {}, {"leak"});
    Run(0);
    EXPECT_TRUE(ErrorHas("outside the code"));
    ScriptValue r = Run(1);
    EXPECT_EQ(Text(r), "leak");
    Release(r);
}

TEST_F(VMTest, NegatingAStringSlotAsATypedNumberReleasesTheString)
{
    // Malformed code: the string (or string value) is released before the
    // result overwrites its bytes, so nothing later follows them as a
    // reference (ASan checks both the release and the leak).
    const std::vector<std::string> programs = {
        "push.s 0\nneg.d\npopz.d", "push.s 0\nnot.d\npopz.d", "push.s 0\nneg.f\npopz.d",
        "push.s 0\nnot.i\npopz.i", "push.s 0\nneg.l\npopz.l", "push.s 0\nconv.s.v\nneg.d\npopz.d",
    };
    Load(programs, {}, {"text"});
    for (size_t i = 0; i < programs.size(); ++i) {
        ScriptValue r = Run(static_cast<int32_t>(i));
        EXPECT_EQ(Error(), "") << programs[i];
        Release(r);
    }
}

TEST_F(VMTest, ConsumingAnOwningSlotAsANumberReleasesIt)
{
    // Malformed code reads a string item or a string value as a typed
    // number: the consumed slot gives its string back (the leak checker
    // watches at exit), also when only the first half of a value is consumed.
    const std::vector<std::string> programs = {
        "push.s 0\nbt end\nend:",
        "push.s 0\nconv.s.v\nbf end\nend:\npopz.d",
        "push.s 0\nconv.s.v\npopz.d\npopz.d",
        "push.s 0\nconv.s.v\nconv.d.i\npopz.i\npopz.d",
        "push.s 0\nconv.s.v\npush.d 1\nadd.d.d\npopz.d\npopz.d",
        "push.s 0\npop.i.d local.100000",
        "push.s 0\nconv.s.v\npop.i.l local.100000\npopz.d",
        "push.s 0\npushenv end\nend:\npopenv end",
    };
    Load(programs, {}, {"owned"});
    for (size_t i = 0; i < programs.size(); ++i) {
        ScriptValue r = Run(static_cast<int32_t>(i));
        EXPECT_EQ(Error(), "") << programs[i];
        Release(r);
    }
}

int s_pauses = 0;

// The plain loop runs a number constant's push and conversion as one step,
// and a sum with its store into a local; the debugger still stops at a
// breakpoint on any of their words.
TEST_F(VMTest, BreakpointsStopOnEveryWordOfJoinedSteps)
{
    Load({"exit.i"});
    std::vector<uint32_t> words =
        gamedata::Assemble("push.d 5\nconv.d.v\npush.d 2\nconv.d.v\nadd.v.v\npop.v.v local.100000\npushl 100000\n"
                           "push.d 1\nconv.d.v\nadd.v.v\npushl 100000\npush.d 9\nconv.d.v\nset.v.v lt\nbt done\n"
                           "push.d 0\nconv.d.v\ndone:\npushl 100000\npushl 100000\nsub.v.v\nadd.v.v")
            .words;
    ASSERT_EQ(words.size(), 36u);
    VMBuffer buffer;
    buffer.m_code = words.data();
    buffer.m_size = static_cast<int32_t>(words.size() * 4);
    CCode code(-1, 0);
    code.m_bytecode = &buffer;
    code.m_localsCount = 4;
    // A first run without the debugger prepares the code.
    ScriptValue result = ScriptValue_Undefined();
    VM_RunCode(&code, nullptr, nullptr, &result, nullptr, 0, nullptr, nullptr);
    EXPECT_DOUBLE_EQ(result.real, 8);
    VM_Debugger = VMDebuggerHooks{[] { return true; }, nullptr, [] { ++s_pauses; }};
    // The first conversion, the second push (whose conversion has one too),
    // the store, the constant after the local and its conversion, the
    // branch after a comparison, and the second of two locals.
    for (size_t at : {3u, 4u, 7u, 9u, 13u, 16u, 25u, 32u}) ASSERT_TRUE(VM_AddBreakpoint(&words[at]));
    VM_PatchBreakpoints();
    s_pauses = 0;
    result = ScriptValue_Undefined();
    VM_RunCode(&code, nullptr, nullptr, &result, nullptr, 0, nullptr, nullptr);
    VM_ClearBreakpoints();
    VM_Debugger = VMDebuggerHooks{};
    code.m_bytecode = nullptr;
    EXPECT_EQ(s_pauses, 8);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(result.Kind(), VALUE_REAL);
    EXPECT_DOUBLE_EQ(result.real, 8);
}
}  // namespace

// Start-up forgets the breakpoints of an earlier pass of the restart loop:
// their addresses point into code that has been freed since.
TEST(VMInit, ForgetsBreakpointsAndStepping)
{
    uint32_t word = 0x12345678u;
    ASSERT_TRUE(VM_AddBreakpoint(&word));
    VM_StepMode = 0;
    VM_BreakRequest = true;
    VM_Init();
    VM_PatchBreakpoints();
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_EQ(VM_StepMode, -1);
    EXPECT_FALSE(VM_BreakRequest);
    EXPECT_TRUE(VM_AddBreakpoint(&word));
    VM_ClearBreakpoints();
}

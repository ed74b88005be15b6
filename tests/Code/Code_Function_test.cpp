#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "ValueTestSupport.h"

namespace {
using FunctionTable = ::testing::Test;

void Nothing(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) {}

// Adds its arguments, reports who it runs as, and leaves the arguments alone.
const BuiltinFunction* s_seenCurrent = nullptr;
int s_seenArgc = -1;
void Sum(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    s_seenCurrent = CurrentBuiltinFunction;
    s_seenArgc = argc;
    double total = 0;
    for (int i = 0; i < argc; ++i) total += Arg_Real(args, i);
    ScriptValue_SetReal(result, total);
}

void ThirdIsReal(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Arg_Real(args, 2));
}
}  // namespace

TEST_F(FunctionTable, RegistrationGrowsBy500AndKeepsOrder)
{
    char name[32];
    for (int i = 0; i <= 500; ++i) {
        std::snprintf(name, sizeof name, "fn_%d", i);
        CodeFunction_Register(name, Nothing, i % 3 - 1, static_cast<uint8_t>(i));
        if (i == 0) {
            EXPECT_EQ(CodeFunction_Capacity(), 500);
        }
    }
    EXPECT_EQ(CodeFunction_Capacity(), 1000);
    EXPECT_EQ(CodeFunction_Count(), 501);
    for (int i : {0, 250, 499, 500}) {
        std::snprintf(name, sizeof name, "fn_%d", i);
        int32_t id = -7;
        ASSERT_TRUE(CodeFunction_Find(name, &id));
        EXPECT_EQ(id, i);
        const char* infoName = nullptr;
        BuiltinRoutine routine = nullptr;
        int32_t argc = 0;
        uint8_t flag = 0;
        CodeFunction_GetInfo(id, &infoName, &routine, &argc, &flag);
        EXPECT_STREQ(infoName, name);
        EXPECT_EQ(argc, i % 3 - 1);
        EXPECT_EQ(flag, static_cast<uint8_t>(i));
    }
}

TEST_F(FunctionTable, FindMissesAndFirstRegistrationWins)
{
    int32_t id = 5;
    EXPECT_FALSE(CodeFunction_Find("", &id));
    EXPECT_EQ(id, -1);
    id = 5;
    EXPECT_FALSE(CodeFunction_Find(nullptr, &id));
    EXPECT_EQ(id, -1);
    EXPECT_FALSE(CodeFunction_Find("missing", &id));
    EXPECT_EQ(id, -1);

    CodeFunction_Register("dup", Nothing, 0, 0);
    CodeFunction_Register("Dup", Nothing, 0, 0);
    CodeFunction_Register("dup", Sum, 0, 0);
    ASSERT_TRUE(CodeFunction_Find("dup", &id));
    EXPECT_EQ(id, 0);
    ASSERT_TRUE(CodeFunction_Find("Dup", &id));
    EXPECT_EQ(id, 1);

    CodeFunction_ReplaceRoutine("dup", Sum);
    const char* name;
    BuiltinRoutine routine = nullptr;
    int32_t argc;
    uint8_t flag;
    CodeFunction_GetInfo(0, &name, &routine, &argc, &flag);
    EXPECT_EQ(routine, &Sum);
    routine = nullptr;
    CodeFunction_GetInfo(3, &name, &routine, &argc, &flag);  // outside the table: nothing
    EXPECT_EQ(routine, nullptr);
}

TEST_F(FunctionTable, ScriptExecuteIsTheInterpretersOwnCallOutsideCompiledCode)
{
    CodeFunction_Register("script_execute", Nothing, -1, 0);
    int32_t id = -7;
    ASSERT_TRUE(CodeFunction_Find("script_execute", &id));
    EXPECT_EQ(id, 0);  // compiled code calls the built-in
    CompiledCodeMode = false;
    EXPECT_TRUE(CodeFunction_Find("script_execute", &id));
    CompiledCodeMode = true;
    EXPECT_EQ(id, CALLID_SCRIPT_EXECUTE);
}

TEST_F(FunctionTable, CallSetsTheCurrentBuiltinAndBorrowsArguments)
{
    CodeFunction_Register("first", Nothing, 0, 0);
    CodeFunction_Register("sum", Sum, -1, 0);
    HeldValue a(1.5), b("2"), result("old result");
    RefString* text = b.v.str;
    ScriptValue* args[] = {&a.v, &b.v};
    BuiltinFunction outer{};
    CurrentBuiltinFunction = &outer;
    CallBuiltinFunction(nullptr, nullptr, &result.v, 2, 1, args);
    EXPECT_EQ(CurrentBuiltinFunction, &outer);
    CurrentBuiltinFunction = nullptr;
    ASSERT_NE(s_seenCurrent, nullptr);
    EXPECT_STREQ(s_seenCurrent->name, "sum");
    EXPECT_EQ(s_seenArgc, 2);
    EXPECT_EQ(result.v.kind, VALUE_REAL);
    EXPECT_EQ(result.v.real, 3.5);
    EXPECT_EQ(text->count, 1);

    // More arguments than fit on the stack.
    HeldValue many[40];
    ScriptValue* manyArgs[40];
    for (int i = 0; i < 40; ++i) {
        many[i].v = ScriptValue_Real(1);
        manyArgs[i] = &many[i].v;
    }
    CallBuiltinFunction(nullptr, nullptr, &result.v, 40, 1, manyArgs);
    EXPECT_EQ(result.v.real, 40.0);
}

TEST_F(FunctionTable, ArgumentErrorsNameTheBuiltinAndCountFromOne)
{
    CodeFunction_Register("draw_thing", ThirdIsReal, 3, 0);
    HeldValue x(1.0), y(2.0), z;
    ScriptValue* args[] = {&x.v, &y.v, &z.v};
    HeldValue result;
    EXPECT_FATAL_ERROR(CallBuiltinFunction(nullptr, nullptr, &result.v, 3, 0, args),
                       "draw_thing argument 3 incorrect type \\(undefined\\) expecting a Number \\(KVWR\\)");
    EXPECT_FATAL_ERROR(CallBuiltinFunction(nullptr, nullptr, &result.v, 0, 7, nullptr), "Unknown built-in function index 7");
}

TEST(Arguments, ConversionsOfAcceptedKinds)
{
    HeldValue fortyTwo("42"), junk("4x"), blank("");
    ScriptValue bools[] = {MakeValue(VALUE_BOOL, 0x3FF0000000000000), ScriptValue_Real(NAN)};
    bools[1].kind = VALUE_BOOL;
    ScriptValue args[] = {
        ScriptValue_Real(3.9),                                // 0
        ScriptValue_Real(-3.9),                               // 1
        ScriptValue_Real(0.5),                                // 2
        ScriptValue_Real(0.51),                               // 3
        bools[0],                                             // 4
        bools[1],                                             // 5
        MakeValue(VALUE_INT32, static_cast<uint32_t>(-2)),    // 6
        MakeValue(VALUE_INT64, (int64_t{3} << 32) | 5),       // 7
        fortyTwo.v,                                           // 8
        junk.v,                                               // 9
        ScriptValue_Real(-1),                                 // 10
        ScriptValue_Real(4294967295.0),                       // 11
        MakeValue(VALUE_PTR, 0x1234567890),                   // 12
        MakeValue(VALUE_OBJECT, 0x40),                        // 13
        blank.v,                                              // 14
    };
    EXPECT_EQ(Arg_Int32(args, 0), 3);
    EXPECT_EQ(Arg_Int32(args, 1), -3);
    EXPECT_EQ(Arg_Int32(args, 8), 42);
    EXPECT_EQ(Arg_Int32(args, 9), 0);  // unreadable text is NaN, which converts to 0
    EXPECT_EQ(Arg_Int32(args, 7), 5);
    EXPECT_EQ(Arg_Int32(args, 11), -1);
    EXPECT_FALSE(Arg_Bool(args, 2));
    EXPECT_TRUE(Arg_Bool(args, 3));
    EXPECT_TRUE(Arg_Bool(args, 4));
    EXPECT_TRUE(Arg_Bool(args, 5));  // a NaN bool is true
    EXPECT_FALSE(Arg_Bool(args, 6));
    EXPECT_TRUE(Arg_Bool(args, 7));
    EXPECT_EQ(Arg_Float(args, 3), 0.51f);
    ScriptValue huge[] = {ScriptValue_Real(1e300), ScriptValue_Real(-1e300)};
    EXPECT_EQ(Arg_Float(huge, 0), INFINITY);
    EXPECT_EQ(Arg_Float(huge, 1), -INFINITY);
    EXPECT_EQ(Arg_Float(args, 7), static_cast<float>((int64_t{3} << 32) | 5));
    EXPECT_EQ(Arg_Int64(args, 1), -3);
    EXPECT_EQ(Arg_Int64(args, 6), -2);
    EXPECT_EQ(Arg_Int64(args, 7), (int64_t{3} << 32) | 5);
    EXPECT_EQ(Arg_Int64(args, 8), 42);
    EXPECT_EQ(Arg_UInt32(args, 10), 0xFFFFFFFFu);
    EXPECT_EQ(Arg_UInt32(args, 11), 0xFFFFFFFFu);
    EXPECT_EQ(Arg_UInt32(args, 7), 5u);
    EXPECT_EQ(Arg_Real(args, 6), -2.0);
    EXPECT_EQ(Arg_Real(args, 8), 42.0);
    EXPECT_EQ(Arg_Real(args, 14), 0.0);
    EXPECT_TRUE(std::isnan(Arg_Real(args, 9)));
    EXPECT_TRUE(std::isnan(Arg_Real(args, 13)));
    EXPECT_EQ(Arg_NumberOrPointer(args, 1), -3);
    EXPECT_EQ(Arg_NumberOrPointer(args, 12), 0x1234567890);
    EXPECT_EQ(Arg_NumberOrPointer(args, 7), (int64_t{3} << 32) | 5);
    EXPECT_STREQ(Arg_String(args, 8), "42");
    EXPECT_EQ(Arg_String(args, 13), nullptr);  // an object: null, no message
}

TEST(Arguments, WrongKindsRaiseTheGettersMessages)
{
    struct Case {
        int getter;
        ScriptValue value;
        const char* message;
    };
    const Case cases[] = {
        {0, MakeValue(VALUE_STRING, 0), "fn argument 1 incorrect type \\(string\\) expecting a Number \\(KVWB\\)"},
        {1, MakeValue(VALUE_UNDEFINED), "fn argument 1 incorrect type \\(undefined\\) expecting a Number \\(KVWF\\)"},
        {2, MakeValue(VALUE_PTR), "fn argument 1 incorrect type \\(ptr\\) expecting a Number \\(KVWI32\\)"},
        {3, MakeValue(VALUE_ARRAY), "fn argument 1 incorrect type \\(array\\) expecting a Number\n"},
        {4, MakeValue(VALUE_NULL), "fn argument 1 incorrect type \\(null\\) expecting a Number \\(KVWU32\\)"},
        {5, MakeValue(VALUE_UNSET), "fn argument 1 incorrect type \\(unknown\\) expecting a Number \\(KVWR\\)"},
        {6, MakeValue(VALUE_BOOL), "fn argument 1 incorrect type \\(bool\\) expecting a Number or Pointer"},
        {7, ScriptValue_Real(1), "fn argument 1 incorrect type \\(number\\) expecting a String \\(KVWS\\)"},
    };
    for (const Case& c : cases) {
        ScriptValue arg = c.value;
        EXPECT_FATAL_ERROR(
            {
                static BuiltinFunction fn{};
                std::strcpy(fn.name, "fn");
                CurrentBuiltinFunction = &fn;
                switch (c.getter) {
                case 0: Arg_Bool(&arg, 0); break;
                case 1: Arg_Float(&arg, 0); break;
                case 2: Arg_Int32(&arg, 0); break;
                case 3: Arg_Int64(&arg, 0); break;
                case 4: Arg_UInt32(&arg, 0); break;
                case 5: Arg_Real(&arg, 0); break;
                case 6: Arg_NumberOrPointer(&arg, 0); break;
                default: Arg_String(&arg, 0); break;
                }
            },
            c.message)
            << c.getter;
    }
}

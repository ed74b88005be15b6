#include "Platform/Function_External.h"

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Options/Runner_Options.h"
#include "Platform/Extension_DLL.h"

namespace {
using Args = ScriptValue*;

// Type values of game code: 1 is a text, anything else a real.
constexpr int32_t kTypeString = 1;

// Defines and reports a failure; the result is the index or -1.
void Define(ScriptValue* r, Args a, int32_t callType, int32_t n, const int32_t* types, int32_t resultType)
{
    const int32_t index =
        DLL_Define(Arg_String(a, 0), Arg_String(a, 1), callType, n, types, resultType == kTypeString);
    ScriptValue_SetReal(r, index);
    if (index == -1) ReportRuntimeError("Error defining an external function.", false);
}

// external_define(dll, name, call type, result type, n, type 1 ... type n)
void F_Define(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, -1);
    if (argc < 5 || argc != int64_t{Arg_Int32(a, 4)} + 5) {
        ReportRuntimeError("Wrong number of arguments to external_define()", false);
        return;
    }
    const int32_t n = argc - 5;
    if (n > kDllMaxArguments) {
        ReportRuntimeError("DLL functions can have at most 16 arguments", false);
        return;
    }
    int32_t types[kDllMaxArguments + 1] = {};
    for (int32_t k = 0; k < n; ++k) {
        const int32_t type = Arg_Int32(a, 5 + k);
        if (n > kDllMaxMixedArguments && type != 0) {
            ReportRuntimeError("DLL functions with more than 4 arguments cannot have string arguments", false);
            return;
        }
        types[k] = type == kTypeString ? 1 : 0;
    }
    Define(r, a, Arg_Int32(a, 2), n, types, Arg_Int32(a, 3));
}

// external_defineN(dll, name, type 1 ... type N, result type) for N up to 4;
// (dll, name, result type) with N real arguments above.
template <int N>
void F_DefineN(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    constexpr int kTyped = N <= kDllMaxMixedArguments ? N : 0;
    ScriptValue_SetReal(r, -1);
    if (!Arg_Need(argc, 3 + kTyped, "external_define")) return;
    int32_t types[kDllMaxArguments + 1] = {};
    for (int k = 0; k < kTyped; ++k) types[k] = Arg_Int32(a, 2 + k) == kTypeString ? 1 : 0;
    Define(r, a, 0, N, types, Arg_Int32(a, 2 + kTyped));
}

// external_call(index, arguments ...): -1 for a negative index.
void F_Call(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Arg_Need(argc, 1, "external_call")) return;
    const int32_t index = Arg_Int32(a, 0);
    if (index < 0) {
        ScriptValue_SetReal(r, -1);
        return;
    }
    // More arguments than any definition takes match none.
    if (argc - 1 > kDllMaxArguments) {
        ScriptValue_SetReal(r, 0);
        return;
    }
    DLL_Call(index, argc - 1, a + 1, r);
}

template <int N>
void F_CallN(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetReal(r, 0);
    if (Arg_Need(argc, N + 1, "external_call")) DLL_Call(Arg_Int32(a, 0), N, a + 1, r);
}

void F_Free(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    ScriptValue_SetUndefined(r);
    if (Arg_Need(argc, 1, "external_free")) DLL_Free(Arg_String(a, 0));
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
};

const Entry kFunctions[] = {
    {"external_define", F_Define, -1},        {"external_call", F_Call, -1},
    {"external_free", F_Free, 1},             {"external_define0", F_DefineN<0>, 3},
    {"external_call0", F_CallN<0>, 1},        {"external_define1", F_DefineN<1>, 4},
    {"external_call1", F_CallN<1>, 2},        {"external_define2", F_DefineN<2>, 5},
    {"external_call2", F_CallN<2>, 3},        {"external_define3", F_DefineN<3>, 6},
    {"external_call3", F_CallN<3>, 4},        {"external_define4", F_DefineN<4>, 7},
    {"external_call4", F_CallN<4>, 5},        {"external_define5", F_DefineN<5>, 3},
    {"external_call5", F_CallN<5>, 6},        {"external_define6", F_DefineN<6>, 3},
    {"external_call6", F_CallN<6>, 7},        {"external_define7", F_DefineN<7>, 3},
    {"external_call7", F_CallN<7>, 8},        {"external_define8", F_DefineN<8>, 3},
    {"external_call8", F_CallN<8>, 9},
};
}  // namespace

void InitExternalFunctions()
{
    if (NoExternalCalls) return;
    for (const Entry& e : kFunctions) CodeFunction_Register(e.name, e.routine, e.argumentCount, 1);
}

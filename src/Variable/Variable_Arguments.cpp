#include "Variable/Variable_Arguments.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "Base/ErrorReport.h"
#include "Code/Code_ValueIndex.h"
#include "Code/VM_Main.h"

namespace {
constexpr int32_t kNamedArguments = 16;

// Argument n of the running call, null when it was not passed.
ScriptValue* Passed(int32_t n)
{
    return VM_ArgumentBase && n >= 0 && n < VM_ArgumentCount ? &VM_ArgumentBase[n] : nullptr;
}

template <int32_t N>
bool GetNamed(CInstance*, int32_t index, ScriptValue* out)
{
    if (ScriptValue* argument = Passed(N)) return ScriptValue_GetIndexed(out, argument, index);
    ScriptValue_SetUndefined(out);
    return true;
}

// The call holds only the arguments passed: a write past them has nowhere to go.
template <int32_t N>
bool SetNamed(CInstance*, int32_t index, ScriptValue* value)
{
    if (ScriptValue* argument = Passed(N)) ScriptValue_SetIndexed(argument, value, index);
    return true;
}

bool GetArgument(CInstance*, int32_t index, ScriptValue* out)
{
    ScriptValue* argument = Passed(index);
    if (!argument) {
        FatalRuntimeError("illegal access of argument, argument is not provided to script");
        return true;
    }
    out->Assign(*argument);
    return true;
}

bool SetArgument(CInstance*, int32_t index, ScriptValue* value)
{
    if (ScriptValue* argument = Passed(index >= 0 && index < kNamedArguments ? index : 0)) argument->Assign(*value);
    return true;
}

bool GetCount(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, VM_ArgumentBase ? VM_ArgumentCount : 0);
    return true;
}

template <int32_t... N>
constexpr BuiltinGetter kGetters[] = {GetNamed<N>...};
template <int32_t... N>
constexpr BuiltinSetter kSetters[] = {SetNamed<N>...};
template <int32_t... N>
bool Named(int32_t n, BuiltinGetter* getter, BuiltinSetter* setter, std::integer_sequence<int32_t, N...>)
{
    *getter = kGetters<N...>[n];
    *setter = kSetters<N...>[n];
    return true;
}
}  // namespace

bool Variable_ArgumentAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter)
{
    if (std::strcmp(name, "argument") == 0) {
        *getter = GetArgument;
        *setter = SetArgument;
        return true;
    }
    if (std::strcmp(name, "argument_count") == 0) {
        *getter = GetCount;
        *setter = nullptr;
        return true;
    }
    if (std::strncmp(name, "argument", 8) != 0) return false;
    const char* digits = name + 8;
    char* end = nullptr;
    const long n = std::strtol(digits, &end, 10);
    if (end == digits || *end || n < 0 || n >= kNamedArguments || (digits[0] == '0' && digits[1])) return false;
    return Named(static_cast<int32_t>(n), getter, setter, std::make_integer_sequence<int32_t, kNamedArguments>{});
}

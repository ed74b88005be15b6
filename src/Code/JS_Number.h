#pragma once
// Number objects of the object model: the Number constructor and prototype,
// the global parseInt and parseFloat, and the character tests number parsing
// shares with the string-to-number conversion.
#include <cstdint>

#include "Code/Code_Function.h"

struct ScriptValue;
class KVObjectBase;
class CInstance;

// Number.prototype, null until JS_InitNumber ran.
extern KVObjectBase* JS_NumberPrototype;

// Makes Number.prototype and the Number constructor, and names it "Number" on
// the global object.
void JS_InitNumber();

// Built-in routines (result, self = the receiver, other, argc, args).
void JS_Number_Call(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Number_Construct(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Number_valueOf(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Number_toLocaleString(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Number_toString(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Number_toFixed(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Number_toExponential(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_Number_toPrecision(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_parseInt(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_parseFloat(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);

// The value of the character as a digit of radix (0-9, then a-z or A-Z), or -1.
int JS_RadixDigitValue(uint32_t character, int radix);
bool JS_IsRadixDigit(uint32_t character, int radix);
// White space and line terminators of number text: the ASCII ones, U+00A0,
// U+2028, and above U+00A0 the code points of categories Mc, Zs, Zl, Zp, Cc,
// Cf, Cs and Co.
bool JS_IsStrWhiteSpaceChar(uint32_t codePoint);
// NaN or an infinity.
bool Double_IsNonFinite(double value);
// The number text of the whole string after leading white space, as
// parseFloat reads it: NaN when nothing is read or the value overflows.
double JS_ParseFloatText(const char* text);

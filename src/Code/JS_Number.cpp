#include "Code/JS_Number.h"

#include <utf8proc.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/JS_Global.h"
#include "Code/JS_Main.h"
#include "Code/ObjectBase.h"
#include "Host/Host_Locale.h"

KVObjectBase* JS_NumberPrototype = nullptr;

namespace {
constexpr uint32_t kMethodFlags = VALUE_FLAG_CONFIGURABLE | VALUE_FLAG_WRITABLE;
constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
// The text of a number in a radix: the integer part of the largest double in
// radix 2 takes 1,024 digits; fraction digits stop where this ends.
constexpr int kRadixTextSize = 1280;

KVObjectBase* Receiver(CInstance* self) { return reinterpret_cast<KVObjectBase*>(self); }

void SetText(ScriptValue* result, const char* text)
{
    ScriptValue_SetUndefined(result);
    ScriptValue_InitString(result, text);
}

// The receiver's "[[PrimitiveValue]]" as a number; false when it has none.
bool PrimitiveNumber(CInstance* self, double* out)
{
    KVObjectBase* object = Receiver(self);
    if (!object) return false;
    ScriptValue primitive = ScriptValue_Undefined();
    JS_Object_GetOwnProperty(object, &primitive, "[[PrimitiveValue]]");
    const bool found = primitive.Kind() != VALUE_UNSET;
    ScriptValue n = ScriptValue_Real(NAN);
    if (found) JS_ConvertToNumber(&n, &primitive);
    ScriptValue_SetUndefined(&primitive);
    *out = n.Kind() == VALUE_REAL ? n.real : NAN;
    return found;
}

// The number of a Number object receiver; raises TypeError message otherwise.
bool NumberReceiver(CInstance* self, double* out, const char* message)
{
    if (Receiver(self) && JS_HasClass(Receiver(self), "Number") && PrimitiveNumber(self, out)) return true;
    JS_RaiseTypeError(message);
    return false;
}

void NumberText(ScriptValue* result, double value)
{
    const ScriptValue n = ScriptValue_Real(value);
    JS_ConvertToString(result, &n);
}

bool Given(int argc, ScriptValue* args) { return argc > 0 && args[0].Kind() != VALUE_UNDEFINED; }

// Digits of the integer n >= 1 in radix, most significant first, at text; the count.
int IntegerDigits(char* text, double n, int radix)
{
    char reversed[kRadixTextSize];
    int count = 0;
    while (n >= 1.0 && count < kRadixTextSize) {
        reversed[count++] = kDigits[static_cast<int>(std::fmod(n, radix))];
        n = std::floor(n / radix);
    }
    for (int i = 0; i < count; ++i) text[i] = reversed[count - 1 - i];
    return count;
}

void RadixText(ScriptValue* result, double value, int radix)
{
    char text[kRadixTextSize];
    int length = 0;
    const double magnitude = std::fabs(value);
    if (value < 0) text[length++] = '-';
    const double whole = std::floor(magnitude);
    if (whole == 0.0) text[length++] = '0';
    else length += IntegerDigits(text + length, whole, radix);
    double fraction = magnitude - whole;
    // Some fractions never end in a radix that is not a power of two (0.5 in
    // radix 3 is 0.1111...): the digits stop where the text is full.
    if (fraction != 0.0 && length < kRadixTextSize - 2) {
        text[length++] = '.';
        while (fraction != 0.0 && length < kRadixTextSize - 1) {
            const double scaled = fraction * radix;
            const double digit = std::floor(scaled);
            text[length++] = kDigits[static_cast<int>(digit)];
            fraction = scaled - digit;
        }
    }
    text[length] = '\0';
    SetText(result, text);
}

// The receiver's number for the formatting methods, which take any receiver
// holding a primitive value; TypeError "NoMessage" for one without.
bool FormattedNumber(CInstance* self, double* value)
{
    if (PrimitiveNumber(self, value)) return true;
    JS_RaiseTypeError("NoMessage");
    return false;
}

// The digit count: ToInteger of argument 0 (fallback when it is absent or
// undefined), within low..20; RangeError message otherwise.
bool DigitCount(int argc, ScriptValue* args, double fallback, double low, const char* message, int* digits)
{
    const double d = Given(argc, args) ? JS_ConvertToInteger(&args[0]) : fallback;
    if (d < low || d > 20.0) {
        JS_RaiseRangeError(message);
        return false;
    }
    *digits = static_cast<int>(d);
    return true;
}

// Leading tab, line feed, form feed, carriage return and space.
const char* SkipParseBlanks(const char* text)
{
    while (*text == '\t' || *text == '\n' || *text == '\f' || *text == '\r' || *text == ' ') ++text;
    return text;
}

// The text of argument 0 through ToString; false when that fails (TypeError
// message raised unless an exception is already on its way).
bool ArgumentText(ScriptValue* args, ScriptValue* text, const char* message)
{
    const int status = JS_ConvertToString(text, &args[0]);
    if (status == JS_CONVERTED && text->Kind() == VALUE_STRING) return true;
    ScriptValue_SetUndefined(text);
    if (status == JS_FAILED) JS_RaiseTypeError(message);
    return false;
}

double ParseInteger(const char* c, int32_t radix)
{
    c = SkipParseBlanks(c);
    double sign = 1.0;
    if (*c == '-' || *c == '+') {
        if (*c == '-') sign = -1.0;
        ++c;
    }
    const bool hexPrefix = c[0] == '0' && (c[1] == 'x' || c[1] == 'X');
    if (radix == 0) {
        radix = 10;
        if (hexPrefix) {
            radix = 16;
            c += 2;
        }
    } else if (radix == 16 && hexPrefix) {
        c += 2;
    }
    if (radix < 2 || radix > 36 || !JS_IsRadixDigit(static_cast<unsigned char>(*c), radix)) return NAN;
    double value = 0.0;
    for (int digit; (digit = JS_RadixDigitValue(static_cast<unsigned char>(*c), radix)) >= 0; ++c)
        value = value * radix + digit;
    return sign * value;
}
}  // namespace

// ------------------------------------------------------------------ character tests

int JS_RadixDigitValue(uint32_t character, int radix)
{
    int value = -1;
    if (character >= '0' && character <= '9') value = static_cast<int>(character - '0');
    else if (character >= 'a' && character <= 'z') value = static_cast<int>(character - 'a') + 10;
    else if (character >= 'A' && character <= 'Z') value = static_cast<int>(character - 'A') + 10;
    return value >= 0 && value < radix ? value : -1;
}

bool JS_IsRadixDigit(uint32_t character, int radix) { return JS_RadixDigitValue(character, radix) != -1; }

bool JS_IsStrWhiteSpaceChar(uint32_t c)
{
    switch (c) {
    case 0x20:
    case 0x09:
    case 0x0A:
    case 0x0D:
    case 0x0B:
    case 0xA0:
    case 0x0C:
    case 0x2028: return true;
    default: break;
    }
    if (c <= 0xA0 || c > 0x10FFFF) return false;
    switch (utf8proc_category(static_cast<utf8proc_int32_t>(c))) {
    case UTF8PROC_CATEGORY_MC:
    case UTF8PROC_CATEGORY_ZS:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP:
    case UTF8PROC_CATEGORY_CC:
    case UTF8PROC_CATEGORY_CF:
    case UTF8PROC_CATEGORY_CS:
    case UTF8PROC_CATEGORY_CO: return true;
    default: return false;
    }
}

bool Double_IsNonFinite(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x7FF0000000000000ull) == 0x7FF0000000000000ull;
}

double JS_ParseFloatText(const char* text)
{
    const char* start = SkipParseBlanks(text ? text : "");
    char* end = nullptr;
    bool overflow = false;
    const double value = Host_ReadDecimalC(start, &end, &overflow);
    return end == start || overflow ? NAN : value;
}

// ------------------------------------------------------------------ constructor

void JS_Number_Call(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    if (argc < 1) {
        ScriptValue_SetReal(result, 0.0);
        return;
    }
    if (JS_ConvertToNumber(result, &args[0]) == JS_FAILED) JS_RaiseTypeError("Could not convert to a number");
}

void JS_Number_Construct(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue n = ScriptValue_Real(0.0);
    if (argc > 0) JS_ConvertToNumber(&n, &args[0]);
    if (n.Kind() != VALUE_REAL) n = ScriptValue_Real(NAN);
    JS_NewWrapperObject(result, JS_NumberPrototype, "Number", &n);
}

// ------------------------------------------------------------------ prototype methods

void JS_Number_valueOf(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue*)
{
    double value = 0.0;
    if (NumberReceiver(self, &value, "NoMessage")) ScriptValue_SetReal(result, value);
}

void JS_Number_toLocaleString(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue*)
{
    double value = 0.0;
    if (NumberReceiver(self, &value, "NoMessage")) NumberText(result, value);
}

void JS_Number_toString(ScriptValue* result, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    double value = 0.0;
    if (!NumberReceiver(self, &value,
                        "Cannot use Number.prototype.toString on an object which is not of type Number."))
        return;
    if (argc != 1 || args[0].Kind() == VALUE_UNDEFINED) {
        NumberText(result, value);
        return;
    }
    const double radix = JS_ConvertToInteger(&args[0]);
    if (radix == 10.0) {
        NumberText(result, value);
        return;
    }
    if (!(radix >= 2.0 && radix <= 36.0)) {
        JS_RaiseRangeError("Number.prototype.toString radix must be between 2 and 36 inclusive.");
        return;
    }
    if (Double_IsNonFinite(value)) NumberText(result, value);
    else RadixText(result, value, static_cast<int>(radix));
}

void JS_Number_toFixed(ScriptValue* result, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    double value = 0.0;
    int digits = 0;
    if (!FormattedNumber(self, &value) ||
        !DigitCount(argc, args, 0.0, 0.0, "Number.prototype.toFixed fraction digits should be >= 1 and <= 20", &digits))
        return;
    if (std::isnan(value) || std::fabs(value) >= 1e21) {
        NumberText(result, value);
        return;
    }
    char text[256];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    SetText(result, text);
}

void JS_Number_toExponential(ScriptValue* result, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    double value = 0.0;
    int digits = 0;
    if (!FormattedNumber(self, &value) ||
        !DigitCount(argc, args, 5.0, 0.0, "Number.prototype.toExponential fraction digits should be >= 1 and <= 20",
                    &digits))
        return;
    if (std::isnan(value)) {
        SetText(result, "NaN");
        return;
    }
    char text[256];
    std::snprintf(text, sizeof text, "%.*e", digits, value);
    SetText(result, text);
}

void JS_Number_toPrecision(ScriptValue* result, CInstance* self, CInstance*, int argc, ScriptValue* args)
{
    double value = 0.0;
    if (!FormattedNumber(self, &value)) return;
    if (!Given(argc, args)) {
        NumberText(result, value);
        return;
    }
    int p = 0;
    if (!DigitCount(argc, args, 0.0, 1.0, "Number.prototype.toPrecision fraction digits should be > 1 and <= 20", &p))
        return;
    if (std::isnan(value)) {
        SetText(result, "NaN");
        return;
    }
    char text[256];
    std::snprintf(text, sizeof text, "%.*g", p, value);
    if (!std::strchr(text, '.')) {
        // Digits the short form lacks are written out as zeros: after the
        // point in fixed form ("5.00"), in the mantissa in exponent form
        // ("1.0000e+21"), which keeps even the largest values short.
        const char* digits = text + (text[0] == '-' ? 1 : 0);
        const char* exponent = std::strchr(digits, 'e');
        const int have = static_cast<int>(exponent ? exponent - digits : std::strlen(digits));
        if (p > have && exponent) {
            std::snprintf(text, sizeof text, "%.*e", p - 1, value);
        } else if (p > have && std::isfinite(value)) {
            std::snprintf(text, sizeof text, "%.*f", p - have, value);
        }
    }
    SetText(result, text);
}

// ------------------------------------------------------------------ global functions

void JS_parseInt(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue text = ScriptValue_Undefined();
    if (argc < 1) {
        ScriptValue_SetReal(result, NAN);
        return;
    }
    if (!ArgumentText(args, &text, "parseInt expects a string as the first argument")) return;
    ScriptValue radix = ScriptValue_Real(0.0);
    if (argc > 1 && args[1].Kind() != VALUE_UNSET) JS_ConvertToInt32(&radix, &args[1]);
    const char* chars = ScriptValue_StringText(&text);
    const double value = ParseInteger(chars ? chars : "", static_cast<int32_t>(radix.real));
    ScriptValue_SetUndefined(&text);
    ScriptValue_SetReal(result, value);
}

void JS_parseFloat(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue text = ScriptValue_Undefined();
    if (argc < 1) {
        ScriptValue_SetReal(result, NAN);
        return;
    }
    if (!ArgumentText(args, &text, "parseFloat expects a string as the first argument")) return;
    const double value = JS_ParseFloatText(ScriptValue_StringText(&text));
    ScriptValue_SetUndefined(&text);
    ScriptValue_SetReal(result, value);
}

// ------------------------------------------------------------------ set-up

void JS_InitNumber()
{
    ScriptValue zero = ScriptValue_Real(0.0);
    ScriptValue made = ScriptValue_Undefined();
    JS_NewWrapperObject(&made, JS_ObjectPrototype, "Number", &zero);
    KVObjectBase* prototype = made.obj;
    JS_NumberPrototype = prototype;
    JS_AddNativeMethod(prototype, "toString", JS_Number_toString, 0, kMethodFlags);
    JS_AddNativeMethod(prototype, "toLocaleString", JS_Number_toLocaleString, 0, kMethodFlags);
    JS_AddNativeMethod(prototype, "valueOf", JS_Number_valueOf, 0, kMethodFlags);
    JS_AddNativeMethod(prototype, "toFixed", JS_Number_toFixed, 1, kMethodFlags);
    JS_AddNativeMethod(prototype, "toExponential", JS_Number_toExponential, 1, kMethodFlags);
    JS_AddNativeMethod(prototype, "toPrecision", JS_Number_toPrecision, 1, kMethodFlags);

    KVObjectBase* constructor = JS_NewNativeFunction(JS_Number_Call, 0, false);
    constructor->AddPointer("[[Construct]]", reinterpret_cast<void*>(JS_Number_Construct), 0);
    JS_SetConstructorPrototype(constructor, prototype, kMethodFlags);
    prototype->AddObject("constructor", constructor, 0);
    constructor->AddReal("MAX_VALUE", std::numeric_limits<double>::max(), 0);
    constructor->AddReal("MIN_VALUE", std::numeric_limits<double>::denorm_min(), 0);
    constructor->AddReal("NaN", JS_NaN(), 0);
    constructor->AddReal("NEGATIVE_INFINITY", -INFINITY, 0);
    constructor->AddReal("POSITIVE_INFINITY", INFINITY, 0);
    if (KVObjectBase* global = JS_GlobalObject()) global->AddObject("Number", constructor, 0);
}

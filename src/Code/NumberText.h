#pragma once
// Numbers as decimal text: the shortest digits that read back as the same
// double (or a given count of significant digits, correctly rounded), laid
// out in fixed or exponent form: "0.1", "1e+21", "1.5e-7", "-0", "NaN",
// "-Infinity". Main thread only.
#include <cstdint>

// The binary floating-point format a conversion reads.
struct FloatFormat {
    int32_t significandBits;
    int32_t minExponent;      // binary exponent of the least significant bit
    int32_t maxExponent;
    int32_t rounding;         // 1: to nearest, ties to even
    bool suddenUnderflow;
};
extern const FloatFormat DoubleFormat;

enum : int {
    DIGITS_NORMAL = 1,
    DIGITS_DENORMAL = 2,
    DIGITS_NEGATIVE = 8,
};

// Writes the text of *value and its terminator into buffer (size bytes);
// returns a pointer to the terminator, or null when the buffer is too small
// (it may then hold part of a text). digits 0 (or below) asks for the
// shortest round-trip digits, a positive count for that many significant digits.
char* NumberToText(char* buffer, const double* value, int digits, int size);

// The decimal digits of significand * 2^exponent (no sign, point or
// exponent): mode 0 the shortest that read back the same, of two such the
// nearer; mode 2 at most ndigits, correctly rounded, trailing zeros removed.
// value = 0.d1d2... * 10^decimalExponent. The string is freed by
// LayoutDigits (or Digits_Free); the next conversion frees one still held.
char* DoubleToDigits(const FloatFormat* format, int32_t exponent, const uint32_t* significand, int* kind, int mode,
                     int ndigits, int* decimalExponent, char** end);
// Lays digits out into buffer; frees them; a pointer to the terminator or null.
char* LayoutDigits(char* buffer, char* digits, const char* end, int decimalExponent, bool negative, int size);
void Digits_Free(char* digits);

#include "Code/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "Code/Bigint.h"

const FloatFormat DoubleFormat = {53, -1074, 971, 1, false};

namespace {
// The most significant digits a double can need (its exact expansion is shorter).
constexpr int kMaxDigits = 800;

char* s_lastDigits = nullptr;

char* AllocDigits(int capacity)
{
    int32_t k = 0;
    while (sizeof(uint32_t) * (size_t{1} << k) < static_cast<size_t>(capacity)) ++k;
    Bigint* block = Bigint_Alloc(k);
    return reinterpret_cast<char*>(block->x);
}

bool IsZero(const Bigint* b) { return b->wds == 1 && b->x[0] == 0; }

// Compares a + b with c (no block is taken: this runs once per digit).
int CmpSum(const Bigint* a, const Bigint* b, const Bigint* c)
{
    const int32_t n = a->wds > b->wds ? a->wds : b->wds;
    if (n > c->wds) return 1;
    if (n + 1 < c->wds) return -1;
    uint32_t sum[2 + (int32_t{1} << 9)];
    if (n + 1 > static_cast<int32_t>(sizeof sum / sizeof sum[0])) {
        Bigint* big = Bigint_Add(a, b);
        const int result = Bigint_Cmp(big, c);
        Bigint_Free(big);
        return result;
    }
    uint64_t carry = 0;
    for (int32_t i = 0; i < n; ++i) {
        carry += uint64_t{i < a->wds ? a->x[i] : 0} + (i < b->wds ? b->x[i] : 0);
        sum[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    int32_t words = n;
    if (carry) sum[words++] = static_cast<uint32_t>(carry);
    if (words != c->wds) return words < c->wds ? -1 : 1;
    for (int32_t i = words - 1; i >= 0; --i)
        if (sum[i] != c->x[i]) return sum[i] < c->x[i] ? -1 : 1;
    return 0;
}

// The digits of an integer below 2^64 without its trailing zeros; their count.
int IntegerDigits(uint64_t n, char* out, int32_t* exponent)
{
    char reversed[24];
    int length = 0;
    for (; n; n /= 10) reversed[length++] = static_cast<char>('0' + n % 10);
    *exponent = length;
    int start = 0;
    while (start < length && reversed[start] == '0') ++start;
    int count = 0;
    for (int i = length - 1; i >= start; --i) out[count++] = reversed[i];
    return count;
}

// Compares 2 * a with c.
int CmpTwice(const Bigint* a, const Bigint* c)
{
    Bigint* twice = Bigint_LShift(Bigint_Copy(a), 1);
    const int result = Bigint_Cmp(twice, c);
    Bigint_Free(twice);
    return result;
}

// Adds one to the last digit, carrying; all nines become "1" one place up.
void RoundUp(char* start, char** end, int* exponent)
{
    char* p = *end;
    while (p > start && p[-1] == '9') --p;
    if (p == start) {
        start[0] = '1';
        *end = start + 1;
        ++*exponent;
        return;
    }
    ++p[-1];
    *end = p;
}

// floor(log10(m * 2^e)) estimated from the tangent of log10 at 1.5, as the
// classic digit generators do; exact or one too large.
int32_t EstimateExponent(double value)
{
    int binary = 0;
    const double m = std::frexp(value, &binary) * 2.0;
    const int32_t e = binary - 1;
    double ds = (m - 1.5) * 0.289529654602168 + 0.1760912590558 + e * 0.301029995663981;
    if (e > 1077 || e < -1077) ds += 7e-17 * (std::abs(e) - 1077);
    int32_t k = static_cast<int32_t>(ds);
    if (ds < 0.0 && ds != k) --k;
    return k;
}
}  // namespace

void Digits_Free(char* digits)
{
    if (!digits) return;
    if (digits == s_lastDigits) s_lastDigits = nullptr;
    Bigint_Free(reinterpret_cast<Bigint*>(digits - offsetof(Bigint, x)));
}

char* DoubleToDigits(const FloatFormat* format, int32_t exponent, const uint32_t* significand, int* kind, int mode,
                     int ndigits, int* decimalExponent, char** end)
{
    if (s_lastDigits) Digits_Free(s_lastDigits);
    const uint64_t f = significand[0] | uint64_t{significand[1]} << 32;
    const int32_t e = exponent;
    const bool even = (f & 1) == 0;
    const int digitCount = mode == 0 ? 0 : (ndigits < 1 ? 1 : ndigits > kMaxDigits ? kMaxDigits : ndigits);
    char* digits = AllocDigits((mode == 0 ? 24 : digitCount) + 2);
    s_lastDigits = digits;
    char* out = digits;

    // An integer below 2^53: its neighbours are at most 1 away, so its own
    // digits are the shortest that read back.
    if (mode == 0 && e >= 0 && e <= 11 && (f << e) >> e == f && (f << e) < (uint64_t{1} << 53)) {
        int32_t k = 0;
        out += IntegerDigits(f << e, digits, &k);
        *out = 0;
        *decimalExponent = k;
        *end = out;
        return digits;
    }

    // value = r / s; the neighbours lie mm / s below and mp / s above (halfway
    // to the next doubles: the one below is nearer at a power of two). Each
    // is an odd part times powers of 5 and 2; the factors of 2 they share
    // are left out, which keeps the numbers short.
    const bool unequal = f == uint64_t{1} << (format->significandBits - 1) && e > format->minExponent;
    const int32_t shift = unequal ? 2 : 1;
    const double value = std::ldexp(static_cast<double>(f), e);
    int32_t k = EstimateExponent(value) + 1;
    const int32_t up = k < 0 ? -k : 0;   // powers of ten on r and the margins
    const int32_t down = k > 0 ? k : 0;  // powers of ten on s
    int32_t r2 = (e >= 0 ? e + shift : shift) + up;
    int32_t s2 = (e >= 0 ? shift : shift - e) + down;
    int32_t mp2 = (e >= 0 ? e + shift - 1 : shift - 1) + up;
    int32_t mm2 = (e >= 0 ? e : 0) + up;
    int32_t common = std::min({r2, s2, mp2, mm2});
    r2 -= common;
    s2 -= common;
    mp2 -= common;
    mm2 -= common;
    Bigint* r = Bigint_LShift(Bigint_Pow5Mul(Bigint_FromU64(f), up), r2);
    Bigint* s = Bigint_LShift(Bigint_Pow5Mul(Bigint_FromU64(1), down), s2);
    Bigint* mp = Bigint_Pow5Mul(Bigint_FromU64(1), up);
    Bigint* mm = unequal ? Bigint_LShift(Bigint_Copy(mp), mm2) : nullptr;
    mp = Bigint_LShift(mp, mp2);
    auto scaleUp = [&] {
        r = Bigint_MulAdd(r, 10, 0);
        mp = Bigint_MulAdd(mp, 10, 0);
        if (mm) mm = Bigint_MulAdd(mm, 10, 0);
    };

    if (mode == 0) {
        // The first digit position: the upper neighbour lies in [0.1, 1) of 10^k.
        auto above = [&](int c) { return even ? c >= 0 : c > 0; };
        while (above(CmpSum(r, mp, s))) {
            s = Bigint_MulAdd(s, 10, 0);
            ++k;
        }
        for (;;) {
            Bigint* tenth = Bigint_MulAdd(Bigint_Add(r, mp), 10, 0);
            const bool low = !above(Bigint_Cmp(tenth, s));
            Bigint_Free(tenth);
            if (!low) break;
            scaleUp();
            --k;
        }
        for (;;) {
            scaleUp();
            int d = Bigint_QuoRem(r, s);
            const int c = Bigint_Cmp(r, mm ? mm : mp);
            const bool tc1 = even ? c <= 0 : c < 0;
            const bool tc2 = above(CmpSum(r, mp, s));
            if (!tc1 && !tc2) {
                *out++ = static_cast<char>('0' + d);
                continue;
            }
            if (tc1 && tc2) {
                const int half = CmpTwice(r, s);
                if (half > 0 || (half == 0 && (d & 1))) ++d;
            } else if (tc2) {
                ++d;
            }
            if (d == 10) {
                *out++ = '9';
                RoundUp(digits, &out, &k);
            } else {
                *out++ = static_cast<char>('0' + d);
            }
            break;
        }
    } else {
        while (Bigint_Cmp(r, s) >= 0) {
            s = Bigint_MulAdd(s, 10, 0);
            ++k;
        }
        for (;;) {
            Bigint* tenth = Bigint_MulAdd(Bigint_Copy(r), 10, 0);
            const bool low = Bigint_Cmp(tenth, s) < 0;
            Bigint_Free(tenth);
            if (!low) break;
            r = Bigint_MulAdd(r, 10, 0);
            --k;
        }
        for (int i = 0; i < digitCount; ++i) {
            r = Bigint_MulAdd(r, 10, 0);
            const int d = Bigint_QuoRem(r, s);
            *out++ = static_cast<char>('0' + d);
            if (IsZero(r)) break;
            if (i == digitCount - 1) {
                const int half = CmpTwice(r, s);
                if (half > 0 || (half == 0 && (d & 1))) RoundUp(digits, &out, &k);
            }
        }
        while (out > digits + 1 && out[-1] == '0') --out;
    }
    *out = 0;
    Bigint_Free(r);
    Bigint_Free(s);
    Bigint_Free(mp);
    Bigint_Free(mm);
    if (kind) *kind &= ~DIGITS_DENORMAL;
    *decimalExponent = k;
    *end = out;
    return digits;
}

char* LayoutDigits(char* buffer, char* digits, const char* end, int decimalExponent, bool negative, int size)
{
    const int count = static_cast<int>(end - digits);
    const int n = decimalExponent;
    char* result = nullptr;
    if (size >= count + 6) {
        char* p = buffer;
        const char* last = buffer + size - 1;
        bool fits = true;
        auto put = [&](char c) {
            if (p >= last) fits = false;
            else *p++ = c;
        };
        if (negative) put('-');
        if (n <= -6 || n > count + 20) {
            put(digits[0]);
            if (count > 1) {
                put('.');
                for (int i = 1; i < count; ++i) put(digits[i]);
            }
            put('e');
            const int power = n - 1;
            put(power < 0 ? '-' : '+');
            char text[12];
            int length = 0;
            for (int a = power < 0 ? -power : power; a > 0 || length == 0; a /= 10) text[length++] = static_cast<char>('0' + a % 10);
            while (length > 0) put(text[--length]);
        } else if (n <= 0) {
            put('0');
            put('.');
            for (int i = 0; i < -n; ++i) put('0');
            for (int i = 0; i < count; ++i) put(digits[i]);
        } else {
            for (int i = 0; i < count; ++i) {
                if (i == n) put('.');
                put(digits[i]);
            }
            for (int i = count; i < n; ++i) put('0');
        }
        if (fits) {
            *p = 0;
            result = p;
        }
    }
    Digits_Free(digits);
    return result;
}

char* NumberToText(char* buffer, const double* value, int digits, int size)
{
    if (digits < 0) digits = 0;
    if (size < digits + 10) return nullptr;
    uint64_t bits = 0;
    std::memcpy(&bits, value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int32_t>((bits >> 52) & 0x7FF);
    uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    const char* text = nullptr;
    if (biased == 0x7FF) text = fraction ? "NaN" : negative ? "-Infinity" : "Infinity";
    else if (biased == 0 && fraction == 0) text = negative ? "-0" : "0";
    if (text) {
        const size_t length = std::strlen(text);
        std::memcpy(buffer, text, length + 1);
        return buffer + length;
    }
    if (biased != 0) fraction |= uint64_t{1} << 52;
    const uint32_t words[2] = {static_cast<uint32_t>(fraction), static_cast<uint32_t>(fraction >> 32)};
    int kind = DIGITS_NORMAL | (negative ? DIGITS_NEGATIVE : 0);
    int decimalExponent = 0;
    char* end = nullptr;
    char* digitText = DoubleToDigits(&DoubleFormat, (biased ? biased : 1) - 1075, words, &kind, digits == 0 ? 0 : 2,
                                     digits, &decimalExponent, &end);
    return LayoutDigits(buffer, digitText, end, decimalExponent, negative, size);
}

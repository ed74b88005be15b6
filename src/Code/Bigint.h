#pragma once
// Unsigned big integers for exact binary-to-decimal conversion: 32-bit words,
// least significant first, in blocks of 2^k words. Blocks of size class 0..9
// come from a private pool and go back to a free list per class, so that
// converting ordinary numbers never touches the process heap; larger ones
// come from the heap. Main thread only.
#include <cstdint>

struct Bigint {
    Bigint* next;       // free-list link
    int32_t k;          // size class: capacity 2^k words
    int32_t maxwds;
    int32_t sign;
    int32_t wds;        // words in use
    uint32_t x[1];      // maxwds words
};

Bigint* Bigint_Alloc(int32_t k);
void Bigint_Free(Bigint* b);

// A new number of the value.
Bigint* Bigint_FromU64(uint64_t value);
// b * m + a (m, a below 2^32); may replace b.
Bigint* Bigint_MulAdd(Bigint* b, uint32_t m, uint32_t a);
// b * 5^n; may replace b.
Bigint* Bigint_Pow5Mul(Bigint* b, int32_t n);
// b * 2^n; may replace b.
Bigint* Bigint_LShift(Bigint* b, int32_t n);
// -1, 0 or 1 as a < b, a == b, a > b.
int Bigint_Cmp(const Bigint* a, const Bigint* b);
// a + b, a new number.
Bigint* Bigint_Add(const Bigint* a, const Bigint* b);
// b becomes b mod s, given b < 10 * s; returns b / s (0..9).
int Bigint_QuoRem(Bigint* b, const Bigint* s);
// A copy of b.
Bigint* Bigint_Copy(const Bigint* b);

#include "Code/Bigint.h"

#include <cmath>
#include <utility>
#include <cstring>
#include <new>

namespace {
constexpr int32_t kMaxPooledClass = 9;
constexpr int32_t kPoolDoubles = 288;

Bigint* s_freeList[kMaxPooledClass + 1] = {};
double s_pool[kPoolDoubles];
int32_t s_poolUsed = 0;
// 5^4, 5^8, 5^16, ...: each the square of the one before, made on first need.
Bigint* s_pow5[16] = {};

size_t BlockBytes(int32_t k) { return sizeof(Bigint) + sizeof(uint32_t) * ((size_t{1} << k) - 1); }

void CopyValue(Bigint* to, const Bigint* from)
{
    to->sign = from->sign;
    to->wds = from->wds;
    std::memcpy(to->x, from->x, sizeof(uint32_t) * static_cast<size_t>(from->wds));
}

// The smallest size class holding n words.
int32_t ClassFor(int32_t n)
{
    int32_t k = 0;
    while ((int32_t{1} << k) < n) ++k;
    return k;
}

Bigint* Mul(const Bigint* a, const Bigint* b)
{
    if (a->wds < b->wds) std::swap(a, b);
    Bigint* c = Bigint_Alloc(ClassFor(a->wds + b->wds));
    c->wds = a->wds + b->wds;
    std::memset(c->x, 0, sizeof(uint32_t) * static_cast<size_t>(c->wds));
    for (int32_t j = 0; j < b->wds; ++j) {
        const uint64_t y = b->x[j];
        if (!y) continue;
        uint64_t carry = 0;
        for (int32_t i = 0; i < a->wds; ++i) {
            const uint64_t z = a->x[i] * y + c->x[i + j] + carry;
            c->x[i + j] = static_cast<uint32_t>(z);
            carry = z >> 32;
        }
        c->x[j + a->wds] = static_cast<uint32_t>(carry);
    }
    while (c->wds > 1 && c->x[c->wds - 1] == 0) --c->wds;
    return c;
}

const Bigint* Pow5(int32_t i)
{
    if (!s_pow5[i]) s_pow5[i] = i == 0 ? Bigint_FromU64(625) : Mul(Pow5(i - 1), Pow5(i - 1));
    return s_pow5[i];
}

// The value of b's top bits as a double, with b's size in bits beside it.
double Leading(const Bigint* b, int32_t* words)
{
    double v = 0;
    for (int32_t i = b->wds - 1; i >= 0 && i >= b->wds - 3; --i) v = v * 4294967296.0 + b->x[i];
    *words = b->wds > 3 ? b->wds - 3 : 0;
    return v;
}

// b -= q * s (q * s <= b).
void SubMul(Bigint* b, const Bigint* s, uint32_t q)
{
    uint64_t borrow = 0;
    uint64_t carry = 0;
    for (int32_t i = 0; i < b->wds; ++i) {
        const uint64_t product = (i < s->wds ? s->x[i] * static_cast<uint64_t>(q) : 0) + carry;
        carry = product >> 32;
        const uint64_t low = product & 0xFFFFFFFFu;
        const uint64_t have = b->x[i];
        const uint64_t take = low + borrow;
        b->x[i] = static_cast<uint32_t>(have - take);
        borrow = have < take ? 1 : 0;
    }
    while (b->wds > 1 && b->x[b->wds - 1] == 0) --b->wds;
}
}  // namespace

Bigint* Bigint_Alloc(int32_t k)
{
    Bigint* b = nullptr;
    if (k <= kMaxPooledClass && (b = s_freeList[k])) {
        s_freeList[k] = b->next;
    } else {
        const size_t bytes = BlockBytes(k);
        const int32_t doubles = static_cast<int32_t>((bytes + sizeof(double) - 1) / sizeof(double));
        if (k <= kMaxPooledClass && s_poolUsed + doubles <= kPoolDoubles) {
            b = reinterpret_cast<Bigint*>(s_pool + s_poolUsed);
            s_poolUsed += doubles;
        } else {
            b = static_cast<Bigint*>(::operator new(bytes));
        }
        b->k = k;
        b->maxwds = int32_t{1} << k;
    }
    b->next = nullptr;
    b->sign = 0;
    b->wds = 0;
    return b;
}

void Bigint_Free(Bigint* b)
{
    if (!b) return;
    if (b->k > kMaxPooledClass) {
        ::operator delete(b);
        return;
    }
    b->next = s_freeList[b->k];
    s_freeList[b->k] = b;
}

Bigint* Bigint_FromU64(uint64_t value)
{
    Bigint* b = Bigint_Alloc(1);
    b->x[0] = static_cast<uint32_t>(value);
    b->x[1] = static_cast<uint32_t>(value >> 32);
    b->wds = b->x[1] ? 2 : 1;
    return b;
}

Bigint* Bigint_Copy(const Bigint* b)
{
    Bigint* c = Bigint_Alloc(b->k);
    CopyValue(c, b);
    return c;
}

Bigint* Bigint_MulAdd(Bigint* b, uint32_t m, uint32_t a)
{
    uint64_t carry = a;
    for (int32_t i = 0; i < b->wds; ++i) {
        const uint64_t z = b->x[i] * static_cast<uint64_t>(m) + carry;
        b->x[i] = static_cast<uint32_t>(z);
        carry = z >> 32;
    }
    if (carry) {
        if (b->wds >= b->maxwds) {
            Bigint* grown = Bigint_Alloc(b->k + 1);
            CopyValue(grown, b);
            Bigint_Free(b);
            b = grown;
        }
        b->x[b->wds++] = static_cast<uint32_t>(carry);
    }
    return b;
}

Bigint* Bigint_Pow5Mul(Bigint* b, int32_t n)
{
    static const uint32_t small[] = {1, 5, 25, 125};
    if (n & 3) b = Bigint_MulAdd(b, small[n & 3], 0);
    n >>= 2;
    for (int32_t i = 0; n; ++i, n >>= 1) {
        if (!(n & 1)) continue;
        Bigint* product = Mul(b, Pow5(i));
        Bigint_Free(b);
        b = product;
    }
    return b;
}

Bigint* Bigint_LShift(Bigint* b, int32_t n)
{
    const int32_t words = n >> 5;
    const int32_t bits = n & 31;
    const int32_t needed = b->wds + words + 1;
    Bigint* c = Bigint_Alloc(ClassFor(needed));
    std::memset(c->x, 0, sizeof(uint32_t) * static_cast<size_t>(words));
    uint32_t carry = 0;
    for (int32_t i = 0; i < b->wds; ++i) {
        const uint32_t w = b->x[i];
        c->x[i + words] = bits ? (w << bits) | carry : w;
        carry = bits ? w >> (32 - bits) : 0;
    }
    c->x[b->wds + words] = carry;
    c->wds = carry ? needed : needed - 1;
    Bigint_Free(b);
    return c;
}

int Bigint_Cmp(const Bigint* a, const Bigint* b)
{
    if (a->wds != b->wds) return a->wds < b->wds ? -1 : 1;
    for (int32_t i = a->wds - 1; i >= 0; --i)
        if (a->x[i] != b->x[i]) return a->x[i] < b->x[i] ? -1 : 1;
    return 0;
}

Bigint* Bigint_Add(const Bigint* a, const Bigint* b)
{
    if (a->wds < b->wds) std::swap(a, b);
    Bigint* c = Bigint_Alloc(ClassFor(a->wds + 1));
    uint64_t carry = 0;
    for (int32_t i = 0; i < a->wds; ++i) {
        const uint64_t z = uint64_t{a->x[i]} + (i < b->wds ? b->x[i] : 0) + carry;
        c->x[i] = static_cast<uint32_t>(z);
        carry = z >> 32;
    }
    c->wds = a->wds;
    if (carry) c->x[c->wds++] = static_cast<uint32_t>(carry);
    return c;
}

int Bigint_QuoRem(Bigint* b, const Bigint* s)
{
    if (Bigint_Cmp(b, s) < 0) return 0;
    // The quotient from the leading bits, one too small at worst, then corrected.
    int32_t bw = 0;
    int32_t sw = 0;
    const double ratio = std::ldexp(Leading(b, &bw) / Leading(s, &sw), 32 * (bw - sw));
    int q = static_cast<int>(ratio) - 1;
    if (q < 0) q = 0;
    if (q > 9) q = 9;
    if (q > 0) SubMul(b, s, static_cast<uint32_t>(q));
    while (Bigint_Cmp(b, s) >= 0) {
        SubMul(b, s, 1);
        ++q;
    }
    return q;
}

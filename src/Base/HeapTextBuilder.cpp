#include "Base/HeapTextBuilder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
int64_t Times1_5(int64_t n) { return n * 3 / 2; }

// Moves the text to a new block of `capacity` bytes.
bool GrowTo(HeapTextBuilder& b, int64_t capacity)
{
    if (capacity > INT32_MAX) return false;
    char* block = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    if (!block) return false;
    if (b.data) std::memcpy(block, b.data, static_cast<size_t>(b.capacity));
    std::free(b.data);
    b.data = block;
    b.capacity = static_cast<int32_t>(capacity);
    return true;
}
}  // namespace

bool HeapTextBuilder::Reserve(int32_t n)
{
    int64_t grown = Times1_5(capacity != 0 ? capacity : n);
    return GrowTo(*this, std::max(grown, Times1_5(static_cast<int64_t>(length) + n)));
}

void HeapTextBuilder::Append(const char* text)
{
    if (!text) return;
    size_t textLength = std::strlen(text);
    if (textLength >= INT32_MAX / 2) return;
    int32_t needed = static_cast<int32_t>(textLength) + 1;
    if (capacity - length - 1 < needed && !Reserve(needed)) return;
    std::memcpy(data + length, text, textLength + 1);
    length += static_cast<int32_t>(textLength);
}

char* HeapTextBuilder::Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char* result = VPrintf(format, args);
    va_end(args);
    return result;
}

char* HeapTextBuilder::VPrintf(const char* format, va_list args)
{
    int32_t formatLength = static_cast<int32_t>(std::min<size_t>(std::strlen(format), INT32_MAX / 4));
    int32_t wanted = std::max<int32_t>(16, formatLength);
    if (capacity - length - 1 < wanted && !Reserve(wanted)) return data;
    data[length] = '\0';
    for (;;) {
        int32_t room = capacity - length - 1;
        va_list attempt;
        va_copy(attempt, args);
        int written = std::vsnprintf(data + length, static_cast<size_t>(room), format, attempt);
        va_end(attempt);
        if (written < 0) {
            // An encoding error never succeeds however large the buffer.
            data[length] = '\0';
            return data;
        }
        if (written < room) {
            length += written;
            data[length] = '\0';
            return data;
        }
        int64_t step = capacity + Times1_5(std::max<int32_t>(32, formatLength));
        int64_t grown = Times1_5(capacity != 0 ? capacity : step);
        if (!GrowTo(*this, std::max(grown, Times1_5(step + length)))) {
            data[length] = '\0';
            return data;
        }
    }
}

void HeapTextBuilder::Free()
{
    std::free(data);
    data = nullptr;
    capacity = length = 0;
}

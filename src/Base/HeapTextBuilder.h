#pragma once
// A growable NUL-terminated text on the plain C heap (not tracked by the
// memory manager): console and report texts are built with it.
#include <cstdarg>
#include <cstdint>

struct HeapTextBuilder {
    char* data = nullptr;  // null while empty
    int32_t capacity = 0;
    int32_t length = 0;    // bytes of text, terminator not counted

    HeapTextBuilder() = default;
    HeapTextBuilder(const HeapTextBuilder&) = delete;
    HeapTextBuilder& operator=(const HeapTextBuilder&) = delete;
    ~HeapTextBuilder() { Free(); }

    // Grows to at least 1.5 x (length + n) bytes. False when out of memory.
    bool Reserve(int32_t n);
    // A null text appends nothing.
    void Append(const char* text);
    // Appends formatted text and returns data. When the formatter fails, or
    // memory runs out, the text stays as it was.
    char* Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    char* VPrintf(const char* format, va_list args) __attribute__((format(printf, 2, 0)));
    void Free();
};

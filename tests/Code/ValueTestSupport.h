#pragma once
// Helpers for value tests: fresh values and the fatal-error expectation.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Base/Console.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"

// Sends the error report's output to standard error so that a death test can
// match the message.
class StderrConsole : public tagIConsole {
public:
    void Output(const char* format, ...) override __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        std::vfprintf(stderr, format, args);
        va_end(args);
    }
};

#define EXPECT_FATAL_ERROR(statement, regex)                    \
    EXPECT_EXIT(                                                \
        {                                                       \
            static StderrConsole console;                       \
            OutputConsole = &console;                           \
            statement;                                          \
        },                                                      \
        ::testing::ExitedWithCode(1), regex)

// The text form of a value, as string() gives it.
inline std::string TextOf(const ScriptValue& v)
{
    char* start = nullptr;
    char* cursor = nullptr;
    int32_t capacity = 0;
    AppendTextGrow(&cursor, &start, &capacity, "");
    ScriptValue_AppendText(&cursor, &start, &capacity, &v);
    std::string text(start);
    Code_FreeMemory(start);
    return text;
}

// A value that releases what it holds when the test scope ends.
struct HeldValue {
    ScriptValue v = ScriptValue_Undefined();
    HeldValue() = default;
    explicit HeldValue(double d) { v = ScriptValue_Real(d); }
    explicit HeldValue(const char* text) { ScriptValue_InitString(&v, text); }
    HeldValue(const HeldValue&) = delete;
    HeldValue& operator=(const HeldValue&) = delete;
    ~HeldValue() { ScriptValue_SetUndefined(&v); }
};

inline ScriptValue MakeValue(uint32_t kind, int64_t payload = 0)
{
    ScriptValue v;
    v.i64 = payload;
    v.flags = 0;
    v.kind = kind;
    return v;
}

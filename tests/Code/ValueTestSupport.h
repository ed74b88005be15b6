#pragma once
// Helpers for value tests: fresh values and the fatal-error expectation.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <regex>
#include <string>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"

// Runs a statement that raises a fatal error in this process, the way a
// child game meets one: the report is recorded and the game's end requested
// instead of the process ending, so that no test process has to start for
// each message. (The process's own end is tested once, in a death test.)
class FatalErrorCapture : public tagIConsole {
public:
    FatalErrorCapture()
        : m_hooks(ErrorReport_SetHooks(ErrorReportHooks{})), m_console(OutputConsole), m_childGame(ChildGame)
    {
        s_ends = 0;
        ErrorReportHooks capture = m_hooks;
        capture.showDialog = nullptr;
        capture.quitGame = nullptr;
        capture.endGame = [] { ++s_ends; };
        ErrorReport_SetHooks(capture);
        OutputConsole = this;
        ChildGame = true;
    }
    ~FatalErrorCapture()
    {
        ErrorReport_SetHooks(m_hooks);
        OutputConsole = m_console;
        ChildGame = m_childGame;
        FatalErrorShown = false;
        error_occurred = false;
        CodeErrorFlag = false;
    }
    FatalErrorCapture(const FatalErrorCapture&) = delete;
    FatalErrorCapture& operator=(const FatalErrorCapture&) = delete;

    void Output(const char* format, ...) override __attribute__((format(printf, 2, 3)))
    {
        char buffer[4096];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        m_text += buffer;
    }
    // The game was ended once, and its report matches the extended regular expression.
    bool EndedWith(const char* pattern) const
    {
        return s_ends == 1 && std::regex_search(m_text, std::regex(pattern, std::regex::extended));
    }
    std::string Describe() const { return "games ended: " + std::to_string(s_ends) + ", report:\n" + m_text; }

private:
    static inline int s_ends = 0;
    ErrorReportHooks m_hooks;
    tagIConsole* m_console;
    bool m_childGame;
    std::string m_text;
};

#define EXPECT_FATAL_ERROR(statement, regex)                              \
    switch (0)                                                            \
    case 0:                                                               \
    default:                                                              \
        if (FatalErrorCapture qs_fatal; ([&] { statement; }(), true))     \
            EXPECT_TRUE(qs_fatal.EndedWith(regex)) << qs_fatal.Describe()

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

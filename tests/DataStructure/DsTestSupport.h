#pragma once
// Helpers for data-structure tests: values of each kind, a fixture that
// records console output and destroys every structure a test leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "Base/Console.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Values.h"
#include "support/RecordingConsole.h"

// A value that releases what it holds when it goes out of scope.
struct Val {
    ScriptValue v = ScriptValue_Undefined();
    Val() = default;
    Val(double d) { v = ScriptValue_Real(d); }
    Val(int d) { v = ScriptValue_Real(d); }
    Val(const char* text) { ScriptValue_InitString(&v, text); }
    Val(const Val& other) { v.Assign(other.v); }
    Val& operator=(const Val& other)
    {
        v.Assign(other.v);
        return *this;
    }
    ~Val() { ScriptValue_SetUndefined(&v); }
    const ScriptValue* operator&() const { return &v; }
    ScriptValue* operator&() { return &v; }
};

inline Val Int64(int64_t n)
{
    Val out;
    out.v.i64 = n;
    out.v.kind = VALUE_INT64;
    return out;
}
inline Val Int32(int32_t n)
{
    Val out;
    out.v.i64 = 0;
    out.v.i32 = n;
    out.v.kind = VALUE_INT32;
    return out;
}
inline Val OfKind(uint32_t kind, int64_t payload = 0)
{
    Val out;
    out.v.i64 = payload;
    out.v.kind = kind;
    return out;
}
// A handle stored with a nested mark.
inline Val Nested(int32_t handle, uint32_t mark)
{
    Val out(handle);
    out.v.kind |= mark;
    return out;
}

inline std::string StringOf(const ScriptValue* v)
{
    const char* text = v ? ScriptValue_StringText(v) : nullptr;
    return text ? text : "<not a string>";
}

struct DsFixture : ::testing::Test {
    RecordingConsole console;
    tagIConsole* savedOutput = nullptr;

    void SetUp() override
    {
        savedOutput = OutputConsole;
        OutputConsole = &console;
        DsSetPrecision(1e-08);
    }
    void TearDown() override
    {
        for (int32_t h = 0; h < DsMapTable.count; ++h) DsMap_Destroy(h);
        for (int32_t h = 0; h < DsListTable.count; ++h) DsList_Destroy(h);
        for (int32_t h = 0; h < DsStackTable.count; ++h) DsStack_Destroy(h);
        for (int32_t h = 0; h < DsQueueTable.count; ++h) DsQueue_Destroy(h);
        for (int32_t h = 0; h < DsGridTable.count; ++h) DsGrid_Destroy(h);
        for (int32_t h = 0; h < DsPriorityTable.count; ++h) DsPriority_Destroy(h);
        OutputConsole = savedOutput;
    }
};

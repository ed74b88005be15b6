#pragma once
// The "Resource.." built-ins over a world run by hand: calls by name through
// the built-in function table as compiled code makes them, the log and the
// last error report captured, and a save area of the test's own.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/BuiltinCallFixture.h"
#include "IO/LoadSave.h"
#include "World/WorldFixture.h"
#include "support/EngineReset.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

struct ResourceFunctions : WorldFixture {
    std::optional<testgames::CapturedLog> log;
    TempFolder root;
    std::string save;

    // Called by each suite's SetUp with the families it tests.
    void SetUpWith(std::initializer_list<void (*)()> registrars)
    {
        WorldFixture::SetUp();
        CodeFunction_FreeAll();
        for (auto r : registrars) r();
        save = root / "save/";
        std::filesystem::create_directories(save);
        Runner_SetSavePrefix(save.c_str());
        log.emplace();
        ForgetErrors();
    }
    void TearDown() override
    {
        log.reset();
        Runner_SetSavePrefix("");
        CodeFunction_FreeAll();
        WorldFixture::TearDown();
    }

    // The log written since the last call.
    std::string TakeLog()
    {
        std::string text = log->Text();
        log.reset();
        log.emplace();
        return text;
    }
    // The message of the last report (without the frame naming the event),
    // then a clean slate; empty when none was made.
    static std::string TakeError()
    {
        std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ForgetErrors();
        const size_t start = text.find(":\n\n\n");
        if (start == std::string::npos) return text;
        const size_t from = start + 4, end = text.find("\n####", from);
        return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
    }

    static ScriptValue S(const char* text)
    {
        ScriptValue v = ScriptValue_Undefined();
        ScriptValue_SetString(&v, text);
        return v;
    }
    static ScriptValue R(double d) { return ScriptValue_Real(d); }

    // Calls a built-in by name; the arguments are released, the result is the caller's.
    static ScriptValue Call(const char* name, std::vector<ScriptValue> args)
    {
        return BuiltinCalls::CallFrom(ScriptValue_Undefined(), name, std::move(args));
    }
    // The real a call gives; NaN marks a result that is not a real (undefined: no result set).
    static double Num(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        const double out = result.Kind() == VALUE_REAL ? result.real : std::nan("");
        ScriptValue_SetUndefined(&result);
        return out;
    }
    static bool NoResult(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        const bool none = result.Kind() == VALUE_UNDEFINED;
        ScriptValue_SetUndefined(&result);
        return none;
    }
    static std::string Str(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_STRING) << name;
        const char* text = ScriptValue_StringText(&result);
        std::string out = text ? text : "";
        ScriptValue_SetUndefined(&result);
        return out;
    }
    // A one-row array of reals.
    static ScriptValue Array(std::vector<ScriptValue> values)
    {
        ScriptValue v = ScriptValue_Undefined();
        RefArray* array = RefArray_New(&v);
        v.arr = array;
        v.kind = VALUE_ARRAY;
        if (values.empty()) return v;
        RefArray_EnsureRow(array, 0, "test");
        RefArray_EnsureColumn(array, 0, static_cast<int32_t>(values.size()) - 1, "test");
        for (size_t k = 0; k < values.size(); ++k) array->rows[0].elements[k] = values[k];
        return v;
    }
};

#pragma once
// The layer built-ins over a running room in layer mode: calls by name through
// the built-in function table, with the log and the last error captured.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_Layer.h"
#include "Background/Background_Main.h"
#include "Sprite/Sprite_Main.h"
#include "World/WorldFixture.h"
#include "World/Room_Layers.h"
#include "support/GameFiles.h"
#include "support/TestBackgrounds.h"

struct LayerFunctions : WorldFixture {
    std::optional<testgames::CapturedLog> log;

    void SetUp() override
    {
        WorldFixture::SetUp();
        LayerMode = true;
        InitLayerFunctions();
        log.emplace();
    }

    std::string Log() const { return log->Text(); }
    static ScriptValue Text(const char* text)
    {
        ScriptValue v = ScriptValue_Undefined();
        ScriptValue_SetString(&v, text);
        return v;
    }
    static ScriptValue R(double d) { return ScriptValue_Real(d); }

    // Calls a built-in by name as compiled code does; the arguments are released.
    static ScriptValue Call(const char* name, std::vector<ScriptValue> args, CInstance* self = nullptr)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Real(1234);
        CallBuiltinFunction(self, self, &result, static_cast<int>(args.size()), index, pointers.data());
        for (ScriptValue& a : args) ScriptValue_SetUndefined(&a);
        return result;
    }
    static double Real(const char* name, std::initializer_list<double> values)
    {
        std::vector<ScriptValue> args;
        for (double v : values) args.push_back(ScriptValue_Real(v));
        ScriptValue result = Call(name, args);
        EXPECT_EQ(result.Kind(), VALUE_REAL) << name;
        const double out = result.real;
        ScriptValue_SetUndefined(&result);
        return out;
    }
    // The reals of row 0 of an array result (which is released); nullopt when not an array.
    static std::optional<std::vector<double>> Row(ScriptValue value)
    {
        if (value.Kind() != VALUE_ARRAY || !value.arr) {
            ScriptValue_SetUndefined(&value);
            return std::nullopt;
        }
        std::vector<double> out;
        if (value.arr->rowCount > 0) {
            for (int32_t k = 0; k < value.arr->rows[0].length; ++k) out.push_back(value.arr->rows[0].elements[k].real);
        }
        ScriptValue_SetUndefined(&value);
        return out;
    }
};

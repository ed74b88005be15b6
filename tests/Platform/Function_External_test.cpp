// The external-library built-ins over a library built with the tests.
#include "Platform/Function_External.h"

#include <gmock/gmock.h>

#include <string>

#include "Base/Console.h"
#include "Function/BuiltinCallFixture.h"
#include "Options/Runner_Options.h"
#include "Platform/Extension_DLL.h"
#include "support/RecordingConsole.h"

using ::testing::HasSubstr;

namespace {
struct ExternalFunctions : BuiltinCallFixture {
    RecordingConsole log;
    tagIConsole* savedLog = nullptr;
    tagIConsole* savedOutput = nullptr;

    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitExternalFunctions();
        savedLog = LogConsole;
        savedOutput = OutputConsole;
        LogConsole = OutputConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        OutputConsole = savedOutput;
        ExtensionCallsDisabled = false;
        BuiltinCallFixture::TearDown();
    }

    // external_define(library, symbol, cdecl, result type, n, types...).
    static double Define(const char* symbol, std::vector<double> types, double resultType = 0)
    {
        std::vector<ScriptValue> args = {S(QS_TEST_EXTENSION), S(symbol), R(0), R(resultType),
                                         R(static_cast<double>(types.size()))};
        for (double type : types) args.push_back(R(type));
        return Num("external_define", std::move(args));
    }
    static std::vector<ScriptValue> With(double index, std::vector<ScriptValue> args)
    {
        args.insert(args.begin(), R(index));
        return args;
    }
    // How many calls reached the library so far.
    static double LibraryCalls()
    {
        return Num("external_call", {R(Define("ext_calls", {}))});
    }
};

TEST_F(ExternalFunctions, CallsPassMixedRealsAndTextsAndGiveRealsAndTexts)
{
    const double zero = Define("ext_zero", {});
    const double add = Num("external_define2", {S(QS_TEST_EXTENSION), S("ext_add"), R(0), R(2), R(0)});
    const double mix3 = Define("ext_mix3", {0, 1, 0});
    const double mix4 = Num("external_define4", {S(QS_TEST_EXTENSION), S("ext_mix4"), R(1), R(0), R(1), R(0), R(0)});
    const double sum = Define("ext_sum16", std::vector<double>(16, 0));
    const double join = Define("ext_join", {1, 0, 1}, 1);
    const double none = Num("external_define0", {S(QS_TEST_EXTENSION), S("ext_no_text"), R(1)});
    for (double index : {zero, add, mix3, mix4, sum, join, none}) ASSERT_GE(index, 0) << TakeError();
    EXPECT_EQ(add, Num("external_define0", {S(QS_TEST_EXTENSION), S("ext_calls"), R(0)}) - 6)
        << "definitions are numbered in turn";

    EXPECT_EQ(Num("external_call0", {R(zero)}), 42);
    EXPECT_EQ(Num("external_call", With(add, {R(1.25), R(2)})), 3.25) << "type 2 counts as real";
    EXPECT_EQ(Num("external_call3", {R(mix3), R(7), S("abcd"), R(2)}), 742);
    // A real where a text is declared passes no text; a text where a real is
    // declared passes its numeric conversion.
    EXPECT_EQ(Num("external_call", With(mix3, {R(1), R(5), S("3")})), 193);
    EXPECT_EQ(Num("external_call4", {R(mix4), S("ab"), R(3), S("xyz"), R(4)}), 2334);
    std::vector<ScriptValue> sixteen;
    for (int k = 1; k <= 16; ++k) sixteen.push_back(R(k));
    double expected = 0;
    for (int k = 1; k <= 16; ++k) expected += k * k;
    EXPECT_EQ(Num("external_call", With(sum, std::move(sixteen))), expected) << "every argument in its place";
    EXPECT_EQ(Str("external_call", With(join, {S("left"), R(12), S("right")})), "left|12|right");
    EXPECT_EQ(Str("external_call3", {R(join), R(1), R(2), R(3)}), "<null>|2|<null>");

    ScriptValue nothing = Call("external_call", {R(none)});
    EXPECT_EQ(nothing.Kind(), VALUE_STRING) << "a null text is a string without text";
    EXPECT_EQ(nothing.str, nullptr);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(ExternalFunctions, CallsThatMatchNoDefinitionGiveZeroWithoutReachingTheLibrary)
{
    const double add = Define("ext_add", {0, 0});
    ASSERT_GE(add, 0);
    const double before = LibraryCalls();
    EXPECT_EQ(Num("external_call", With(add, {R(1), R(2), R(3)})), 0) << "one argument too many";
    EXPECT_EQ(Num("external_call1", {R(add), R(1)}), 0) << "one argument too few";
    EXPECT_EQ(Num("external_call", {R(-1)}), -1);
    EXPECT_EQ(Num("external_call0", {R(-1)}), 0);
    EXPECT_EQ(Num("external_call2", {R(100000), R(1), R(2)}), 0) << "an index past the table";
    std::vector<ScriptValue> seventeen(17, R(1));
    EXPECT_EQ(Num("external_call", With(add, std::move(seventeen))), 0);
    EXPECT_EQ(LibraryCalls(), before);

    // With -ext the library is still loaded and defined, and never entered.
    ExtensionCallsDisabled = true;
    EXPECT_GE(Define("ext_zero", {}), 0);
    EXPECT_EQ(Num("external_call", With(add, {R(1), R(2)})), 0);
    ExtensionCallsDisabled = false;
    EXPECT_EQ(LibraryCalls(), before);
    EXPECT_EQ(Num("external_call", With(add, {R(1), R(2)})), 3);
}

TEST_F(ExternalFunctions, FreeingALibraryLeavesEveryDefinitionFromItWithoutOne)
{
    const double add = Define("ext_add", {0, 0});
    const double zero = Define("ext_zero", {});
    ASSERT_GE(add, 0);
    EXPECT_EQ(Num("external_call", With(add, {R(1), R(2)})), 3);
    ScriptValue result = Call("external_free", {S(QS_TEST_EXTENSION)});
    EXPECT_EQ(result.Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Num("external_call", With(add, {R(1), R(2)})), 0);
    EXPECT_EQ(Num("external_call", {R(zero)}), 0);
    // The next definition loads it again; the freed ones stay freed.
    const double again = Define("ext_add", {0, 0});
    EXPECT_GT(again, zero);
    EXPECT_EQ(Num("external_call", With(again, {R(2), R(2)})), 4);
    EXPECT_EQ(Num("external_call", With(add, {R(1), R(2)})), 0);
}

TEST_F(ExternalFunctions, RefusedDefinitionsReportWhyAndGiveMinusOne)
{
    struct Case {
        std::vector<ScriptValue> args;
        const char* report;  // the runtime error
        const char* logged;  // what the library layer logs, "" for nothing
    };
    auto args = [](std::vector<ScriptValue> tail) {
        std::vector<ScriptValue> all = {S(QS_TEST_EXTENSION), S("ext_add"), R(0), R(0)};
        all.insert(all.end(), tail.begin(), tail.end());
        return all;
    };
    std::vector<double> seventeen(17, 0);
    std::vector<ScriptValue> n17 = {R(17)};
    for (double t : seventeen) n17.push_back(R(t));
    const Case cases[] = {
        {{S(QS_TEST_EXTENSION), S("ext_add"), R(0), R(0)}, "Wrong number of arguments to external_define()", ""},
        {args({R(2), R(0)}), "Wrong number of arguments to external_define()", ""},
        {args({R(2), R(0), R(0), R(0)}), "Wrong number of arguments to external_define()", ""},
        {args(n17), "DLL functions can have at most 16 arguments", ""},
        {args({R(5), R(0), R(0), R(1), R(0), R(0)}),
         "DLL functions with more than 4 arguments cannot have string arguments", ""},
        {{S("/no/such/library.so"), S("ext_add"), R(0), R(0), R(0)}, "Error defining an external function.",
         "LoadLibraryA failed with error code "},
        {{S(QS_TEST_EXTENSION), S("no_such_symbol"), R(0), R(0), R(0)}, "Error defining an external function.", ""},
    };
    for (const Case& c : cases) {
        log.text.clear();
        EXPECT_EQ(Num("external_define", c.args), -1) << c.report;
        EXPECT_THAT(TakeError(), HasSubstr(c.report));
        // The report itself is logged too; the library layer's lines come before it.
        const std::string layer = log.text.substr(0, log.text.find("ERROR!!! :: "));
        if (*c.logged) EXPECT_THAT(layer, HasSubstr(c.logged));
        else EXPECT_EQ(layer, "") << c.report;
    }

    // The numbered defines leave the limits to the library layer.
    log.text.clear();
    const int32_t mixed[17] = {0, 0, 1, 0, 0};
    EXPECT_EQ(DLL_Define(QS_TEST_EXTENSION, "ext_sum16", 0, 5, mixed, false), -1);
    EXPECT_EQ(log.text, "ERROR :: DLL_Define :: function ext_sum16 has more than 4 parameters and they are not "
                        "all numbers\n");
    log.text.clear();
    const int32_t reals[17] = {};
    EXPECT_EQ(DLL_Define(QS_TEST_EXTENSION, "ext_sum16", 0, 17, reals, false), -1);
    EXPECT_EQ(log.text, "ERROR :: DLL_Define :: function ext_sum16 has too many parameters (limit 16) - has 17\n");
}
}  // namespace

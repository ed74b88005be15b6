// load_csv, json_encode and json_decode as game code calls them.
#include "Function/Function_FileFormats.h"

#include <gtest/gtest.h>

#include <string>

#include "DataStructure/DS_Grid.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "Function/BuiltinCallFixture.h"
#include "Function/Function_File.h"
#include "support/FileWorld.h"

namespace {
struct FileFormats : BuiltinCallFixture {
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitFileFunctions();
    }
    void TearDown() override
    {
        for (int32_t h = 0; h < DsMapTable.count; ++h) DsMap_Destroy(h);
        for (int32_t h = 0; h < DsListTable.count; ++h) DsList_Destroy(h);
        for (int32_t h = 0; h < DsGridTable.count; ++h) DsGrid_Destroy(h);
        BuiltinCallFixture::TearDown();
    }
    static std::string Default(double map)
    {
        DsMap* m = DsMapTable.Get(static_cast<int32_t>(map));
        ScriptValue key = S("default");
        DsMapElement* element = m ? m->FindElement(&key) : nullptr;
        ScriptValue_SetUndefined(&key);
        const char* text = element ? ScriptValue_StringText(&element->value) : nullptr;
        return text ? text : "<no text>";
    }
};

// The first cell and the size of a grid, "-" for no grid.
std::string Peek(double handle)
{
    DsGrid* grid = DsGridTable.Get(static_cast<int32_t>(handle));
    if (!grid) return "-";
    const char* first = ScriptValue_StringText(grid->Cell(0, 0));
    return std::string(first ? first : "<real>") + " " + std::to_string(grid->Width()) + "x" +
           std::to_string(grid->Height());
}

TEST_F(FileFormats, LoadCsvReadsTheSaveAreaElseTheBundle)
{
    FileWorld world;
    ASSERT_TRUE(world.Enter());
    world.root.Write("game/both.csv", "bundle");
    world.root.Write("save/both.csv", "save,area");
    world.root.Write("game/only.csv", "b,u\nn,d");
    world.root.Write("save/empty.csv", "");
    EXPECT_EQ(Peek(Num("load_csv", {S("both.csv")})), "save 2x1");
    EXPECT_EQ(Peek(Num("load_csv", {S("only.csv")})), "b 2x2");
    EXPECT_EQ(Num("load_csv", {S("empty.csv")}), -1);
    EXPECT_EQ(Num("load_csv", {S("missing.csv")}), -1);
    EXPECT_EQ(TakeError(), "");

    EXPECT_EQ(Num("load_csv", {R(3)}), -1);
    EXPECT_NE(TakeError().find("load_csv - parameter should be a filename"), std::string::npos);
    EXPECT_TRUE(world.Leave());
}

TEST_F(FileFormats, JsonDecodeTakesTextOrANumberAndEncodeTakesAMap)
{
    EXPECT_EQ(Default(Num("json_decode", {R(3)})), "3.00");
    EXPECT_EQ(Default(Num("json_decode", {S("")})), "0.00") << "no text: the number of the argument";
    EXPECT_EQ(Default(Num("json_decode", {S("{x")})), "{x");
    const double map = Num("json_decode", {S("{ \"a\": 1 }")});
    EXPECT_EQ(Str("json_encode", {R(map)}), "{ \"a\": 1.000000 }");
    EXPECT_EQ(Str("json_encode", {R(-1)}), "");
    EXPECT_EQ(TakeError(), "");
}
}  // namespace

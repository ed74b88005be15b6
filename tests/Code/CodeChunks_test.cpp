#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/Code_Variable.h"
#include "Code/CodeChunks.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "support/GameFiles.h"
#include "support/SampleModule.h"
#include "support/TestModule.h"

namespace {
using gamedata::CodeUse;

struct CodeChunksTest : ::testing::Test {
    std::vector<uint8_t> bytes;

    void SetUp() override
    {
        Console_SetStdoutSuppressed(true);
        HeadlessMode.noDialogs = true;
        samplemodule::RegisterBuiltins();
    }
    void TearDown() override { testgames::Unload(); }  // the image is ours
    bool Load(gamedata::FormWriter& w)
    {
        bytes = w.Finish();
        return testgames::LoadBoth(bytes);
    }
    static std::vector<uint32_t> Words(uint32_t entry)
    {
        CodeRecordView r;
        if (!CodeChunk_GetRecord(entry, &r)) return {};
        return std::vector<uint32_t>(r.bytecode, r.bytecode + r.length / 4);
    }
    // Finds the first occurrence of a word in the image.
    size_t Find(uint32_t word) const
    {
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
            if (std::memcmp(&bytes[i], &word, 4) == 0) return i;
        return std::string::npos;
    }
};

gamedata::GeneralHeader Format(uint8_t version)
{
    gamedata::GeneralHeader h;
    h.formatVersion = version;
    return h;
}

// Two entries: instruction/operand pairs at offsets 0 and 8 of each.
std::vector<gamedata::CodeEntry> TwoEntries()
{
    return {{"gml_Object_a_Step_0", {0xC2050000, 0xA0000000, 0xC2050000, 0x30000000, 0x9C000000}, 2, 1},
            {"gml_Script_b", {0xD9020000, 0x00000000, 0xC2050000, 0xF0000000}, 0, 0}};
}

// TwoEntries and a third, gml_Script_b_inner, that runs the second's bytecode from start.
std::vector<gamedata::CodeEntry> WithSharedEntry(uint32_t start)
{
    std::vector<gamedata::CodeEntry> entries = TwoEntries();
    gamedata::CodeEntry inner;
    inner.name = "gml_Script_b_inner";
    inner.sharesWith = 1;
    inner.startOffset = start;
    inner.locals = 1;
    entries.push_back(inner);
    return entries;
}

TEST_F(CodeChunksTest, NewerLayoutPatchesEveryUseAndKeepsTheTopBits)
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Code(TwoEntries());
    w.Vari({3, 0, 4}, {{"score", -5, 1, {{0, 0}, {0, 8}, {1, 8}}},
                       {"x", -1, -6, {}},
                       {"speed_local", -7, 3, {}}});
    w.Func({{"test_record", {{1, 0}}}}, {{"gml_Script_b", {"i", "j"}}});
    ASSERT_TRUE(Load(w)) << GameData_LastError();

    EXPECT_EQ(Words(0), (std::vector<uint32_t>{0xC2050000, 0xA0000000 | 100001, 0xC2050000, 0x30000000 | 100001,
                                               0x9C000000}));
    int32_t record = -1;
    ASSERT_TRUE(CodeFunction_Find("test_record", &record));
    EXPECT_EQ(Words(1), (std::vector<uint32_t>{0xD9020000, static_cast<uint32_t>(record), 0xC2050000,
                                               0xF0000000 | 100001}));
    EXPECT_EQ(Variable_FindGlobal("score"), 1);
    EXPECT_EQ(Variable_InstanceCount(), 2);  // 0 in the head means 2
    EXPECT_EQ(Variable_LocalCount(), 4);
    EXPECT_STREQ(Variable_GetName("gml_Script_b", -7, 100001), "j");
    EXPECT_STREQ(Variable_GetName("gml_Script_c", -7, 100001), "<unknown variable>");
    EXPECT_STREQ(Variable_GetName("", -1, 100005), "<unknown variable>");
}

// A texture-page chunk of 30 bytes puts the code chunk off a whole word of the
// file; the bytecode inside it lies on whole words of the file all the same.
TEST_F(CodeChunksTest, BytecodeOnWholeWordsOfTheFileLoadsWhereverTheChunkStarts)
{
    for (const bool unpadded : {true, false}) {
        SCOPED_TRACE(unpadded ? "unpadded" : "padded");
        gamedata::FormWriter w;
        w.SetUnpaddedChunks(unpadded);
        w.Gen8(Format(15));
        w.Tpag({gamedata::TexturePageEntry{}});
        w.Code(TwoEntries());
        w.Vari({3, 0, 4}, {{"score", -5, 1, {{0, 0}, {0, 8}, {1, 8}}}});
        ASSERT_TRUE(Load(w)) << GameData_LastError();
        const size_t codeChunk = Find(0x45444F43);  // "CODE"
        EXPECT_EQ(codeChunk == std::string::npos, unpadded) << "the chunk starts off a word only when unpadded";
        EXPECT_NE(Find(0xD9020000), std::string::npos) << "the bytecode lies on a whole word";
        EXPECT_EQ(Words(0), (std::vector<uint32_t>{0xC2050000, 0xA0000000 | 100001, 0xC2050000,
                                                   0x30000000 | 100001, 0x9C000000}));
        EXPECT_EQ(Words(1), (std::vector<uint32_t>{0xD9020000, 0, 0xC2050000, 0xF0000000 | 100001}));
        testgames::Unload();
    }
}

TEST_F(CodeChunksTest, CodeEntriesBindTheirBytecodeOutsideCompiledMode)
{
    CompiledCodeMode = false;
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Code(WithSharedEntry(8));
    ASSERT_TRUE(Load(w)) << GameData_LastError();
    CCode outer(0, 0);
    EXPECT_STREQ(outer.m_name, "gml_Object_a_Step_0");
    ASSERT_NE(outer.m_bytecode, nullptr);
    EXPECT_EQ(outer.m_bytecode->m_size, 20);
    EXPECT_EQ(outer.m_localsCount, 2);
    EXPECT_EQ(outer.m_argumentCount, 1);
    CCode shared(2, 1);
    EXPECT_EQ(shared.m_kind, CODE_KIND_CODE_FLAGGED);
    EXPECT_EQ(shared.m_startOffset, 8);
    CCode owner(1, 0);
    // One buffer for the bytecode, pre-decoded once for both entries.
    EXPECT_EQ(shared.m_bytecode, owner.m_bytecode);
    EXPECT_EQ(owner.m_bytecode->m_steps, nullptr);
    ASSERT_TRUE(CODE_PrepareEntries()) << GameData_LastError();
    EXPECT_NE(owner.m_bytecode->m_steps, nullptr);
    EXPECT_NE(outer.m_bytecode->m_steps, nullptr);
    // Outside the chunk: an entry without code.
    CCode none(3, 0);
    EXPECT_EQ(none.m_bytecode, nullptr);
    EXPECT_EQ(none.m_name, nullptr);
}

TEST_F(CodeChunksTest, PreparationRefusesAnEntryWhoseCodeWouldRunOutsideIt)
{
    CompiledCodeMode = false;
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    // Starts inside the operand of the first instruction it shares.
    w.Code(WithSharedEntry(4));
    ASSERT_TRUE(Load(w)) << GameData_LastError();
    EXPECT_FALSE(CODE_PrepareEntries());
    EXPECT_STREQ(GameData_LastError(), "Game data error in chunk CODE: code entry 2 (gml_Script_b_inner): it starts "
                                       "at offset 4, which is no instruction of the code");
}

TEST_F(CodeChunksTest, OlderLayoutRemapsOpcodesAndUsesWiderDistances)
{
    gamedata::FormWriter w;
    w.Gen8(Format(14));
    // An old "==" comparison; an old pop whose 4-byte operand looks like an
    // opcode; an old add; two pushes of a variable with their operands.
    w.Code({{"old", {0x13000000, 0x41020000, 0x13000000, 0x0C000000, 0xC0050000, 0xE0000000, 0xC0050000, 0x20000000}},
            {"calls", {0xD9020000, 0x00000000}}},
           false);
    w.Vari({}, {{"lives", 0, 0, {{0, 16}, {0, 24}}}}, false);
    w.Func({{"test_fail", {{1, 0}}}}, {}, false);
    ASSERT_TRUE(Load(w)) << GameData_LastError();
    const uint32_t lives = static_cast<uint32_t>(Variable_FindId("lives"));
    EXPECT_EQ(lives, 100000u);
    // Opcodes renumbered with the comparison kind in bits 8-15; operand words
    // skipped; the top bits of the variable operands kept.
    EXPECT_EQ(Words(0), (std::vector<uint32_t>{0x15000300, 0x45020000, 0x13000000, 0x10000000, 0xC0050000,
                                               0xE0000000 | lives, 0xC0050000, 0x20000000 | lives}));
    int32_t fail = -1;
    ASSERT_TRUE(CodeFunction_Find("test_fail", &fail));
    // Old handler 25 is the current 24.
    EXPECT_EQ(Words(1), (std::vector<uint32_t>{0xD8020000, static_cast<uint32_t>(fail)}));
}

void Replace(std::vector<uint8_t>& bytes, uint32_t from, uint32_t to)
{
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        if (std::memcmp(&bytes[i], &from, 4) == 0) {
            std::memcpy(&bytes[i], &to, 4);
            return;
        }
    }
    ADD_FAILURE() << "word not found";
}

struct BrokenCase {
    const char* name;
    std::vector<uint8_t> (*build)();
    const char* message;
};

std::vector<uint8_t> VariChainLeavesTheCode()
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Code(TwoEntries());
    w.Vari({3, 2, 0}, {{"score", -5, 1, {{0, 0}, {0, 8}}}});
    std::vector<uint8_t> bytes = w.Finish();
    Replace(bytes, 0xA0000008, 0xA07FFFF0);  // the first use's distance to the next
    return bytes;
}

std::vector<uint8_t> FuncChainLeavesTheCode()
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Code({{"calls", {0xD9020001, 0, 0xD9020000, 0}}});
    w.Func({{"test_record", {{0, 0}, {0, 8}}}}, {});
    std::vector<uint8_t> bytes = w.Finish();
    // The first call's operand (the distance 8 to the next call) now points back before the code.
    for (size_t i = 0; i + 8 <= bytes.size(); i += 4) {
        const uint32_t marker = 0xD9020001;
        if (std::memcmp(&bytes[i], &marker, 4) != 0) continue;
        const int32_t back = -4096;
        std::memcpy(&bytes[i + 4], &back, 4);
    }
    return bytes;
}

std::vector<uint8_t> VariBrokenRecords()
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Add("VARI").U32(0).U32(0).U32(0).Zeros(7);
    return w.Finish();
}

std::vector<uint8_t> FuncCountBeyondChunk()
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Add("FUNC").U32(1000).Zeros(12);
    return w.Finish();
}

std::vector<uint8_t> BytecodeOutsideChunk()
{
    gamedata::FormWriter w;
    w.Gen8(Format(14));
    w.Add("CODE").U32(1).Offset(8).String("gml_big").U32(4000);
    return w.Finish();
}

// The older layout's bytecode follows its record: after a 30-byte chunk it
// lies two bytes off a word of the file.
std::vector<uint8_t> BytecodeOffAWord()
{
    gamedata::FormWriter w;
    w.SetUnpaddedChunks(true);
    w.Gen8(Format(14));
    w.Tpag({gamedata::TexturePageEntry{}});
    w.Code({{"calls", {0xD9020000, 0}}}, false);
    return w.Finish();
}

std::vector<uint8_t> UsesBeyondAnyCode()
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Code(TwoEntries());
    gamedata::Chunk& vari = w.Add("VARI");
    vari.U32(3).U32(2).U32(0).String("score").I32(-5).I32(1).U32(4000000000u).U32(0);
    return w.Finish();
}

std::vector<uint8_t> UsesWithoutCode()
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Add("VARI").U32(3).U32(2).U32(0).String("score").I32(-5).I32(1).U32(1).U32(8);
    return w.Finish();
}

std::vector<uint8_t> SlotBeyondTheGlobals()
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Vari({3, 2, 0}, {{"score", -5, 3, {}}});
    return w.Finish();
}

struct BrokenChunk : CodeChunksTest, ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenChunk, IsRefusedWithAMessage)
{
    bytes = GetParam().build();
    EXPECT_FALSE(testgames::LoadBoth(bytes));
    EXPECT_NE(std::string(GameData_LastError()).find(GetParam().message), std::string::npos)
        << GameData_LastError();
}

INSTANTIATE_TEST_SUITE_P(
    CodeChunks, BrokenChunk,
    ::testing::Values(BrokenCase{"VariChain", VariChainLeavesTheCode, "VARI: use 1 of score at offset"},
                      BrokenCase{"FuncChain", FuncChainLeavesTheCode, "FUNC: use 1 of test_record at offset"},
                      BrokenCase{"VariRecords", VariBrokenRecords, "not a 12-byte head and whole 20-byte records"},
                      BrokenCase{"FuncCount", FuncCountBeyondChunk, "1000 function records do not fit"},
                      BrokenCase{"Bytecode", BytecodeOutsideChunk, "code entry 0: 4000 bytes of bytecode"},
                      BrokenCase{"OffAWord", BytecodeOffAWord, "of 8 bytes is not in whole words"},
                      BrokenCase{"TooManyUses", UsesBeyondAnyCode, "score claims 4000000000 uses"},
                      BrokenCase{"NoCode", UsesWithoutCode, "score has 1 uses but the file has no code"},
                      BrokenCase{"GlobalSlot", SlotBeyondTheGlobals, "score (kind -5) has slot 3 outside"}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

TEST_F(CodeChunksTest, UnknownVariableNameTakesTheLoadErrorPath)
{
    gamedata::FormWriter w;
    w.Gen8(Format(15));
    w.Code(TwoEntries());
    w.Vari({1, 1, 0}, {{"no_such_builtin", -6, -6, {{0, 0}}}});
    bytes = w.Finish();
    EXPECT_EXIT(testgames::LoadBoth(bytes), ::testing::ExitedWithCode(1), "");
    ChildGame = true;
    EXPECT_TRUE(testgames::LoadBoth(bytes));
    EXPECT_EQ(PendingRoomCode, ROOMCODE_END);
    EXPECT_NE(std::string(ErrorLast_Get()).find("Error on load\nUnable to find variable no_such_builtin\n"),
              std::string::npos);
}
}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base/MemoryManager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/VM_Main.h"
#include "gamedata/Assembler.h"
#include "support/RecordingConsole.h"

namespace {
// A buffer over assembled words (kept alive by the test).
struct Code {
    std::vector<uint32_t> words;
    VMBuffer buffer;
    explicit Code(const std::string& source) : words(gamedata::Assemble(source).words)
    {
        buffer.m_code = words.data();
        buffer.m_size = static_cast<int32_t>(words.size() * 4);
    }
};

std::vector<std::string> Listing(const std::string& source)
{
    Code code(source);
    RecordingConsole console;
    VM_ListCode("test", &code.buffer, &console);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = console.text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(console.text.substr(start, end - start));
    return lines;
}

TEST(VMFormat, ListingLaysOutOffsetBytesMnemonicAndOperand)
{
    // "b 20" is a branch back by 3 words from 0x20.
    const auto lines = Listing("pushi 0\npushi 0\npushi 0\npushi 0\npush.d 1.5\nconv.i.d\nb 20\npush.b 1\n"
                               ".word 0x42000000");
    ASSERT_EQ(lines.size(), 9u);
    // 8 + 3 characters of offset, 12 bytes, "push.d" from column 36, the operand from 46.
    EXPECT_EQ(lines[4], "00000010 : 000000c0000000000000f83f push.d    1.500000");
    EXPECT_EQ(lines[4].find("push"), 36u);
    EXPECT_EQ(lines[5].substr(36), "conv.i.d  ");
    EXPECT_EQ(lines[6].substr(0, 8), "00000020");
    EXPECT_EQ(lines[6].substr(36), "b         0x00000014");
    EXPECT_EQ(lines[7].substr(36), "push.b    true");
    EXPECT_EQ(lines[8].substr(36, 7), "unknown");
}

TEST(VMFormat, ListingStopsAtAnOperandCutOffByTheEnd)
{
    const auto lines = Listing(".word 0xC0000000\n.word 0x1");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 27), "00000000 : 000000c001000000");
}

TEST(VMFormat, DebugTableLookUpAndLineNumbers)
{
    const VMDebugEntry entries[] = {{4, 0}, {12, 9}, {20, 30}};
    VMBuffer table;
    table.m_code = reinterpret_cast<const uint32_t*>(entries);
    table.m_size = sizeof entries;
    EXPECT_EQ(VM_FindPosEntry(&table, 0), nullptr);
    EXPECT_EQ(VM_FindPosEntry(&table, 13), &entries[1]);
    EXPECT_EQ(VM_FindPosEntry(&table, 400), &entries[2]);
    EXPECT_EQ(VM_FindPosEntry(nullptr, 4), nullptr);

    const char* source = "a = 1;\r\nb = 2;\r\n#line f.gml 10\r\nc = 3;\r\n";
    const VMDebugEntry second{0, 9};   // on line 2
    const VMDebugEntry fourth{0, 33};  // the line after the directive
    const VMDebugEntry beyond{0, 5000};
    const char* file = nullptr;
    EXPECT_EQ(VM_LineFromPos(&second, source, &file), 2);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(VM_LineFromPos(&fourth, source, &file), 10);
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file, "f.gml");
    // Clamped to the last byte, the final line feed, which counts one more line.
    EXPECT_EQ(VM_LineFromPos(&beyond, source, nullptr), 11);
    EXPECT_EQ(VM_LineFromPos(nullptr, source, nullptr), -1);
    EXPECT_STREQ(VM_LineText(&second, source), "b = 2;");
    EXPECT_STREQ(VM_LineText(nullptr, source), "<unknown source line>");
}

uint8_t* Marker(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* Builtin(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* Script(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* General(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* PopLocal(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* IntToVar(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* DoubleToVar(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* Compare(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* PushValue(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* ArithToLocal(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* LocalNumber(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* CompareBranch(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* TwoLocals(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }
uint8_t* Bad(uint32_t, uint8_t* sp, const uint8_t*, VMFrame*) { return sp; }

TEST(VMFormat, PrepareBindsTheSpecialisedHandlers)
{
    VMHandlerSet set{};
    for (VMHandler& h : set.byIndex) h = Marker;
    set.callBuiltin = Builtin;
    set.callScript = Script;
    set.callGeneral = General;
    set.popLocalFast = PopLocal;
    set.convIntToVar = IntToVar;
    set.convDoubleToVar = DoubleToVar;
    set.compareValues = Compare;
    set.pushDoubleValue = PushValue;
    set.arithToLocal = ArithToLocal;
    set.pushLocalNumber = LocalNumber;
    set.compareBranch = CompareBranch;
    set.pushTwoLocals = TwoLocals;
    set.badInstruction = Bad;
    // Only values compared by one of the six comparisons take the compare form;
    // a double pushed and converted to a value is one step, and so is
    // arithmetic whose result is popped into a local, and a local followed by
    // a number constant, a comparison followed by a conditional branch, and
    // two locals in a row.
    Code code("call.i 12 0\ncall.i 100002 0\ncall.i 499999 1\ncall.i 600000 0\npop.v.v local.100000\n"
              "conv.i.v\nconv.i.d\nconv.d.v\nset.v.v lt\nset.v.v gt\nset.d.v lt\n.word 0x15557000\n"
              "push.d 2\nconv.d.v\npush.d 2\nconv.d.i\nadd.v.v\npop.v.v local.100000\nadd.v.v\n"
              "pop.v.v self.100000\nrem.v.v\npop.v.v local.100000\npushl 100000\npush.d 2\nconv.d.v\n"
              "pushl 100000\npush.d 2\npush.d 2\nset.v.v eq\nbt 0\nset.v.v ne\nbf 0\nset.v.v lt\nb 0\n"
              "pushl 100000\npushl 100001\npush.d 2\nconv.d.v\n.word 0x42000000");
    ASSERT_TRUE(code.buffer.Prepare(set));
    // The last word is an unknown opcode whose operand would run past the end.
    const VMHandler want[] = {Builtin, Script,  General, General, PopLocal, IntToVar, Marker,
                              DoubleToVar, Compare, Compare, Marker, Marker, PushValue, DoubleToVar,
                              Marker, Marker, ArithToLocal, PopLocal, Marker, Marker, Marker, PopLocal,
                              LocalNumber, PushValue, DoubleToVar, Marker, Marker, Marker, CompareBranch,
                              Marker, CompareBranch, Marker, Compare, Marker, TwoLocals, LocalNumber,
                              PushValue, DoubleToVar, Bad};
    for (size_t i = 0; i < std::size(want); ++i) EXPECT_EQ(code.buffer.m_handlers[i], want[i]) << i;
    // Word positions inside operands map to no instruction; the end is a position.
    EXPECT_EQ(code.buffer.m_indexMap[0], 0);
    EXPECT_EQ(code.buffer.m_indexMap[1], -1);
    EXPECT_EQ(code.buffer.m_indexMap[2], 1);
    EXPECT_EQ(code.buffer.m_indexMap[code.words.size()], 39);
}
}  // namespace

TEST(VMFormat, CheckRefusesCodeThatWouldRunOutsideItself)
{
    CodeFunction_FreeAll();
    CodeFunction_Register("check_builtin", nullptr, 0, 0);
    struct Case {
        const char* source;
        int32_t start;
        const char* fault;  // empty for code that passes
    };
    const Case cases[] = {
        {"push.d 1\nconv.d.v\nloop:\npushenv end\npopenv loop\npopenv 0 exit\nb loop\ncall.i 0 0\nend:", 12,
         ""},
        {"b 8\nb 0", 8, ""},  // a branch to the end of the code
        {".word 0x42000000", 0, "unknown instruction 0x42000000 at offset 0"},
        {"push.i 1\n.word 0xC0000000", 0, "the operand of the instruction at offset 8 runs past the end of the code"},
        {"b 12", 0, "the branch at offset 0 goes to 12, which is no instruction of the code"},
        {"push.d 1\nb 4", 0, "the branch at offset 12 goes to 4, which is no instruction of the code"},
        {"b -4", 0, "the branch at offset 0 goes to -4, which is no instruction of the code"},
        {"pushenv 100", 0, "the branch at offset 0 goes to 100, which is no instruction of the code"},
        {"call.i 1 0", 0, "the call at offset 0 names built-in function 1, which does not exist"},
        {"push.d 1\nconv.d.v", 4, "it starts at offset 4, which is no instruction of the code"},
        {"push.d 1", 16, "it starts at offset 16, which is no instruction of the code"},
    };
    for (const Case& c : cases) {
        const gamedata::Assembled code = gamedata::Assemble(c.source);
        ASSERT_EQ(code.error, "") << c.source;
        char why[256] = "";
        const bool ok = VM_CheckCode(code.words.data(), static_cast<int32_t>(code.words.size() * 4), c.start, why,
                                     sizeof why);
        EXPECT_EQ(ok, c.fault[0] == 0) << c.source;
        if (!ok) EXPECT_STREQ(why, c.fault) << c.source;
    }
    CodeFunction_FreeAll();
}

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "Base/MemoryManager.h"
#include "Buffer/MemoryStream.h"
#include "IO/LoadSave.h"
#include "support/TempFolder.h"

namespace {
std::vector<uint8_t> Compress(const std::string& text)
{
    uLongf size = compressBound(uLong(text.size()));
    std::vector<uint8_t> out(size);
    compress(out.data(), &size, reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()));
    out.resize(size);
    return out;
}

// A stream holding a 4-byte length and the payload, then a trailer word.
void PutPayload(MemoryStream* s, const std::vector<uint8_t>& payload, int32_t claimed)
{
    s->WriteInt32(claimed);
    s->WriteBytes(payload.data(), int64_t(payload.size()));
    s->WriteInt32(0x7A7A7A7A);
}

std::string Hex(MemoryStream& s)
{
    char* text = s.ToHexString();
    std::string out = text ? text : "<null>";
    QS_FREE(text);
    return out;
}

TEST(MemoryStreamTest, WritersGrowAheadAndReadersStopAtTheSize)
{
    MemoryStream s(0);
    s.WriteInt32(1);
    s.WriteInt32(2);
    EXPECT_EQ(s.WriteBytes("z", 1), 1);
    EXPECT_EQ(s.GetSize(), 16);
    EXPECT_EQ(s.GetPosition(), 9);
    EXPECT_EQ(Hex(s), "01000000020000007A");
    EXPECT_EQ(s.WriteBytes(nullptr, 4), 0);
    EXPECT_EQ(s.WriteBytes("x", -1), 0);

    MemoryStream t(0);
    t.WriteInt64(-2);
    t.WriteDouble(0.25);
    t.WriteString("abc");
    t.WriteString(nullptr);
    t.WriteString("");
    EXPECT_EQ(t.Seek(0, 0), 0);
    EXPECT_EQ(t.ReadInt64(), -2);
    EXPECT_EQ(t.ReadDouble(), 0.25);
    char* text = t.ReadString();
    EXPECT_STREQ(text, "abc");
    QS_FREE(text);
    const int64_t before = t.GetPosition();
    EXPECT_EQ(t.ReadString(), nullptr);  // null and empty are both stored as 0
    EXPECT_EQ(t.GetPosition(), before + 4);
    EXPECT_EQ(t.ReadString(), nullptr);

    EXPECT_EQ(t.Seek(-4, 2), t.GetSize() - 4);
    t.Seek(0, 2);
    EXPECT_EQ(t.ReadInt32(), 0);
    EXPECT_EQ(t.GetPosition(), t.GetSize());
    EXPECT_EQ(t.Seek(5, 9), t.GetSize());

    // A stored length beyond the data gives only the bytes that are there.
    MemoryStream lying(0);
    lying.WriteInt32(1000);
    lying.WriteBytes("ab", 2);
    MemoryStream exact(lying.GetPosition());
    lying.SetPosition(0);
    exact.CopyFrom(&lying, 6, false);
    exact.SetPosition(0);
    text = exact.ReadString();
    EXPECT_STREQ(text, "ab");
    QS_FREE(text);
    // A length cut short counts as none.
    exact.SetPosition(exact.GetSize() - 2);
    EXPECT_EQ(exact.ReadString(), nullptr);
}

TEST(MemoryStreamTest, HexTextBothWays)
{
    MemoryStream s(0);
    s.FromHexString("0a1B");
    EXPECT_EQ(s.GetSize(), 2);
    EXPECT_EQ(s.GetPosition(), 0);
    EXPECT_EQ(s.GetBuffer()[0], 0x0A);
    EXPECT_EQ(s.GetBuffer()[1], 0x1B);
    s.FromHexString("ff0");  // the odd last character is left out
    EXPECT_EQ(s.GetSize(), 1);
    s.FromHexString("zz41");  // a pair that is not hex is skipped
    ASSERT_EQ(s.GetSize(), 1);
    EXPECT_EQ(s.GetBuffer()[0], 0x41);
    s.FromHexString("");
    EXPECT_EQ(s.GetSize(), 1);
    EXPECT_EQ(Hex(s), "<null>");  // nothing before the position
}

TEST(MemoryStreamTest, CopiesBorrowOrAppend)
{
    MemoryStream source(0);
    source.WriteBytes("abcdef", 6);
    source.SetPosition(1);
    MemoryStream view(0);
    EXPECT_EQ(view.CopyFrom(&source, 3, true), 3);
    EXPECT_EQ(view.GetBuffer(), source.GetBuffer() + 1);
    EXPECT_EQ(source.GetPosition(), 4);
    EXPECT_EQ(view.CopyFrom(&source, 100, true), 2);  // cut to what remains
    MemoryStream copy(0);
    source.SetPosition(2);
    EXPECT_EQ(copy.CopyFrom(&source, 100, false), source.GetSize() - 2);
    MemoryStream all(0);
    EXPECT_EQ(all.CopyFrom(&source, 0, false), source.GetSize());
    EXPECT_EQ(source.GetPosition(), source.GetSize());
    // Writing to a view copies the bytes out first; the source is untouched.
    view.WriteBytes("Z", 1);
    EXPECT_EQ(source.GetBuffer()[4], 'e');
}

TEST(MemoryStreamTest, PayloadsInflateAndDamageIsRefused)
{
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\n";
    const std::vector<uint8_t> packed = Compress(text);

    MemoryStream source(0);
    PutPayload(&source, packed, int32_t(packed.size()));
    source.SetPosition(0);
    MemoryStream* out = ZDecompressStream(&source);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->GetPosition(), 0);
    ASSERT_GE(out->GetSize(), int64_t(text.size()));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out->GetBuffer()), text.size()), text);
    EXPECT_EQ(source.GetPosition(), int64_t(4 + packed.size()));
    EXPECT_EQ(source.ReadInt32(), 0x7A7A7A7A);
    MemoryStream::Free(out);

    struct Case {
        const char* what;
        std::vector<uint8_t> payload;
        int32_t claimed;
    } cases[] = {
        {"length beyond the data", packed, int32_t(packed.size()) + 100000},
        {"negative length", packed, -5},
        {"cut short", std::vector<uint8_t>(packed.begin(), packed.begin() + long(packed.size() / 2)), 0},
        {"not zlib", std::vector<uint8_t>(64, 0x55), 64},
        {"flipped byte", packed, int32_t(packed.size())},
    };
    cases[2].claimed = int32_t(cases[2].payload.size());
    cases[4].payload[packed.size() / 2] ^= 0xFF;
    for (const Case& c : cases) {
        MemoryStream s(0);
        PutPayload(&s, c.payload, c.claimed);
        s.SetPosition(0);
        MemoryStream* r = ZDecompressStream(&s);
        EXPECT_EQ(r, nullptr) << c.what;
        MemoryStream::Free(r);
    }
}

TEST(MemoryStreamTest, FilesLoadFromTheSaveAreaFirst)
{
    TempFolder root;
    Runner_SetSavePrefix((root.Path() + "/save/").c_str());
    InitProgramDirectory((root / "game/data.win").c_str());
    std::filesystem::create_directories(root / "game");
    root.Write("game/a.bin", "BUNDLEDATA");
    MemoryStream s(0);
    s.LoadFile("a.bin", 6);
    ASSERT_EQ(s.GetSize(), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.GetBuffer()), 4), "DATA");
    ASSERT_TRUE(LoadSave_WriteSaveFile("a.bin", "SAVED", 5));
    s.LoadFile("a.bin", 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.GetBuffer()), 5), "SAVED");
    s.LoadFile("a.bin", 99);  // skipping past the end leaves nothing
    EXPECT_EQ(s.GetSize(), 0);
    s.LoadFile("missing.bin", 0);
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.GetBuffer(), nullptr);
    Runner_SetSavePrefix("");
    InitProgramDirectory(nullptr);
}
}  // namespace

// Text scrambled with the inverse of a seed's table comes back whole over
// the range asked for, and only there; ranges past the contents are cut.
TEST(MemoryStreamTest, DescrambleUndoesTheSeedsSubstitutionOverItsRange)
{
    uint8_t table[256], inverse[256];
    MemoryStream_DescrambleTable(1234, table);
    bool seen[256] = {};
    for (int i = 0; i < 256; ++i) {
        ASSERT_FALSE(seen[table[i]]) << "not a permutation at " << i;
        seen[table[i]] = true;
        inverse[table[i]] = static_cast<uint8_t>(i);
    }
    uint8_t other[256];
    MemoryStream_DescrambleTable(1235, other);
    EXPECT_NE(std::memcmp(table, other, 256), 0);

    const std::string text = "show_debug_message(\"hi\");";
    struct Case {
        int64_t start, count;
        size_t plainFrom, plainTo;  // the bytes that come back as text
    };
    const Case cases[] = {
        {0, 0, 0, text.size()},            // 0: up to the size
        {0, -5, 0, text.size()},
        {5, 4, 5, 9},
        {-3, 4, 0, 4},                     // a start before the contents begins at 0
        {10, 1000, 10, text.size()},       // cut to the contents
        {int64_t(text.size()), 4, 0, 0},   // nothing past the end
    };
    for (const Case& c : cases) {
        MemoryStream s(0);
        std::string scrambled = text;
        for (char& ch : scrambled) ch = static_cast<char>(inverse[static_cast<uint8_t>(ch)]);
        s.WriteBytes(scrambled.data(), int64_t(scrambled.size()));
        s.Descramble(1234, c.start, c.count);
        const std::string out(reinterpret_cast<const char*>(s.GetBuffer()), size_t(s.GetSize()));
        for (size_t i = 0; i < text.size(); ++i) {
            const bool inRange = i >= c.plainFrom && i < c.plainTo;
            EXPECT_EQ(out[i], inRange ? text[i] : scrambled[i]) << "start " << c.start << " byte " << i;
        }
    }
}

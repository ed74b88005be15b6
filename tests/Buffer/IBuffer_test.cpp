#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"

namespace {
BufferElement Int(int64_t v)
{
    BufferElement e;
    e.integer = v;
    return e;
}
BufferElement Real(double v)
{
    BufferElement e;
    e.real = v;
    return e;
}
BufferElement Text(const char* t)
{
    BufferElement e;
    e.text = t;
    return e;
}
std::vector<uint8_t> Bytes(const IBuffer& b)
{
    return std::vector<uint8_t>(b.Data(), b.Data() + b.Size());
}

struct TypeCase {
    int type;
    BufferElement in;
    double real;  // what reading gives back (u64: the integer)
};

const TypeCase kTypes[] = {
    {eBuffer_U8, Int(200), 200},          {eBuffer_S8, Int(-100), -100},
    {eBuffer_U16, Int(60000), 60000},     {eBuffer_S16, Int(-30000), -30000},
    {eBuffer_U32, Int(4000000000), 4e9},  {eBuffer_S32, Int(-2000000000), -2e9},
    {eBuffer_F32, Real(1.5), 1.5},        {eBuffer_F64, Real(1.0 / 3), 1.0 / 3},
    {eBuffer_Bool, Int(7), 1},            {eBuffer_U64, Int((int64_t(1) << 40) + 3), double((int64_t(1) << 40) + 3)},
};

double Value(const BufferElement& e)
{
    return e.isInt64 ? double(e.integer) : e.real;
}

TEST(IBufferTest, AlignmentIsAPowerOfTwoFromTheRequestModulo512)
{
    const int cases[][2] = {{1024, 1}, {600, 128}, {512, 1}, {0, 1}, {-4, 1}, {3, 4}, {8, 8}, {513, 1}};
    for (const auto& c : cases) {
        IBuffer b(16, eBuffer_Fixed, c[0]);
        EXPECT_EQ(b.Alignment(), c[1]) << c[0];
        EXPECT_EQ(reinterpret_cast<uintptr_t>(b.Data()) % uintptr_t(c[1]), 0u) << c[0];
    }
}

// Every kind and element type: aligned placement, reading back, peeking, and
// what happens when the element meets the end of the buffer.
TEST(IBufferTest, KindsByElementTypes)
{
    for (int kind : {eBuffer_Fixed, eBuffer_Grow, eBuffer_Wrap}) {
        for (const TypeCase& t : kTypes) {
            SCOPED_TRACE("kind " + std::to_string(kind) + " type " + std::to_string(t.type));
            const int n = IBuffer_TypeSize(t.type);
            IBuffer b(16, kind, 4);
            ASSERT_EQ(b.WriteElement(eBuffer_U8, Int(9)), 0);
            ASSERT_EQ(b.WriteElement(t.type, t.in), 0);
            EXPECT_EQ(b.Position(), 4 + n);  // the element starts on the grid
            BufferElement out;
            EXPECT_EQ(b.PeekElement(4, t.type, &out), t.type != eBuffer_U64);
            if (t.type != eBuffer_U64) {
                EXPECT_EQ(Value(out), t.real);
            }
            EXPECT_EQ(b.Seek(eBuffer_SeekStart, 0), 0);
            ASSERT_EQ(b.ReadElement(eBuffer_U8, &out), 0);
            EXPECT_EQ(out.real, 9);
            ASSERT_EQ(b.ReadElement(t.type, &out), 0);
            EXPECT_EQ(Value(out), t.real);
            EXPECT_EQ(out.isInt64, t.type == eBuffer_U64);

            // An element that starts at 15 runs past the end unless it is one byte.
            IBuffer end(16, kind, 1);
            end.Seek(eBuffer_SeekStart, 15);
            const int result = end.WriteElement(t.type, t.in);
            if (n == 1 || kind != eBuffer_Fixed) {
                EXPECT_EQ(result, 0);
            } else {
                EXPECT_EQ(result, -2);
                EXPECT_EQ(Bytes(end), std::vector<uint8_t>(16, 0));  // nothing written
            }
            if (kind == eBuffer_Grow) {
                EXPECT_EQ(end.Size(), n == 1 ? 16 : 32);
            }
            if (kind == eBuffer_Wrap && n > 1) {
                EXPECT_EQ(end.Position(), n - 1);  // continued at the start
                EXPECT_TRUE(end.PeekElement(15, t.type, &out) || t.type == eBuffer_U64);
                if (t.type != eBuffer_U64) {
                    EXPECT_EQ(Value(out), t.real);
                }
            }
            if (kind == eBuffer_Fixed) {
                end.Seek(eBuffer_SeekStart, 16);
                EXPECT_EQ(end.ReadElement(t.type, &out), -1);
                EXPECT_EQ(out.real, -3);
            }
            // Poke across the end: only a wrap buffer writes it.
            IBuffer poke(16, kind, 1);
            EXPECT_EQ(poke.PokeElement(16 - 1, t.type, t.in), t.type != eBuffer_U64 && (n == 1 || kind == eBuffer_Wrap));
            EXPECT_FALSE(poke.PokeElement(-1, t.type, t.in));
            EXPECT_EQ(poke.Position(), 0);
        }
    }
}

TEST(IBufferTest, CasesAtTheEdges)
{
    IBuffer grow(1, eBuffer_Grow, 1);  // 1 -> 2 -> 4
    ASSERT_EQ(grow.WriteElement(eBuffer_S32, Int(5)), 0);
    EXPECT_EQ(grow.Size(), 4);
    EXPECT_EQ(grow.Position(), 4);

    IBuffer aligned(16, eBuffer_Fixed, 4);
    aligned.WriteElement(eBuffer_U8, Int(1));
    aligned.WriteElement(eBuffer_U16, Int(0x0203));
    EXPECT_EQ(aligned.Data()[4], 3);
    EXPECT_EQ(aligned.Data()[5], 2);

    // Wrap of 6 bytes, alignment 4: a u32 at 4 ends at 0..1; the grid moves on by 2.
    IBuffer wrap(6, eBuffer_Wrap, 4);
    wrap.Seek(eBuffer_SeekStart, 4);
    ASSERT_EQ(wrap.WriteElement(eBuffer_U32, Int(0x44332211)), 0);
    EXPECT_EQ(Bytes(wrap), (std::vector<uint8_t>{0x33, 0x44, 0, 0, 0x11, 0x22}));
    EXPECT_EQ(wrap.Phase(), 2);
    EXPECT_EQ(wrap.Position(), 2);
    wrap.WriteElement(eBuffer_U8, Int(7));
    EXPECT_EQ(wrap.Data()[2], 7);

    IBuffer fixed3(3, eBuffer_Fixed, 1);
    EXPECT_EQ(fixed3.WriteElement(eBuffer_U32, Int(-1)), -2);
    EXPECT_EQ(Bytes(fixed3), std::vector<uint8_t>(3, 0));

    // Half floats are refused but move the cursor on a read.
    IBuffer half(8, eBuffer_Fixed, 1);
    BufferElement out;
    EXPECT_EQ(half.ReadElement(eBuffer_F16, &out), -1);
    EXPECT_EQ(out.real, 0);
    EXPECT_EQ(half.Position(), 2);
    EXPECT_EQ(half.WriteElement(eBuffer_F16, Real(1)), -1);
    EXPECT_EQ(half.WriteElement(99, Real(1)), -1);
    EXPECT_EQ(IBuffer_TypeSize(99), 0);
    EXPECT_EQ(IBuffer_TypeSize(eBuffer_F16), 2);

    IBuffer text(8, eBuffer_Fixed, 1);
    text.WriteElement(eBuffer_String, Text("hi"));
    EXPECT_EQ(text.Position(), 3);
    text.WriteElement(eBuffer_Text, Text("yo"));
    EXPECT_EQ(text.Position(), 5);
    EXPECT_EQ(text.WriteElement(eBuffer_Text, Text(nullptr)), -1);
    text.Seek(eBuffer_SeekStart, 0);
    ASSERT_EQ(text.ReadElement(eBuffer_String, &out), 0);
    EXPECT_EQ(std::string(out.text, size_t(out.length)), "hi");
    EXPECT_EQ(text.Position(), 3);
    // Text is read up to the next NUL, which here is one of the cleared bytes.
    ASSERT_EQ(text.ReadElement(eBuffer_Text, &out), 0);
    EXPECT_EQ(std::string(out.text, size_t(out.length)), "yo");
    EXPECT_EQ(text.Position(), 6);

    IBuffer seek(10, eBuffer_Fixed, 1);
    EXPECT_EQ(seek.Seek(eBuffer_SeekEnd, 1), 9);
    EXPECT_EQ(seek.Seek(eBuffer_SeekEnd, 50), 0);
    EXPECT_EQ(seek.Seek(eBuffer_SeekRelative, -5), 0);
    EXPECT_EQ(seek.Seek(7, 3), 0);
    IBuffer wrapSeek(6, eBuffer_Wrap, 4);
    EXPECT_EQ(wrapSeek.Seek(eBuffer_SeekRelative, 13), 1);
    EXPECT_EQ(wrapSeek.Phase(), 0);  // two turns of 6 move the grid by 4, i.e. not at all
    EXPECT_EQ(wrapSeek.Seek(eBuffer_SeekRelative, -3), 4);
    EXPECT_EQ(wrapSeek.Phase(), 2);
}

TEST(IBufferTest, EndsThatUsedToBreakAreSound)
{
    // A grow buffer whose cursor was sent far past its end grows to hold it.
    IBuffer far(4, eBuffer_Grow, 1);
    far.Seek(eBuffer_SeekStart, 1000);
    ASSERT_EQ(far.WriteElement(eBuffer_U8, Int(1)), 0);
    EXPECT_GE(far.Size(), 1001);
    EXPECT_EQ(far.Data()[1000], 1);
    ASSERT_EQ(far.WriteElement(eBuffer_F64, Real(2)), 0);
    EXPECT_GE(far.Size(), 1009);

    // Growing from nothing ends.
    IBuffer empty;
    ASSERT_EQ(empty.WriteElement(eBuffer_U8, Int(1)), 0);
    EXPECT_EQ(empty.Size(), 1);
    IBuffer zero(0, eBuffer_Grow, 1);
    EXPECT_EQ(zero.WriteBytes("abc", 1, 3), 3);

    // A wrap buffer of size 0 has nowhere to put anything.
    IBuffer none(0, eBuffer_Wrap, 4);
    BufferElement out;
    EXPECT_EQ(none.WriteElement(eBuffer_U32, Int(1)), -2);
    EXPECT_EQ(none.ReadElement(eBuffer_U32, &out), -1);
    EXPECT_FALSE(none.PeekElement(3, eBuffer_U8, &out));
    EXPECT_FALSE(none.PokeElement(3, eBuffer_U8, Int(1)));
    EXPECT_EQ(none.Seek(eBuffer_SeekRelative, 5), 5);
    EXPECT_EQ(none.WriteBytes("ab", 1, 2), 0);
    EXPECT_EQ(none.ReadBytes(&out, 1, 2), 0);
    none.Fill(0, -1, eBuffer_U8, Int(1), -1, true);

    // Counts whose product overflows are refused.
    IBuffer bytes(8, eBuffer_Grow, 1);
    EXPECT_EQ(bytes.WriteBytes("x", 0x10000, 0x10000), 0);
}

TEST(IBufferTest, ByteRunsStringsAndSavedText)
{
    IBuffer fixed(4, eBuffer_Fixed, 1);
    EXPECT_EQ(fixed.WriteBytes("abcdef", 1, 6), 4);
    EXPECT_EQ(fixed.WriteBytes("x", 1, 1), 0);
    fixed.Seek(eBuffer_SeekStart, 2);
    char got[8] = {};
    EXPECT_EQ(fixed.ReadBytes(got, 2, 3), 2);
    EXPECT_STREQ(got, "cd");

    IBuffer wrap(4, eBuffer_Wrap, 1);
    wrap.Seek(eBuffer_SeekStart, 3);
    EXPECT_EQ(wrap.WriteBytes("abc", 1, 3), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(wrap.Data()), 4), std::string("bc\0a", 4));

    IBuffer s;
    s.WriteString(nullptr);
    s.WriteString("name");
    s.Seek(eBuffer_SeekStart, 0);
    char* a = s.ReadString();
    char* b = s.ReadString();
    EXPECT_STREQ(a, "\x04");
    EXPECT_STREQ(b, "name");
    EXPECT_EQ(s.ReadString(), nullptr);
    QS_FREE(a);
    QS_FREE(b);
    // A string cut before its NUL is not read, and the cursor stays.
    IBuffer cut;
    cut.WriteString("abcdef");
    cut.Resize(4);
    cut.Seek(eBuffer_SeekStart, 0);
    EXPECT_EQ(cut.ReadString(), nullptr);
    EXPECT_EQ(cut.Position(), 0);
}

TEST(IBufferTest, ResizeKeepsTheStartAndTakesOwnership)
{
    uint8_t memory[6] = {1, 2, 3, 4, 5, 6};
    {
        IBuffer wrapped(memory, 6, eBuffer_Fixed, 1, false);
        EXPECT_EQ(wrapped.Data(), memory);
        wrapped.Seek(eBuffer_SeekStart, 5);
        ASSERT_TRUE(wrapped.Resize(3));
        EXPECT_NE(wrapped.Data(), memory);
        EXPECT_EQ(Bytes(wrapped), (std::vector<uint8_t>{1, 2, 3}));
        EXPECT_EQ(wrapped.Position(), 0);  // the cursor was past the new end
        ASSERT_TRUE(wrapped.Resize(5));
        EXPECT_EQ(Bytes(wrapped), (std::vector<uint8_t>{1, 2, 3, 0, 0}));
        EXPECT_FALSE(wrapped.Resize(-1));
    }
    EXPECT_EQ(memory[5], 6);  // the caller's memory is left alone
}

TEST(IBufferTest, FillOnTheGridOrByStride)
{
    // Alignment 4, u16 over [1, 13): padding up to 4, elements at 4 and 8,
    // padding to 12; the last byte of the range holds no whole element.
    IBuffer grid(16, eBuffer_Fixed, 4);
    std::memset(grid.Data(), 0xEE, 16);
    grid.Fill(1, 12, eBuffer_U16, Int(0x0102), -1, true);
    EXPECT_EQ(Bytes(grid), (std::vector<uint8_t>{0xEE, 0, 0, 0, 2, 1, 0, 0, 2, 1, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE}));

    // Stride 3 with a u32 cut to 3 bytes; without zero padding the gaps stay.
    IBuffer stride(10, eBuffer_Fixed, 1);
    std::memset(stride.Data(), 0xEE, 10);
    stride.Fill(0, -1, eBuffer_U16, Int(0x0102), 3, false);
    EXPECT_EQ(Bytes(stride), (std::vector<uint8_t>{2, 1, 0xEE, 2, 1, 0xEE, 2, 1, 0xEE, 0xEE}));
    stride.Fill(0, -1, eBuffer_U32, Int(0x04030201), 3, true);
    EXPECT_EQ(Bytes(stride), (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 1, 2, 3, 0xEE}));

    // Strings carry their NUL; an empty text fills nothing and ends.
    IBuffer text(7, eBuffer_Fixed, 1);
    text.Fill(0, -1, eBuffer_String, Text("ab"), -1, true);
    EXPECT_EQ(Bytes(text), (std::vector<uint8_t>{'a', 'b', 0, 'a', 'b', 0, 0}));
    text.Fill(0, -1, eBuffer_Text, Text(""), -1, true);
    text.Fill(0, -1, eBuffer_U64, Int(1), -1, true);
    EXPECT_EQ(text.Data()[0], 'a');

    // A wrap buffer's fill continues at its start; other kinds stop at the end.
    IBuffer wrap(5, eBuffer_Wrap, 1);
    wrap.Fill(4, 3, eBuffer_U8, Int(9), -1, true);
    EXPECT_EQ(Bytes(wrap), (std::vector<uint8_t>{9, 9, 0, 0, 9}));
    IBuffer fixed(5, eBuffer_Fixed, 1);
    fixed.Fill(4, 3, eBuffer_U8, Int(9), -1, true);
    fixed.Fill(5, 3, eBuffer_U8, Int(8), -1, true);
    EXPECT_EQ(Bytes(fixed), (std::vector<uint8_t>{0, 0, 0, 0, 9}));
    EXPECT_EQ(fixed.Position(), 0);
}

TEST(IBufferTest, CopiesGrowWrapOrCut)
{
    IBuffer source(4, eBuffer_Fixed, 1);
    source.WriteBytes("abcd", 1, 4);
    IBuffer grow(2, eBuffer_Grow, 1);
    source.Copy(1, -1, &grow, 3);
    EXPECT_EQ(grow.Size(), 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(grow.Data()) + 3, 3), "bcd");
    IBuffer fixed(3, eBuffer_Fixed, 1);
    source.Copy(0, 4, &fixed, 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(fixed.Data()), 3), std::string("\0ab", 3));
    source.Copy(0, 4, &fixed, 3);  // at the end: nothing
    IBuffer wrap(3, eBuffer_Wrap, 1);
    source.Copy(0, 4, &wrap, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(wrap.Data()), 3), "bcd");  // a, then b c d from the start
    source.Copy(0, 0, nullptr, 0);

    // A grow buffer copied into itself reads its bytes before it moves them.
    IBuffer self(4, eBuffer_Grow, 1);
    self.WriteBytes("wxyz", 1, 4);
    self.Copy(0, 4, &self, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(self.Data()), 8), "wxyzwxyz");

    // Between plain blocks, with a wrapping source.
    uint8_t dest[5] = {};
    const uint8_t from[3] = {1, 2, 3};
    EXPECT_EQ(IBuffer_CopyMemoryWrap(dest, 5, from, 3, 2, 4, 0, false, true), 4);
    EXPECT_EQ(std::vector<uint8_t>(dest, dest + 5), (std::vector<uint8_t>{3, 1, 2, 3, 0}));
    EXPECT_EQ(IBuffer_CopyMemoryWrap(dest, 5, from, 0, 0, 1, 0, false, false), -1);
    EXPECT_EQ(IBuffer_CopyMemoryWrap(dest, 5, from, 3, 0, 3, 5, false, false), -1);
}

TEST(IBufferTest, DigestsAndBase64OfRanges)
{
    IBuffer b(8, eBuffer_Fixed, 1);
    b.WriteBytes("xxabcxxx", 1, 8);
    char md5[33], sha1[41];
    ASSERT_TRUE(b.MD5(md5, 2, 3));
    EXPECT_STREQ(md5, "900150983cd24fb0d6963f7d28e17f72");
    ASSERT_TRUE(b.SHA1(sha1, 2, 3));
    EXPECT_STREQ(sha1, "a9993e364706816aba3e25717850c26c9cd0d89d");
    ASSERT_TRUE(b.MD5(md5, -4, 100));  // clamped to the whole buffer
    IBuffer whole(8, eBuffer_Fixed, 1);
    whole.WriteBytes("xxabcxxx", 1, 8);
    char again[33];
    whole.MD5(again, 0, -1);
    EXPECT_STREQ(md5, again);

    // A wrap buffer's range passes its end and goes on at the start.
    IBuffer wrap(4, eBuffer_Wrap, 1);
    wrap.WriteBytes("bcxa", 1, 4);
    ASSERT_TRUE(wrap.MD5(md5, 3, 3));
    EXPECT_STREQ(md5, "900150983cd24fb0d6963f7d28e17f72");
    IBuffer none(0, eBuffer_Fixed, 1);
    EXPECT_FALSE(none.SHA1(sha1, 0, -1));
    EXPECT_STREQ(sha1, "");

    char* text = b.Base64Encode(2, 3);
    EXPECT_STREQ(text, "YWJj");
    QS_FREE(text);
    IBuffer decoded;
    ASSERT_EQ(decoded.Base64Decode("aGVsbG8=", 0, -1), 1);
    ASSERT_GE(decoded.Size(), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(decoded.Data()), 5), "hello");
    EXPECT_EQ(decoded.Size(), 8 * 3 / 4 + 4);  // the decode area with its zeros
    IBuffer counted(4, eBuffer_Fixed, 1);
    ASSERT_EQ(counted.Base64Decode("aGVsbG8=", 1, 2), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(counted.Data()), 4), std::string("\0he\0", 4));
    EXPECT_EQ(counted.Base64Decode(nullptr, 0, -1), 0);
}

// Elements only through the general path: the reference for the inline one.
class GeneralPathBuffer : public IBuffer {
public:
    using IBuffer::IBuffer;
    int WriteGeneral(int type, const BufferElement& e) { return WriteElementGeneral(type, e); }
    int ReadGeneral(int type, BufferElement* out) { return ReadElementGeneral(type, out); }
};

TEST(IBufferTest, InlineElementsDoWhatTheGeneralPathDoes)
{
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const int kinds[] = {eBuffer_Fixed, eBuffer_Grow, eBuffer_Wrap, eBuffer_VBuffer};
    for (int kind : kinds) {
        for (int alignment : {1, 2, 4, 8}) {
            for (int32_t size : {0, 1, 7, 16}) {
                SCOPED_TRACE(testing::Message() << "kind " << kind << " alignment " << alignment << " size " << size);
                IBuffer fast(size, kind, alignment);
                GeneralPathBuffer general(size, kind, alignment);
                for (int step = 0; step < 400; ++step) {
                    const int type = int(next(15));
                    BufferElement in;
                    in.integer = int64_t(next(1u << 20)) - (1 << 19);
                    in.real = in.integer / 7.0;
                    in.text = type == eBuffer_String || type == eBuffer_Text ? "ab" : nullptr;
                    switch (next(4)) {
                    case 0:
                    case 1:
                        ASSERT_EQ(fast.WriteElement(type, in), general.WriteGeneral(type, in)) << "step " << step;
                        break;
                    case 2: {
                        BufferElement a, b;
                        ASSERT_EQ(fast.ReadElement(type, &a), general.ReadGeneral(type, &b)) << "step " << step;
                        EXPECT_EQ(std::bit_cast<uint64_t>(a.real), std::bit_cast<uint64_t>(b.real));  // NaNs too
                        EXPECT_EQ(a.integer, b.integer);
                        EXPECT_EQ(a.isInt64, b.isInt64);
                        EXPECT_EQ(a.isText, b.isText);
                        EXPECT_EQ(a.length, b.length);
                        break;
                    }
                    default: {
                        const int base = int(next(3));
                        const int32_t offset = int32_t(next(24)) - 4;
                        ASSERT_EQ(fast.Seek(base, offset), general.Seek(base, offset));
                        break;
                    }
                    }
                    // A grow buffer written at its end doubles: keep it small.
                    if (general.Size() > 256) {
                        ASSERT_TRUE(fast.Resize(64) && general.Resize(64));
                    }
                    ASSERT_EQ(fast.Position(), general.Position()) << "step " << step;
                    ASSERT_EQ(fast.UsedSize(), general.UsedSize()) << "step " << step;
                    ASSERT_EQ(fast.Phase(), general.Phase()) << "step " << step;
                    ASSERT_EQ(Bytes(fast), Bytes(general)) << "step " << step;
                }
            }
        }
    }
}

TEST(IBufferTest, GrowingPastAMegabyteKeepsTheBytesOnTheGrid)
{
    // From C heap to mapped pages and on: an alignment of 256 makes the start
    // of the data move within the block.
    for (int alignment : {1, 256}) {
        IBuffer b(1000, eBuffer_Grow, alignment);
        std::vector<uint8_t> pattern(700000);
        for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = uint8_t(i * 7 + i / 251);
        for (int run = 0; run < 5; ++run) ASSERT_EQ(b.WriteBytes(pattern.data(), 1, int32_t(pattern.size())), 700000);
        EXPECT_EQ(b.Size(), 4096000);  // 1000 doubled twelve times
        EXPECT_EQ(reinterpret_cast<uintptr_t>(b.Data()) % uintptr_t(alignment), 0u);
        for (int run = 0; run < 5; ++run)
            ASSERT_EQ(std::memcmp(b.Data() + run * 700000, pattern.data(), pattern.size()), 0) << "run " << run;
        ASSERT_TRUE(b.Resize(9000000));
        const std::vector<uint8_t> rest(b.Data() + 3500000, b.Data() + b.Size());
        EXPECT_EQ(rest, std::vector<uint8_t>(rest.size(), 0));
        ASSERT_EQ(b.WriteElement(eBuffer_F64, Real(2.5)), 0);
        b.Seek(eBuffer_SeekStart, 3500000);
        BufferElement out;
        ASSERT_EQ(b.ReadElement(eBuffer_F64, &out), 0);
        EXPECT_EQ(out.real, 2.5);
        ASSERT_TRUE(b.Resize(2000000));
        ASSERT_TRUE(b.Resize(5000000));
        EXPECT_EQ(std::memcmp(b.Data() + 1400000, pattern.data(), pattern.size() / 2), 0);
        const std::vector<uint8_t> cleared(b.Data() + 2000000, b.Data() + b.Size());
        EXPECT_EQ(cleared, std::vector<uint8_t>(cleared.size(), 0));
    }
}

TEST(IBufferTest, FastBuffersCarryBytesOnly)
{
    Buffer_Fast fast(2, 8);
    BufferElement out;
    EXPECT_EQ(fast.WriteElement(eBuffer_U16, Int(1)), -4);
    EXPECT_EQ(fast.WriteElement(eBuffer_U8, Int(0x1FF)), 0);
    EXPECT_EQ(fast.WriteElement(eBuffer_U8, Int(2)), 0);
    EXPECT_EQ(fast.WriteElement(eBuffer_U8, Int(3)), -2);
    fast.Seek(eBuffer_SeekStart, 0);
    EXPECT_EQ(fast.ReadElement(eBuffer_S8, &out), -4);
    ASSERT_EQ(fast.ReadElement(eBuffer_U8, &out), 0);
    EXPECT_EQ(out.real, 255);
    EXPECT_TRUE(fast.PeekElement(1, eBuffer_U8, &out));
    EXPECT_EQ(out.real, 2);
    EXPECT_FALSE(fast.PeekElement(2, eBuffer_U8, &out));
    EXPECT_FALSE(fast.PokeElement(0, eBuffer_S8, Int(1)));
    EXPECT_TRUE(fast.PokeElement(0, eBuffer_U8, Int(5)));
    EXPECT_EQ(fast.Data()[0], 5);
}
}  // namespace

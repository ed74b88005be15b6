#include "Base/Sha1.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <algorithm>

namespace {
std::string Hex(const Sha1Context& c)
{
    char out[41];
    std::snprintf(out, sizeof out, "%08x%08x%08x%08x%08x", c.H[0], c.H[1], c.H[2], c.H[3], c.H[4]);
    return out;
}

std::string Digest(const std::string& bytes, size_t piece)
{
    Sha1Context c;
    Sha1_Init(&c);
    for (size_t at = 0; at < bytes.size(); at += piece) Sha1_Update(&c, bytes.data() + at, std::min(piece, bytes.size() - at));
    EXPECT_EQ(Sha1_Final(&c), 1);
    return Hex(c);
}

std::string Pattern(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>((i * 7 + 3) & 0xFF));
    return s;
}
}  // namespace

// Expected digests come from an independent SHA-1 implementation.
TEST(Sha1Test, KnownDigestsWholeAndInPieces)
{
    struct Case {
        std::string bytes;
        const char* digest;
    };
    const Case cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"The quick brown fox jumps over the lazy dog", "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12"},
        {Pattern(55), "ddf57317ef34bfee3b6df83d359098930eb278bc"},
        {Pattern(56), "a0d492bb0fc889d0eca3bc137066ab6f4f74f369"},
        {Pattern(63), "c55856749bef509bdfe6bfebfc7bf4e793e82132"},
        {Pattern(64), "bede92be29c3874e1b54ddc77988d606fc857a8e"},
        {Pattern(65), "b05a80522b053d6dc7e0a517d0e70212c7dad11f"},
        {Pattern(119), "504e27376a6e0f0dba8295b85cb25dc4dfa17d23"},
        {Pattern(120), "82134b02fb3f702491be9bed581eeab59334acb2"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Digest(c.bytes, c.bytes.size() + 1), c.digest) << c.bytes.size();
        EXPECT_EQ(Digest(c.bytes, 7), c.digest) << c.bytes.size();
    }
}

TEST(Sha1Test, FinalOnceAndUpdateAfterFinalCorrupts)
{
    Sha1Context c;
    Sha1_Init(&c);
    Sha1_Update(&c, "abc", 3);
    ASSERT_EQ(Sha1_Final(&c), 1);
    ASSERT_EQ(Sha1_Final(&c), 1);
    EXPECT_EQ(Hex(c), "a9993e364706816aba3e25717850c26c9cd0d89d");
    Sha1_Update(&c, "d", 1);
    EXPECT_EQ(c.corrupted, 1);
    EXPECT_EQ(Sha1_Final(&c), 0);
}

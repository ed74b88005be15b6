#include "Base/Md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
std::string Digest(const std::string& bytes, size_t piece)
{
    Md5Context c;
    Md5_Init(&c);
    for (size_t at = 0; at < bytes.size(); at += piece) Md5_Update(&c, bytes.data() + at, std::min(piece, bytes.size() - at));
    Md5_Final(&c);
    std::string hex;
    for (uint8_t b : c.digest) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", b);
        hex += pair;
    }
    return hex;
}

std::string Pattern(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>((i * 7 + 3) & 0xFF));
    return s;
}
}  // namespace

// Expected digests come from an independent MD5 implementation.
TEST(Md5Test, KnownDigestsWholeAndInPieces)
{
    struct Case {
        std::string bytes;
        const char* digest;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"The quick brown fox jumps over the lazy dog", "9e107d9d372bb6826bd81d3542a419d6"},
        {Pattern(55), "52c0e574e1198de5fe3f8f11440dcb1b"},
        {Pattern(56), "46c9907fc908ee68b1e7b8e71286a518"},
        {Pattern(63), "a62f6d59e837867693f042f5b8f5a236"},
        {Pattern(64), "7160b8fb5e9e4023d549c3971fbaeead"},
        {Pattern(65), "70bd662e7aefbda85a0f7244167b7897"},
        {Pattern(119), "e84905d4214f4d1ca56c2cdcc152b143"},
        {Pattern(120), "e3eb5a6c8669ea01a8c185b8abc8a5dc"},
        {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Digest(c.bytes, c.bytes.size() + 1), c.digest) << c.bytes.size();
        EXPECT_EQ(Digest(c.bytes, 7), c.digest) << c.bytes.size();
        EXPECT_EQ(Digest(c.bytes, 64), c.digest) << c.bytes.size();
    }
}

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cmath>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "Runner/GameChunks.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Runner/Runner_LoadGame.h"
#include "support/GameFiles.h"
#include "Runner/GameHeader_Load.h"

namespace {
struct GameDataFaultsTest : ::testing::Test {
    void TearDown() override { testgames::Unload(); }
};

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// File offset of the payload of the first chunk with this tag.
size_t PayloadOf(const std::vector<uint8_t>& bytes, const char* tag)
{
    size_t pos = 8;
    while (pos + 8 <= bytes.size()) {
        const uint32_t length = GameData_U32(bytes.data() + pos + 4);
        if (std::memcmp(bytes.data() + pos, tag, 4) == 0) return pos + 8;
        pos += 8 + length;
    }
    ADD_FAILURE() << "no chunk " << tag;
    return 0;
}

std::vector<size_t> ChunkEnds(const std::vector<uint8_t>& bytes)
{
    std::vector<size_t> ends;
    for (size_t pos = 8; pos + 8 <= bytes.size();) {
        pos += 8 + GameData_U32(bytes.data() + pos + 4);
        ends.push_back(pos);
    }
    return ends;
}

TEST_F(GameDataFaultsTest, EveryTruncationPointFailsCleanlyWithAMessage)
{
    const std::vector<uint8_t> game = testgames::SmallGame();
    const std::vector<size_t> ends = ChunkEnds(game);
    for (size_t n = 0; n < game.size(); ++n) {
        SCOPED_TRACE(n);
        // A cut copy of exactly n bytes, so any read past it is caught.
        std::vector<uint8_t> cut(game.begin(), game.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(testgames::LoadBoth(cut));
        EXPECT_NE(GameData_LastError()[0], '\0');
        testgames::Unload();
        // The same cut with the container's length word made to agree: a cut
        // inside a chunk is refused; a cut between chunks is a smaller file,
        // refused only when it lost what the rest refers to (the strings).
        if (n < 8) continue;
        PutU32(cut, 4, static_cast<uint32_t>(n - 8));
        const bool between = n == 8 || std::find(ends.begin(), ends.end(), n) != ends.end();
        const bool loaded = testgames::LoadBoth(cut);
        if (!between) {
            EXPECT_FALSE(loaded);
        }
        if (!loaded) {
            EXPECT_NE(GameData_LastError()[0], '\0');
        }
        testgames::Unload();
    }
}

TEST_F(GameDataFaultsTest, GarbledCountsAndOffsetsAreRefusedNamingTheChunk)
{
    const std::vector<uint8_t> game = testgames::SmallGame();
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> garble;
        const char* message;
    };
    const Case cases[] = {
        {"chunk length", [](auto& b) { PutU32(b, PayloadOf(b, "LANG") - 4, 0x7FFFFFFF); },
         "chunk LANG: payload of 2147483647 bytes at offset"},
        {"GEN8 room count", [](auto& b) { PutU32(b, PayloadOf(b, "GEN8") + 128, 0x40000000); },
         "chunk GEN8: room count 1073741824 does not fit"},
        {"GEN8 game name", [](auto& b) { PutU32(b, PayloadOf(b, "GEN8") + 40, 0xFFFFFFF0); },
         "chunk GEN8: string record at offset 4294967276 lies outside the file"},
        {"GEN8 string in the middle of nowhere", [](auto& b) { PutU32(b, PayloadOf(b, "GEN8") + 8, 30); },
         "chunk GEN8: string at offset 30"},
        {"GEN8 game speed", [](auto& b) { PutU32(b, PayloadOf(b, "GEN8") + 128 + 4 + 8 + 40, 0x7FC00000); },
         "chunk GEN8: game speed nan is not a positive number"},
        {"GEN8 too short", [](auto& b) { b[PayloadOf(b, "GEN8") + 1] = 200; PutU32(b, PayloadOf(b, "GEN8") + 128, 1000); },
         "chunk GEN8: room count 1000 does not fit"},
        {"STRG count", [](auto& b) { PutU32(b, PayloadOf(b, "STRG"), 0xFFFFFFFF); },
         "chunk STRG: count 4294967295 needs 17179869184 bytes"},
        {"STRG record length", [](auto& b) {
             const size_t strg = PayloadOf(b, "STRG");
             PutU32(b, GameData_U32(b.data() + strg + 4), 0xFFFFFF00);
         }, "chunk STRG: string at offset"},
        {"STRG missing NUL", [](auto& b) {
             const size_t strg = PayloadOf(b, "STRG");
             const uint32_t record = GameData_U32(b.data() + strg + 4);
             b[record + 4 + GameData_U32(b.data() + record)] = 'x';
         }, "is not terminated after its"},
        {"OPTN constant count", [](auto& b) { PutU32(b, PayloadOf(b, "OPTN") + 60, 0x20000000); },
         "chunk OPTN: constant count 536870912 does not fit"},
        {"OPTN constant name", [](auto& b) { PutU32(b, PayloadOf(b, "OPTN") + 64, 5); },
         "chunk OPTN: string reference 5 lies outside the file"},
        {"LANG counts", [](auto& b) { PutU32(b, PayloadOf(b, "LANG") + 4, 0x10000); },
         "chunk LANG: 65536 languages of 1 entries need"},
        {"TPAG entry offset", [](auto& b) { PutU32(b, PayloadOf(b, "TPAG") + 8, 12); },
         "chunk TPAG: entry 1 at offset 12 (22 bytes) lies outside the chunk"},
        {"TPAG count", [](auto& b) { PutU32(b, PayloadOf(b, "TPAG"), 100); }, "chunk TPAG: count 100 needs 404 bytes"},
        {"TXTR record", [](auto& b) { PutU32(b, PayloadOf(b, "TXTR") + 4, 0xFFFFFFFC); },
         "chunk TXTR: texture record 0 at offset 4294967292"},
        {"TXTR image", [](auto& b) {
             const uint32_t record = GameData_U32(b.data() + PayloadOf(b, "TXTR") + 4);
             PutU32(b, record + 4, static_cast<uint32_t>(b.size()));
         }, "chunk TXTR: image of texture 0 at offset"},
        {"second header", [](auto& b) { std::memcpy(b.data() + PayloadOf(b, "SPRT") - 8, "GEN8", 4); },
         "chunk GEN8: a second general header at offset"},
        {"no header", [](auto& b) { std::memcpy(b.data() + PayloadOf(b, "GEN8") - 8, "XXXX", 4); },
         "chunk FORM: the file has no general header (GEN8)"},
        {"GLOB count", [](auto& b) { PutU32(b, PayloadOf(b, "GLOB"), 3); }, "chunk GLOB: count 3 needs 16 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = game;
        c.garble(bytes);
        EXPECT_FALSE(testgames::LoadBoth(bytes));
        EXPECT_NE(std::string(GameData_LastError()).find(c.message), std::string::npos) << GameData_LastError();
        testgames::Unload();
    }
}

TEST_F(GameDataFaultsTest, RefusedGameEndsTheProcessWithItsMessage)
{
    std::vector<uint8_t> game = testgames::SmallGame();
    PutU32(game, PayloadOf(game, "TPAG"), 100);
    EXPECT_FALSE(testgames::LoadBoth(game));
    EXPECT_EXIT(RunnerRefuseGameData(), ::testing::ExitedWithCode(1),
                "Game data error in chunk TPAG: count 100 needs 404 bytes but the payload holds 56");
}

TEST_F(GameDataFaultsTest, LoadingNeverWritesIntoTheImage)
{
    const std::vector<uint8_t> game = testgames::SmallGame();
    const size_t pageSize = 4096;
    const size_t mapped = (game.size() + pageSize - 1) / pageSize * pageSize;
    void* page = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(page, MAP_FAILED);
    std::memcpy(page, game.data(), game.size());
    ASSERT_EQ(mprotect(page, mapped, PROT_READ), 0);
    const uint8_t* image = static_cast<const uint8_t*>(page);
    for (int pass = 0; pass < 2; ++pass) {  // a restart reads the same image again
        EXPECT_TRUE(LoadGameHeader(image, static_cast<uint32_t>(game.size())));
        EXPECT_TRUE(LoadGameChunks(image, static_cast<uint32_t>(game.size()))) << GameData_LastError();
    }
    testgames::Unload();
    munmap(page, mapped);
}
}  // namespace

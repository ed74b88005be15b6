// The high-score table: its ordering, its file written and read back, and
// damaged files refused without reading past their end.
#include "IO/Run_Score.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "IO/LoadSave.h"
#include "support/RecordingConsole.h"
#include "support/TempFolder.h"

namespace {
struct ScoreTableTest : ::testing::Test {
    TempFolder root;
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        Score_SetEmptyName("<nobody>");
        Score_Init();
        Score_LoadFile("");  // clears the changed flag
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        Score_SetEmptyName("<nobody>");
        Score_Init();
    }
    static std::vector<std::pair<std::string, int32_t>> Table()
    {
        std::vector<std::pair<std::string, int32_t>> out;
        for (int place = 1; place <= SCORE_PLACES; ++place) {
            const char* name = Score_GetName(place);
            out.emplace_back(name ? name : "(null)", Score_GetValue(place));
        }
        return out;
    }
    std::string Path() const { return root / "scores/hiscore.dat"; }
};

// Little-endian file pieces.
std::string U32(uint32_t v)
{
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
}
std::string Entry(const std::string& name, int32_t value)
{
    std::string out = U32(uint32_t(name.size())) + name;
    while (out.size() % 4) out += '\xF0';
    return out + U32(static_cast<uint32_t>(value));
}
std::string File(const std::vector<std::string>& entries, int extraLength = 0)
{
    std::string body;
    for (const std::string& e : entries) body += e;
    return "HISC" + U32(uint32_t(8 + body.size() + extraLength)) + body;
}
std::vector<std::string> TenEntries(const char* prefix)
{
    std::vector<std::string> out;
    for (int i = 0; i < SCORE_PLACES; ++i) out.push_back(Entry(prefix + std::to_string(i), 100 - i));
    return out;
}

TEST_F(ScoreTableTest, AddingKeepsTheOrderAndEqualValuesStayAhead)
{
    const struct {
        std::vector<std::pair<const char*, int32_t>> adds;
        std::vector<std::pair<std::string, int32_t>> top3;
        bool changed;
    } cases[] = {
        {{{"a", 100}, {"b", 50}, {"c", 100}}, {{"a", 100}, {"c", 100}, {"b", 50}}, true},
        {{{"a", 5}, {"b", 7}, {"c", 6}}, {{"b", 7}, {"c", 6}, {"a", 5}}, true},
        {{{"z", 0}}, {{"<nobody>", 0}, {"<nobody>", 0}, {"<nobody>", 0}}, false},  // none smaller than 0
        {{{"z", -3}}, {{"<nobody>", 0}, {"<nobody>", 0}, {"<nobody>", 0}}, false},
        {{{"big", INT32_MAX}, {"neg", 1}}, {{"big", INT32_MAX}, {"neg", 1}, {"<nobody>", 0}}, true},
    };
    for (const auto& c : cases) {
        Score_Init();
        Score_LoadFile("");
        for (const auto& [name, value] : c.adds) Score_Add(name, value);
        const auto table = Table();
        EXPECT_EQ(std::vector(table.begin(), table.begin() + 3), c.top3) << c.adds[0].first;
        EXPECT_EQ(Score_Changed(), c.changed) << c.adds[0].first;
    }
}

TEST_F(ScoreTableTest, TheLastPlaceFallsOutAndAFullTableRefusesSmallerScores)
{
    for (int i = 1; i <= SCORE_PLACES; ++i) Score_Add(("p" + std::to_string(i)).c_str(), 10 * i);
    EXPECT_EQ(Table().front(), std::make_pair(std::string("p10"), 100));
    EXPECT_EQ(Table().back(), std::make_pair(std::string("p1"), 10));
    Score_Add("new", 55);
    EXPECT_EQ(Table()[5], std::make_pair(std::string("new"), 55));
    EXPECT_EQ(Table().back(), std::make_pair(std::string("p2"), 20)) << "p1 fell out";
    Score_SaveFile(Path().c_str());
    const auto before = Table();
    Score_Add("low", 20);
    EXPECT_EQ(Table(), before) << "equal to the last place is not enough";
    EXPECT_FALSE(Score_Changed());
    EXPECT_EQ(Score_GetName(0), nullptr);
    EXPECT_EQ(Score_GetValue(11), 0);
}

TEST_F(ScoreTableTest, ClearingWritesTheEmptyEntryTextAndKeepsTheChangedFlag)
{
    Score_Add("a", 10);
    Score_SetEmptyName("---");
    Score_Clear();
    for (const auto& [name, value] : Table()) EXPECT_EQ(std::make_pair(name, value), std::make_pair(std::string("---"), 0));
    EXPECT_TRUE(Score_Changed());
}

TEST_F(ScoreTableTest, ASavedTableIsReadBackWithItsNamesPadded)
{
    Score_Add("abcde", 300);  // 5 bytes: 3 bytes of filler
    Score_Add("abcd", 200);   // 4 bytes: none
    Score_Add("", 100);       // an empty name is stored as none
    ASSERT_TRUE(Score_SaveFile(Path().c_str()));
    EXPECT_FALSE(Score_Changed());

    std::string bytes = root.Read("scores/hiscore.dat");
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 4), "HISC");
    EXPECT_EQ(bytes.substr(4, 4), U32(uint32_t(bytes.size())));
    EXPECT_EQ(bytes.substr(8, 16), Entry("abcde", 300));
    EXPECT_EQ(bytes.substr(8, 16).substr(9, 3), "\xF0\xF0\xF0");
    EXPECT_EQ(bytes.substr(24, 12), Entry("abcd", 200));
    EXPECT_EQ(bytes.substr(36, 8), Entry("", 100));

    const auto saved = Table();
    Score_Clear();
    Score_Add("x", 999);
    ASSERT_TRUE(Score_LoadFile(Path().c_str()));
    EXPECT_FALSE(Score_Changed());
    auto expected = saved;
    expected[2].first = "(null)";  // stored without a name
    EXPECT_EQ(Table(), expected);
    EXPECT_EQ(log.text, "");
}

TEST_F(ScoreTableTest, DamagedFilesLeaveTheTableOrStopAtTheDamagedEntry)
{
    std::vector<std::string> ten = TenEntries("n");
    std::vector<std::string> longName = ten;
    longName[3] = Entry(std::string(257, 'L'), 5);
    std::vector<std::string> nameAt256 = ten;
    nameAt256[0] = Entry(std::string(256, 'M'), 100);
    std::string cutMidEntry = File(ten);
    cutMidEntry = cutMidEntry.substr(0, 8 + 3 * 12 + 5);  // entries of 12 bytes
    cutMidEntry.replace(4, 4, U32(uint32_t(cutMidEntry.size())));
    std::string hugeLength = "HISC" + U32(60) + U32(0xFFFFFFF0u) + std::string(48, 'x');
    const struct {
        const char* what;
        std::string bytes;
        bool loaded;
        int placesRead;  // entries replaced before the load stopped
    } cases[] = {
        {"whole", File(ten), true, 10},
        {"bytes after the stated end", File(ten) + "trailing", true, 10},
        {"a name of 256 bytes", File(nameAt256), true, 10},
        {"empty", "", false, 0},
        {"foreign", "PNG\x0D" + U32(8), false, 0},
        {"header only, cut", "HIS", false, 0},
        {"end offset past the file", File(ten, 1), false, 0},
        {"end offset inside the header", "HISC" + U32(4) + ten[0], false, 0},
        {"a name over 256 bytes", File(longName), false, 3},
        {"cut inside the fourth entry", cutMidEntry, false, 3},
        {"a name length near 4 GiB", hugeLength, false, 0},
        {"fewer than ten entries", File({ten[0], ten[1]}), false, 2},
    };
    for (const auto& c : cases) {
        Score_Init();
        root.Write("hiscore.dat", c.bytes);
        Score_Add("kept", 1);
        log.text.clear();
        EXPECT_EQ(Score_LoadFile((root / "hiscore.dat").c_str()), c.loaded) << c.what;
        EXPECT_FALSE(Score_Changed()) << c.what;
        const auto table = Table();
        for (int i = 0; i < SCORE_PLACES; ++i) {
            if (i < c.placesRead) {
                EXPECT_EQ(table[i].second, 100 - i) << c.what;
            } else {
                const auto before = i == 0 ? std::make_pair(std::string("kept"), 1)
                                           : std::make_pair(std::string("<nobody>"), 0);
                EXPECT_EQ(table[i], before) << c.what << " place " << i + 1;
            }
        }
        EXPECT_EQ(log.text.empty(), c.loaded) << c.what << ": " << log.text;
    }
}

TEST_F(ScoreTableTest, AMissingFileOrAnUnwritablePathChangesNothing)
{
    Score_Add("a", 10);
    EXPECT_FALSE(Score_LoadFile((root / "none.dat").c_str()));
    EXPECT_EQ(Table()[0], std::make_pair(std::string("a"), 10));
    EXPECT_FALSE(Score_Changed()) << "cleared by every load";
    Score_Add("b", 20);
    root.Write("file", "x");
    EXPECT_FALSE(Score_SaveFile((root / "file/hiscore.dat").c_str()));
    EXPECT_FALSE(Score_Changed()) << "cleared also when the file cannot be written";
}

TEST_F(ScoreTableTest, ShutdownSavesIntoTheSaveAreaOnlyWhenChanged)
{
    Runner_SetSavePrefix((root.Path() + "/save/").c_str());
    Score_Save();
    EXPECT_EQ(root.Read("save/hiscore.dat"), "<missing>") << "unchanged: nothing written";
    Score_Add("a", 10);
    Score_Save();
    EXPECT_NE(root.Read("save/hiscore.dat"), "<missing>");
    Score_Init();
    Score_Load();
    EXPECT_EQ(Table()[0], std::make_pair(std::string("a"), 10));
    Runner_SetSavePrefix("");
}
}  // namespace

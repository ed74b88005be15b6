// The call-tree profiler: its tree, its report and its status poll.
#include "Debug/Profiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Buffer/Buffer_Main.h"
#include "Code/Code_Function.h"
#include "Code/Code_Profiler.h"
#include "IO/LoadSave.h"
#include "support/FileWorld.h"

namespace {
void Noop(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) {}

struct Profiler : ::testing::Test, FileWorld {
    int32_t builtin = -1;

    void SetUp() override
    {
        ASSERT_TRUE(Enter(false));
        CodeFunction_FreeAll();
        CodeFunction_Register("probe_builtin", Noop, 0, 0);
        ASSERT_TRUE(CodeFunction_Find("probe_builtin", &builtin));
    }
    void TearDown() override
    {
        CProfiler::Free();
        CodeFunction_FreeAll();
        EXPECT_TRUE(Leave());
    }
    // A frame in which code entries 3 and 5 each call the built-in once.
    void Frame() const
    {
        CProfiler::FrameStart();
        CProfiler::StepStart();
        for (int32_t entry : {3, 5}) {
            Code_ProfilerBegin(PROFILE_CODE, entry);
            Code_ProfilerBegin(PROFILE_BUILTIN, builtin);
            Code_ProfilerEnd();
            Code_ProfilerEnd();
        }
        CProfiler::StepEnd();
        CProfiler::FrameEnd();
    }
    // The s32 words of the status poll up to the node list's end.
    static std::vector<int64_t> Poll()
    {
        IBuffer buffer;
        CProfiler::WriteToBuffer(&buffer);
        const int32_t size = buffer.UsedSize();
        std::vector<int64_t> words;
        BufferElement element;
        for (int32_t at = 0; at + 4 <= size; at += 4) {
            buffer.PeekElement(at, eBuffer_S32, &element);
            words.push_back(static_cast<int64_t>(element.real));
        }
        return words;
    }
};

TEST_F(Profiler, TheSameBuiltInUnderTwoEntriesIsTwoNodesAndOneRow)
{
    CProfiler::Init("profile.txt", 0);
    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_FALSE(LoadSave_SaveFileExists("profile.txt")) << "with interval 0 nothing is written before the end";
    CProfiler::FinalDump();
    const std::string report = Saved("profile.txt");
    EXPECT_NE(report.find("Frame Count:                   3\n"), std::string::npos) << report;
    const size_t row = report.find("\nprobe_builtin ");
    ASSERT_NE(row, std::string::npos) << report;
    EXPECT_EQ(report.find("\nprobe_builtin ", row + 1), std::string::npos) << report;
    const std::string line = report.substr(row + 1, report.find('\n', row + 1) - row - 1);
    EXPECT_EQ(line.substr(line.size() - 6), " 2.000") << "two calls a frame: " << line;
    // Code entries this game has no names for, and the step.
    EXPECT_NE(report.find("\n<?>  "), std::string::npos) << report;
    EXPECT_NE(report.find("\n[DoAStep] "), std::string::npos) << report;

    // The tree: the root, the step, entry 3 and its call, entry 5 and its call.
    const std::vector<int64_t> words = Poll();
    ASSERT_GE(words.size(), 5u);
    EXPECT_EQ(words[0], 3) << "frames";
    EXPECT_EQ(words[4], 6) << "nodes";
    ASSERT_GE(words.size(), 5u + 6 * 5);
    std::vector<int64_t> names;
    for (int node = 0; node < 6; ++node) names.push_back(words[5 + 5 * node]);
    EXPECT_EQ(names, (std::vector<int64_t>{0, 600021, 100003, builtin, 100005, builtin}));
    EXPECT_EQ(words[5 + 5 * 3 + 1], 3) << "calls of the first call node";
}

TEST_F(Profiler, APollBeforeAnyFrameSendsZeroAndKeepsTheTree)
{
    CProfiler::Init(nullptr, 0);
    CProfiler::SetEnabled(true);
    EXPECT_EQ(Poll(), std::vector<int64_t>{0});
    Frame();
    CProfiler::FrameStart();
    EXPECT_EQ(Poll(), std::vector<int64_t>{0}) << "a frame is being measured";
    CProfiler::FrameEnd();
    const std::vector<int64_t> words = Poll();
    ASSERT_GE(words.size(), 5u);
    EXPECT_EQ(words[0], 2);
    EXPECT_EQ(Poll(), std::vector<int64_t>{0}) << "the poll empties the tree";
}

TEST_F(Profiler, PausedOrDisabledFramesAreNotMeasured)
{
    CProfiler::Init("profile.txt", 0);
    CProfiler::SetPaused(true);
    Frame();
    EXPECT_FALSE(Code_ProfilerActive);
    CProfiler::SetPaused(false);
    Frame();
    CProfiler::SetEnabled(false);
    Frame();
    CProfiler::FinalDump();
    EXPECT_NE(Saved("profile.txt").find("Frame Count:                   1\n"), std::string::npos);
}
}  // namespace

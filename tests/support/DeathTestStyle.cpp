// Death tests start the test binary afresh for each death statement instead
// of continuing a forked copy: a fork holds only the calling thread, so a
// driver or library thread that an earlier test started (the GL driver's
// shader cache, the audio mixer) is missing in the child, and an exit handler
// that waits for it hangs the child for ever.
#include <gtest/gtest.h>

namespace {
// Set once the flags are parsed (the flag's own storage is not constructed
// yet when static initialisers run).
class ThreadsafeDeathTests : public ::testing::Environment {
public:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};
const auto* const s_threadsafeDeathTests = ::testing::AddGlobalTestEnvironment(new ThreadsafeDeathTests);
}  // namespace

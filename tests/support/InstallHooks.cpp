// Every test binary runs with the services the runner connects at start-up.
// The engine reset installs them again before each test; this also covers a
// death statement's fresh process, where gtest sends no test events.
#include <gtest/gtest.h>

#include "Runner/Runner_Hooks.h"

namespace {
class InstallHooks : public ::testing::Environment {
public:
    void SetUp() override { Runner_InstallHooks(); }
};
const auto* const s_installHooks = ::testing::AddGlobalTestEnvironment(new InstallHooks);
}  // namespace

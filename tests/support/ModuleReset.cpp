// The test modules start every test of the unit-test binary as a fresh
// process has them: no module installed, no trace, no hooks, references unbound.
#include <gtest/gtest.h>

#include "support/EventModule.h"
#include "support/SampleModule.h"
#include "support/TestModule.h"

namespace {
class ModuleReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        testmodule::Remove();
        testmodule::ChainHead = nullptr;
        eventmodule::Reset();
        samplemodule::ResetReferences();
    }
};

// Appended during static initialisation; gtest_main keeps the listeners it finds.
const bool kRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ModuleReset);
    return true;
}();
}  // namespace

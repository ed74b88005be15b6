#pragma once
// A loaded game with the sample module linked in: built-ins registered, the
// game file read by both passes, scripts bound. Errors are only reported (no
// dialog, nothing on standard output).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct ModuleFixture : ::testing::Test {
    std::vector<uint8_t> game;  // the loaded image: names point into it

    void SetUp() override;
    void TearDown() override;
    // The text of the last shown error report, "" when none.
    static std::string LastReport();
};

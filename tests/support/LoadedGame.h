#pragma once
// A fixture for tests that load a writer-made game through both passes and
// read what the chunk readers kept; the log is captured and the game unloaded.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "support/GameFiles.h"

struct LoadedGameTest : ::testing::Test {
    std::vector<uint8_t> game;
    testgames::CapturedLog log;

    bool Load(std::vector<uint8_t> bytes)
    {
        game = std::move(bytes);
        return testgames::LoadBoth(game);
    }
    void TearDown() override { testgames::Unload(); }
};

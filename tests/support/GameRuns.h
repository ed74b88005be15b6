#pragma once
// Runs of a game file through a runner as a process of its own (with the
// time limit of ProcessRun.h), and what the game left in its save area.
#include <cstdint>
#include <string>
#include <vector>

#include "support/ProcessRun.h"
#include "support/TempFolder.h"

namespace testgames {

// Writes game as dir/game.win and runs the runner on it from dir, with the
// save area in dir/save and these options after "-game <file>".
ProcessRun RunGame(const TempFolder& dir, const std::vector<uint8_t>& game, const std::string& options,
                   const std::string& runner = QS_RUNNER_PATH, const std::string& environment = "");

// A file the game wrote somewhere in its save area, "<missing>" when none.
std::string SavedFile(const TempFolder& dir, const std::string& name);

}  // namespace testgames

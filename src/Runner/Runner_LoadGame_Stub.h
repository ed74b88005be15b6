#pragma once
// STAND-IN for the game-data reader's entry: chooses the game file and reads
// it. Returns false (the result is not used).
bool RunnerLoadGame();

#pragma once
// A temporary file world for tests of file access: root/save/ is the save
// area, root/game/ the bundle (the game file's folder), root/cwd the current
// folder. Enter moves the process in; Leave moves it back and forgets the
// save area and the bundle.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "IO/LoadSave.h"
#include "support/TempFolder.h"

struct FileWorld {
    TempFolder root;
    std::string previous;

    // False when the current folder could not be changed. The save area is
    // made up front unless a test wants to see it made.
    bool Enter(bool makeSaveArea = true)
    {
        std::filesystem::create_directories(root / "game");
        std::filesystem::create_directories(root / "cwd");
        if (makeSaveArea) std::filesystem::create_directories(root / "save");
        previous = std::filesystem::current_path();
        if (chdir((root / "cwd").c_str()) != 0) return false;
        Runner_SetSavePrefix((root / "save/").c_str());
        InitProgramDirectory((root / "game/data.win").c_str());
        return true;
    }
    // False when the former current folder could not be restored.
    bool Leave()
    {
        Runner_SetSavePrefix("");
        InitProgramDirectory(nullptr);
        return chdir(previous.c_str()) == 0;
    }
    std::string Saved(const std::string& name) const { return root.Read("save/" + name); }
};

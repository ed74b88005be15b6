#include "support/GameRuns.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "gamedata/FormWriter.h"

namespace fs = std::filesystem;

namespace testgames {

ProcessRun RunGame(const TempFolder& dir, const std::vector<uint8_t>& game, const std::string& options,
                   const std::string& runner, const std::string& environment)
{
    EXPECT_TRUE(gamedata::WriteFile(dir / "game.win", game));
    return RunProcess("cd " + ShellQuote(dir.Path()) + " && " + environment + " XDG_DATA_HOME=" +
                      ShellQuote(dir / "save") + " " + ShellQuote(runner) + " -game " + ShellQuote(dir / "game.win") +
                      " " + options);
}

std::string SavedFile(const TempFolder& dir, const std::string& name)
{
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "save", ignored)) {
        if (entry.path().filename() != name) continue;
        std::ifstream f(entry.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    return "<missing>";
}

}  // namespace testgames

#pragma once
// Small games made with the game-data writer, and helpers to load them.
#include <string>
#include <vector>

#include "Base/Console.h"
#include "gamedata/FormWriter.h"

namespace testgames {

// GEN8, OPTN, LANG, TPAG, TXTR, GLOB, an empty SPRT, an empty SHDR and STRG: a little of everything.
std::vector<uint8_t> SmallGame();

// Runs both passes over bytes; false with GameData_LastError() when refused.
bool LoadBoth(const std::vector<uint8_t>& bytes);

// Releases everything the passes kept.
void Unload();

// Collects what is written to VerboseConsole and LogConsole while alive.
class CapturedLog {
public:
    CapturedLog();
    ~CapturedLog();
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;
    std::string Text() const;

private:
    TErrStreamConsole m_stream;
    tagIConsole* m_verbose;
    tagIConsole* m_log;
};

}  // namespace testgames

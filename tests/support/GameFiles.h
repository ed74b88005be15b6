#pragma once
// Small games made with the game-data writer, and helpers to load them.
#include <cstdint>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "gamedata/FormWriter.h"

namespace testgames {

// GEN8, OPTN, LANG, TPAG, TXTR, GLOB, an empty SPRT, an empty SHDR and STRG: a little of everything.
std::vector<uint8_t> SmallGame();

// Code entries written as assembler text (tools/gamedata/Assembler.h), with
// the names they use resolved by the loader as in a real game file: "@name"
// in a call ("call.i @name 2") names a function or script, anywhere else
// (a variable operand, "pushb @argument0") a built-in variable.
// A text in double quotes ("push.s \"hello\"") is a string of the game.
class CodeBuilder {
public:
    // Adds an entry and returns its code index; -1 when the source does not
    // assemble (Error() says why).
    int32_t Add(const std::string& name, const std::string& source, uint16_t arguments = 0);
    // The game's strings, in string-table order: the first strings of the file.
    const std::vector<std::string>& Strings() const { return m_strings; }
    // Writes CODE, VARI (four globals, instances and locals, by slot) and FUNC.
    void Write(gamedata::FormWriter& w) const;
    const std::string& Error() const { return m_error; }

private:
    std::vector<gamedata::CodeEntry> m_entries;
    std::vector<gamedata::Variable> m_variables;
    std::vector<gamedata::Function> m_functions;
    std::vector<std::string> m_strings;
    std::string m_error;
};

// A game of one room, run at 1000 steps a second, holding one instance of
// its first object, obj_main (whose parent and further objects may be given).
struct BytecodeGameParts {
    CodeBuilder code;
    std::vector<std::vector<gamedata::EventEntry>> events = std::vector<std::vector<gamedata::EventEntry>>(14);
    int32_t mainParent = -1;
    std::vector<gamedata::ObjectEntry> moreObjects;  // indexes 1 on
    int32_t roomCode = -1;
    std::vector<int32_t> initialisers;
    std::vector<std::optional<gamedata::Script>> scripts;
    std::vector<std::optional<gamedata::ExtensionPackageEntry>> extensions;  // an "EXTN" chunk when any
};
std::vector<uint8_t> WriteBytecodeGame(const BytecodeGameParts& parts);

// An extension function: its name in game code, its id, the library symbol
// it calls, its argument types and result type (1 text, 2 real).
gamedata::ExtensionFunctionEntry ExtensionFunction(const char* name, int32_t id, const char* symbol,
                                                   std::vector<int32_t> types = {}, int32_t returnType = 2);

// The game whose create, step, alarm 0, draw and game-end events, room
// creation code, global initialiser and script scr_line(text, n) (called
// directly and through script_execute) are all bytecode. What runs writes a
// line to "results.txt" in the save area; the step event ends the game with
// game_end on the fourth step.
std::vector<uint8_t> BytecodeGame();

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

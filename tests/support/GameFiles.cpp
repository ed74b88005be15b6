#include "support/GameFiles.h"

#include <algorithm>
#include <sstream>

#include "Code/VM_Main.h"
#include "gamedata/Assembler.h"
#include "Runner/GameChunks.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Runner/Runner_LoadGame.h"
#include "Runner/GameHeader_Load.h"

namespace testgames {

std::vector<uint8_t> SmallGame()
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = {0, 1};
    h.gameSpeed = 30.0f;
    w.Gen8(h);
    gamedata::Options o;
    o.constants = {{"@@SleepMargin", "4"}, {"Lives", "3"}};
    w.Optn(o);
    gamedata::Languages l;
    l.keys = {"hello"};
    l.languages = {{"English", "GB", {"Hello"}}};
    w.Lang(l);
    gamedata::TexturePageEntry e;
    e.width = e.height = e.cropWidth = e.cropHeight = e.fullWidth = e.fullHeight = 16;
    w.Tpag({e, e});
    gamedata::Texture t;
    t.image = {0x89, 'P', 'N', 'G', 1, 2, 3, 4};
    w.Txtr({t});
    w.Glob({0});
    w.Add("SPRT").U32(0);
    w.Add("SHDR").U32(0);
    w.Strg();
    return w.Finish();
}

namespace {
// The index of text in list, appended when new.
template <typename T, typename Make>
size_t IndexOf(std::vector<T>& list, const std::string& text, Make make)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (make(list[i]) == text) return i;
    list.push_back(T{});
    make(list.back()) = text;
    return list.size() - 1;
}
}  // namespace

int32_t CodeBuilder::Add(const std::string& name, const std::string& source, uint16_t arguments)
{
    struct Use {
        std::string name;
        bool call;
        size_t instruction;
    };
    std::vector<Use> uses;
    std::string text;
    size_t instruction = 0;
    std::istringstream lines(source);
    for (std::string line; std::getline(lines, line);) {
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';' || line.back() == ':') {
            text += line + "\n";
            continue;
        }
        if (const size_t open = line.find('"'); open != std::string::npos) {
            const size_t close = line.find('"', open + 1);
            const size_t index = IndexOf(m_strings, line.substr(open + 1, close - open - 1),
                                         [](std::string& s) -> std::string& { return s; });
            line.replace(open, close - open + 1, std::to_string(index));
        }
        if (const size_t at = line.find('@'); at != std::string::npos) {
            const size_t end = line.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_", at + 1);
            const size_t length = (end == std::string::npos ? line.size() : end) - at;
            uses.push_back({line.substr(at + 1, length - 1), line.compare(first, 4, "call") == 0, instruction});
            line.replace(at, length, "0");
        }
        ++instruction;
        text += line + "\n";
    }
    const gamedata::Assembled assembled = gamedata::Assemble(text);
    if (!assembled.error.empty()) {
        m_error = name + ": " + assembled.error;
        return -1;
    }
    std::vector<uint32_t> offsets;
    for (uint32_t at = 0; at < assembled.words.size() * 4;) {
        const uint32_t word = assembled.words[at / 4];
        offsets.push_back(at);
        at += 4 + ((word & 0x40000000u) ? VM_OperandSize(static_cast<int>((word >> 16) & 0xF)) : 0);
    }
    const uint32_t entry = static_cast<uint32_t>(m_entries.size());
    for (const Use& use : uses) {
        const gamedata::CodeUse place{entry, offsets.at(use.instruction)};
        if (use.call) {
            m_functions[IndexOf(m_functions, use.name, [](gamedata::Function& f) -> std::string& { return f.name; })]
                .uses.push_back(place);
        } else {
            const size_t v = IndexOf(m_variables, use.name, [](gamedata::Variable& v) -> std::string& { return v.name; });
            m_variables[v].kind = m_variables[v].slot = -6;  // a built-in variable
            m_variables[v].uses.push_back(place);
        }
    }
    gamedata::CodeEntry code;
    code.name = name;
    code.bytecode = assembled.words;
    code.arguments = arguments;
    m_entries.push_back(code);
    return static_cast<int32_t>(entry);
}

void CodeBuilder::Write(gamedata::FormWriter& w) const
{
    w.Code(m_entries);
    w.Vari({4, 4, 4}, m_variables);
    w.Func(m_functions, {});
}

gamedata::ExtensionFunctionEntry ExtensionFunction(const char* name, int32_t id, const char* symbol,
                                                   std::vector<int32_t> types, int32_t returnType)
{
    gamedata::ExtensionFunctionEntry f;
    f.name = name;
    f.id = id;
    f.externalName = symbol;
    f.argumentTypes = std::move(types);
    f.returnType = returnType;
    return f;
}

std::vector<uint8_t> WriteBytecodeGame(const BytecodeGameParts& parts)
{
    gamedata::FormWriter w;
    for (const std::string& text : parts.code.Strings()) w.AddString(text);
    gamedata::GeneralHeader header;
    header.major = 1;  // the room speed paces the frames
    header.roomOrder = {0};
    w.Gen8(header);
    w.Optn(gamedata::Options{});
    if (!parts.extensions.empty()) w.Extn(parts.extensions);
    // Scripts come before the functions: a call names a script by its name.
    if (!parts.scripts.empty()) w.Scpt(parts.scripts);
    if (!parts.initialisers.empty()) w.Glob(parts.initialisers);
    gamedata::ObjectEntry object;
    object.name = "obj_main";
    object.events = parts.events;
    object.parent = parts.mainParent;
    std::vector<std::optional<gamedata::ObjectEntry>> objects = {object};
    objects.insert(objects.end(), parts.moreObjects.begin(), parts.moreObjects.end());
    w.Objt(objects);
    gamedata::RoomEntry room;
    room.name = "room0";
    room.speed = 1000;
    room.creationCode = parts.roomCode;
    room.instances = {gamedata::RoomInstanceEntry{}};
    w.Room({room});
    parts.code.Write(w);
    w.Strg();
    return w.Finish();
}

std::vector<uint8_t> BytecodeGame()
{
    BytecodeGameParts game;
    CodeBuilder& code = game.code;
    // scr_line(text, n): writes text and n as a line; returns n + 1.
    const int32_t line = code.Add("gml_Script_scr_line", R"(
        pushb @argument0
        pushb @argument1
        call.i @string 1
        add.v.v
        push.v global.100000
        call.i @file_text_write_string 2
        popz.v
        push.v global.100000
        call.i @file_text_writeln 1
        popz.v
        pushb @argument1
        push.d 1
        conv.d.v
        add.v.v
        ret.v)", 2);
    game.scripts = {gamedata::Script{"scr_line", static_cast<uint32_t>(line)}};
    // Runs before everything else: opens the file; global 1 = 5.
    game.initialisers = {code.Add("gml_GlobalScript_init", R"(
        push.s "results.txt"
        conv.s.v
        call.i @file_text_open_write 1
        pop.v.v global.100000
        push.d 5
        conv.d.v
        pop.v.v global.100001)")};
    // Instance variable 0 counts the steps; 1 holds scr_line's last result.
    auto write = [](const std::string& text, const std::string& value) {
        return value + "\npush.s \"" + text + "\"\nconv.s.v\ncall.i @scr_line 2\npopz.v\n";
    };
    const int32_t create = code.Add("gml_Object_obj_main_Create_0",
                                    write("create ", "push.v global.100001") + R"(
        push.d 0
        conv.d.v
        pop.v.v self.100000
        push.d 0
        conv.d.v
        pop.v.v self.100001
        push.d 2
        conv.d.v
        push.i 0
        pop.v.v self.@alarm[])");
    const int32_t step = code.Add("gml_Object_obj_main_Step_0", R"(
        push.v self.100000
        push.d 1
        conv.d.v
        add.v.v
        pop.v.v self.100000
        push.v self.100000
        push.s "step "
        conv.s.v
        push.d 0
        conv.d.v
        call.i @script_execute 3
        pop.v.v self.100001
        push.v self.100000
        push.d 4
        conv.d.v
        set.v.v ge
        bf done
        call.i @game_end 0
        popz.v
        done:)");
    const int32_t alarm = code.Add("gml_Object_obj_main_Alarm_0", write("alarm ", "push.v self.100000"));
    const int32_t draw = code.Add("gml_Object_obj_main_Draw_0", write("draw ", "push.v self.100001"));
    const int32_t end = code.Add("gml_Object_obj_main_Other_3", write("game end ", "push.v self.100000") + R"(
        push.v global.100000
        call.i @file_text_close 1
        popz.v)");
    game.roomCode = code.Add("gml_Room_room0_Create", write("room ", "push.v global.100001"));
    game.events[0] = {{0, create}};
    game.events[2] = {{0, alarm}};
    game.events[3] = {{0, step}};
    game.events[7] = {{3, end}};
    game.events[8] = {{0, draw}};
    return WriteBytecodeGame(game);
}

bool LoadBoth(const std::vector<uint8_t>& bytes)
{
    GameData_ClearError();
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    return LoadGameHeader(bytes.data(), size) && LoadGameChunks(bytes.data(), size);
}

void Unload()
{
    UnloadGameData();
    GameData_ClearError();
}

CapturedLog::CapturedLog() : m_verbose(VerboseConsole), m_log(LogConsole)
{
    VerboseConsole = &m_stream;
    LogConsole = &m_stream;
}

CapturedLog::~CapturedLog()
{
    VerboseConsole = m_verbose;
    LogConsole = m_log;
}

std::string CapturedLog::Text() const
{
    return m_stream.Text();
}

}  // namespace testgames

#pragma once
// Runs assembled bytecode: a game whose code entries are the given sources
// (scripts name entries) is loaded outside compiled-code mode; errors end a
// child game, so a test reads them instead of the process ending.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Code/ObjectBase.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Options/Runner_Options.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Script/Script_Main.h"
#include "gamedata/Assembler.h"
#include "support/GameFiles.h"

struct VMTest : ::testing::Test {
    std::vector<uint8_t> bytes;

    void SetUp() override
    {
        Console_SetStdoutSuppressed(true);
        HeadlessMode.noDialogs = true;
        ChildGame = true;
        CompiledCodeMode = false;
    }
    void TearDown() override
    {
        Script_DeleteAll();
        testgames::Unload();
        KVObjectBase::FreePool();  // pooled locals objects keep their slot arrays
        CompiledCodeMode = true;
        // The game's header flags outlive its data.
        NewCodeFormat = LayerMode = ObjectMode = false;
        ChildGame = FatalErrorShown = CodeErrorFlag = false;
        PendingRoomCode = -1;
        ErrorLast_Set(nullptr);
        Runner_DiscardMessages();
        HeadlessMode = HeadlessModeFlags{};
        Console_Reset();
    }

    // Entry i is sources[i]; script i runs entry scripts[i]; strings go to the string table in order.
    void Load(const std::vector<std::string>& sources, const std::vector<uint32_t>& scripts = {},
              const std::vector<std::string>& strings = {}, uint16_t locals = 4)
    {
        gamedata::FormWriter w;
        for (const std::string& text : strings) w.AddString(text);
        gamedata::GeneralHeader header;
        header.formatVersion = 15;
        w.Gen8(header);
        std::vector<gamedata::CodeEntry> entries;
        for (size_t i = 0; i < sources.size(); ++i) {
            const gamedata::Assembled code = gamedata::Assemble(sources[i]);
            ASSERT_EQ(code.error, "") << sources[i];
            gamedata::CodeEntry entry;
            entry.name = "code_" + std::to_string(i);
            entry.bytecode = code.words;
            entry.locals = locals;
            entries.push_back(entry);
        }
        w.Code(entries);
        w.Vari({4, 4, locals}, {});
        std::vector<std::optional<gamedata::Script>> list;
        for (size_t i = 0; i < scripts.size(); ++i) list.push_back(gamedata::Script{"script_" + std::to_string(i), scripts[i]});
        if (!list.empty()) w.Scpt(list);
        bytes = w.Finish();
        ASSERT_TRUE(testgames::LoadBoth(bytes)) << GameData_LastError();
        ASSERT_TRUE(Script_Prepare());
    }

    // Runs entry; the value left on top, or undefined.
    ScriptValue Run(int32_t entry, CInstance* self = nullptr)
    {
        FatalErrorShown = false;
        ErrorLast_Set(nullptr);
        CCode code(entry, 0);
        ScriptValue result = ScriptValue_Undefined();
        Code_Run(self, self, &code, &result, 0);
        return result;
    }
    // Loads and runs a single entry.
    ScriptValue RunSource(const std::string& source, const std::vector<std::string>& strings = {})
    {
        Load({source}, {}, strings);
        return Run(0);
    }
    static std::string Error() { return ErrorLast_Get() ? ErrorLast_Get() : ""; }
    static bool ErrorHas(const std::string& text) { return Error().find(text) != std::string::npos; }
    static std::string Text(const ScriptValue& v)
    {
        return v.Kind() == VALUE_STRING ? ScriptValue_StringText(&v) : "<not a string>";
    }
    static void Release(ScriptValue& v) { ScriptValue_SetUndefined(&v); }
};

#pragma once
// The audio built-ins as game code calls them, on the loopback device: the
// "Sound.." group registered, a game loaded whose bundle folder is a fresh
// folder, and frames run by hand (the engine's update, then the asynchronous
// events it posted).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Code/Code_Function.h"
#include "Function/BuiltinCallFixture.h"
#include "Function/Function_Audio.h"
#include "GameData/GameData.h"
#include "IO/LoadSave.h"
#include "Network/Async_Requests.h"
#include "Sound/Audio_Main.h"
#include "support/AsyncEvents.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

struct AudioFunctionTest : audiotest::LoopbackTest, BuiltinCalls {
    TempFolder dir;
    std::vector<uint8_t> game;
    testgames::CapturedLog log;

    void SetUp() override
    {
        audiotest::LoopbackTest::SetUp();
        CodeFunction_FreeAll();
        ShowErrorDialogs = false;
        ResetErrors();
        InitSoundFunctions();
        Async_FreeRequests();
        asyncevents::Events.clear();
        InitProgramDirectory((dir / "game.win").c_str());
    }
    void TearDown() override
    {
        NoAudio = false;
        DebugFlags = 0;
        audiotest::LoopbackTest::TearDown();
        InitProgramDirectory(nullptr);
        Async_FreeRequests();
        asyncevents::Events.clear();
        CodeFunction_FreeAll();
        ResetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
    }
    // Loads the game through both passes and prepares group 0.
    void Load(std::vector<uint8_t> bytes)
    {
        game = std::move(bytes);
        ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
        Audio_PrepareSounds();
    }
    static void Frame()
    {
        SoundHardware_Update();
        Async_ProcessRequestList(asyncevents::Fire);
    }
    static std::vector<AsyncEventRecord> EventsOf(int32_t subKind)
    {
        std::vector<AsyncEventRecord> found;
        for (const AsyncEventRecord& e : asyncevents::Events)
            if (e.subKind == subKind) found.push_back(e);
        return found;
    }
    bool Logged(const std::string& part) const { return log.Text().find(part) != std::string::npos; }
};

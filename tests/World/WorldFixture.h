#pragma once
// A world run by hand: the event module linked in, an empty objects table, a
// current room, and errors that are only reported (the report returns).
// ForgetErrors() clears a report before the next one.
#include <gtest/gtest.h>

#include <string>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "GameData/GameHeader.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "support/EngineReset.h"
#include "support/EventModule.h"
#include "support/TestModule.h"

struct WorldFixture : ::testing::Test {
    testmodule::Installed module{eventmodule::Record()};
    CGameRoom room;

    void SetUp() override
    {
        Console_SetStdoutSuppressed(true);
        ShowErrorDialogs = false;
        HeadlessMode.noDialogs = true;
        ChildGame = true;  // a fatal report returns instead of ending the process
        Object_Init();
        Run_Room = &room;
    }
    // The room's instances go without clean-up events, while the module and
    // the hooks they might call are still there.
    void TearDown() override
    {
        room.DeleteActiveInstances();
        room.DeleteDeactivatedInstances();
    }
    static std::string LastReport() { return ErrorLast_Get() ? ErrorLast_Get() : ""; }

    // A new object with the given parent (-1 none) and depth.
    static int32_t NewObject(int32_t parent = -1, int32_t depth = 0)
    {
        const int32_t index = Object_CreateEmpty();
        CGameObject* object = Object_Get(index);
        object->parent = parent;
        object->depth = depth;
        Object_LinkParents();
        return index;
    }
};

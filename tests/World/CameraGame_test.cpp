// Cameras of a loaded layer-mode game: the default camera and the rooms' view
// cameras made as the game data is read, and camera scripts run through the
// event module.
#include <gtest/gtest.h>

#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "World/Camera.h"
#include "Function/Camera_Functions.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Options/Runner_Options.h"
#include "Script/Script_Main.h"
#include "support/EventModule.h"
#include "support/GameFiles.h"
#include "support/TestModule.h"

namespace {

std::vector<uint8_t> CameraGame()
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;  // version 2: layer mode
    h.roomOrder = {0, 1};
    w.Gen8(h);
    w.Scpt({gamedata::Script{"scr_camera", 0}});
    gamedata::RoomEntry first;
    first.name = "rm_first";
    first.width = 2000;
    gamedata::RoomViewEntry view;
    view.viewX = 64;
    view.viewWidth = 320;
    view.viewHeight = 240;
    view.hspeed = 6;
    view.followObject = 2;
    first.views = {view, gamedata::RoomViewEntry{}};
    gamedata::RoomEntry second;
    second.name = "rm_second";
    second.views = {gamedata::RoomViewEntry{}};
    w.Room({first, second});
    w.Strg();
    return w.Finish();
}

struct CameraGameTest : ::testing::Test {
    std::vector<uint8_t> game;

    void SetUp() override
    {
        Console_SetStdoutSuppressed(true);
        ShowErrorDialogs = false;
        HeadlessMode.noDialogs = true;
        InitCameraFunctions();  // as the early initialisation does
        testmodule::Install(eventmodule::Record());
        ASSERT_TRUE(LinkRecord_Load());
        game = CameraGame();
        ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
        ASSERT_TRUE(Script_Prepare());
    }
    void TearDown() override { testgames::Unload(); }  // the image is ours
};

TEST_F(CameraGameTest, LoadingMakesTheDefaultCameraThenOneCameraPerView)
{
    ASSERT_TRUE(LayerMode);
    EXPECT_EQ(DefaultCameraId, 0);
    const CGameRoom* first = Room_Get(0);
    const CGameRoom* second = Room_Get(1);
    EXPECT_EQ(first->views[0].camera, 1);
    EXPECT_EQ(first->views[1].camera, 2);
    EXPECT_EQ(second->views[0].camera, 3);
    const Camera* camera = CameraList::GetCamera(1);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->viewX, 64.0f);
    EXPECT_EQ(camera->speedX, 6.0f);
    EXPECT_EQ(camera->target, 2);
    // The camera built-ins stay registered through the load.
    int32_t id = -1;
    EXPECT_TRUE(CodeFunction_Find("camera_get_view_x", &id));
    // A room started from its definition gets clones; ending it destroys them.
    auto* live = new CGameRoom();
    Room_CopyDefinition(live, first, true);
    EXPECT_EQ(live->views[0].camera, 4);
    EXPECT_EQ(CameraList::GetCamera(4)->viewX, 64.0f);
    delete live;
    EXPECT_EQ(CameraList::GetCamera(4), nullptr);
    EXPECT_EQ(CameraList::GetCount(), 4);
}

TEST_F(CameraGameTest, ScriptsRunWithTheScriptInstanceAndTheCameraAsEventObject)
{
    Camera* camera = CameraList::GetCamera(2);
    camera->updateScript = 0;
    camera->viewChanged = 1;
    camera->viewX = 99;
    const Matrix before = camera->view;
    Event_CurrentObject = 41;
    camera->Update();
    EXPECT_TRUE(eventmodule::Trace.empty());  // no script instance before a room starts
    CameraList::CreateScriptInstance();
    camera->Update();
    ASSERT_EQ(eventmodule::Trace.size(), 1u);
    EXPECT_EQ(eventmodule::Trace[0].code, 0);
    EXPECT_EQ(eventmodule::Trace[0].self, 0);
    EXPECT_EQ(eventmodule::Trace[0].other, 0);
    EXPECT_EQ(eventmodule::Trace[0].object, 2);
    EXPECT_EQ(Event_CurrentObject, 41);
    // The update script replaces everything else the update would do.
    EXPECT_EQ(std::memcmp(&before, &camera->view, sizeof before), 0);
    camera->beginScript = 0;
    camera->RunBeginScript();
    camera->RunEndScript();  // -1: nothing
    EXPECT_EQ(eventmodule::Trace.size(), 2u);
    // In object mode the global instance is self, whether or not the script instance exists.
    CameraList::FreeScriptInstance();
    ObjectMode = true;
    camera->RunBeginScript();
    ObjectMode = false;
    ASSERT_EQ(eventmodule::Trace.size(), 3u);
    EXPECT_EQ(eventmodule::Trace[2].self, Variable_GlobalInstance()->id);
    Event_CurrentObject = 0;
}

}  // namespace

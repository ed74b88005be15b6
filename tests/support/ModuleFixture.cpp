#include "support/ModuleFixture.h"

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "GameData/GameData.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_LoadGame.h"
#include "Options/Runner_Options.h"
#include "Script/Script_Main.h"
#include "support/GameFiles.h"
#include "support/SampleModule.h"
#include "support/TestModule.h"

void ModuleFixture::SetUp()
{
    Console_SetStdoutSuppressed(true);
    ShowErrorDialogs = false;
    HeadlessMode.noDialogs = true;
    samplemodule::RegisterBuiltins();
    testmodule::Install(samplemodule::Record());
    ASSERT_TRUE(LinkRecord_Load());
    game = samplemodule::GameFile();
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    ASSERT_TRUE(Script_Prepare());
}

void ModuleFixture::TearDown()
{
    testgames::Unload();  // the image is ours
}

std::string ModuleFixture::LastReport()
{
    return ErrorLast_Get() ? ErrorLast_Get() : "";
}

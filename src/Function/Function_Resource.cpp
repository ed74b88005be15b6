#include "Function/Function_Resource.h"

#include "Function/Function_Asset.h"
#include "Function/Function_Font.h"
#include "Function/Function_Object.h"
#include "Function/Function_Path.h"
#include "Function/Function_ResourceBackground.h"
#include "Function/Function_Room.h"
#include "Function/Function_Script.h"
#include "Function/Function_Sound.h"
#include "Function/Function_Sprite.h"
#include "Function/Function_Timeline.h"

void InitResourceFunctions()
{
    InitSpriteFunctions();
    InitSoundResourceFunctions();
    InitFontFunctions();
    InitScriptFunctions();
    InitPathFunctions();
    InitTimelineFunctions();
    InitObjectFunctions();
    InitRoomFunctions();
    InitAssetFunctions();
    InitResourceBackgroundFunctions();
}

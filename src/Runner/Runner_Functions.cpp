// The groups of built-in functions, registered in this order by the header
// pass. The order matters where two groups register the same name: lookup
// finds the first. A subsystem adds its registrar to its group's line.
#include "Base/Console.h"
#include "Function/Function_3D.h"
#include "Function/Function_Asset.h"
#include "Function/Function_BufferSurface.h"
#include "Function/Function_D3DDraw.h"
#include "Function/Function_D3DModel.h"
#include "Function/Function_Data_Structures.h"
#include "Function/Function_Display.h"
#include "Function/Function_File.h"
#include "Function/Function_Font.h"
#include "Function/Function_GPUState.h"
#include "Function/Function_Game.h"
#include "Function/Function_GameSave.h"
#include "Function/Function_Gamepad.h"
#include "Function/Function_GraphicsShapes.h"
#include "Function/Function_GraphicsSprite.h"
#include "Function/Function_GraphicsSurface.h"
#include "Function/Function_GraphicsText.h"
#include "Function/Function_GraphicsTexture.h"
#include "Function/Function_Interaction.h"
#include "Function/Function_Layer.h"
#include "Function/Function_Lights.h"
#include "Function/Function_Math.h"
#include "Function/Function_Object.h"
#include "Function/Function_Particle.h"
#include "Function/Function_Path.h"
#include "Function/Function_ResourceBackground.h"
#include "Function/Function_Room.h"
#include "Function/Function_Script.h"
#include "Function/Function_Shader.h"
#include "Function/Function_Sound.h"
#include "Function/Function_Sprite.h"
#include "Function/Function_Tile.h"
#include "Function/Function_Timeline.h"
#include "Function/Function_Vertex.h"
#include "Network/Http_Functions.h"
#include "Platform/Function_External.h"
#include "Platform/Kivo_OSFunctions.h"
#include "Runner/Runner_StartUp.h"
#include "IO/Run_Score.h"

namespace {
using Registrar = void (*)();

struct BuiltinGroup {
    const char* line;
    Registrar registrars[12];
};

const BuiltinGroup kBuiltinGroups[] = {
    {"HighScore..", {Score_Load}},
    {"Game..", {InitGameFunctions, InitGameSaveLoadFunctions}},
    {"Math..", {InitMathFunctions}},
    {"Graphic..",
     {InitGraphicShapeFunctions, InitGraphicTextFunctions, InitDisplayFunctions, InitTileFunctions,
      InitGraphicSurfaceDrawFunctions, InitGraphicTextureFunctions, InitGraphicSpriteFunctions,
      InitGraphicBackgroundFunctions}},
    {"Action..", {}},
    {"File..", {InitFileFunctions, InitHttpFunctions}},
    {"Resource..",
     {InitSpriteFunctions, InitSoundResourceFunctions, InitFontFunctions, InitScriptFunctions, InitPathFunctions,
      InitTimelineFunctions, InitObjectFunctions, InitRoomFunctions, InitAssetFunctions,
      InitResourceBackgroundFunctions}},
    {"Interaction..", {InitInteractionFunctions}},
    {"3D..", {Init3DFunctions, InitLightFunctions, InitGpuStateFunctions, InitD3DDrawFunctions,
              InitD3DModelFunctions}},
    {"Particle..", {InitParticleFunctions}},
    {"Misc..", {InitExternalFunctions}},
    {"DS..", {InitDataStructureFunctions}},
    {"Sound..", {}},
    {"Physics..", {}},
    {"Gamepad..", {InitGamepadFunctions}},
    {"Buffers..", {InitVertexFunctions, InitBufferSurfaceFunctions}},
    {"Networking..", {}},
    {"Shaders..", {InitShaderFunctions, InitVertexFormatFunctions}},
    {"Kivo..", {InitLayerFunctions, InitKivoOSFunctions}},
};
}  // namespace

void InitQSCFunctions()
{
    for (const BuiltinGroup& group : kBuiltinGroups) {
        VerboseConsole->Output("%s", group.line);
        for (Registrar registrar : group.registrars) {
            if (registrar) registrar();
        }
    }
    VerboseConsole->Output("Fini\n");
}

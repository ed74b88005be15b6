// The groups of built-in functions, registered in this order by the header
// pass. The order matters where two groups register the same name: lookup
// finds the first. A subsystem adds its registrar to its group's line.
#include "Base/Console.h"
#include "Function/Function_3D.h"
#include "Function/Function_Audio.h"
#include "Function/Function_Buffer.h"
#include "Function/Function_D3DDraw.h"
#include "Function/Function_D3DModel.h"
#include "Function/Function_Data_Structures.h"
#include "Function/Function_File.h"
#include "Function/Function_GPUState.h"
#include "Function/Function_Game.h"
#include "Function/Function_GameSave.h"
#include "Function/Function_Graphics.h"
#include "Function/Function_Gamepad.h"
#include "Function/Function_Interaction.h"
#include "Function/Function_Layer.h"
#include "Function/Function_Lights.h"
#include "Function/Function_Math.h"
#include "Function/Function_Misc.h"
#include "Function/Function_Particle.h"
#include "Function/Function_Resource.h"
#include "Function/Function_Shader.h"
#include "Function/Function_Vertex.h"
#include "Function/Http_Functions.h"
#include "Function/Network_Functions.h"
#include "Platform/Kivo_OSFunctions.h"
#include "Platform/Platform_Main.h"
#include "Runner/Runner_StartUp.h"
#include "IO/Run_Score.h"

namespace {
using Registrar = void (*)();

void InitMisc() { InitMiscFunctions(Platform_MiscRoutines()); }

struct BuiltinGroup {
    const char* line;
    Registrar registrars[12];
};

const BuiltinGroup kBuiltinGroups[] = {
    {"HighScore..", {Score_Load}},
    {"Game..", {InitGameFunctions, InitGameSaveLoadFunctions}},
    {"Math..", {InitMathFunctions}},
    {"Graphic..", {InitGraphicFunctions}},
    {"Action..", {}},
    {"File..", {InitFileFunctions, InitHttpFunctions}},
    {"Resource..", {InitResourceFunctions}},
    {"Interaction..", {InitInteractionFunctions}},
    {"3D..", {Init3DFunctions, InitLightFunctions, InitGpuStateFunctions, InitD3DDrawFunctions,
              InitD3DModelFunctions}},
    {"Particle..", {InitParticleFunctions}},
    {"Misc..", {InitMisc}},
    {"DS..", {InitDataStructureFunctions}},
    {"Sound..", {InitSoundFunctions}},
    {"Physics..", {}},
    {"Gamepad..", {InitGamepadFunctions}},
    {"Buffers..", {InitVertexFunctions, InitBufferFunctions}},
    {"Networking..", {InitNetworkingFunctions}},
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

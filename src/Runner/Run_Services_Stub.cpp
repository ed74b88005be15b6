// STAND-INS: see Run_Services_Stub.h.
#include "Runner/Run_Services_Stub.h"

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/VertexBuilderM.h"
#include "Object/Room_Class.h"

void Timing_Push(uint32_t, const char*) {}
void Timing_Pop() {}
void GC_Collect(void*) {}
void Game_ApplyQueuedLoad() {}
void Kivo_Tick() {}
void Kivo_Quit() {}
void Steam_Update() {}
void Steam_Shutdown() {}
void IAP_ProcessQueuedResults() {}
void Push_Update() {}
void Kivo_ProcessScriptCallbacks() {}
bool Extension_Prepare() { return true; }
bool Extension_CallInitFunctions() { return true; }
bool Extension_CallFinalFunctions() { return true; }
void Network_Update() {}
void Network_Shutdown() {}
void Http_Process() {}
void Score_Init() {}
void Score_Load() {}
void Score_Save() {}
void File_CloseAll() {}
void InitTempDirectory() {}
void CleanTempDirectory() {}
void IO_HandleKeyboardEvents() {}
void IO_HandleMouseEvents() {}
void IO_PerformJoystickEvent(int32_t) {}
void IO_DrawVirtualButtons() {}
void IO_ClearVirtualButtons() {}
void Gamepad_AnnounceConnected() {}
void Collision_Step() {}
void Particle_Init() {}
void ParticleSystem_UpdateAll() {}
void ParticleSystem_RoomStart() {}
void ParticleSystem_RoomEnd() {}
void ParticleSystem_FreeAll() {}
void Part_CreateTextures() {}
void Effect_Clear() {}
void MP_Grid_DestroyAll() {}
void SoundHardware_Create() {}
void SoundHardware_Update() {}
void SoundHardware_Destroy() {}
bool Sound_Prepare() { return true; }
void Audio_PrepareSounds() {}
void Audio_StopAll(int32_t) {}
void Sound_DeleteAll() {}
void GR_InitCircleTable() {}
void Text_Reset() {}
void Text_Free() {}
void VertexFormat_Shutdown() {}
void VertexFormat_FreeList() {}
void GR_Display_SetAll(int32_t, int32_t, int32_t, int32_t) {}
void GR_Window_ResetViewMappings() {}
void GR_D3D_ApplyWindowSize() {}
void GR_D3D_Reset() {}
void UpdateWindowSizeForRoom() {}
void Background_InitTextures() {}
void Sprite_InitTextures() {}
void Font_InitTextures() {}
void Background_Shutdown() {}
void Sprite_FreeAll() {}
void Font_Shutdown() {}
void Debug_InitRemoteInterface() {}
void Debug_Update() {}
void Profiler_FinalDump() {}

void DrawFrame()
{
    if (!GR_D3D_DeviceReady || !Run_Room || !Run_Room->showColour) return;
    GR_D3D_Clear(0xFF000000u | (Run_Room->colour & 0xFFFFFFu), 1.0f, 0.0f, CLEAR_COLOUR | CLEAR_DEPTH);
}

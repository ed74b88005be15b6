#pragma once
// STAND-INS for the services of subsystems not built yet that the start-up
// sequence, the main loop, the frame step and room switching call. Each keeps
// the interface its caller relies on and does nothing (or the least that keeps
// the game running); the owning subsystem replaces its entry.
#include <cstdint>

class CGameRoom;

// Debug overlay: the timing markers of a frame.
void Timing_Push(uint32_t colour, const char* name);
void Timing_Pop();

// Garbage collector of object mode.
void GC_Collect(void* root);
// Saved games: the game load queued by game_load.
void Game_ApplyQueuedLoad();

// Platform services.
void Kivo_Tick();
void Kivo_Quit();
void Steam_Update();
void Steam_Shutdown();
void IAP_ProcessQueuedResults();
void Push_Update();
void Kivo_ProcessScriptCallbacks();
bool Extension_Prepare();
bool Extension_CallInitFunctions();
bool Extension_CallFinalFunctions();

// Networking, HTTP, files and the high-score table.
void Network_Update();
void Network_Shutdown();
void Http_Process();
void Score_Init();
void Score_Load();
void Score_Save();
void File_CloseAll();
void InitTempDirectory();
void CleanTempDirectory();

// Input: key, mouse and gesture passes, virtual buttons, gamepads.
void IO_HandleKeyboardEvents();
void IO_HandleMouseEvents();
void IO_PerformJoystickEvent(int32_t subKind);
void IO_DrawVirtualButtons();
void IO_ClearVirtualButtons();
void Gamepad_AnnounceConnected();

// Instance behaviour: collisions, particles, effects, motion-planning grids.
void Collision_Step();
void Particle_Init();
void ParticleSystem_UpdateAll();
void ParticleSystem_RoomStart();
void ParticleSystem_RoomEnd();
void ParticleSystem_FreeAll();
void Part_CreateTextures();
void Effect_Clear();
void MP_Grid_DestroyAll();

// Audio.
void SoundHardware_Create();
void SoundHardware_Update();
void SoundHardware_Destroy();
bool Sound_Prepare();
void Audio_PrepareSounds();
void Audio_StopAll(int32_t withStreams);
void Sound_DeleteAll();

// Drawing: the primitive drawer, text state, vertex formats.
void GR_InitCircleTable();
void Text_Reset();
void Text_Free();
void VertexFormat_Shutdown();
void VertexFormat_FreeList();

// Renderer and assets: display modes, window mappings, asset textures, the
// device reset after a resize, the room's window size, the frame's drawing.
void GR_Display_SetAll(int32_t width, int32_t height, int32_t frequency, int32_t bits);
void GR_Window_ResetViewMappings();
void GR_D3D_ApplyWindowSize();
void GR_D3D_Reset();
void UpdateWindowSizeForRoom();
void Background_InitTextures();
void Sprite_InitTextures();
void Font_InitTextures();
void Background_Shutdown();
void Sprite_FreeAll();
void Font_Shutdown();
// Draws the frame of the current room: the stand-in clears to the room colour.
void DrawFrame();

// Debugger and profiler.
void Debug_InitRemoteInterface();
void Debug_Update();
void Profiler_FinalDump();

#include "support/EngineReset.h"
#include "support/StandIns.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Base/Console.h"
#include "Debug/ErrorDialog.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Base/Random.h"
#include "Base/Timing.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Handles.h"
#include "Function/Function_File.h"
#include "IO/Run_Score.h"
#include "Network/Http_Client.h"
#include "Particle/Particle_Main.h"
#include "Runner/Game_SaveLoad.h"
#include "Sound/Audio_Group.h"
#include "Font/Graphics_Text.h"
#include "Code/Code_Constant.h"
#include "Code/Code_Function.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/Code_ValueIndex.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableTarget.h"
#include "Variable/Code_VariableValue.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Error.h"
#include "Code/JS_Array.h"
#include "Code/JS_Exception.h"
#include "Code/JS_Main.h"
#include "Code/JS_Number.h"
#include "Code/MathEpsilon.h"
#include "Code/ObjectBase.h"
#include "Code/VM_Main.h"
#include "Debug/Debug_Main.h"
#include "Debug/Profiler.h"
#include "Platform/Extension_Main.h"
#include "Interpreter/VM_Stack.h"
#include "Font/Font_Main.h"
#include "Function/Function_GraphicsShapes.h"
#include "Function/Function_Layer.h"
#include "Graphics/Graphics_3D_Model.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/Graphics_Lights.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/ShaderM.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexFormat.h"
#include "Graphics/Graphics_Display.h"
#include "Host/Host_Dialog.h"
#include "Host/Host_GPU.h"
#include "Host/Host_MachineId.h"
#include "IO/IO_Main.h"
#include "IO/IO_Input.h"
#include "Network/Async_Requests.h"
#include "IO/IO_Dialog.h"
#include "IO/Gamepad_Class.h"
#include "World/Gesture_Main.h"
#include "Background/Background_Main.h"
#include "World/Camera.h"
#include "World/Event_Drivers.h"
#include "World/Event_Main.h"
#include "World/Instance_Lookup.h"
#include "World/Collision.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "Sprite/Sprite_Main.h"
#include "Sprite/Sprite_Vector.h"
#include "Graphics/Graphics_Primitive.h"
#include "World/Room_Layers.h"
#include "GameData/DebugInfo.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Main.h"
#include "Physics/PhysicsWorld.h"
#include "Runner/Run_Room.h"
#include "Runner/Run_Step.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_IniOptions.h"
#include "Platform/Platform_OS.h"
#include "Runner/Runner_LoadGame.h"
#include "Runner/Runner_Hooks.h"
#include "Interpreter/VM_Interpreter.h"
#include "Code/Code_Profiler.h"
#include "IO/FileWhitelist.h"
#include "Options/Runner_Options.h"
#include "Motion/Motion_Grid.h"
#include "Motion/Motion_Planning.h"
#include "Runner/Runner_StartUp.h"
#include "Sound/SoundHardware.h"
#include "Options/Runner_Strings.h"
#include "Variable/Variable_BuiltIn.h"

namespace {

// Globals that may point into what the last test owned: dropped first, so
// that nothing below reaches through them.
void DropBorrowedPointers()
{
    Run_Room = nullptr;
    LayerScriptInstance = nullptr;
    VM_CurrentFrame = nullptr;
    VM_ArgumentBase = nullptr;
    VM_ArgumentCount = 0;
    CurrentBuiltinFunction = nullptr;
    GlobalScopeObject = nullptr;
    JS_ObjectPrototype = JS_FunctionPrototype = nullptr;
    for (KVObjectBase*& prototype : JS_ErrorPrototype) prototype = nullptr;
    JS_NumberPrototype = JS_ArrayPrototype = JS_BooleanPrototype = nullptr;
    JS_DropPendingException();
    Debug_PendingErrorText = nullptr;
    ErrorForm = {nullptr, false};
    ErrorContext = {0, 0, nullptr};
    Host_Dialog_Set(nullptr);
    Host_HeadlessDialog().ClearAnswers();
    Host_HeadlessDialog().ResetRecord();
    Console_Reset();
}

void ResetErrorOptions()
{
    AllErrorsFatal = WatchEvaluating = ChildGame = false;
}

void ResetOptions()
{
    Options_Reset();
    Runner_FreeText(&RunnerCommandLine);
    Runner_FreeText(&FirstGameFile);
    ReleaseModeChecks = false;
    AllowedOrientations = LockedOrientations = {1, 1, 1, 1};
}

void ResetRunner()
{
    Runner_FreeText(&PendingGameChange.nextGame);
    Runner_FreeText(&PendingGameChange.returnGame);
    Runner_FreeText(&PendingGameChange.saveFolder);
    PendingGameChange.pending = false;
    RestartRequested = false;
    FirstRun = true;
    MainLoopRunning = 0;
    Runner_FreeGameFolder();
    Runner_SetSavePrefix(nullptr);
    Runner_SetGameName(nullptr);
    Run_ResetRunGlobals();
    SetDefaultCaptions();  // also the score, lives and health globals
    fps = 0;
    FramePacing = true;
    delta_time = 0;
    StepClock = 0;
    room = 0;
    GameFrameTimer = FrameTimer{};
}

// The loaded game and everything made from it, as the runner unloads it;
// then what tests add by hand besides a game.
void ResetGame()
{
    SoundHardware_Destroy();  // the device, the voices and the sounds
    AudioGroup_Free();
    LayerMode = false;  // no clean-up events run while rooms are freed
    Run_FreeRooms();    // before the objects their instances are listed in
    ParticleSystem_FreeAll();
    Effect_Clear();
    CameraList::Clear();
    DefaultCameraId = -1;
    Game_DropQueuedLoad();
    Buffer_DeleteAll();
    Ds_Reset();
    // What no root reaches any more goes while the objects its instances are
    // listed in are still there.
    GC_CollectNow();
    UnloadGameData();
    GameData_ClearError();
    Option_Free();
    GameOptions = GameOptionsRecord{};
    Collision_Reset();
    Physics_Reset();
    MP_Grid_DestroyAll();
    MP_PotentialSettings(30, 10, 3, true);
    Instance_ClearTable(HASH_KEEP_VALUE);  // a test's own instances may still be listed
    for (List<CInstance*>* queue : {&DepthChangeQueue, &ActivationQueue, &ObjectChangeQueue}) queue->Free();
    Object_Free();
    Object_FreeEventLists();
    std::memset(PerEventObjectCounts, 0, sizeof PerEventObjectCounts);
    ObjectDataMarker = 0;
    Room_LastInstanceId = 100000;
    Room_LastTileId = 10000000;
    MarkedInstanceCount = 0;
    Event_CurrentObject = Event_CurrentKind = Event_CurrentNumber = Event_Depth = 0;
    ArgumentRelative = false;
    EventPassCounter = 0;
    async_load = -1;
    Joystick_Reset();
    LayerTargetRoom = -1;
    LayerForceDrawDepth = false;
    LayerForcedDepth = 0;
    TilemapGlobalMask = 0x7FFFFFFFu;
    Layer_HighestDataId = Layer_LastCreatedId = Layer_NextElementId = 0;
    Sprite_Init();
    Background_DeleteAll();
    File_Reset();
    Score_Reset();
    Extension_Free();
}

void ResetCode()
{
    CodeFunction_FreeAll();
    Variable_BuiltIn_Free();
    Variable_FreeNames();
    Variable_FreeGlobalObject();
    Code_Constant_Free();
    KVObjectBase::FreePool();
    LinkRecord_Free();
    CompiledCodeMode = true;
    TargetMissingFlag = false;
    g_ArrayIndexFault = {false, 0, 0, 0, 0};
    MathEpsilon = 1e-10;
    VM_Init();  // breakpoints and stepping
    VM_ListOnRun = false;
    CProfiler::Free();
}

// The window, the device and the renderer's state, as start-up finds them.
void ResetGraphics()
{
    GR_WindowCoords_Reset();
    Text_Reset();
    Font_Shutdown();
    Text_Free();
    GR_CornerIdEnabled = false;
    VectorAntiAliasEnabled = false;
    VectorAntiAliasLevel = 1.0f;
    GR_Texture_FreeAll();
    VertexBuffer_FreeAll();
    Model_FreeAll();
    VertexFormat_Shutdown();
    GR_D3D_ReleaseAll();
    GR_D3D_ResetSettings();
    ReadPNG_Free();
    GR_Window_Reset();
    HGPU_IgnoreClipControl(false);
    HGPU_RefuseDeviceCreation(false);
    g_RenderStateCache.Reset();
    GR_Light_Reset();
    Shader_FreeAll();
    Timing_Reset();
    DrawnFrameCount = 0;
    DebugFrameRate = FrameRateStats{};
    GR_3D_Reset();
    GR_Draw_ResetColour();
    TextureGlobalScale = 1;
    GR_Display_Reset();
}

void ResetInput()
{
    IO_End();
    IO_Input = IO_InputState{};
    IO_WindowLatch = IO_WindowLatchRecord{};
    std::memset(IO_LatchPointerEvents, 0, sizeof IO_LatchPointerEvents);
    IO_FirstLatch = true;
    Kivo_PauseRegistered = false;
    Gamepads_Reset();
    IO_LoadVirtualButtons(nullptr);
    Http_Shutdown();  // also the asynchronous requests
    Host_SetMachineIdFile(nullptr);
    FileWhitelist_Free(&FileWhitelist_Read);
    FileWhitelist_Free(&FileWhitelist_Write);
    InputQuery_Reset();
    Gesture_Reset();
}

void ResetBase()
{
    Random_SetOldVersion(false);
    Random_Seed(0);
    MemoryManager::DetachTraceFile();
}

// Every hook as the runner installs it at start-up, over whatever a test put
// in its place; the debugger, which the runner does not install, is emptied.
void ReinstallHooks()
{
    VM_Debugger = VMDebuggerHooks{};
    Code_ProfilerActive = false;
    Runner_InstallHooks();
}

class ResetBeforeEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { EngineReset(); }
};

// Appended during static initialisation; gtest_main keeps the listeners it finds.
const bool kRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBeforeEachTest);
    return true;
}();

}  // namespace

void ForgetErrors()
{
    FatalErrorShown = error_occurred = CodeErrorFlag = false;
    ErrorLast_Set(nullptr);
    PendingRoomCode = -1;
    Runner_DiscardMessages();  // the quit a fatal report posts
}

void EngineReset()
{
    ReinstallHooks();  // first: the resets below may go through them
    DropBorrowedPointers();
    ForgetErrors();
    ResetErrorOptions();
    ResetOptions();
    ResetRunner();
    ResetGame();
    ResetCode();
    ResetGraphics();
    ResetInput();
    ResetBase();
}

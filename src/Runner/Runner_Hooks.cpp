#include "Runner/Runner_Hooks.h"

#include "Background/Background_Main.h"
#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/Timing.h"
#include "Code/Code_Constant.h"
#include "Code/Code_Function.h"
#include "Code/Code_Link.h"
#include "Code/Code_Profiler.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Call.h"
#include "Code/VM_Main.h"
#include "Debug/Debug_Main.h"
#include "Debug/Profiler.h"
#include "Debug/ErrorDialog.h"
#include "Font/Font_Main.h"
#include "GameData/GameHeader.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Graphics/Graphics_Surface.h"
#include "Draw/Draw_Frame.h"
#include "Graphics/ShaderM.h"
#include "Host/Host_Dialog.h"
#include "Host/Host_Log.h"
#include "IO/IO_Dialog.h"
#include "IO/IO_Main.h"
#include "Interpreter/VM_Interpreter.h"
#include "Options/Runner_Options.h"
#include "Network/Network_Main.h"
#include "Path/Path_Main.h"
#include "Physics/PhysicsWorld.h"
#include "Platform/Extension_Main.h"
#include "Function/Function_GameSave.h"
#include "Runner/Game_SaveLoad.h"
#include "Runner/Run_GCRoots.h"
#include "Runner/Run_InputAsync.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Room.h"
#include "Runner/Run_VirtualButtons.h"
#include "Runner/Runner_Entry.h"
#include "Script/Script_Function.h"
#include "Script/Script_Main.h"
#include "Sound/Audio_Main.h"
#include "Sprite/Sprite_Main.h"
#include "Variable/Variable_BuiltIn.h"
#include "World/Camera.h"
#include "World/EventName.h"
#include "World/Event_Drivers.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "World/Run_CommandRoom.h"
#include "World/TimeLine_Main.h"

namespace {
void FireNetworkEvent(int32_t map)
{
    async_load = map;
    PerformNetworkEvent();
    async_load = -1;
}

bool OverlayReferenceSize(int32_t* width, int32_t* height)
{
    const CGameRoom* current = Run_Room;
    if (!current) return false;
    const RoomView& first = current->views[0];
    const bool port = current->enableViews && first.visible;
    *width = port ? first.portWidth : current->width;
    *height = port ? first.portHeight : current->height;
    return true;
}

bool OverlayDebuggerPaused() { return DebuggerPause && Debug_IsConnected(); }

bool OverlayObjectDataMarked() { return ObjectDataMarker != 0; }

bool ActiveCameraIs3D()
{
    const Camera* camera = CameraList::GetActiveCamera();
    return LayerMode && camera && !camera->Is2D();
}

void LocateInterpreter(ErrorInterpreterPosition* at)
{
    const VMFrame* frame = VM_CurrentFrame;
    if (!frame) return;
    at->running = true;
    at->function = frame->name ? frame->name : "";
    if (!frame->debugTable) return;
    at->hasDebugTable = true;
    const VMDebugEntry* entry = VM_FindPosEntry(frame->debugTable, frame->instruction);
    const char* fileName = nullptr;
    at->line = VM_LineFromPos(entry, frame->source, &fileName);
    if (fileName) at->function = fileName;
    at->lineText = VM_LineText(entry, frame->source);
}

void CurrentEvent(ErrorEventNames* out)
{
    out->kind = Event_CurrentKind;
    out->number = Event_CurrentNumber;
    if (Event_CurrentKind == EVENT_KIND_TIMELINE) {
        out->owner = TimeLine_Name(Event_CurrentObject);
    } else if (Event_CurrentKind != EVENT_KIND_SHADER) {
        out->event = Event_GetName(Event_CurrentKind, Event_CurrentNumber);
        out->owner = Object_NameOf(Event_CurrentObject);
    }
}

void WalkCallChain(void (*visit)(void*, const char*, int), void* data)
{
    for (const StackTraceFrame* frame = *CallChainHead; frame; frame = frame->previous)
        visit(data, frame->name, frame->line);
}

bool ShowErrorDialog(const char* text, bool fatal)
{
    if (HeadlessMode.noDialogs) {
        // What ends the game is said on standard error even without dialogs.
        if (fatal) Host_Dialog_Get().Show(HostDialogRequest{"Quillstep", text, HOSTDIALOG_ERROR, nullptr, 0, 0});
        return fatal;
    }
    GR_Display_PrepareForDialog();
    if (ShowErrorDialogs && ErrorDialog_Show(text, !fatal)) return true;
    return fatal;
}

void QuitGame()
{
    PendingRoomCode = ROOMCODE_QUIT;
    Runner_PostQuit();
}

int32_t CurrentRoomSpeed()
{
    return Run_Room ? Run_Room->speed : 30;
}

bool CurrentRoomSize(int32_t* width, int32_t* height)
{
    const CGameRoom* current = Run_Room;
    if (!current) return false;
    *width = current->width;
    *height = current->height;
    return true;
}

bool RoomViewVisible(int32_t index)
{
    const CGameRoom* current = Run_Room;
    return current && current->enableViews && index >= 0 && index < ROOM_VIEWS && current->views[index].visible;
}

void ApplicationSurfaceMapping(int32_t* width, int32_t* height, bool* inUse, float* scaleX, float* scaleY)
{
    if (ApplicationSurfaceWidth > 0 && ApplicationSurfaceHeight > 0) {
        *width = ApplicationSurfaceWidth;
        *height = ApplicationSurfaceHeight;
    }
    *inUse = ApplicationSurfaceEnabled && GR_Surface_Exists(ApplicationSurface);
    DrawFrame_PortScale(scaleX, scaleY);
}

bool GuiPassActive() { return GUI_Active; }

bool CameraMatrices(int32_t id, Matrix* viewProjection, Matrix* inverse)
{
    const Camera* camera = CameraList::GetCamera(id);
    if (!camera) return false;
    *viewProjection = camera->GetViewProjMat();
    *inverse = camera->GetInvViewProjMat();
    return true;
}

// The asset tables a name is looked up in, in the order constants find them.
const AssetFinder kAssetFinders[] = {
    Sprite_Find, Sound_Find, Object_FindByName, Audio_FindSound, Background_Find, Path_Find,
    Font_Find,   TimeLine_Find, Script_FindByName, Room_Find,  Shader_Find,
};
}  // namespace

void Runner_InstallHooks()
{
    ErrorReport_SetHooks(ErrorReportHooks{LocateInterpreter, CurrentEvent, WalkCallChain, ShowErrorDialog, IO_Clear,
                                          QuitGame, RequestGameEnd});
    Timing_SetMessagePump(DispatchPendingMessages);
    // Waits spin for the last -sleepmargin milliseconds.
    Timing_SetSleepMargin(&SleepMargin);
    // Dialogs of the host stay off the desktop while -headless says so.
    Host_Dialog_SetSuppressFlag(&HeadlessMode.noDialogs);
    Host_SetLogSink(Console_HostLog);
    Code_Constant_SetAssetFinders(kAssetFinders, static_cast<int32_t>(sizeof kAssetFinders / sizeof kAssetFinders[0]));
    CodeFunction_SetNameFinders(Script_FindByName, Extension_FindFunction);
    Instance_SetAccessorHook(Variable_BuiltIn_AddAccessors);
    GR_Window_SetHooks(WindowProcHooks{RequestGameEnd, Joystick_UpdateConnected});
    GR_SetActiveCameraIs3DHook(ActiveCameraIs3D);
    GR_WindowCoords_SetHooks(
        WindowCoordsHooks{CurrentRoomSize, RoomViewVisible, ApplicationSurfaceMapping, CameraMatrices});
    VM_SetInterpreter(VM_Interpret, &VM_HandlerSet());
    Code_Profiler_SetHooks(CodeProfilerHooks{CProfiler::Begin, CProfiler::End});
    IO_SetPrepareForDialogHook(GR_Display_PrepareForDialog);
    VirtualButtons_InstallHooks();
    InputAsync_InstallHooks();
    Audio_SetRoomSpeedHook(CurrentRoomSpeed);
    GC_SetMarkRootsHook(Run_MarkGCRoots);
    JS_SetScriptRunner(Script_RunAsFunction);
    DebugOverlay_SetHooks(DebugOverlayHooks{OverlayReferenceSize, OverlayDebuggerPaused, OverlayObjectDataMarked});
    GameSave_SetHooks(GameSaveLoadHooks{Game_Save, Game_SaveBuffer, Game_Load, Game_LoadBuffer});
    GR_Surface_SetHooks(SurfaceHooks{DrawFrame_SetTargetView, GuiPassActive, GUI_Begin});
    Network_SetEventHook(FireNetworkEvent);
}

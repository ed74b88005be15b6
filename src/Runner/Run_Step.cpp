#include "Runner/Run_Step.h"

#include <cmath>

#include "Network/Async_Requests.h"
#include "Base/Timing.h"
#include "Graphics/Graphics_Window.h"
#include "IO/IO_Main.h"
#include "IO/IO_Dialog.h"
#include "World/Event_Drivers.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Room_Class.h"
#include "Sprite/Sprite_Main.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Movement.h"
#include "Runner/Run_Room.h"
#include "Code/GCRegistry.h"
#include "Draw/Draw_Frame.h"
#include "Graphics/DebugOverlay.h"
#include "Network/Network_Main.h"
#include "Particle/Particle_Main.h"
#include "Platform/Platform_Main.h"
#include "Runner/GameChunks.h"
#include "Runner/Game_SaveLoad.h"
#include "World/Collision.h"
#include "World/Event_Input.h"

namespace {
// An asynchronous result reaches every instance that has the event, with its
// map as async_load.
void FireAsyncEvent(int32_t map, int32_t subKind)
{
    async_load = map;
    PerformAsyncEvent(subKind);
    async_load = -1;
}
}  // namespace

// The asynchronous step: the platform's queues, finished HTTP requests and
// the answered dialog, then the results on the request list.
void AsyncRequests_Process()
{
    IAP_ProcessQueuedResults();
    Push_Update();
    Kivo_ProcessScriptCallbacks();
    Http_Process();
    InputQuery_ProcessAsync();
    Async_ProcessRequestList(FireAsyncEvent);
}

int64_t StepClock = 0;

namespace {
// After a pass: apply what it deferred; true when the step must stop.
bool PassDone()
{
    UpdateActiveLists();
    return PendingRoomCode != -1;
}

// The update passes of a step; false when one of them stops the step (a room
// change or the game's end).
bool UpdatePasses(bool anyTimeline, bool anyPath)
{
    HandleStep(EVENT_STEP_BEGIN);
    if (PassDone()) return false;
    Network_Update();
    Steam_Update();
    if (PassDone()) return false;
    if (anyTimeline) Timeline_Step();
    if (PassDone()) return false;
    HandleAlarm();
    if (PassDone()) return false;
    IO_HandleKeyboardEvents();
    if (PassDone()) return false;
    Joystick_Step();
    if (PassDone()) return false;
    IO_HandleMouseEvents();
    if (PassDone()) return false;
    HandleStep(EVENT_STEP_NORMAL);
    if (PassDone()) return false;
    const bool physicsMoved = HandleInstanceMovement(anyPath);
    if (PassDone()) return false;
    HandleOther();
    if (PassDone()) return false;
    AsyncRequests_Process();
    if (PassDone()) return false;
    if (!physicsMoved) Collision_Step();
    if (PassDone()) return false;
    HandleStep(EVENT_STEP_END);
    if (PassDone()) return false;
    ParticleSystem_UpdateAll();
    return true;
}
}  // namespace

void Instance_AnimateImage(CInstance* instance)
{
    CSprite* sprite = Sprite_Get(instance->sprite_index);
    if (LayerMode && sprite) {
        if (sprite->playbackSpeedType == 1) {
            instance->image_index += sprite->playbackSpeed * instance->image_speed;
        } else {
            const double fps = GameFrameTimer.GetFPS();
            if (fps != 0)
                instance->image_index += static_cast<float>(sprite->playbackSpeed / fps) * instance->image_speed;
        }
    } else {
        instance->image_index += instance->image_speed;
    }
    const int32_t n = instance->GetImageNumber();
    // Truncated in double precision: a cast of a huge, infinite or NaN index to an integer is undefined.
    if (std::trunc(static_cast<double>(instance->image_index)) >= n) {
        instance->image_index -= static_cast<float>(n);
        PerformEventForInstance(instance, instance, EVENT_OTHER, 7);
    } else if (instance->image_index < 0) {
        instance->image_index += static_cast<float>(n);
        PerformEventForInstance(instance, instance, EVENT_OTHER, 7);
    }
}

void DoAStep()
{
    const int64_t now = static_cast<int64_t>(Timing_Microseconds());
    delta_time = now - StepClock;
    StepClock = now;

    Timing_Push(0xFF808080u, "Garbage Collector");
    GC_Collect();
    Timing_Pop();
    Game_ApplyQueuedLoad();
    Timing_Push(0xFF00FF00u, "IO&Kivo");
    IO_Update();
    Kivo_Tick();
    Timing_Pop();
    if (GameOptions.pauseWhenInactive && GR_Window_Handle && !GR_Window_HasFocus()) return;

    Timing_Push(0xFF0000FFu, "Update");
    CGameRoom* current = Run_Room;
    bool anyTimeline = false, anyPath = false;
    if (current) {
        for (CInstance* instance = current->activeInstances.first; instance;) {
            CInstance* next = instance->m_next;
            instance->xprevious = instance->x;
            instance->yprevious = instance->y;
            instance->path_positionprevious = instance->path_position;
            Instance_AnimateImage(instance);
            anyTimeline = anyTimeline || instance->timeline_running;
            anyPath = anyPath || instance->path_index >= 0;
            instance = next;
        }
        current->UpdateLayerAnimation();
    }

    const bool stepGoesOn = UpdatePasses(anyTimeline, anyPath);
    Timing_Pop();
    if (!stepGoesOn) return;

    Timing_Push(0xFF00FFFFu, "Draw");
    if (Run_Room) Run_Room->RemoveMarkedInstances();
    if (DrawEventsEnabled) {
        DrawFrame();
        UpdateActiveLists();
    }
    Timing_Pop();
    Timing_Push(0xFF008080u, "Scroll");
    if (Run_Room) Run_Room->ScrollBackgrounds();
    UpdateActiveLists();
    ++StepCounter;
    Timing_Pop();
}

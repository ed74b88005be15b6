#include "Runner/Run_Main.h"

#include <cmath>
#include <cstdlib>

#include "Base/Console.h"
#include "Base/Timing.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/DebugOverlay.h"
#include "IO/IO_Main.h"
#include "World/Room_Class.h"
#include "GameData/GameHeader.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Room.h"
#include "Runner/Run_Step.h"
#include "Runner/Runner_Entry.h"
#include "Debug/Debug_Main.h"
#include "Debug/Profiler.h"
#include "Code/Code_Profiler.h"
#include "Options/Runner_Options.h"
#include "Graphics/Graphics_Display.h"
#include "IO/IO_Input.h"
#include "Runner/GameChunks.h"
#include "Sound/Audio_Main.h"

bool FramePacing = true;

namespace {
int64_t g_LastFrameTime = 0;
int64_t g_CountedSecond = 0;
int32_t g_FramesCounted = 0;
// The seed the script object model's random numbers start from at every game start.
constexpr unsigned kRandomSeed = 2101988;

int64_t Now()
{
    return static_cast<int64_t>(Timing_Microseconds());
}
}  // namespace

int64_t Run_FrameWait(double rate, int64_t elapsed)
{
    if (!(rate > 0)) return 0;
    float w = 1000000.0f / static_cast<float>(rate) - static_cast<float>(elapsed);
    if (w < 0) w = 0;
    if (w > 1000000.0f) w = 1000000.0f;
    return static_cast<int64_t>(w);
}

double Run_TargetRate()
{
    if (LayerMode) {
        GameFrameTimer.Tick();
        if (!(GameFrameTimer.targetRate > 0)) return 0;
        const double rate = GameFrameTimer.GetFPS();
        // Truncating a rate below one frame per second would leave nothing to divide by.
        return rate >= 1 ? std::floor(rate) : rate;
    }
    if (Run_Room) {
        if (Run_Room->speed <= 0) Run_Room->speed = 1;
        return Run_Room->speed;
    }
    return 60;
}

void Run_Start()
{
    if (MainLoopRunning == 0) {
        MainLoopRunning = 1;
        Run_StartGame();
    }
    MainLoopRunning = 1;
    DebuggerPause = false;
    Run_EnterMainLoop();
    if (ProfileDumpFile) CProfiler::Init(ProfileDumpFile, ProfileDumpFrames);
    // A quit handled while the game was starting (a slow start-up outlasting
    // a SIGTERM) still ends the run: the game starts and ends at once.
    if (Runner_QuitRequested()) MainLoopRunning = 0;
}

void Run_EnterMainLoop()
{
    g_LastFrameTime = g_CountedSecond = Now();
    fps = 0;
    g_FramesCounted = 0;
    DispatchPendingMessages();
    VerboseConsole->Output("**********************************.\n");
    VerboseConsole->Output("Entering main loop.\n");
    VerboseConsole->Output("**********************************.\n");
    StepClock = Now();
}

void Run_Frame()
{
    CProfiler::FrameStart();
    int64_t now = Now();
    if (now < g_LastFrameTime) g_LastFrameTime = now;
    const double rate = Run_TargetRate();
    int64_t elapsed = now - g_LastFrameTime;
    // The frame's pace is the game's: the time spent measuring it does not count.
    if (Code_ProfilerActive) elapsed -= static_cast<int64_t>(CProfiler::LastOverhead());
    const int64_t wait = Run_FrameWait(rate, elapsed);
    if (FramePacing) {
        Timing_Push(0xFF804040u, "TimingWait");
        {
            const ProfilerSection section(SECTION_ROOM_SPEED_SYNC);
            IO_Sleep(wait);
        }
        Timing_Pop();
    }
    if (MainLoopRunning == 0) {
        CProfiler::FrameEnd();
        return;
    }

    now = Now();
    g_LastFrameTime = now;
    if (now < g_CountedSecond) g_CountedSecond = now;
    if (now / 1000000 > g_CountedSecond / 1000000) {
        fps = g_FramesCounted;
        g_FramesCounted = 0;
        g_CountedSecond = now;
    }
    ++g_FramesCounted;
    {
        const ProfilerSection section(SECTION_SOUND_TICK);
        SoundHardware_Update();
    }

    if (!DebuggerPause) {
        if (DeviceResetCountdown > 1) {
            GR_D3D_ApplyWindowSize();
            --DeviceResetCountdown;
        } else if (DeviceResetCountdown == 1) {
            GR_D3D_Reset();
            DeviceResetCountdown = 0;
        }
        Start_Frame();
        CProfiler::StepStart();
        DoAStep();
        CProfiler::StepEnd();
        IO_DrawVirtualButtons();
        End_Frame(PendingRoomCode < 0 && DrawEventsEnabled);
        int32_t code = PendingRoomCode;
        if (PendingGameChange.pending) code = ROOMCODE_QUIT;
        PendingRoomCode = code;
        if (code == ROOMCODE_END || code == ROOMCODE_QUIT) {
            MainLoopRunning = 0;
            return;
        }
        if (code == ROOMCODE_RESTART) {
            Run_EndGame();
            Gamepad_AnnounceConnected();
            Run_StartGame();
            std::srand(kRandomSeed);
        } else if (code >= 0) {
            SwitchRoom(code);
        }
    }
    CProfiler::FrameEnd();
    Debug_Update();
}

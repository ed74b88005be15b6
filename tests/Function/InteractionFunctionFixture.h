#pragma once
// The "Interaction.." and "Gamepad.." groups through the built-in function
// table, with input arriving as SDL events through the real message pump.
#include <SDL2/SDL.h>

#include "Function/Function_Gamepad.h"
#include "Function/Function_Interaction.h"
#include "Function/MathFunctionFixture.h"
#include "GameData/GameHeader.h"
#include "Host/Host_Dialog.h"
#include "Host/Host_Window.h"
#include "IO/IO_Main.h"
#include "Runner/Run_Main.h"
#include "Runner/Runner_Entry.h"

struct InteractionFunctions : MathFunctions {
    HeadlessDialog dialog;

    void SetUp() override
    {
        MathFunctions::SetUp();
        ASSERT_TRUE(HostWindow_InitVideo());
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        HostWindow_ResetMessages();
        Host_Dialog_Set(&dialog);
        MainLoopRunning = true;
        InitInteractionFunctions();
        InitGamepadFunctions();
        IO_Init();
        IO_Update();
    }
    void TearDown() override
    {
        Host_Dialog_Set(nullptr);
        MathFunctions::TearDown();
    }
    // The built-ins of a game of the given major version (joysticks or gestures).
    static void Register(bool layerMode)
    {
        LayerMode = layerMode;
        CodeFunction_FreeAll();
        InitInteractionFunctions();
    }

    static void Key(SDL_Scancode scancode, bool down)
    {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }
    static void Button(uint8_t button, bool down, int x = 0, int y = 0)
    {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
    static void Wheel(int y)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.y = y;
        SDL_PushEvent(&event);
    }
    // One frame's input: the pump, then the update.
    static void Frame()
    {
        DispatchPendingMessages();
        IO_SnapshotPointerEvents();
        IO_Update();
    }
};

#include "World/Event_Input.h"

#include "Code/Code_Profiler.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "IO/IO_Main.h"
#include "World/Event_Drivers.h"
#include "World/Event_Main.h"
#include "World/Gesture_Main.h"
#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"

namespace {
// This frame's mouse position in room coordinates, taken once per mouse pass.
int32_t g_MouseX = 0, g_MouseY = 0;

bool Eligible(const CInstance* instance, uint64_t pass)
{
    return instance && !instance->m_marked && !instance->m_deactivated && instance->m_creationStep <= pass;
}

void Perform(int32_t kind, int32_t subKind, bool atCursor)
{
    const uint64_t pass = EventPassCounter++;
    const float mx = static_cast<float>(g_MouseX), my = static_cast<float>(g_MouseY);
    Event_WalkListed(kind, subKind, [&](CInstance* instance) {
        if (!Eligible(instance, pass)) return;
        if (atCursor && !instance->CollisionPoint(mx, my, true)) return;
        PerformEventForInstance(instance, instance, kind, subKind);
    });
}

void HeldGroup()
{
    bool any = false;
    for (int b = 1; b <= 3; ++b) {
        if (!IO_CheckButton(b, 0) && !IO_CheckButtonPressed(b, 0)) continue;
        any = true;
        IO_PerformMouseEventAtCursor(b - 1);
        IO_PerformMouseEvent(49 + b);
    }
    if (!any) IO_PerformMouseEventAtCursor(3);
}
}  // namespace

void IO_PerformKeyboardEvent(int32_t subKind) { Perform(EVENT_KEYBOARD, subKind, false); }
void IO_PerformKeyPressEvent(int32_t subKind) { Perform(EVENT_KEYPRESS, subKind, false); }
void IO_PerformKeyReleaseEvent(int32_t subKind) { Perform(EVENT_KEYRELEASE, subKind, false); }
void IO_PerformMouseEvent(int32_t subKind) { Perform(EVENT_MOUSE, subKind, false); }
void IO_PerformJoystickEvent(int32_t subKind) { Perform(EVENT_MOUSE, subKind, false); }
void IO_PerformMouseEventAtCursor(int32_t subKind) { Perform(EVENT_MOUSE, subKind, true); }

void IO_HandleKeyboardEvents()
{
    bool anyHeld = false, anyPressed = false, anyReleased = false;
    for (int k = 8; k <= 255; ++k) {
        const bool pressed = IO_CheckKeyPressed(k) != 0;
        if (IO_CheckKey(k) || pressed) {
            anyHeld = true;
            IO_PerformKeyboardEvent(k);
            if (pressed) {
                anyPressed = true;
                IO_PerformKeyPressEvent(k);
            }
        }
        if (IO_CheckKeyReleased(k)) {
            anyReleased = true;
            IO_PerformKeyReleaseEvent(k);
        }
    }
    IO_PerformKeyboardEvent(anyHeld ? 1 : 0);
    IO_PerformKeyPressEvent(anyPressed ? 1 : 0);
    IO_PerformKeyReleaseEvent(anyReleased ? 1 : 0);
}

void IO_HandleMouseEnterLeave()
{
    constexpr int32_t kEnter = 10, kLeave = 11;
    const uint64_t v = EventPassCounter++;
    const float mx = static_cast<float>(g_MouseX), my = static_cast<float>(g_MouseY);
    auto update = [&](CInstance* instance) {
        if (!instance || instance->m_marked || instance->m_deactivated || instance->m_creationStep >= v) return;
        // Raising the serial to v updates an instance once when its object has both events.
        instance->m_creationStep = v;
        const uint8_t now = instance->CollisionPoint(mx, my, true) ? 1 : 2;
        instance->m_mouseOver = static_cast<uint8_t>(((now ^ (instance->m_mouseOver & 3)) << 2) | now);
    };
    Event_WalkListed(EVENT_MOUSE, kEnter, update);
    Event_WalkListed(EVENT_MOUSE, kLeave, update);
    auto fire = [](int32_t subKind, uint8_t bits) {
        const uint64_t pass = EventPassCounter++;
        Event_WalkListed(EVENT_MOUSE, subKind, [&](CInstance* instance) {
            if (Eligible(instance, pass) && (instance->m_mouseOver & bits) == bits)
                PerformEventForInstance(instance, instance, EVENT_MOUSE, subKind);
        });
    };
    fire(kEnter, 0x5);
    fire(kLeave, 0xA);
}

void IO_HandleMouseEvents()
{
    const ProfilerSection section(SECTION_HANDLE_MOUSE);
    Gesture_Update();
    g_MouseX = GR_Window_DeviceMouseX(0);
    g_MouseY = GR_Window_DeviceMouseY(0);
    // Games before layers see the held buttons before the presses.
    if (!LayerMode) HeldGroup();
    for (int b = 1; b <= 3; ++b) {
        if (!IO_CheckButtonPressed(b, 0)) continue;
        IO_PerformMouseEventAtCursor(3 + b);
        IO_PerformMouseEvent(12);
        IO_PerformMouseEvent(52 + b);
    }
    if (LayerMode) HeldGroup();
    for (int b = 1; b <= 3; ++b) {
        if (!IO_CheckButtonReleased(b, 0)) continue;
        IO_PerformMouseEventAtCursor(6 + b);
        IO_PerformMouseEvent(13);
        IO_PerformMouseEvent(55 + b);
    }
    IO_HandleMouseEnterLeave();
    if (IO_CheckWheelUp(0)) IO_PerformMouseEvent(60);
    if (IO_CheckWheelDown(0)) IO_PerformMouseEvent(61);
}

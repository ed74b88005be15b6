#include "IO/Gamepad_Class.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Base/Console.h"
#include "IO/IO_Async.h"
#include "IO/IO_Input.h"

namespace {
std::vector<GamepadState*> g_Slots;

bool IsAxisAsButton(int code) { return (code & GAMEPAD_AXIS_AS_BUTTON) != 0; }

// Mapping columns, gp_face1 (32769) onward; slots 0..3 take the first.
const int kControllerButtons[16] = {12, 13, 14, 15, 8, 9, 10, 11, 5, 4, 6, 7, 0, 1, 2, 3};
const int kRawButtons[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x1021, 0x3021, 0x3020, 0x1020};
const int kControllerAxes[4] = {0, 0x8001, 2, 0x8003};
const int kRawAxes[4] = {0, 1, 2, 5};
constexpr int kFirstButtonConstant = 32769;  // gp_face1
constexpr int kFirstAxisConstant = 32785;    // gp_axislh
}  // namespace

GamepadState::GamepadState(int buttonCount_, int axisCount_)
    : buttonCount(buttonCount_), axisCount(axisCount_), previousButtons(static_cast<size_t>(buttonCount_)),
      buttons(static_cast<size_t>(buttonCount_)), axes(static_cast<size_t>(axisCount_)),
      previousAxes(static_cast<size_t>(axisCount_))
{
    VerboseConsole->Output("GAMEPAD: %d axis values (last) at 0x%x\n", axisCount,
                           static_cast<unsigned>(reinterpret_cast<uintptr_t>(previousAxes.data())));
}

float GamepadState::AxisAsButton(int code, const std::vector<float>& values) const
{
    const bool negative = (code & GAMEPAD_AXIS_NEGATIVE) != 0;
    const int index = code & ~(GAMEPAD_AXIS_AS_BUTTON | GAMEPAD_CODE_IGNORED | GAMEPAD_AXIS_NEGATIVE);
    // An axis past the record reads as resting.
    if (index < 0 || index >= axisCount) return 0.0f;
    const float v = values[static_cast<size_t>(index)];
    if (negative) return v < -axisDeadZone ? -v : 0.0f;
    return v > axisDeadZone ? v : 0.0f;
}

float GamepadState::ButtonValue(int code) const
{
    if (code < 0) return 0.0f;
    if (IsAxisAsButton(code)) return AxisAsButton(code, axes);
    return code < buttonCount ? buttons[static_cast<size_t>(code)] : 0.0f;
}

bool GamepadState::ButtonDown(int code) const
{
    if (code < 0) return false;
    if (IsAxisAsButton(code)) return AxisAsButton(code, axes) >= buttonThreshold;
    return code < buttonCount && buttons[static_cast<size_t>(code)] >= buttonThreshold;
}

bool GamepadState::ButtonPressed(int code) const
{
    if (code < 0) return false;
    if (IsAxisAsButton(code))
        return AxisAsButton(code, axes) >= buttonThreshold && AxisAsButton(code, previousAxes) < buttonThreshold;
    if (code >= buttonCount) return false;
    const size_t i = static_cast<size_t>(code);
    return buttons[i] >= buttonThreshold && previousButtons[i] < buttonThreshold;
}

bool GamepadState::ButtonReleased(int code) const
{
    if (code < 0) return false;
    if (IsAxisAsButton(code))
        return AxisAsButton(code, axes) < buttonThreshold && AxisAsButton(code, previousAxes) >= buttonThreshold;
    if (code >= buttonCount) return false;
    const size_t i = static_cast<size_t>(code);
    return buttons[i] < buttonThreshold && previousButtons[i] >= buttonThreshold;
}

float GamepadState::AxisValue(int code) const
{
    if (code < 0) return 0.0f;
    if (code & GAMEPAD_AXIS_READS_BUTTON) {
        const int button = code & ~GAMEPAD_AXIS_READS_BUTTON;
        return button < buttonCount ? buttons[static_cast<size_t>(button)] : 0.0f;
    }
    float sign = 1.0f;
    if (code & GAMEPAD_AXIS_NEGATE) {
        sign = -1.0f;
        code &= ~GAMEPAD_AXIS_NEGATE;
    }
    if (code >= axisCount) return 0.0f;
    const float v = axes[static_cast<size_t>(code)];
    const float dz = axisDeadZone;
    if (!(dz > 0.0f)) return sign * v;
    if (std::fabs(v) < dz) return 0.0f;
    const float s = v >= 0.0f ? 1.0f : -1.0f;
    if (dz >= 1.0f) return sign * s;
    return sign * s * (std::fabs(v) - dz) / (1.0f - dz);
}

void GamepadState::StoreValues(const float* newButtons, const float* newAxes)
{
    previousButtons = buttons;
    previousAxes = axes;
    std::copy(newButtons, newButtons + buttonCount, buttons.begin());
    std::copy(newAxes, newAxes + axisCount, axes.begin());
}

void GamepadState::SetConnected(bool flag)
{
    const bool was = connected != 0;
    connected = flag ? 1 : 0;
    if (was != flag) {
        IO_PostAsync(IO_ASYNC_SYSTEM, {IO_AsyncText("event_type", flag ? "gamepad discovered" : "gamepad lost"),
                                       IO_AsyncNumber("pad_index", Gamepad_SlotOf(this))});
    }
    if (!flag) {
        std::fill(previousButtons.begin(), previousButtons.end(), 0.0f);
        std::fill(buttons.begin(), buttons.end(), 0.0f);
        std::fill(axes.begin(), axes.end(), 0.0f);
        std::fill(previousAxes.begin(), previousAxes.end(), 0.0f);
    }
}

void GamepadState::SetDescription(const char* text)
{
    if (!text || std::strcmp(text, description) == 0) return;
    std::strncpy(description, text, sizeof description - 1);
    description[sizeof description - 1] = 0;
}

void GamepadState::SetVibration(float left, float right)
{
    vibrationLeft = std::clamp(left, 0.0f, 1.0f);
    vibrationRight = std::clamp(right, 0.0f, 1.0f);
}

void Gamepad_SetCount(int count)
{
    OutputConsole->Output("Attempting to set gamepadcount to %d\n", count);
    if (count < 0) count = 0;
    if (static_cast<size_t>(count) != g_Slots.size()) g_Slots.resize(static_cast<size_t>(count), nullptr);
}

int Gamepad_Count() { return static_cast<int>(g_Slots.size()); }

GamepadState* Gamepad_Get(int slot)
{
    if (slot < 0 || slot >= Gamepad_Count()) return nullptr;
    return g_Slots[static_cast<size_t>(slot)];
}

void Gamepad_Put(int slot, GamepadState* pad)
{
    if (slot >= 0 && slot < Gamepad_Count()) g_Slots[static_cast<size_t>(slot)] = pad;
}

int Gamepad_SlotOf(const GamepadState* pad)
{
    for (size_t i = 0; i < g_Slots.size(); ++i)
        if (g_Slots[i] == pad) return static_cast<int>(i);
    return -1;
}

int Gamepad_MapButton(int slot, int code)
{
    if (code < 32768) return code;
    const int i = code - kFirstButtonConstant;
    if (i < 0 || i >= 16) return 0;
    return slot < GAMEPAD_CONTROLLER_SLOTS ? kControllerButtons[i] : kRawButtons[i];
}

int Gamepad_MapAxis(int slot, int code)
{
    if (code < 32768) return code;
    const int i = code - kFirstAxisConstant;
    if (i < 0 || i >= 4) return 0;
    return slot < GAMEPAD_CONTROLLER_SLOTS ? kControllerAxes[i] : kRawAxes[i];
}

void Gamepad_AnnounceConnected()
{
    for (int slot = 0; slot < Gamepad_Count(); ++slot) {
        const GamepadState* pad = Gamepad_Get(slot);
        if (pad && pad->connected)
            IO_PostAsync(IO_ASYNC_SYSTEM, {IO_AsyncText("event_type", "gamepad discovered"),
                                           IO_AsyncNumber("pad_index", slot)});
    }
}

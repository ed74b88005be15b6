// The raw joystick back end: eight pads after the controller slots for the
// joysticks that are not game controllers, bound to devices as they come and
// go, polled into 128 button and 40 axis values.
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Host/Host_Gamepad.h"
#include "IO/Gamepad_Class.h"
#include "IO/IO_Input.h"
#include "Options/Runner_Options.h"

namespace {
constexpr int kPads = 8;
constexpr int kButtons = 128;
constexpr int kAxes = 40;

struct Device {
    int32_t instanceId;
    std::string name;
    GamepadState* pad;
};

std::array<std::unique_ptr<GamepadState>, kPads> g_Pads;
// Free pads, taken from the back: pad 0 first, a freed pad next.
std::vector<GamepadState*> g_FreePads;
// Newest first, as enumerated devices are put at the front.
std::vector<Device> g_Devices;

GamepadState* TakePad()
{
    if (g_FreePads.empty()) return nullptr;
    GamepadState* pad = g_FreePads.back();
    g_FreePads.pop_back();
    return pad;
}

std::vector<Device> Enumerate()
{
    HostJoypadDevice found[64];
    const int n = HostJoypad_Enumerate(found, 64);
    std::vector<Device> list;
    for (int i = 0; i < n; ++i) list.insert(list.begin(), Device{found[i].instanceId, found[i].name, nullptr});
    return list;
}

void BuildValues(const HostJoypadState& state, float* buttons, float* axes)
{
    for (int i = 0; i < kButtons; ++i) buttons[i] = i < state.buttonCount && state.buttons[i] ? 1.0f : 0.0f;
    for (int i = 0; i < 32; ++i) axes[i] = i < state.axisCount ? state.axes[i] * (1.0f / 32768.0f) : 0.0f;
    for (int h = 0; h < HOSTPAD_RAW_HATS; ++h) {
        const uint32_t hat = state.hats[h];
        if ((hat & 0xFFFF) == 0xFFFF) {
            axes[32 + 2 * h] = axes[33 + 2 * h] = 0.0f;
            continue;
        }
        const float theta = static_cast<float>(hat) * 3.141592f / 18000.0f;
        axes[32 + 2 * h] = std::sin(theta);
        axes[33 + 2 * h] = std::cos(theta);
    }
}
}  // namespace

void DirectInput_CreatePads()
{
    g_FreePads.clear();
    for (int i = 0; i < kPads; ++i) g_Pads[static_cast<size_t>(i)] = std::make_unique<GamepadState>(kButtons, kAxes);
    for (int i = kPads - 1; i >= 0; --i) g_FreePads.push_back(g_Pads[static_cast<size_t>(i)].get());
}

int DirectInput_Init()
{
    if (NoDirectInput) {
        Gamepads_Create(0);
        return -1;
    }
    if (!g_Pads[0]) DirectInput_CreatePads();
    if (!HostPad_Available()) {
        Gamepads_Create(kPads);
        return -1;
    }
    g_Devices.clear();
    for (Device& device : Enumerate()) {
        if (HostJoypad_Open(device.instanceId)) g_Devices.push_back(device);
    }
    Gamepads_Create(kPads);
    return static_cast<int>(g_Devices.size());
}

void DirectInput_BindPads(int firstSlot, int count)
{
    int bound = 0;
    for (Device& device : g_Devices) {
        if (bound++ >= count) break;
        device.pad = TakePad();
        if (device.pad) device.pad->SetDescription(device.name.c_str());
    }
    for (int i = 0; i < count && i < kPads; ++i) Gamepad_Put(firstSlot + i, g_Pads[static_cast<size_t>(i)].get());
}

void DirectInput_Poll()
{
    static float buttons[kButtons], axes[kAxes];
    for (Device& device : g_Devices) {
        HostJoypadState state;
        if (!HostJoypad_Poll(device.instanceId, &state)) {
            if (device.pad) device.pad->SetConnected(false);
            continue;
        }
        if (!device.pad) continue;
        BuildValues(state, buttons, axes);
        device.pad->StoreValues(buttons, axes);
        device.pad->SetConnected(true);
    }
}

void DirectInput_Rescan()
{
    if (!HostPad_Available() || !g_Pads[0]) return;
    std::vector<Device> old = std::move(g_Devices);
    g_Devices.clear();
    for (Device& found : Enumerate()) {
        bool kept = false;
        for (size_t i = 0; i < old.size(); ++i) {
            if (old[i].instanceId != found.instanceId) continue;
            g_Devices.insert(g_Devices.begin(), old[i]);
            old.erase(old.begin() + static_cast<std::ptrdiff_t>(i));
            kept = true;
            break;
        }
        if (kept || !HostJoypad_Open(found.instanceId)) continue;
        found.pad = TakePad();
        if (found.pad) {
            found.pad->SetDescription(found.name.c_str());
            found.pad->SetConnected(true);
        }
        g_Devices.insert(g_Devices.begin(), found);
    }
    for (Device& gone : old) {
        if (gone.pad) {
            gone.pad->SetConnected(false);
            gone.pad->description[0] = 0;
            g_FreePads.push_back(gone.pad);
        }
        HostJoypad_Close(gone.instanceId);
    }
}

void DirectInput_Free()
{
    for (Device& device : g_Devices) HostJoypad_Close(device.instanceId);
    g_Devices.clear();
    g_FreePads.clear();
    for (auto& pad : g_Pads) pad.reset();
}

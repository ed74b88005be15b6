// The controller back end: slots 0..3 on the host's game controllers, and
// the per-frame poll and release of both back ends.
#include <array>
#include <cstdio>
#include <memory>

#include "Base/Console.h"
#include "GameData/GameHeader.h"
#include "Host/Host_Gamepad.h"
#include "IO/Gamepad_Class.h"
#include "IO/IO_Input.h"
#include "IO/LoadSave.h"
#include "Options/Runner_Options.h"

namespace {
bool g_Loaded = false;
bool g_Warned = false;
std::array<std::unique_ptr<GamepadState>, GAMEPAD_CONTROLLER_SLOTS> g_Pads;

// Polling is a feature the game data can switch off.
bool Enabled() { return g_Loaded && (GameGeneral.featureMask & 4) != 0; }

// The description by the kind of controller; other kinds leave it as it is.
const char* DescriptionOf(HostControllerKind kind)
{
    switch (kind) {
    case HOSTPAD_KIND_GAMEPAD: return "Xbox 360 Controller (XInput STANDARD GAMEPAD)";
    case HOSTPAD_KIND_WHEEL: return "Xbox 360 Controller (XInput WHEEL)";
    case HOSTPAD_KIND_ARCADE_STICK: return "Xbox 360 Controller (XInput ARCADE STICK)";
    case HOSTPAD_KIND_FLIGHT_STICK: return "Xbox 360 Controller (XInput FLIGHT STICK)";
    case HOSTPAD_KIND_DANCE_PAD: return "Xbox 360 Controller (XInput DANCE PAD)";
    case HOSTPAD_KIND_GUITAR: return "Xbox 360 Controller (XInput GUITAR)";
    case HOSTPAD_KIND_DRUM_KIT: return "Xbox 360 Controller (XInput DRUM KIT)";
    default: return nullptr;
    }
}

void SetDescription(int i)
{
    HostControllerKind kind = HOSTPAD_KIND_OTHER;
    if (!HostController_GetKind(i, &kind)) return;
    if (const char* text = DescriptionOf(kind)) g_Pads[static_cast<size_t>(i)]->SetDescription(text);
}

void Disconnect(GamepadState* pad)
{
    pad->description[0] = 0;
    pad->SetConnected(false);
}

void CheckConnection(int i)
{
    GamepadState* pad = g_Pads[static_cast<size_t>(i)].get();
    if (!pad) return;
    if (!HostController_GetState(i, nullptr)) {
        if (pad->connected) Disconnect(pad);
        else pad->SetConnected(false);
        return;
    }
    if (!pad->connected) {
        pad->SetConnected(true);
        SetDescription(i);
    }
}

void UpdatePad(int i, const HostControllerState& state)
{
    GamepadState* pad = g_Pads[static_cast<size_t>(i)].get();
    float buttons[16];
    for (int b = 0; b < 16; ++b) buttons[b] = (state.buttons >> b) & 1u ? 1.0f : 0.0f;
    buttons[10] = state.leftTrigger * (1.0f / 256.0f);
    buttons[11] = state.rightTrigger * (1.0f / 256.0f);
    const float axes[4] = {state.thumbLX * (1.0f / 32768.0f), state.thumbLY * (1.0f / 32768.0f),
                           state.thumbRX * (1.0f / 32768.0f), state.thumbRY * (1.0f / 32768.0f)};
    pad->StoreValues(buttons, axes);
    HostController_SetRumble(i, static_cast<uint16_t>(pad->vibrationLeft * 65535.0f),
                             static_cast<uint16_t>(pad->vibrationRight * 65535.0f));
}
}  // namespace

bool XInput_Load()
{
    if (!g_Loaded) {
        g_Loaded = HostPad_Init();
        // A controller database beside the game adds to the host's own mappings.
        char path[1024];
        LoadSave_MakeBundlePath(path, sizeof path, "gamecontrollerdb.txt");
        if (g_Loaded && LoadSave_FileExists(path)) HostPad_AddMappingsFromFile(path);
    }
    return g_Loaded;
}

bool XInput_IsLoaded() { return g_Loaded; }

void XInput_WarnMissing()
{
    if (g_Loaded || g_Warned) return;
    g_Warned = true;
    LogConsole->Output("!!!!! %s not found. Gamepad support disabled\n", "game controller subsystem");
}

void Gamepads_Create(int rawPads)
{
    Gamepad_SetCount(GAMEPAD_CONTROLLER_SLOTS + rawPads);
    for (int i = 0; i < GAMEPAD_CONTROLLER_SLOTS; ++i) {
        g_Pads[static_cast<size_t>(i)] = std::make_unique<GamepadState>(16, 4);
        Gamepad_Put(i, g_Pads[static_cast<size_t>(i)].get());
    }
    if (!NoDirectInput) DirectInput_BindPads(GAMEPAD_CONTROLLER_SLOTS, rawPads);
    if (Enabled())
        for (int i = 0; i < GAMEPAD_CONTROLLER_SLOTS; ++i) CheckConnection(i);
}

void XInput_PollConnections()
{
    if (!Enabled()) return;
    for (int i = 0; i < GAMEPAD_CONTROLLER_SLOTS; ++i) CheckConnection(i);
}

void Gamepads_Update()
{
    if (!NoDirectInput) DirectInput_Poll();
    if (!Enabled()) return;
    for (int i = 0; i < GAMEPAD_CONTROLLER_SLOTS; ++i) {
        GamepadState* pad = g_Pads[static_cast<size_t>(i)].get();
        if (!pad || !pad->connected) continue;
        HostControllerState state{};
        if (HostController_GetState(i, &state)) UpdatePad(i, state);
        else Disconnect(pad);
    }
}

void Gamepads_Free()
{
    if (Gamepad_Count() > 0) Gamepad_SetCount(0);
    for (auto& pad : g_Pads) pad.reset();
    if (!NoDirectInput) DirectInput_Free();
    HostPad_CloseAll();
}

void Gamepads_Reset()
{
    Gamepads_Free();
    DirectInput_Free();
    g_Loaded = g_Warned = false;
}

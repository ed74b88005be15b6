#pragma once
// Input devices and services beside the keyboard and mouse state: gamepads
// and joysticks, virtual buttons, input recording and playback, and the
// platform pause event, called from the window procedure, the per-frame
// input update and the frame.
#include <cstddef>
#include <cstdint>
#include <vector>

// Gamepads (Gamepad_Class.h has the slots themselves).
void DirectInput_CreatePads();
int DirectInput_Init();  // usable raw devices, -1 when off or unavailable
void DirectInput_Rescan();
void XInput_PollConnections();
void Gamepads_Update();
void Gamepads_Free();
// Gamepads already connected are announced to the game again (a restart).
void Gamepad_AnnounceConnected();

// The platform pause event: set when the window loses activation to another
// program, taken by the platform's frame tick.
extern bool Kivo_PauseRegistered;
void Kivo_RegisterPauseEvent();

// Virtual buttons: rectangles on the GUI layer that act as keys or mouse
// buttons while touched (a held left button counts as a touch).
struct IO_VirtualButton {
    uint16_t flags;  // bit 0 active, bit 1 shown; 0: a free entry
    uint16_t id;     // index in the table; game code holds id + 1
    int32_t x, y, right, bottom, w, h;
    int32_t u, v;    // image position on the texture; kept, not drawn
    int32_t key;     // key code pressed, 0 for none
    int32_t button;  // mouse button pressed when key is 0
};
constexpr uint16_t IO_VBUTTON_ACTIVE = 1;
constexpr uint16_t IO_VBUTTON_SHOWN = 2;
constexpr int IO_VIRTUAL_BUTTONS = 128;

class IniFile;
void IO_CreateVirtualButtons();
void IO_FreeVirtualButtons();
// Reads "IO_VIRTUAL_BUTTONS" of options.ini. The buttons enter the table when
// it is made and again after every room end, so they last for the whole game.
void IO_LoadVirtualButtons(IniFile* ini);
void IO_UpdateVirtualButtons();
void IO_DrawVirtualButtons();
// Frees every entry added by the game (a room end).
void IO_ClearVirtualButtons();
// The first free entry, null when every entry is in use or there is no table.
IO_VirtualButton* IO_AllocVirtualButton();
void IO_DeleteVirtualButton(int index);
// Entry index of the table, null outside it.
IO_VirtualButton* IO_GetVirtualButton(int index);
int IO_VirtualButtonCount();
// The saved-game section (tag 851): appended to out; read back from data,
// with the bytes taken in *used. False for a wrong tag or a short section.
void IO_SaveVirtualButtonState(std::vector<uint8_t>* out);
bool IO_LoadVirtualButtonState(const uint8_t* data, size_t size, size_t* used);

// What the virtual buttons need of the layers above: key and button constants
// by name, the window-to-GUI mapping, and the drawing of white triangles in
// window pixels. Set by Runner_InstallHooks; until then (and for a null
// slot): no constants, GUI = window, nothing drawn.
struct IO_VirtualButtonHooks {
    bool (*lookupConstant)(const char* name, int32_t* value);
    void (*windowToGui)(int x, int y, int* guiX, int* guiY);
    // GUI size (-1 unset), back-buffer size and the drawn area's top-left.
    void (*drawArea)(int* guiW, int* guiH, int* backW, int* backH, int* left, int* top);
    void (*drawTriangles)(const float* xy, int vertexCount);
};
// Returns the hooks it replaces.
IO_VirtualButtonHooks IO_VirtualButton_SetHooks(const IO_VirtualButtonHooks& hooks);

// Input recording and playback (-record, -playback): one 3034-byte frame record
// per frame.
constexpr size_t IO_RECORD_SIZE = 3034;
bool IO_OpenRecordFile();
void IO_PlaybackFrame();
void IO_RecordFrame();
void IO_CloseRecordFile();
// Whether playback has ended (past the last record, or at a bad one).
bool IO_PlaybackEnded();
// The frame state's recorded fields to and from one record.
void IO_WriteFrameRecord(uint8_t* out);
// False, changing nothing, when the record is not one this runner wrote.
bool IO_ReadFrameRecord(const uint8_t* record);

// Virtual buttons: a table of 128 rectangles on the GUI layer, hit-tested
// against the pointer events each frame and turned into key and mouse-button
// flags of the frame state.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "IO/IO_Input.h"
#include "IO/IO_Main.h"
#include "IO/IniFile.h"

namespace {
bool NoConstant(const char*, int32_t*) { return false; }
void WindowIsGui(int x, int y, int* guiX, int* guiY)
{
    *guiX = x;
    *guiY = y;
}
void NoArea(int*, int*, int*, int*, int*, int*) {}
void NoTriangles(const float*, int) {}
IO_VirtualButtonHooks s_hooks = {NoConstant, WindowIsGui, NoArea, NoTriangles};
std::vector<IO_VirtualButton> g_Table;  // empty: no table
std::string g_Texture;
uint32_t g_PreviousMask = 0;
// The buttons of options.ini, entered whenever the table is made or cleared.
std::vector<IO_VirtualButton> g_IniButtons;

constexpr int32_t kSaveTag = 851;

int32_t ConstantValue(const char* name)
{
    int32_t value = 0;
    if (s_hooks.lookupConstant(name, &value)) return value & 0xFF;
    return 0;
}

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

int32_t DecodeKey(const char* text)
{
    if (!text) return 0;
    if (StartsWith(text, "VK_")) return ConstantValue(text);
    if (StartsWith(text, "MB_")) return 0;
    const unsigned char first = static_cast<unsigned char>(text[0]);
    return (first == 0 || std::isspace(first)) ? 0 : first;
}

int32_t DecodeButton(const char* text)
{
    return text && StartsWith(text, "MB_") ? ConstantValue(text) : 0;
}

void EnterIniButtons()
{
    for (const IO_VirtualButton& button : g_IniButtons) {
        IO_VirtualButton* entry = IO_AllocVirtualButton();
        if (!entry) return;
        const uint16_t id = entry->id;
        *entry = button;
        entry->id = id;
    }
}

void SetFlags(uint8_t* held, uint8_t* pressed, uint8_t* released, int index, bool touched, bool changed)
{
    if (touched && changed) pressed[index] = 1;
    if (touched && !changed) held[index] = 1;
    if (!touched && changed) released[index] = 1;
}

void PutS32(std::vector<uint8_t>* out, int32_t v)
{
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}
void PutS16(std::vector<uint8_t>* out, uint16_t v)
{
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}
int32_t GetS32(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
}  // namespace

void IO_CreateVirtualButtons()
{
    g_Table.assign(IO_VIRTUAL_BUTTONS, IO_VirtualButton{});
    for (int i = 0; i < IO_VIRTUAL_BUTTONS; ++i) g_Table[static_cast<size_t>(i)].id = static_cast<uint16_t>(i);
    g_PreviousMask = 0;
    EnterIniButtons();
}

void IO_FreeVirtualButtons()
{
    g_Table.clear();
    g_PreviousMask = 0;
}

void IO_LoadVirtualButtons(IniFile* ini)
{
    g_IniButtons.clear();
    g_Texture.clear();
    if (!ini) return;
    const int n = ini->ReadInt("IO_VIRTUAL_BUTTONS", "NUM_BUTTONS", 0);
    if (const char* texture = ini->ReadString("IO_VIRTUAL_BUTTONS", "TEXTURE", nullptr)) g_Texture = texture;
    for (int i = 0; i < n && i < IO_VIRTUAL_BUTTONS; ++i) {
        const std::string section = "IO_BUTTON_" + std::to_string(i);
        const char* s = section.c_str();
        IO_VirtualButton b{};
        b.flags = IO_VBUTTON_ACTIVE;
        b.x = ini->ReadInt(s, "X", 0);
        b.y = ini->ReadInt(s, "Y", 0);
        b.w = ini->ReadInt(s, "W", 0);
        b.h = ini->ReadInt(s, "H", 0);
        b.u = ini->ReadInt(s, "U", 0);
        b.v = ini->ReadInt(s, "V", 0);
        b.right = b.x + b.w;
        b.bottom = b.y + b.h;
        b.key = DecodeKey(ini->ReadString(s, "KEY", nullptr));
        b.button = DecodeButton(ini->ReadString(s, "BUTTON", nullptr));
        g_IniButtons.push_back(b);
    }
    if (!g_Table.empty()) EnterIniButtons();
}

void IO_UpdateVirtualButtons()
{
    if (g_Table.empty()) return;
    uint32_t mask = 0;
    for (IO_PointerEvent& event : IO_Input.pointerEvents) {
        if (!(event.flags & 0x80000000u)) continue;
        int gx = event.x, gy = event.y;
        s_hooks.windowToGui(event.x, event.y, &gx, &gy);
        // Only the first 32 entries have a bit in the mask.
        for (int j = 0; j < 32; ++j) {
            const IO_VirtualButton& b = g_Table[static_cast<size_t>(j)];
            if ((b.flags & IO_VBUTTON_ACTIVE) && b.x <= gx && gx < b.right && b.y <= gy && gy < b.bottom)
                mask |= 1u << j;
        }
        event.flags = 0;
    }
    const uint32_t changed = mask ^ g_PreviousMask;
    IO_InputState& s = IO_Input;
    for (int j = 0; j < 32; ++j) {
        const IO_VirtualButton& b = g_Table[static_cast<size_t>(j)];
        if (!(b.flags & IO_VBUTTON_ACTIVE)) continue;
        const bool touched = (mask >> j) & 1u, change = (changed >> j) & 1u;
        if (b.key != 0) {
            if (b.key >= 0 && b.key <= 255) SetFlags(s.keyHeld, s.keyPressed, s.keyReleased, b.key, touched, change);
        } else if (b.button >= 1 && b.button <= 3) {
            SetFlags(s.buttonHeld, s.buttonPressed, s.buttonReleased, b.button - 1, touched, change);
        }
    }
    g_PreviousMask = mask;
}

void IO_DrawVirtualButtons()
{
    int shown = 0;
    for (const IO_VirtualButton& b : g_Table)
        if (b.flags & IO_VBUTTON_SHOWN) ++shown;
    if (shown == 0) return;
    int guiW = -1, guiH = -1, backW = 0, backH = 0, left = 0, top = 0;
    s_hooks.drawArea(&guiW, &guiH, &backW, &backH, &left, &top);
    const float W = static_cast<float>(guiW == -1 ? backW : guiW), H = static_cast<float>(guiH == -1 ? backH : guiH);
    if (W <= 0 || H <= 0) return;
    const float drawnW = static_cast<float>(backW - 2 * left), drawnH = static_cast<float>(backH - 2 * top);
    std::vector<float> xy;
    xy.reserve(static_cast<size_t>(shown) * 12);
    for (const IO_VirtualButton& b : g_Table) {
        if (!(b.flags & IO_VBUTTON_SHOWN)) continue;
        const float x0 = b.x / W * drawnW + left, x1 = b.right / W * drawnW + left;
        const float y0 = b.y / H * drawnH + top, y1 = b.bottom / H * drawnH + top;
        for (float v : {x0, y0, x1, y0, x1, y1, x1, y1, x0, y1, x0, y0}) xy.push_back(v);
    }
    s_hooks.drawTriangles(xy.data(), shown * 6);
}

void IO_ClearVirtualButtons()
{
    for (IO_VirtualButton& b : g_Table) b.flags = 0;
    EnterIniButtons();
}

IO_VirtualButton* IO_AllocVirtualButton()
{
    for (IO_VirtualButton& b : g_Table)
        if (b.flags == 0) return &b;
    return nullptr;
}

void IO_DeleteVirtualButton(int index)
{
    if (IO_VirtualButton* b = IO_GetVirtualButton(index)) b->flags = 0;
}

IO_VirtualButton* IO_GetVirtualButton(int index)
{
    if (index < 0 || index >= static_cast<int>(g_Table.size())) return nullptr;
    return &g_Table[static_cast<size_t>(index)];
}

int IO_VirtualButtonCount() { return static_cast<int>(g_Table.size()); }

void IO_SaveVirtualButtonState(std::vector<uint8_t>* out)
{
    PutS32(out, kSaveTag);
    PutS32(out, static_cast<int32_t>(g_Table.size()));
    for (const IO_VirtualButton& b : g_Table) {
        PutS16(out, b.flags);
        PutS16(out, b.id);
        for (int32_t v : {b.x, b.y, b.right, b.bottom, b.w, b.h, b.u, b.v, b.key, b.button}) PutS32(out, v);
    }
}

bool IO_LoadVirtualButtonState(const uint8_t* data, size_t size, size_t* used)
{
    constexpr size_t kEntry = 4 + 10 * 4;
    if (!data || size < 8 || GetS32(data) != kSaveTag) return false;
    const int32_t count = GetS32(data + 4);
    if (count < 0 || size - 8 < static_cast<size_t>(count) * kEntry) return false;
    if (g_Table.empty() && count > 0) IO_CreateVirtualButtons();
    const uint8_t* p = data + 8;
    // The table holds 128 entries; saved entries past them are read and dropped.
    for (int32_t i = 0; i < count; ++i, p += kEntry) {
        if (i >= IO_VIRTUAL_BUTTONS) continue;
        IO_VirtualButton& b = g_Table[static_cast<size_t>(i)];
        b.flags = static_cast<uint16_t>(p[0] | p[1] << 8);
        b.id = static_cast<uint16_t>(p[2] | p[3] << 8);
        int32_t* fields[] = {&b.x, &b.y, &b.right, &b.bottom, &b.w, &b.h, &b.u, &b.v, &b.key, &b.button};
        for (int f = 0; f < 10; ++f) *fields[f] = GetS32(p + 4 + 4 * f);
    }
    if (used) *used = 8 + static_cast<size_t>(count) * kEntry;
    return true;
}

IO_VirtualButtonHooks IO_VirtualButton_SetHooks(const IO_VirtualButtonHooks& hooks)
{
    const IO_VirtualButtonHooks previous = s_hooks;
    s_hooks.lookupConstant = hooks.lookupConstant ? hooks.lookupConstant : NoConstant;
    s_hooks.windowToGui = hooks.windowToGui ? hooks.windowToGui : WindowIsGui;
    s_hooks.drawArea = hooks.drawArea ? hooks.drawArea : NoArea;
    s_hooks.drawTriangles = hooks.drawTriangles ? hooks.drawTriangles : NoTriangles;
    return previous;
}

// The room built-ins: each edits the definition of the room at an index of
// the room table. A missing room, or a background or view slot outside 0-7,
// leaves everything as it was.
#include "Function/Function_Room.h"

#include <algorithm>
#include <iterator>

#include "Background/Background_Main.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Function/Function_RealArray.h"
#include "GameData/GameHeader.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "room"); }
int I(Args a, int n) { return Arg_Int32(a, n); }
float F(Args a, int n) { return static_cast<float>(Arg_Real(a, n)); }

CGameRoom* Target(int argc, Args a, int count)
{
    if (!Need(argc, count)) return nullptr;
    return Room_Get(I(a, 0));
}

bool InSlots(int32_t slot) { return slot >= 0 && slot < ROOM_VIEWS; }

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Room_Exists(I(a, 0)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetString(r, Room_Name(I(a, 0)));
}
void F_Add(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, Room_Add()); }
void F_Duplicate(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    ScriptValue_SetReal(r, Room_Exists(index) ? Room_Duplicate(index) : -1.0);
}
void F_Assign(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    if (!Room_Assign(I(a, 0), I(a, 1))) ReportRuntimeError("Error assigning a room.", false);
}

void F_SetWidth(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameRoom* room = Target(argc, a, 2)) room->width = I(a, 1);
}
void F_SetHeight(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameRoom* room = Target(argc, a, 2)) room->height = I(a, 1);
}
void F_SetPersistent(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameRoom* room = Target(argc, a, 2)) room->persistent = Arg_Bool(a, 1);
}

// A tracked copy of the text replaces the old one.
void ReplaceText(char** field, const char* text)
{
    char* copy = DupString(text);
    QS_FREE(*field);
    *field = copy;
}
void F_SetCaption(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameRoom* room = Target(argc, a, 2)) ReplaceText(&room->caption, Arg_String(a, 1));
}
void F_SetCode(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameRoom* room = Target(argc, a, 2)) ReplaceText(&room->creationCodeName, Arg_String(a, 1));
}

void F_SetBackgroundColour(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CGameRoom* room = Target(argc, a, 3);
    if (!room) return;
    room->colour = static_cast<uint32_t>(I(a, 1));
    room->showColour = Arg_Bool(a, 2);
}
void F_SetViewEnabled(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameRoom* room = Target(argc, a, 2)) room->enableViews = Arg_Bool(a, 1);
}

void F_SetBackground(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CGameRoom* room = Target(argc, a, 12);
    const int32_t slot = room ? I(a, 1) : -1;
    if (!room || !InSlots(slot)) return;
    RoomBackground& b = room->backgrounds[slot];
    b.visible = Arg_Bool(a, 2);
    b.foreground = Arg_Bool(a, 3);
    b.index = I(a, 4);
    b.x = F(a, 5);
    b.y = F(a, 6);
    b.tileX = Arg_Bool(a, 7);
    b.tileY = Arg_Bool(a, 8);
    b.xscale = b.yscale = 1.0f;
    b.hspeed = F(a, 9);
    b.vspeed = F(a, 10);
    b.alpha = F(a, 11);
}

RoomView* ViewSlot(int argc, Args a, int count)
{
    CGameRoom* room = Target(argc, a, count);
    const int32_t slot = room ? I(a, 1) : -1;
    return room && InSlots(slot) ? &room->views[slot] : nullptr;
}

void F_SetView(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    RoomView* v = ViewSlot(argc, a, 16);
    if (!v) return;
    v->visible = Arg_Bool(a, 2);
    v->viewX = F(a, 3);
    v->viewY = F(a, 4);
    v->viewWidth = F(a, 5);
    v->viewHeight = F(a, 6);
    v->portX = I(a, 7);
    v->portY = I(a, 8);
    v->portWidth = I(a, 9);
    v->portHeight = I(a, 10);
    v->borderH = I(a, 11);
    v->borderV = I(a, 12);
    v->hspeed = I(a, 13);
    v->vspeed = I(a, 14);
    v->followObject = I(a, 15);
}

void F_SetViewport(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    RoomView* v = ViewSlot(argc, a, 7);
    if (!v) return;
    v->visible = Arg_Bool(a, 2);
    v->portX = I(a, 3);
    v->portY = I(a, 4);
    v->portWidth = I(a, 5);
    v->portHeight = I(a, 6);
}

void F_GetViewport(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const RoomView* v = ViewSlot(argc, a, 2);
    if (!v && argc < 2) return;
    double values[5] = {0, 0, 0, 0, 0};
    if (v) {
        values[0] = v->visible ? 1 : 0;
        values[1] = v->portX;
        values[2] = v->portY;
        values[3] = v->portWidth;
        values[4] = v->portHeight;
    }
    Function_ReturnRealArray(r, 5, values);
}

void F_GetCamera(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    const RoomView* v = ViewSlot(argc, a, 2);
    ScriptValue_SetReal(r, v ? v->camera : -1.0);
}
void F_SetCamera(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (RoomView* v = ViewSlot(argc, a, 3)) v->camera = I(a, 2);
}

void F_InstanceAdd(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    CGameRoom* room = Target(argc, a, 4);
    if (!room && argc < 4) return;
    ScriptValue_SetReal(r, room ? room->AddInstanceDef(F(a, 1), F(a, 2), I(a, 3)) : -1.0);
}
// The definitions stay: the room is only looked up.
void F_InstanceClear(ScriptValue*, CInstance*, CInstance*, int argc, Args a) { Target(argc, a, 1); }

void TileAdd(ScriptValue* r, int argc, Args a, bool extended)
{
    if (!Need(argc, extended ? 12 : 9)) return;
    CGameRoom* room = Room_Get(I(a, 0));
    const int32_t background = I(a, 1);
    int32_t width = 0, height = 0;
    ScriptValue_SetReal(r, -1.0);
    if (!Background_GetSize(background, &width, &height))
        return ReportRuntimeError("Background does not exist.", false);
    if (!room) return;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFFu;
    if (extended) {
        xscale = F(a, 9);
        yscale = F(a, 10);
        const double alpha = std::clamp(Arg_Real(a, 11), 0.0, 1.0);
        colour = static_cast<uint32_t>(alpha * 255.0) << 24 | 0xFFFFFFu;
    }
    const int32_t id = room->AddTileDef(background, I(a, 2), I(a, 3), I(a, 4), I(a, 5), static_cast<float>(I(a, 6)),
                                        static_cast<float>(I(a, 7)), I(a, 8), xscale, yscale, colour);
    ScriptValue_SetReal(r, id);
}
void F_TileAdd(ScriptValue* r, CInstance*, CInstance*, int argc, Args a) { TileAdd(r, argc, a, false); }
void F_TileAddExt(ScriptValue* r, CInstance*, CInstance*, int argc, Args a) { TileAdd(r, argc, a, true); }
void F_TileClear(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameRoom* room = Target(argc, a, 1)) room->ClearTileDefs();
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};

const Entry kHead[] = {
    {"room_name", F_GetName, 1},
    {"room_exists", F_Exists, 1},
    {"room_get_name", F_GetName, 1},
    {"room_set_width", F_SetWidth, 2},
    {"room_set_height", F_SetHeight, 2},
    {"room_set_caption", F_SetCaption, 2},
    {"room_set_persistent", F_SetPersistent, 2},
    {"room_set_code", F_SetCode, 2},
    {"room_set_background_color", F_SetBackgroundColour, 3},
    {"room_set_background_colour", F_SetBackgroundColour, 3},
    {"room_set_background", F_SetBackground, 12},
};
const Entry kOldViews[] = {{"room_set_view", F_SetView, 16}};
const Entry kNewViews[] = {{"room_set_viewport", F_SetViewport, 7}, {"room_get_viewport", F_GetViewport, 2}};
const Entry kTail[] = {
    {"room_set_view_enabled", F_SetViewEnabled, 2},
    {"room_add", F_Add, 0},
    {"room_duplicate", F_Duplicate, 1},
    {"room_assign", F_Assign, 2},
    {"room_instance_add", F_InstanceAdd, 4},
    {"room_instance_clear", F_InstanceClear, 1},
    {"room_tile_add", F_TileAdd, 9},
    {"room_tile_add_ext", F_TileAddExt, 12},
    {"room_tile_clear", F_TileClear, 1},
};
const Entry kCameras[] = {{"room_get_camera", F_GetCamera, 2}, {"room_set_camera", F_SetCamera, 3}};

void Register(const Entry* entries, size_t count)
{
    for (size_t k = 0; k < count; ++k) CodeFunction_Register(entries[k].name, entries[k].routine, entries[k].args, 0);
}
}  // namespace

void InitRoomFunctions()
{
    Register(kHead, std::size(kHead));
    if (LayerMode)
        Register(kNewViews, std::size(kNewViews));
    else
        Register(kOldViews, std::size(kOldViews));
    Register(kTail, std::size(kTail));
    if (LayerMode) Register(kCameras, std::size(kCameras));
}

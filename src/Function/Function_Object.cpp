// The object built-ins: argument checks around the objects table. A missing
// object gives -1 from the index getters, false from the flag getters, and
// no change from the setters.
#include "Function/Function_Object.h"

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "GameData/GameHeader.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"

void Object_SetParent(CGameObject* object, int32_t parent)
{
    object->parent = parent;
    if (parent >= 0 && parent <= 999999) object->parentObject = Object_Get(parent);
}

namespace {

using Args = ScriptValue*;

constexpr uint32_t kSolid = 1, kVisible = 2, kPersistent = 4, kCollisions = 16;

bool Need(int argc, int count) { return Arg_Need(argc, count, "object"); }
int I(Args a, int n) { return Arg_Int32(a, n); }

CGameObject* Target(int argc, Args a, int count)
{
    if (!Need(argc, count)) return nullptr;
    return Object_Get(I(a, 0));
}

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Object_IsValid(I(a, 0)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetString(r, Object_NameOf(I(a, 0)));
}

template <typename Field>
void Index(ScriptValue* r, int argc, Args a, Field field)
{
    const CGameObject* o = Target(argc, a, 1);
    ScriptValue_SetReal(r, o ? field(o) : -1.0);
}
void F_GetSprite(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Index(r, argc, a, [](const CGameObject* o) { return double(o->sprite); });
}
void F_GetDepth(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Index(r, argc, a, [](const CGameObject* o) { return double(o->depth); });
}
void F_GetParent(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Index(r, argc, a, [](const CGameObject* o) { return double(o->parent); });
}
void F_GetMask(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Index(r, argc, a, [](const CGameObject* o) { return double(o->mask); });
}

void FlagOf(ScriptValue* r, int argc, Args a, uint32_t bit)
{
    const CGameObject* o = Target(argc, a, 1);
    ScriptValue_SetReal(r, o && (o->flags & bit) ? 1.0 : 0.0);
}
void F_GetSolid(ScriptValue* r, CInstance*, CInstance*, int argc, Args a) { FlagOf(r, argc, a, kSolid); }
void F_GetVisible(ScriptValue* r, CInstance*, CInstance*, int argc, Args a) { FlagOf(r, argc, a, kVisible); }
void F_GetPersistent(ScriptValue* r, CInstance*, CInstance*, int argc, Args a) { FlagOf(r, argc, a, kPersistent); }
void F_GetPhysics(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CGameObject* o = Target(argc, a, 1);
    ScriptValue_SetReal(r, o && o->usesPhysics ? 1.0 : 0.0);
}

void F_IsAncestor(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    const CGameObject* o = Target(argc, a, 2);
    ScriptValue_SetReal(r, o && o->HasAncestor(I(a, 1)) ? 1.0 : 0.0);
}

void F_SetSprite(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameObject* o = Target(argc, a, 2)) o->sprite = I(a, 1);
}
void F_SetDepth(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameObject* o = Target(argc, a, 2)) o->depth = I(a, 1);
}
void F_SetMask(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGameObject* o = Target(argc, a, 2)) o->mask = I(a, 1);
}

void SetFlag(int argc, Args a, uint32_t bit)
{
    CGameObject* o = Target(argc, a, 2);
    if (!o) return;
    if (Arg_Bool(a, 1))
        o->flags |= bit;
    else
        o->flags &= ~bit;
}
void F_SetSolid(ScriptValue*, CInstance*, CInstance*, int argc, Args a) { SetFlag(argc, a, kSolid); }
void F_SetVisible(ScriptValue*, CInstance*, CInstance*, int argc, Args a) { SetFlag(argc, a, kVisible); }
void F_SetPersistent(ScriptValue*, CInstance*, CInstance*, int argc, Args a) { SetFlag(argc, a, kPersistent); }
void F_SetCollisions(ScriptValue*, CInstance*, CInstance*, int argc, Args a) { SetFlag(argc, a, kCollisions); }

void F_SetParent(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    const int32_t index = I(a, 0), parent = I(a, 1);
    CGameObject* o = Object_Get(index);
    if (index == parent || !o) return;
    if (parent < 0) {
        o->parent = -1;
        return;
    }
    CGameObject* p = Object_Get(parent);
    if (!p) return ReportRuntimeError("Setting a non-existing parent.", false);
    if (p->HasAncestor(index)) return ReportRuntimeError("Creating a cycle in the parent relation.", false);
    Object_SetParent(o, parent);
    Object_BuildEventLists();
}

void F_Add(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, Object_CreateEmpty()); }

void F_Delete(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Object_IsValid(index)) {
        ReportRuntimeError("Trying to delete non-existing object.", false);
        return ScriptValue_SetReal(r, 0.0);
    }
    Object_Remove(index);
    ScriptValue_SetReal(r, 1.0);
}

void F_EventAdd(ScriptValue*, CInstance*, CInstance*, int, Args)
{
    LogConsole->Output("object_event_add :: deprecated function\n");
}

// The event and its code stay; the per-event lists are rebuilt.
void F_EventClear(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CGameObject* o = Target(argc, a, 3);
    if (o && o->GetEvent(I(a, 1), I(a, 2))) Object_BuildEventLists();
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};

const Entry kHead[] = {
    {"object_name", F_GetName, 1},       {"object_exists", F_Exists, 1},         {"object_get_name", F_GetName, 1},
    {"object_get_sprite", F_GetSprite, 1}, {"object_get_solid", F_GetSolid, 1}, {"object_get_visible", F_GetVisible, 1},
};
// Depth is an object setting only in games without layers.
const Entry kDepth[] = {
    {"object_get_depth", F_GetDepth, 1},
    {"object_set_depth", F_SetDepth, 2},
};
const Entry kTail[] = {
    {"object_get_persistent", F_GetPersistent, 1},
    {"object_get_mask", F_GetMask, 1},
    {"object_get_parent", F_GetParent, 1},
    {"object_get_physics", F_GetPhysics, 1},
    {"object_is_ancestor", F_IsAncestor, 2},
    {"object_set_sprite", F_SetSprite, 2},
    {"object_set_solid", F_SetSolid, 2},
    {"object_set_visible", F_SetVisible, 2},
    {"object_set_persistent", F_SetPersistent, 2},
    {"object_set_mask", F_SetMask, 2},
    {"object_set_parent", F_SetParent, 2},
    {"object_set_collisions", F_SetCollisions, 2},
    {"object_add", F_Add, 0},
    {"object_delete", F_Delete, 1},
    {"object_event_clear", F_EventClear, 3},
    {"object_event_add", F_EventAdd, 4},
};
}  // namespace

void InitObjectFunctions()
{
    for (const Entry& e : kHead) CodeFunction_Register(e.name, e.routine, e.args, 0);
    if (!LayerMode)
        for (const Entry& e : kDepth) CodeFunction_Register(e.name, e.routine, e.args, 0);
    for (const Entry& e : kTail) CodeFunction_Register(e.name, e.routine, e.args, 0);
}

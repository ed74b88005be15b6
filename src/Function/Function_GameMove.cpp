// The movement, place, position and collision built-ins of the instance and
// motion group.
#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"
#include "Function/Function_Game.h"
#include "World/Instance.h"
#include "World/Run_Command.h"

namespace {
constexpr double kNoInstance = -4;

void SetInstance(ScriptValue* result, const CInstance* instance)
{
    ScriptValue_SetReal(result, instance ? instance->id : kNoInstance);
}

void SetFlag(ScriptValue* result, bool flag) { ScriptValue_SetReal(result, flag ? 1.0 : 0.0); }

// -1 and -2 name self and other by id; -2 stays when there is no other.
int32_t MeetingTarget(int32_t target, CInstance* self, CInstance* other)
{
    if (target == -1 && self) return self->id;
    if (target == -2 && other) return other->id;
    return target;
}
}  // namespace

void F_MoveRandom(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Random(self, Arg_Int32(args, 0), Arg_Int32(args, 1));
}

void F_PlaceFree(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetFlag(result, Place_Free(self, Arg_Float(args, 0), Arg_Float(args, 1)));
}

void F_PlaceEmpty(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetFlag(result, Place_Empty(self, Arg_Float(args, 0), Arg_Float(args, 1)));
}

void F_PlaceMeeting(ScriptValue* result, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1);
    const int32_t target = MeetingTarget(Arg_Int32(args, 2), self, other);
    SetFlag(result, target != -4 && Instance_Place(self, x, y, target) != nullptr);
}

void F_PlaceSnapped(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetFlag(result, Place_Snapped(self, Arg_Real(args, 0), Arg_Real(args, 1)));
}

void F_MoveSnap(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Snap(self, Arg_Float(args, 0), Arg_Float(args, 1));
}

void F_MoveTowardsPoint(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_TowardsPoint(self, Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2));
}

void F_MoveContact(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    const float direction = Arg_Float(args, 0);
    if (!self) return;
    if (Place_Free(self, self->x, self->y))
        Move_Contact(self, direction, -1, false);
    else
        Move_Outside(self, direction, -1, false);
}

void F_MoveContactSolid(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Contact(self, Arg_Float(args, 0), Arg_Float(args, 1), false);
}

void F_MoveContactAll(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Contact(self, Arg_Float(args, 0), Arg_Float(args, 1), true);
}

void F_MoveOutsideSolid(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Outside(self, Arg_Float(args, 0), Arg_Float(args, 1), false);
}

void F_MoveOutsideAll(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Outside(self, Arg_Float(args, 0), Arg_Float(args, 1), true);
}

void F_MoveBounceSolid(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Bounce(self, Arg_Bool(args, 0), false);
}

void F_MoveBounceAll(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Bounce(self, Arg_Bool(args, 0), true);
}

void F_MoveWrap(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Move_Wrap(self, Arg_Bool(args, 0), Arg_Bool(args, 1), Arg_Float(args, 2));
}

void F_DistanceToPoint(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Distance_ToPoint(self, Arg_Real(args, 0), Arg_Real(args, 1)));
}

void F_DistanceToObject(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Distance_ToObject(self, Arg_Int32(args, 0)));
}

void F_CollisionPoint(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Collision_FindAtPoint(self, Arg_Float(args, 0), Arg_Float(args, 1), Arg_Int32(args, 2),
                                              Arg_Bool(args, 3), Arg_Bool(args, 4)));
}

void F_CollisionRectangle(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Collision_FindInRectangle(self, Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2),
                                                  Arg_Float(args, 3), Arg_Int32(args, 4), Arg_Bool(args, 5), Arg_Bool(args, 6)));
}

void F_CollisionCircle(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1), r = Arg_Float(args, 2);
    SetInstance(result, Collision_FindInEllipse(self, x - r, y - r, x + r, y + r, Arg_Int32(args, 3), Arg_Bool(args, 4),
                                                Arg_Bool(args, 5)));
}

void F_CollisionEllipse(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Collision_FindInEllipse(self, Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2),
                                                Arg_Float(args, 3), Arg_Int32(args, 4), Arg_Bool(args, 5), Arg_Bool(args, 6)));
}

void F_CollisionLine(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Collision_FindOnLine(self, Arg_Float(args, 0), Arg_Float(args, 1), Arg_Float(args, 2),
                                             Arg_Float(args, 3), Arg_Int32(args, 4), Arg_Bool(args, 5), Arg_Bool(args, 6)));
}

void F_InstancePosition(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Instance_Position(Arg_Float(args, 0), Arg_Float(args, 1), Arg_Int32(args, 2)));
}

void F_InstanceNearest(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Instance_Nearest(Arg_Float(args, 0), Arg_Float(args, 1), Arg_Int32(args, 2)));
}

void F_InstanceFurthest(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Instance_Furthest(Arg_Float(args, 0), Arg_Float(args, 1), Arg_Int32(args, 2)));
}

void F_InstancePlace(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetInstance(result, Instance_Place(self, Arg_Float(args, 0), Arg_Float(args, 1), Arg_Int32(args, 2)));
}

void F_PositionEmpty(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SetFlag(result, Instance_Position(Arg_Float(args, 0), Arg_Float(args, 1), -3) == nullptr);
}

void F_PositionMeeting(ScriptValue* result, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1);
    SetFlag(result, Instance_PositionMeeting(x, y, MeetingTarget(Arg_Int32(args, 2), self, other)));
}

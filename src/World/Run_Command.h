#pragma once
// The back ends of the movement, collision, instance and room commands that
// the built-ins and the action library call. Targets: -3 every active
// instance, 100000 and above an instance id, any other value an object with
// its descendants; marked and deactivated instances are never found. Queries
// give the first instance found, or null.
#include <cstdint>

class CInstance;

// ---------------------------------------------------------------- queries
CInstance* Collision_FindAtPoint(CInstance* self, float x, float y, int32_t target, bool precise, bool notMe);
CInstance* Collision_FindInRectangle(CInstance* self, float x1, float y1, float x2, float y2, int32_t target, bool precise,
                                     bool notMe);
CInstance* Collision_FindInEllipse(CInstance* self, float x1, float y1, float x2, float y2, int32_t target, bool precise,
                                   bool notMe);
CInstance* Collision_FindOnLine(CInstance* self, float x1, float y1, float x2, float y2, int32_t target, bool precise,
                                bool notMe);
// The first instance of the target that would touch self placed at (x, y); self stays where it is.
CInstance* Instance_Place(CInstance* self, float x, float y, int32_t target);
CInstance* Instance_Position(float x, float y, int32_t target);
// position_meeting: with the index, the integer point; otherwise the point as given.
bool Instance_PositionMeeting(float x, float y, int32_t target);
CInstance* Instance_Nearest(float x, float y, int32_t target);
CInstance* Instance_Furthest(float x, float y, int32_t target);
// No instance (Place_Empty) or no solid instance (Place_Free) would touch self at (x, y).
bool Place_Empty(CInstance* self, float x, float y);
bool Place_Free(CInstance* self, float x, float y);
bool Place_Snapped(CInstance* self, double hsnap, double vsnap);
double Distance_ToPoint(CInstance* self, double x, double y);
double Distance_ToObject(CInstance* self, int32_t target);

// ---------------------------------------------------------------- movement
void Move_Random(CInstance* self, int32_t hsnap, int32_t vsnap);
void Move_Snap(CInstance* self, float hsnap, float vsnap);
void Move_TowardsPoint(CInstance* self, float x, float y, float speed);
// maximum <= 0 means 1000 steps; againstAll counts every instance, else solid ones.
void Move_Contact(CInstance* self, float direction, float maximum, bool againstAll);
void Move_Outside(CInstance* self, float direction, float maximum, bool againstAll);
void Move_Bounce(CInstance* self, bool advanced, bool againstAll);
void Move_Wrap(CInstance* self, bool horizontal, bool vertical, float margin);
void Move_WrapBySprite(CInstance* self, bool horizontal, bool vertical);

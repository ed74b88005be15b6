#pragma once
// One live instance of an object in a room: position, motion, sprite and
// image state, collision box, alarms, path and timeline state, its place in
// the room's lists, and one variable slot per instance variable of the game.
#include <cstdint>

#include "Code/ObjectBase.h"
#include "World/Instance_Lookup.h"

class CCode;
class CGameObject;
class IBuffer;
class CGameRoom;
class CSkeletonInstance;
struct PhysicsBody;

// Object mode: gives a new instance its built-in variables as accessor
// properties. The built-in variables sit above the world: set by
// Runner_InstallHooks, until then (and for null) instances get none.
void Instance_SetAccessorHook(void (*addAccessors)(KVObjectBase* object, bool globalNames));

class CInstance : public KVObjectBase {
public:
    CInstance(float x, float y, int32_t id, int32_t objectIndex, bool joinLists);
    ~CInstance() override;

    // Makes this instance a copy of source, id included.
    void CopyFrom(const CInstance* source, bool joinLists);
    // The fields of an object change now; the list changes after the event pass.
    void ChangeObject(int32_t objectIndex);
    // Applies a queued object change to the object lists and the active list.
    void RelinkToObject();
    void RecreatePhysics(CGameRoom* room);
    void CreatePhysicsFixture(CGameRoom* room);
    void SetDeactivated(bool flag);

    int32_t GetImageNumber();
    int32_t GetAlarm(int32_t index) const;
    CSkeletonInstance* GetSkeletonInstance();

    // Setters of the instance variables: each keeps the derived state (the
    // two velocity forms, the box, the spatial index) in step.
    void SetObjectIndex(int32_t objectIndex, bool joinLists);
    void SetSpriteIndex(int32_t sprite);
    void SetPosition(float newX, float newY);
    void SetDirection(float newDirection);
    void SetSpeed(float newSpeed);
    void SetHSpeed(float newHSpeed);
    void SetVSpeed(float newVSpeed);
    void SetImageAngle(float angle);
    void SetImageXScale(float scale);
    void SetImageYScale(float scale);
    void SetMaskIndex(int32_t mask);
    void SetAlarm(int32_t index, int32_t value);
    void SetPathPosition(float position);
    void SetPathPositionPrevious(float position);
    void SetPathSpeed(float newSpeed);

    // Motion: the two velocity forms, friction and gravity, paths.
    void ComputeHVSpeed();
    void ComputeDirectionSpeed();
    void ApplyFrictionGravity();
    // True when an end of the path was passed with a non-zero path speed.
    bool AdvancePath();
    void AddMotion(float dir, float length);
    void SetPath(int32_t path, float newSpeed, float scale, float orientation, bool relative, int32_t endAction);

    // Recomputes bbox_left .. bbox_bottom from the mask sprite, origin,
    // scales and angle, and clears the dirty flag; with updateIndex the
    // spatial index learns the new box.
    void ComputeBoundingBox(bool updateIndex = true);
    // Collision tests against a shape in room coordinates (rectangles and
    // ellipses by two corners, in any order) or another instance. Each brings
    // the box up to date and rejects on it first; a marked instance, or one
    // whose position is not finite, touches nothing.
    bool CollisionPoint(float px, float py, bool precise);
    bool CollisionRectangle(float x1, float y1, float x2, float y2, bool precise);
    bool CollisionEllipse(float x1, float y1, float x2, float y2, bool precise);
    bool CollisionLine(float x1, float y1, float x2, float y2, bool precise);
    bool CollisionInstance(CInstance* other, bool precise);
    // The sprite whose mask the tests use: mask_index, else sprite_index.
    int32_t MaskSpriteIndex() const { return mask_index >= 0 ? mask_index : sprite_index; }

    // The instance's section of a saved game (Instance_Save.cpp). Loading
    // fills a fresh instance; it joins its object's lists only when asked and
    // not deactivated. False when the data ends early or a count cannot fit.
    void SaveToBuffer(IBuffer* buffer);
    bool LoadFromBuffer(IBuffer* buffer, bool joinLists);

    bool m_bboxDirty = true;
    bool visible = false;
    bool solid = false;
    bool persistent = false;
    bool m_marked = false;
    bool m_deactivated = false;
    bool m_destroyDone = false;
    bool m_skipCreate = false;
    bool m_createDone = false;
    uint64_t m_creationStep = 0;
    // Bit 0 the mouse is over the instance, bit 1 it is not, bits 2 and 3 the
    // change of bits 0 and 1 at the last mouse pass (Event_Input.cpp).
    uint8_t m_mouseOver = 2;
    int32_t id = 0;
    int32_t object_index = 0;
    CGameObject* m_object = nullptr;
    PhysicsBody* m_physicsBody = nullptr;
    CSkeletonInstance* m_skeleton = nullptr;
    int32_t sprite_index = 0;  // 0 until an object gives one
    float image_index = 0;
    float image_speed = 1;
    float image_xscale = 1;
    float image_yscale = 1;
    float image_angle = 0;
    float image_alpha = 1;
    uint32_t image_blend = 0xFFFFFF;
    int32_t mask_index = 0;
    bool m_precise = false;
    float x = 0;
    float y = 0;
    float xstart = 0;
    float ystart = 0;
    float xprevious = 0;
    float yprevious = 0;
    float direction = 0;
    float speed = 0;
    float friction = 0;
    float gravity_direction = 270;
    float gravity = 0;
    float hspeed = 0;
    float vspeed = 0;
    int32_t bbox_left = 0;
    int32_t bbox_top = 0;
    int32_t bbox_right = 0;
    int32_t bbox_bottom = 0;
    int32_t alarm[12] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int32_t path_index = -1;
    float path_position = 0;
    float path_positionprevious = 0;
    float path_speed = 0;
    float path_scale = 1;
    float path_orientation = 0;
    int32_t path_endaction = 0;
    float path_xorigin = 0;
    float path_yorigin = 0;
    int32_t timeline_index = -1;
    float m_timelinePrevious = 0;
    float timeline_position = 0;
    float timeline_speed = 1;
    bool timeline_running = false;
    bool timeline_loop = false;
    bool m_outsideRoom = false;
    CCode* m_creationCode = nullptr;
    CGameObject* m_previousObject = nullptr;
    int32_t layer = -1;
    bool m_onLayer = false;
    CInstance* m_next = nullptr;
    CInstance* m_previous = nullptr;
    float depth = 0;
    float m_listDepth = 0;
    int32_t m_collisionStamp = -1;
    uint32_t m_indexSerial = 0;  // the spatial index holding the box; 0 none
    InstanceLink m_changedLink;
    InstanceLink m_movedLink;
    InstanceLink m_withLink;

private:
    // Leaves the lists of the object the instance is in: the previous object
    // while an object change waits to be applied, else the current one.
    void LeaveObjectLists();
};

// Whether (x, y) lies in the ellipse inscribed in the integer rectangle.
bool EllipseContainsPoint(int32_t left, int32_t top, int32_t right, int32_t bottom, float x, float y);

#include "World/Instance.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/GCRegistry.h"
#include "Code/VariableList.h"
#include "World/Event_Drivers.h"
#include "Options/Runner_Options.h"
#include "Animation/SkeletonAnimation_Class.h"
#include "World/InstanceFixture.h"
#include "support/ReportCapture.h"
#include "support/StandIns.h"
#include "support/TestSprites.h"

namespace {
using InstanceRecord = InstanceWorld;
}  // namespace

TEST_F(InstanceRecord, ANewInstanceHasTheDefaultsAndTheObjectsValues)
{
    EventPassCounter = 41;
    CGameObject* parent = NewObject(-1, 0);
    CGameObject* object = NewObject(NewSprite(4), 20, 0x12 | 0x5);
    object->mask = 3;
    object->parentObject = parent;
    CInstance instance(3, 4, 100001, object->index, true);

    EXPECT_EQ(instance.image_blend, 0xFFFFFFu);
    EXPECT_EQ(instance.image_xscale, 1);
    EXPECT_EQ(instance.image_yscale, 1);
    EXPECT_EQ(instance.image_speed, 1);
    EXPECT_EQ(instance.image_alpha, 1);
    EXPECT_EQ(instance.gravity_direction, 270);
    for (int32_t i = 0; i < 12; ++i) EXPECT_EQ(instance.alarm[i], -1);
    EXPECT_EQ(instance.path_index, -1);
    EXPECT_EQ(instance.path_scale, 1);
    EXPECT_EQ(instance.timeline_index, -1);
    EXPECT_EQ(instance.timeline_speed, 1);
    EXPECT_EQ(instance.layer, -1);
    EXPECT_EQ(instance.m_collisionStamp, -1);
    EXPECT_EQ(instance.m_creationStep, 41u);
    EXPECT_EQ(instance.xstart, 3);
    EXPECT_EQ(instance.xprevious, 3);
    EXPECT_EQ(instance.ystart, 4);
    EXPECT_EQ(instance.yprevious, 4);
    EXPECT_EQ(instance.id, 100001);
    EXPECT_TRUE(instance.m_bboxDirty);

    EXPECT_EQ(instance.object_index, object->index);
    EXPECT_EQ(instance.sprite_index, object->sprite);
    EXPECT_EQ(instance.mask_index, 3);
    EXPECT_EQ(instance.depth, 20);
    EXPECT_TRUE(instance.solid);
    EXPECT_TRUE(instance.visible);
    EXPECT_TRUE(instance.persistent);
    EXPECT_EQ(instance.m_kind, OBJECT_KIND_INSTANCE);
    EXPECT_EQ(GCRegistry::At(instance.m_registryIndex), &instance);
    EXPECT_TRUE(InList(object->directInstances, &instance));
    EXPECT_TRUE(InList(parent->allInstances, &instance));
    EXPECT_FALSE(InList(parent->directInstances, &instance));
    EXPECT_EQ(instance.m_withLink.next, &instance.m_withLink);
    EventPassCounter = 0;
}

TEST_F(InstanceRecord, AnInstanceWithoutAnObjectKeepsZeroes)
{
    CInstance instance(0, 0, 0, -1, true);
    EXPECT_EQ(instance.object_index, 0);
    EXPECT_EQ(instance.m_object, nullptr);
    EXPECT_EQ(instance.sprite_index, 0);
    EXPECT_EQ(instance.mask_index, 0);
    EXPECT_FALSE(instance.visible);
    EXPECT_EQ(instance.GetImageNumber(), 0);
}

TEST_F(InstanceRecord, AlarmsOutsideZeroToElevenReadAsOff)
{
    CInstance instance(0, 0, 100000, -1, false);
    instance.alarm[11] = 5;
    EXPECT_EQ(instance.GetAlarm(11), 5);
    EXPECT_EQ(instance.GetAlarm(12), -1);
    EXPECT_EQ(instance.GetAlarm(-1), -1);
}

TEST_F(InstanceRecord, DestructionLeavesTheObjectListsAndTheRegistry)
{
    CGameObject* parent = NewObject(-1, 0);
    CGameObject* object = NewObject(-1, 0);
    object->parentObject = parent;
    auto* instance = new CInstance(0, 0, 100000, object->index, true);
    int32_t entry = instance->m_registryIndex;
    delete instance;
    EXPECT_EQ(object->directInstances.count, 0);
    EXPECT_EQ(object->allInstances.count, 0);
    EXPECT_EQ(parent->allInstances.count, 0);
    EXPECT_EQ(GCRegistry::At(entry), nullptr);
}

TEST_F(InstanceRecord, SettingASpriteResetsAnImageIndexBeyondItsFrames)
{
    int32_t four = NewSprite(4);
    CInstance instance(0, 0, 100000, -1, false);
    instance.image_index = 5.5f;
    instance.SetSpriteIndex(four);
    EXPECT_EQ(instance.image_index, 0);
    instance.image_index = 3.9f;
    instance.SetSpriteIndex(four);
    EXPECT_FLOAT_EQ(instance.image_index, 3.9f);
    instance.SetSpriteIndex(-1);  // no sprite: no frames
    EXPECT_EQ(instance.image_index, 0);
    EXPECT_EQ(instance.sprite_index, -1);
}

TEST_F(InstanceRecord, ASkeletonSpriteReportsTheFramesOfTrackZero)
{
    static const int skeletonData = 1;
    int32_t skeleton = TestSprite_Add({1, 32, 32, SPRITE_KIND_SKELETON, &skeletonData});
    CInstance instance(0, 0, 100000, -1, false);
    instance.SetSpriteIndex(skeleton);
    ASSERT_NE(instance.m_skeleton, nullptr);
    EXPECT_EQ(instance.m_skeleton->data, &skeletonData);
    instance.m_skeleton->trackFrames = 17;
    EXPECT_EQ(instance.GetImageNumber(), 17);
    instance.SetSpriteIndex(NewSprite(6));
    EXPECT_EQ(instance.GetImageNumber(), 6);
}

TEST_F(InstanceRecord, ACopyTakesTheSourcesStateAndVariablesButNotItsPlace)
{
    static const int skeletonData = 2;
    CGameObject* from = NewObject(-1, 0);
    CGameObject* to = NewObject(TestSprite_Add({1, 8, 8, SPRITE_KIND_SKELETON, &skeletonData}), 5);
    CInstance source(10, 20, 100007, to->index, true);
    source.hspeed = 3;
    source.alarm[4] = 9;
    source.path_position = 0.5f;
    source.path_xorigin = 77;
    source.timeline_running = true;
    source.layer = 12;
    source.m_collisionStamp = 4;
    source.m_destroyDone = true;
    source.m_skeleton->trackFrames = 8;
    ScriptValue_InitString(source.SlotAt(2), "shared");
    ScriptValue_SetReal(source.SlotAt(40), 4);

    CInstance copy(0, 0, 100008, from->index, true);
    ScriptValue_SetReal(copy.SlotAt(7), 99);  // not in the source: gone after the copy
    copy.m_creationStep = 3;
    copy.CopyFrom(&source, true);

    EXPECT_EQ(copy.id, 100007);
    EXPECT_EQ(copy.x, 10);
    EXPECT_EQ(copy.hspeed, 3);
    EXPECT_EQ(copy.alarm[4], 9);
    EXPECT_EQ(copy.path_position, 0.5f);
    EXPECT_TRUE(copy.timeline_running);
    EXPECT_EQ(copy.layer, 12);
    EXPECT_EQ(copy.depth, 5);
    EXPECT_EQ(copy.m_object, to);
    EXPECT_TRUE(InList(to->directInstances, &copy));
    EXPECT_FALSE(InList(from->directInstances, &copy));
    // Not copied.
    EXPECT_EQ(copy.path_xorigin, 0);
    EXPECT_EQ(copy.m_collisionStamp, -1);
    EXPECT_FALSE(copy.m_destroyDone);
    EXPECT_EQ(copy.m_creationStep, 3u);
    // Variables: own cells holding counted copies.
    ASSERT_NE(copy.m_slotHash, nullptr);
    EXPECT_EQ(copy.m_slotHash->count, 2);
    EXPECT_NE(copy.SlotAt(2), source.SlotAt(2));
    EXPECT_EQ(copy.SlotAt(2)->str, source.SlotAt(2)->str);
    EXPECT_EQ(source.SlotAt(2)->str->count, 2);
    EXPECT_EQ(copy.SlotAt(40)->real, 4);
    EXPECT_EQ(copy.SlotAt(7)->kind, VALUE_UNSET);
    // The skeleton is a copy of its own.
    ASSERT_NE(copy.m_skeleton, nullptr);
    EXPECT_NE(copy.m_skeleton, source.m_skeleton);
    EXPECT_EQ(copy.GetImageNumber(), 8);
}

TEST_F(InstanceRecord, AnObjectChangeSetsTheFieldsNowAndTheListsAfterThePass)
{
    CGameObject* a = NewObject(NewSprite(10), 5);
    CGameObject* b = NewObject(NewSprite(2), -10, 0x12 | 0x1);
    b->mask = 4;
    CInstance first(0, 0, 100000, a->index, true);
    CInstance changed(0, 0, 100001, a->index, true);
    room.activeInstances.Insert(&first);
    room.activeInstances.Insert(&changed);
    changed.image_index = 7;

    changed.ChangeObject(b->index);
    EXPECT_EQ(changed.object_index, b->index);
    EXPECT_EQ(changed.depth, -10);
    EXPECT_EQ(changed.mask_index, 4);
    EXPECT_TRUE(changed.solid);
    EXPECT_EQ(changed.sprite_index, b->sprite);
    EXPECT_EQ(changed.image_index, 0);
    EXPECT_EQ(changed.m_previousObject, a);
    // Lists unchanged during the pass.
    EXPECT_TRUE(InList(a->directInstances, &changed));
    EXPECT_FALSE(InList(b->directInstances, &changed));
    EXPECT_EQ(room.activeInstances.last, &changed);
    EXPECT_EQ(ObjectChangeQueue.count, 1);
    EXPECT_EQ(DepthChangeQueue.count, 1);

    UpdateActiveLists();
    EXPECT_FALSE(InList(a->directInstances, &changed));
    EXPECT_TRUE(InList(b->directInstances, &changed));
    EXPECT_EQ(changed.m_previousObject, nullptr);
    EXPECT_EQ(room.activeInstances.first, &changed);
    EXPECT_EQ(room.activeInstances.count, 2);
    EXPECT_EQ(ObjectChangeQueue.count + DepthChangeQueue.count, 0);
    room.activeInstances.Remove(&first);
    room.activeInstances.Remove(&changed);
}

TEST_F(InstanceRecord, TwoChangesInOnePassLeaveTheFirstObjectsLists)
{
    CGameObject* a = NewObject(-1, 0);
    CGameObject* b = NewObject(-1, 0);
    CGameObject* c = NewObject(-1, 0);
    CInstance instance(0, 0, 100000, a->index, true);
    instance.ChangeObject(b->index);
    instance.ChangeObject(c->index);
    EXPECT_EQ(instance.m_previousObject, a);
    EXPECT_EQ(ObjectChangeQueue.count, 1);
    UpdateActiveLists();
    EXPECT_EQ(a->directInstances.count, 0);
    EXPECT_EQ(b->directInstances.count, 0);
    EXPECT_TRUE(InList(c->directInstances, &instance));
}

TEST_F(InstanceRecord, InLayerModeAnObjectChangeKeepsTheDepth)
{
    LayerMode = true;
    CGameObject* a = NewObject(-1, 5);
    CGameObject* b = NewObject(-1, 50);
    CInstance instance(0, 0, 100000, a->index, true);
    instance.ChangeObject(b->index);
    EXPECT_EQ(instance.depth, 5);
    EXPECT_EQ(DepthChangeQueue.count, 0);
}

TEST_F(InstanceRecord, AChangeToAMissingObjectLeavesTheInstanceWithoutLists)
{
    CGameObject* a = NewObject(-1, 0);
    CInstance instance(0, 0, 100000, a->index, true);
    instance.ChangeObject(999);
    EXPECT_EQ(instance.m_object, nullptr);
    EXPECT_EQ(instance.object_index, 999);
    UpdateActiveLists();
    EXPECT_EQ(a->directInstances.count, 0);
}

TEST_F(InstanceRecord, DeletingAnInstanceWithAQueuedChangeLeavesNothingBehind)
{
    CGameObject* a = NewObject(-1, 0);
    CGameObject* b = NewObject(-1, 3);
    auto* instance = new CInstance(0, 0, 100000, a->index, true);
    instance->ChangeObject(b->index);
    WithInstanceList::Add(instance);
    delete instance;
    EXPECT_EQ(a->directInstances.count, 0);  // it was still in the first object's lists
    EXPECT_EQ(b->directInstances.count, 0);
    EXPECT_EQ(ObjectChangeQueue.count + DepthChangeQueue.count, 0);
    EXPECT_TRUE(WithInstanceList::IsEmpty());
    UpdateActiveLists();
}

TEST_F(InstanceRecord, ActivationChangesMoveInstancesBetweenTheRoomsLists)
{
    CGameObject* a = NewObject(-1, 0);
    CInstance instance(0, 0, 100000, a->index, true);
    room.activeInstances.Insert(&instance);
    instance.SetDeactivated(true);
    ActivationQueue.AddUnique(&instance);
    UpdateActiveLists();
    EXPECT_EQ(room.activeInstances.count, 0);
    EXPECT_EQ(room.deactivatedInstances.first, &instance);
    EXPECT_EQ(a->directInstances.count, 0);
    // A deactivated instance's object change joins no list.
    instance.ChangeObject(a->index);
    UpdateActiveLists();
    EXPECT_EQ(a->directInstances.count, 0);

    instance.SetDeactivated(false);
    ActivationQueue.AddUnique(&instance);
    UpdateActiveLists();
    EXPECT_EQ(room.activeInstances.first, &instance);
    EXPECT_EQ(room.deactivatedInstances.count, 0);
    EXPECT_EQ(a->directInstances.count, 1);
    room.activeInstances.Remove(&instance);
}

namespace {
struct PhysicsCase {
    const char* name;
    int32_t shape;
    int32_t pointCount;
    float xscale, yscale;
    float mass;  // density 2 times the bound shape's area, 0 for no body
    const char* message;
};

CGameObject* PhysicsObject(CGameObject* object, const char* name, int32_t shape, const ObjectShapePoint* points,
                           int32_t count)
{
    object->name = DupString(name);
    object->usesPhysics = true;
    object->shape = shape;
    object->shapePointCount = count;
    object->shapePoints = new ObjectShapePoint[3]{points[0], points[1], points[2]};
    object->friction = 0.25f;
    object->density = 2;
    return object;
}
}  // namespace

TEST_F(InstanceRecord, PhysicsFixturesFollowTheObjectsShapeAndTheInstancesScale)
{
    // Scaled by 0.1: a circle of radius 1 about (0.2, 0.3); a clockwise
    // triangle of area 0.25.
    static const ObjectShapePoint kPoints[3] = {{2, 3}, {10, 0}, {0, 10}};
    const float pi = 3.14159265f;
    const PhysicsCase cases[] = {
        {"circle", 0, 2, 2, 2, 2 * pi * 2 * 2, ""},
        {"oval", 0, 2, 2, 1, 2 * pi,
         "ERROR!!! :: Image scale for physics object using circle collision should not vary across axes: oval\n\n"},
        {"dot", 0, 1, 1, 1, 0, "ERROR!!! :: Corrupt shape data for dot\n\n"},
        {"poly", 1, 3, 1, 1, 2 * 0.25f, ""},
    };
    int32_t sprite = NewSprite(1);
    for (const PhysicsCase& c : cases) {
        CGameObject* object = PhysicsObject(NewObject(sprite, 0), c.name, c.shape, kPoints, c.pointCount);
        object->kinematic = true;  // density wins: the body is dynamic
        CInstance instance(0, 0, 100000, object->index, false);
        instance.image_xscale = c.xscale;
        instance.image_yscale = c.yscale;
        ReportCapture errors;
        instance.CreatePhysicsFixture(&room);
        EXPECT_EQ(errors.console.text, c.message) << c.name;
        EXPECT_EQ(PhysicsFixture_Count(), 0) << c.name;  // the template is deleted
        PhysicsBody* body = instance.m_physicsBody;
        if (c.mass == 0) {
            EXPECT_EQ(body, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(body, nullptr) << c.name;
        EXPECT_NEAR(body->GetMass(), c.mass, 1e-4f) << c.name;
        EXPECT_FLOAT_EQ(body->GetFriction(0), 0.25f);
        EXPECT_TRUE(body->IsDynamic());
        if (c.shape == 0) {
            const float scale = c.xscale == c.yscale ? c.xscale : 1;
            EXPECT_FLOAT_EQ(body->offsetX, -2 * scale) << c.name;
            EXPECT_FLOAT_EQ(body->offsetY, -3 * scale) << c.name;
        }
    }
}

TEST_F(InstanceRecord, AnObjectWithAShapeOfNoKnownKindBindsNothing)
{
    static const ObjectShapePoint kPoints[3] = {{2, 3}, {10, 0}, {0, 10}};
    CGameObject* object = PhysicsObject(NewObject(NewSprite(1), 0), "other", 7, kPoints, 3);
    CInstance instance(0, 0, 100000, object->index, false);
    {
        ReportCapture errors;
        instance.CreatePhysicsFixture(&room);
        EXPECT_EQ(errors.console.text, "ERROR!!! :: No fixture shape data present for other\n\n");
        EXPECT_TRUE(FatalErrorShown);
    }
    EXPECT_EQ(instance.m_physicsBody, nullptr);
    EXPECT_EQ(world.BodyCount(), 0);
}

TEST_F(InstanceRecord, AMirroredPolygonAddsItsPointsInReverse)
{
    // Clockwise on the screen; mirrored, only the reverse order stays so.
    static const ObjectShapePoint kPoints[3] = {{0, 0}, {10, 0}, {0, 10}};
    CGameObject* object = PhysicsObject(NewObject(NewSprite(1), 0), "mirror", 2, kPoints, 3);
    CInstance instance(0, 0, 100000, object->index, false);
    instance.image_xscale = -1;
    instance.CreatePhysicsFixture(&room);
    ASSERT_NE(instance.m_physicsBody, nullptr);
    EXPECT_NEAR(instance.m_physicsBody->GetMass(), 2 * 0.5f, 1e-4f);
    // The object change rebuilds the body for the new object.
    instance.ChangeObject(object->index);
    ASSERT_NE(instance.m_physicsBody, nullptr);
    EXPECT_EQ(world.BodyCount(), 1);
}

TEST(EllipseContainsPoint, InsideOnAndOutsideTheInscribedEllipse)
{
    struct Case {
        int32_t l, t, r, b;
        float x, y;
        bool inside;
    };
    const Case cases[] = {
        {0, 0, 10, 20, 5, 10, true},   // centre
        {0, 0, 10, 20, 10, 10, true},  // on the rim
        {0, 0, 10, 20, 1, 1, false},   // corner of the box
        {0, 0, 9, 9, 8, 4, true},      // half sizes truncated: centre 4, radius 4
        {0, 0, 9, 9, 8.5f, 4, false},
        {-10, -10, 10, 10, -10, 0, true},
        {5, 5, 5, 9, 5, 7, false},     // flat
    };
    for (const Case& c : cases) EXPECT_EQ(EllipseContainsPoint(c.l, c.t, c.r, c.b, c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST_F(InstanceRecord, InObjectModeACopyTakesTheNamedProperties)
{
    ObjectMode = true;
    CInstance source(0, 0, 100000, -1, false);
    CInstance copy(0, 0, 100001, -1, false);
    ObjectMode = false;
    ASSERT_NE(source.m_properties, nullptr);
    source.AddReal("score", 12, 7);
    copy.AddReal("stale", 1, 7);
    copy.CopyFrom(&source, false);
    ASSERT_NE(copy.m_properties->Find("score"), nullptr);
    EXPECT_EQ(copy.m_properties->Find("score")->value.real, 12);
    EXPECT_EQ(copy.m_properties->Find("stale"), nullptr);
}

#include "World/Object_Main.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Code/Code_Main.h"
#include "World/ChunkBytes.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "GameData/GameData.h"
#include "support/GameFiles.h"
#include "support/LoadedGame.h"

namespace {
using namespace chunkbytes;
using gamedata::EventEntry;
using gamedata::ObjectEntry;

std::vector<uint8_t> ObjectGame(const std::vector<std::optional<ObjectEntry>>& objects, uint8_t format = 15)
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.formatVersion = format;
    w.Gen8(h);
    w.Objt(objects, format);
    return w.Finish();
}

ObjectEntry Named(const char* name)
{
    ObjectEntry o;
    o.name = name;
    return o;
}

struct ObjectTest : LoadedGameTest {};

TEST_F(ObjectTest, EmptySlotsNamesAndObjectsMadeAtRunTime)
{
    ASSERT_TRUE(Load(ObjectGame({Named("obj_a"), Named("obj_b"), std::nullopt, Named("obj_d"), ObjectEntry{}})))
        << GameData_LastError();
    EXPECT_TRUE(Object_IsValid(3));
    EXPECT_FALSE(Object_IsValid(2));
    EXPECT_STREQ(Object_NameOf(2), "<undefined>");
    EXPECT_STREQ(Object_NameOf(1), "obj_b");
    EXPECT_EQ(Object_NameOf(4), nullptr);
    EXPECT_EQ(Object_FindByName("obj_d"), 3);
    EXPECT_EQ(Object_FindByName("OBJ_D"), -1);
    EXPECT_EQ(Object_CreateEmpty(), 5);
    EXPECT_STREQ(Object_NameOf(5), "__newobject5");
    EXPECT_TRUE(Object_Remove(5));
    EXPECT_TRUE(Object_Remove(5));
    EXPECT_FALSE(Object_IsValid(5));
    EXPECT_EQ(Object_CreateEmpty(), 6);
    const CGameObject* made = Object_Get(6);
    EXPECT_EQ(made->flags, 0x12u);
    EXPECT_FALSE(made->usesPhysics);
    EXPECT_EQ(made->events[EVENT_STEP].count, 0);
}

TEST_F(ObjectTest, SpriteMarkerAndFlags)
{
    ObjectEntry plain = Named("plain");
    ObjectEntry marked = Named("marked");
    marked.sprite = 0x80000003u;
    marked.solid = 1;
    marked.visible = 0;
    marked.persistent = 7;
    marked.depth = -20;
    marked.mask = 4;
    ObjectDataMarker = 0;
    ASSERT_TRUE(Load(ObjectGame({plain})));
    EXPECT_EQ(Object_Get(0)->sprite, -1);
    EXPECT_EQ(ObjectDataMarker, 0u);
    ASSERT_TRUE(Load(ObjectGame({plain, marked})));
    const CGameObject* o = Object_Get(1);
    EXPECT_EQ(o->sprite, 3);
    EXPECT_EQ(ObjectDataMarker, 0x80000000u);
    EXPECT_EQ(o->flags, 0x15u);  // solid, persistent, collision-indexed; not visible
    EXPECT_EQ(o->depth, -20);
    EXPECT_EQ(o->mask, 4);
    ObjectDataMarker = 0;
}

TEST_F(ObjectTest, PhysicsFieldsByFormatVersion)
{
    ObjectEntry o = Named("body");
    o.usesPhysics = 1;
    o.sensor = 2;
    o.shape = 1;
    o.density = 0.8f;
    o.friction = 0.6f;
    o.awake = 0;
    o.kinematic = 1;
    o.shapePoints = {{1, 2}, {3, 4}, {5, 6}};
    o.events[EVENT_STEP] = {EventEntry{0, 1}};
    struct Case {
        uint8_t format;
        bool physics;
        float friction;
        bool awake;
        bool kinematic;
    };
    for (const Case& c : {Case{5, false, 0.2f, true, false}, Case{8, true, 0.2f, true, false},
                          Case{15, true, 0.6f, false, true}}) {
        ASSERT_TRUE(Load(ObjectGame({o}, c.format))) << GameData_LastError();
        const CGameObject* body = Object_Get(0);
        EXPECT_EQ(body->usesPhysics, c.physics) << int(c.format);
        EXPECT_FLOAT_EQ(body->friction, c.friction);
        EXPECT_EQ(body->awake, c.awake);
        EXPECT_EQ(body->kinematic, c.kinematic);
        EXPECT_EQ(body->shapePointCount, c.physics ? 3 : 0);
        if (c.physics) {
            EXPECT_TRUE(body->sensor);
            EXPECT_FLOAT_EQ(body->density, 0.8f);
            EXPECT_FLOAT_EQ(body->shapePoints[2].y, 6.0f);
        }
        // The event table was found after the physics fields.
        EXPECT_EQ(body->events[EVENT_STEP].count, 1) << int(c.format);
        testgames::Unload();
    }
}

TEST_F(ObjectTest, EventListsGrowToTheSubKindAndRepeatsReloadTheSameSlot)
{
    ObjectEntry o = Named("stepper");
    o.events[EVENT_STEP] = {EventEntry{2, 4}, EventEntry{0, 5}, EventEntry{2, 6}};
    o.events[EVENT_ALARM] = {EventEntry{1, std::nullopt}};
    ASSERT_TRUE(Load(ObjectGame({o})));
    CGameObject* object = Object_Get(0);
    ASSERT_EQ(object->events[EVENT_STEP].count, 3);
    EXPECT_EQ(object->events[EVENT_STEP].events[1], nullptr);
    ASSERT_NE(object->GetEvent(EVENT_STEP, 2), nullptr);
    EXPECT_EQ(object->GetEvent(EVENT_STEP, 2)->m_code->m_index, 6);
    EXPECT_EQ(object->GetEvent(EVENT_STEP, 0)->m_code->m_index, 5);
    // An event without actions has no code and counts as absent.
    EXPECT_EQ(object->events[EVENT_ALARM].count, 2);
    EXPECT_EQ(object->GetEvent(EVENT_ALARM, 1), nullptr);
    EXPECT_TRUE(object->Prepare());
    EXPECT_TRUE(Object_Prepare());
    EXPECT_NE(log.Text().find("Preparing 1 objects:\n\tObjects 0: stepper\n"), std::string::npos) << log.Text();
}

TEST_F(ObjectTest, InstanceListsAcrossThreeGenerations)
{
    ObjectEntry a = Named("a"), b = Named("b"), c = Named("c");
    b.parent = 0;
    c.parent = 1;
    ASSERT_TRUE(Load(ObjectGame({a, b, c})));
    EXPECT_EQ(Object_Get(2)->parentObject, Object_Get(1));
    EXPECT_TRUE(Object_Get(2)->HasAncestor(0));
    EXPECT_FALSE(Object_Get(0)->HasAncestor(2));
    auto* instance = new CInstance(0, 0, 100001, 2, true);
    EXPECT_EQ(Object_Get(2)->directInstances.count, 1);
    EXPECT_EQ(Object_Get(1)->directInstances.count, 0);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(Object_Get(i)->allInstances.count, 1) << i;
    delete instance;
    EXPECT_EQ(Object_Get(2)->directInstances.count, 0);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(Object_Get(i)->allInstances.count, 0) << i;
}

TEST_F(ObjectTest, BrokenRecordsAreRefusedWithAMessage)
{
    struct Case {
        const char* name;
        std::function<void(ObjectEntry&)> edit;
        std::function<void(std::vector<uint8_t>&)> garble;
        const char* message;
    };
    const auto record = [](const std::vector<uint8_t>& g) { return Record(g, "OBJT", 0); };
    const Case cases[] = {
        {"fifteen kinds", [](ObjectEntry& o) { o.events.resize(15); }, nullptr,
         "OBJT: object 0: event kind count 15 is above 14"},
        {"huge sub-kind", [](ObjectEntry& o) { o.events[EVENT_KEYBOARD] = {EventEntry{200000, 1}}; }, nullptr,
         "OBJT: object 0: sub-kind 200000 of event kind 5 is out of range"},
        {"shape points", nullptr, [&](std::vector<uint8_t>& g) { PutU32(g, record(g) + 64, 0x40000000u); },
         "OBJT: object 0: shape point count 1073741824 is out of range"},
        {"event count",
         [](ObjectEntry& o) { o.events[EVENT_STEP] = {EventEntry{0, 1}}; },
         [&](std::vector<uint8_t>& g) {
             const uint32_t table = record(g) + 80;
             PutU32(g, U32At(g, table + 4 + 4 * EVENT_STEP), 0x01000000u);
         },
         "OBJT: object 0: event count 16777216 of kind 3 does not fit the chunk"},
        {"truncated record", nullptr,
         [](std::vector<uint8_t>& g) { PutU32(g, Payload(g, "OBJT") + 4, PayloadEnd(g, "OBJT") - 40); },
         "lies outside the chunk"},
        {"action outside", [](ObjectEntry& o) { o.events[EVENT_CREATE] = {EventEntry{0, 1}}; },
         [&](std::vector<uint8_t>& g) {
             const uint32_t list = U32At(g, record(g) + 80 + 4);
             const uint32_t event = U32At(g, list + 4);
             PutU32(g, event + 8, 0xFFFFFF00u);
         },
         "lies outside the chunk"},
    };
    for (const Case& c : cases) {
        ObjectEntry o = Named("broken");
        if (c.edit) c.edit(o);
        std::vector<uint8_t> bytes = ObjectGame({o});
        if (c.garble) c.garble(bytes);
        EXPECT_FALSE(Load(bytes)) << c.name;
        EXPECT_NE(std::string(GameData_LastError()).find(c.message), std::string::npos)
            << c.name << ": " << GameData_LastError();
        testgames::Unload();
    }
}
}  // namespace

#pragma once
// A small world for instance tests: an objects table, sprites, a current room
// with a physics world, and empty deferred queues.
#include <gtest/gtest.h>

#include "World/Instance.h"
#include "World/Object_Main.h"
#include "Physics/PhysicsWorld.h"
#include "World/Room_Class.h"
#include "Sprite/Sprite_Main.h"
#include "GameData/GameHeader.h"
#include "support/StandIns.h"
#include "support/TestSprites.h"

struct InstanceWorld : ::testing::Test {
    CGameRoom room;
    PhysicsWorld world{0.1f, 30};

    void SetUp() override
    {
        Object_Init();
        room.physics = &world;
        Run_Room = &room;
    }
    // The room's instances go without clean-up events; the physics world is the fixture's own.
    void TearDown() override
    {
        room.DeleteActiveInstances();
        room.DeleteDeactivatedInstances();
        room.physics = nullptr;
    }

    static CGameObject* NewObject(int32_t sprite, int32_t depth, uint32_t flags = 0x12)
    {
        CGameObject* object = Object_Get(Object_CreateEmpty());
        object->sprite = sprite;
        object->depth = depth;
        object->flags = flags;
        return object;
    }
    static int32_t NewSprite(int32_t frames, int32_t kind = 0)
    {
        return TestSprite_Add({frames, 32, 32, kind, nullptr});
    }
    static bool InList(const SLinkedList<CInstance>& list, const CInstance* instance)
    {
        for (auto* node = list.first; node; node = node->next) {
            if (node->item == instance) return true;
        }
        return false;
    }
};

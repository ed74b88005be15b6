#include "World/Room_Physics.h"

#include "Code/Code_Profiler.h"
#include "Physics/PhysicsWorld.h"
#include "World/Collision.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"

std::vector<int32_t> Physics_CollisionPartners(int32_t object)
{
    std::vector<int32_t> partners;
    for (int32_t i = 0; i < CollisionPairs.count; ++i) {
        const CollisionPair& pair = CollisionPairs.items[i];
        int32_t partner = -1;
        if (pair.a == object)
            partner = pair.b;
        else if (pair.b == object)
            partner = pair.a;
        else
            continue;
        if (partner != -1) partners.push_back(partner);
    }
    return partners;
}

int32_t Physics_FindCategoryKey(int32_t object, int32_t partnerCount)
{
    int32_t key = object;
    // No chain is longer than the objects there are: the bound keeps a
    // parent loop in broken game data from hanging the binding.
    for (int32_t guard = Object_Count(); guard > 0; --guard) {
        const CGameObject* o = Object_Get(key);
        if (!o || o->parent < 0 || !Object_IsValid(o->parent)) break;
        if (static_cast<int32_t>(Physics_CollisionPartners(o->parent).size()) != partnerCount) break;
        key = o->parent;
    }
    return key;
}

int32_t Instance_BindPhysicsFixture(CInstance* instance, PhysicsWorld* world, PhysicsFixture* fixture,
                                    float offsetX, float offsetY)
{
    const int32_t object = instance->object_index;
    const std::vector<int32_t> partners = Physics_CollisionPartners(object);
    const auto count = static_cast<int32_t>(partners.size());
    PhysicsBindTarget target{};
    target.instance = instance;
    target.body = &instance->m_physicsBody;
    target.x = instance->x;
    target.y = instance->y;
    target.imageAngle = instance->image_angle;
    target.objectName = Object_NameOf(object);
    target.categoryKey = count > 0 ? Physics_FindCategoryKey(object, count) : object;
    target.partners = partners.data();
    target.partnerCount = count;
    return world->AddFixture(fixture, target, offsetX, offsetY);
}

namespace {
void PlaceInstance(void* data, float x, float y, float imageAngle)
{
    auto* instance = static_cast<CInstance*>(data);
    instance->x = x;
    instance->y = y;
    instance->SetImageAngle(imageAngle);
    instance->m_bboxDirty = true;
    Collision_MarkMoved(instance);
}

void Collide(void* a, void* b)
{
    auto* first = static_cast<CInstance*>(a);
    auto* second = static_cast<CInstance*>(b);
    PerformEventForInstance(first, second, EVENT_COLLISION, second->object_index);
    PerformEventForInstance(second, first, EVENT_COLLISION, first->object_index);
}

void MovePathInstances(PhysicsWorld* world)
{
    if (!Run_Room) return;
    for (CInstance* instance = Run_Room->activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (instance->path_index >= 0) {
            if (instance->AdvancePath())
                PerformEventForInstance(instance, instance, EVENT_OTHER, EVENT_OTHER_END_OF_PATH);
            PhysicsBody* body = instance->m_physicsBody;
            // Paths move only the bodies the simulation does not.
            if (body && body->world == world && !body->IsDynamic())
                body->SetPosition(instance->x * world->scale, instance->y * world->scale);
        }
        instance = next;
    }
}

void DestroyBodiesIn(CInstance* first, PhysicsWorld* world)
{
    for (CInstance* instance = first; instance; instance = instance->m_next) {
        if (!instance->m_physicsBody || instance->m_physicsBody->world != world) continue;
        world->DestroyBody(instance->m_physicsBody);
        instance->m_physicsBody = nullptr;
    }
}
}  // namespace

void PhysicsWorld_Update(PhysicsWorld* world, int32_t roomSpeed, bool movePaths)
{
    const ProfilerSection section(SECTION_PHYSICS_WORLD_UPDATE);
    if (roomSpeed <= 0) return;
    if (movePaths) MovePathInstances(world);
    if (world->paused) return;
    world->SavePreviousPositions();
    world->Step(roomSpeed);
    world->WriteBackPositions(PlaceInstance);
    world->FireCollisionEvents(Collide);
}

void Room_DestroyInstanceBodies(CGameRoom* room)
{
    if (!room->physics) return;
    DestroyBodiesIn(room->activeInstances.first, room->physics);
    DestroyBodiesIn(room->deactivatedInstances.first, room->physics);
}

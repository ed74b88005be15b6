#pragma once
// Where the physics world meets instances: binding a fixture template to an
// instance (its object's collision category from the collision-pair table),
// the frame's update that moves path followers, steps the world, writes the
// bodies' positions back to their instances and raises their collision
// events, and the bodies a room's instances lose with its world.
#include <cstdint>
#include <vector>

class CGameRoom;
class CInstance;
class PhysicsWorld;
struct PhysicsFixture;

// Binding id, -1 on failure.
int32_t Instance_BindPhysicsFixture(CInstance* instance, PhysicsWorld* world, PhysicsFixture* fixture,
                                    float offsetX, float offsetY);
// The objects that object has collision events with, or that have one with
// it, in the order of the collision-pair table.
std::vector<int32_t> Physics_CollisionPartners(int32_t object);
// The object whose category object shares: the furthest parent up whose
// partner count equals partnerCount.
int32_t Physics_FindCategoryKey(int32_t object, int32_t partnerCount);

// The world's step for a frame at roomSpeed frames per second; paths move
// with movePaths (also while the world is paused).
void PhysicsWorld_Update(PhysicsWorld* world, int32_t roomSpeed, bool movePaths);
// The instances of the room lose their bodies in the room's world.
void Room_DestroyInstanceBodies(CGameRoom* room);

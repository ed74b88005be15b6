// The physics fixture an instance of a physics object gets in a room.
#include <cmath>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "Physics/PhysicsWorld.h"
#include "World/Room_Class.h"
#include "World/Room_Physics.h"
#include "Sprite/Sprite_Main.h"

namespace {
void ReportShapeError(const char* format, const CGameObject* object)
{
    char text[512];
    std::snprintf(text, sizeof text, format, object->name ? object->name : "");
    ShowRuntimeError(text, false);
}
}  // namespace

void CInstance::CreatePhysicsFixture(CGameRoom* room)
{
    if (!m_object || !m_object->usesPhysics || !Sprite_Exists(sprite_index) || !room || !room->physics) return;
    PhysicsFixture* fixture = PhysicsFixture_Create();
    const float scale = room->physics->scale;
    const ObjectShapePoint* points = m_object->shapePoints;
    float offsetX = 0, offsetY = 0;
    switch (m_object->shape) {
    case 0: {
        // A circle needs its centre and a point on its rim; without them
        // there is nothing to bind.
        if (m_object->shapePointCount < 2 || !points) {
            ReportShapeError("Corrupt shape data for %s\n", m_object);
            PhysicsFixture_Delete(fixture->id);
            return;
        }
        float f = image_xscale;
        if (!(std::fabs(image_xscale - image_yscale) < 1e-4f)) {
            ReportShapeError("Image scale for physics object using circle collision should not vary across axes: %s\n", m_object);
            f = 1;
        }
        fixture->SetCircleShape(points[1].x * scale * f);
        offsetX = -(f * points[0].x);
        offsetY = -(f * points[0].y);
        break;
    }
    case 1:
    case 2: {
        fixture->SetPolygonShape();
        const int32_t n = points ? m_object->shapePointCount : 0;
        // A mirrored instance adds its points backwards to keep their winding.
        const bool mirrored = image_xscale * image_yscale < 0;
        for (int32_t k = 0; k < n; ++k) {
            const ObjectShapePoint& p = points[mirrored ? n - 1 - k : k];
            fixture->AddPoint(p.x * scale * image_xscale, p.y * scale * image_yscale);
        }
        break;
    }
    default:
        break;
    }
    fixture->linearDamping = m_object->linearDamping;
    fixture->angularDamping = m_object->angularDamping;
    fixture->sensor = m_object->sensor;
    fixture->collisionGroup = m_object->collisionGroup;
    fixture->density = m_object->density;
    fixture->restitution = m_object->restitution;
    fixture->friction = m_object->friction;
    fixture->awake = m_object->awake;
    if (m_object->kinematic) fixture->kinematic = true;
    Instance_BindPhysicsFixture(this, room->physics, fixture, offsetX, offsetY);
    PhysicsFixture_Delete(fixture->id);
}

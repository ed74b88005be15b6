#include "Physics/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "support/RecordingConsole.h"
#include "support/ReportCapture.h"

namespace {
// Instances are opaque to the world: tags stand in for them.
struct Tag {
    PhysicsBody* body = nullptr;
    ~Tag() { delete body; }
};

struct Shape {
    float halfWidth = 1, halfHeight = 1;
    float density = 1;
    bool kinematic = false;
    bool sensor = false;
    bool awake = true;
};

struct PhysicsWorldTest : ::testing::Test {
    PhysicsWorld world{0.1f, 60};
    ReportCapture reports;

    void TearDown() override { Physics_Reset(); }

    // Binds a box (half sizes in metres) to tag at (x, y) room pixels; key
    // and partners give its collision category.
    int32_t Bind(Tag& tag, float x, float y, const Shape& s, int32_t key, std::vector<int32_t> partners,
                 float imageAngle = 0, float offsetX = 0, float offsetY = 0)
    {
        PhysicsFixture* f = PhysicsFixture_Create();
        f->SetBoxShape(s.halfWidth, s.halfHeight);
        f->density = s.density;
        f->kinematic = s.kinematic;
        f->sensor = s.sensor;
        f->awake = s.awake;
        PhysicsBindTarget target{&tag, &tag.body, x, y, imageAngle, "thing", key, partners.data(),
                                 static_cast<int32_t>(partners.size())};
        const int32_t id = world.AddFixture(f, target, offsetX, offsetY);
        PhysicsFixture_Delete(f->id);
        return id;
    }
    // A static ground 100 m wide whose top edge lies at y = 10 m, colliding with keys.
    void Ground(Tag& ground, std::vector<int32_t> keys)
    {
        Shape wide;
        wide.halfWidth = 50;
        wide.density = 0;
        Bind(ground, 500, 110, wide, 1000, keys);
    }
    float Y(const Tag& tag) const
    {
        float x, y;
        tag.body->GetPosition(&x, &y);
        return y;
    }
};

struct Fired {
    void* a;
    void* b;
    int32_t points;
};
std::vector<Fired> s_fired;
PhysicsWorld* s_world = nullptr;
void Record(void* a, void* b)
{
    s_fired.push_back({a, b, s_world->GetCollisionPointCount(a)});
}
}  // namespace

TEST_F(PhysicsWorldTest, TheBodyKindFollowsDensityThenTheKinematicFlag)
{
    struct Case {
        float density;
        bool kinematic;
        bool dynamic, isStatic;
    };
    const Case cases[] = {{0, false, false, true}, {0, true, false, false}, {0.5f, false, true, false},
                          {0.5f, true, true, false}};
    for (const Case& c : cases) {
        Tag tag;
        Shape s;
        s.density = c.density;
        s.kinematic = c.kinematic;
        ASSERT_EQ(Bind(tag, 0, 0, s, 1, {}), 0);
        EXPECT_EQ(tag.body->IsDynamic(), c.dynamic) << c.density << c.kinematic;
        EXPECT_EQ(tag.body->IsStatic(), c.isStatic) << c.density << c.kinematic;
    }
}

TEST_F(PhysicsWorldTest, TheOffsetIsRotatedByTheInstancesAngleAndWrittenBack)
{
    Tag tag;
    Shape s;
    s.density = 0;
    ASSERT_EQ(Bind(tag, 100, 100, s, 1, {}, 90, 10, 0), 0);
    float x, y;
    tag.body->GetPosition(&x, &y);
    EXPECT_NEAR(x, 10.0f, 1e-5f);
    EXPECT_NEAR(y, 11.0f, 1e-5f);
    // A second binding keeps the first offset.
    EXPECT_EQ(Bind(tag, 100, 100, s, 1, {}, 90, -50, 7), 1);
    EXPECT_EQ(tag.body->offsetX, 10.0f);
    EXPECT_EQ(tag.body->offsetY, 0.0f);
    struct Placed {
        float x, y, angle;
    };
    static Placed placed;
    world.WriteBackPositions([](void*, float px, float py, float angle) { placed = {px, py, angle}; });
    EXPECT_NEAR(placed.x, 100.0f, 1e-3f);
    EXPECT_NEAR(placed.y, 100.0f, 1e-3f);
    EXPECT_NEAR(placed.angle, 90.0f, 1e-3f);
}

TEST_F(PhysicsWorldTest, BindingIdsCountUpAndAreNotReusedAfterRemoval)
{
    Tag tag;
    Shape s;
    EXPECT_EQ(Bind(tag, 0, 0, s, 1, {}), 0);
    EXPECT_EQ(Bind(tag, 0, 0, s, 1, {}), 1);
    EXPECT_TRUE(tag.body->RemoveFixture(0));
    EXPECT_FALSE(tag.body->RemoveFixture(0));
    EXPECT_EQ(tag.body->GetDensity(0), 0.0f);
    EXPECT_EQ(tag.body->GetDensity(1), 1.0f);
    EXPECT_EQ(Bind(tag, 0, 0, s, 1, {}), 2);
    EXPECT_EQ(world.BodyCount(), 1);
}

TEST_F(PhysicsWorldTest, AFrameStepsInSubStepsOfTheUpdateSpeed)
{
    struct Case {
        int32_t updateSpeed, roomSpeed;
        float seconds;  // simulated per frame
    };
    const Case cases[] = {{60, 60, 1 / 60.0f}, {60, 30, 2 / 60.0f}, {60, 50, 1.2f / 60.0f}, {30, 60, 1 / 60.0f},
                          {60, 0, 0}, {60, -5, 0}};
    for (const Case& c : cases) {
        PhysicsWorld w(1.0f, c.updateSpeed);
        w.SetGravity(0, 0);
        PhysicsFixture* f = PhysicsFixture_Create();
        f->SetCircleShape(1);
        f->density = 1;
        Tag tag;
        PhysicsBindTarget target{&tag, &tag.body, 0, 0, 0, "thing", 1, nullptr, 0};
        ASSERT_EQ(w.AddFixture(f, target, 0, 0), 0);
        tag.body->SetLinearVelocity(60, 0);
        w.Step(c.roomSpeed);
        float x, y;
        tag.body->GetPosition(&x, &y);
        EXPECT_NEAR(x, 60 * c.seconds, 1e-4f) << c.updateSpeed << "/" << c.roomSpeed;
        delete tag.body;
        tag.body = nullptr;
    }
}

TEST_F(PhysicsWorldTest, ObjectsCollideOnlyAsTheirCollisionEventsRequire)
{
    // Twenty objects (more than a 16-bit filter holds) that each have an
    // event with the ground, and one without any: it falls through.
    std::vector<int32_t> keys;
    for (int32_t k = 0; k < 20; ++k) keys.push_back(k);
    Tag ground;
    Ground(ground, keys);
    Tag boxes[21];
    Shape s;
    s.halfWidth = s.halfHeight = 0.5f;
    for (int32_t k = 0; k < 21; ++k)
        Bind(boxes[k], 30.0f + 30.0f * static_cast<float>(k), 90, s, k, k < 20 ? std::vector<int32_t>{1000} : std::vector<int32_t>{});
    EXPECT_EQ(boxes[20].body->category, -1);
    for (int frame = 0; frame < 120; ++frame) world.Step(60);
    for (int32_t k = 0; k < 20; ++k) EXPECT_NEAR(Y(boxes[k]), 9.5f, 0.05f) << "object " << k;
    EXPECT_GT(Y(boxes[20]), 12.0f);
}

TEST_F(PhysicsWorldTest, AThirtyThirdCategoryIsAnErrorAndCollidesWithNothing)
{
    for (int32_t k = 0; k < 32; ++k) EXPECT_EQ(world.AssignCategory(k, &k, 1, "thing"), k);
    EXPECT_EQ(reports.console.text, "");
    const int32_t key = 32;
    EXPECT_EQ(world.AssignCategory(key, &key, 1, "late"), -1);
    EXPECT_NE(reports.console.text.find("Unable to assign a collision category for object late.\n"
                               "Consider using parenting to reduce collision overheads where possible."),
              std::string::npos)
        << reports.console.text;
    // Partners found later widen earlier masks both ways.
    EXPECT_EQ(world.categories[3].mask, 1u << 3);
    const int32_t partner = 3;
    world.AssignCategory(5, &partner, 1, "thing");
    EXPECT_EQ(world.categories[3].mask, (1u << 3) | (1u << 5));
    EXPECT_EQ(world.categories[5].mask, (1u << 5) | (1u << 3));
}

TEST_F(PhysicsWorldTest, GravityWakesSleepingDynamicBodiesUnlessItIsZero)
{
    Tag tag;
    Shape s;
    s.awake = false;
    Bind(tag, 0, 0, s, 1, {});
    ASSERT_FALSE(tag.body->IsAwake());
    world.SetGravity(0, 0);
    EXPECT_FALSE(tag.body->IsAwake());
    world.SetGravity(0, 10);
    EXPECT_TRUE(tag.body->IsAwake());
}

TEST_F(PhysicsWorldTest, AVelocityTurnsAStaticBodyKinematicButZeroLeavesItStatic)
{
    Tag tag;
    Shape s;
    s.density = 0;
    Bind(tag, 0, 0, s, 1, {});
    tag.body->SetLinearVelocity(0, 0);
    EXPECT_TRUE(tag.body->IsStatic());
    tag.body->SetLinearVelocity(0, 6);
    EXPECT_FALSE(tag.body->IsStatic());
    world.Step(60);
    EXPECT_NEAR(Y(tag), 0.1f, 1e-5f);
}

TEST_F(PhysicsWorldTest, ContactsOfAFrameMakeOneRecordPerPairWithAManifoldPerSubStep)
{
    Tag ground, box;
    Ground(ground, {1});
    Shape s;
    Bind(box, 100, 90, s, 1, {1000});  // resting on the ground
    world.Step(30);                      // two sub-steps
    ASSERT_EQ(world.ContactCount(), 1);
    s_world = &world;
    s_fired.clear();
    world.FireCollisionEvents(Record);
    ASSERT_EQ(s_fired.size(), 1u);
    EXPECT_EQ(s_fired[0].points, 4);
    EXPECT_EQ(world.ContactCount(), 0);
    EXPECT_EQ(world.GetCollisionPointCount(&box), 0);  // outside the events

    // Point 2 is the second manifold's first point; the normal is a unit vector.
    world.Step(30);
    static PhysicsWorld* w;
    w = &world;
    static float px, py, nx, ny;
    static bool found, beyond, stranger;
    world.FireCollisionEvents([](void* a, void*) {
        found = w->GetCollisionPoint(a, 2, &px, &py) && w->GetCollisionNormal(a, 2, &nx, &ny);
        float ignored;
        beyond = w->GetCollisionPoint(a, 4, &ignored, &ignored) || w->GetCollisionPoint(a, -1, &ignored, &ignored);
        stranger = w->GetCollisionPointCount(&w) != 0;
    });
    EXPECT_TRUE(found);
    EXPECT_FALSE(beyond);
    EXPECT_FALSE(stranger);
    EXPECT_NEAR(py, 100.0f, 0.5f);  // room pixels: the ground's top
    EXPECT_NEAR(std::hypot(nx, ny), 1.0f, 1e-4f);
}

TEST_F(PhysicsWorldTest, ANinthSubStepOfTouchingIsDroppedWithAWarning)
{
    PhysicsWorld w(0.1f, 90);
    RecordingConsole log;
    tagIConsole* saved = LogConsole;
    LogConsole = &log;
    Tag ground, box;
    PhysicsFixture* f = PhysicsFixture_Create();
    f->SetBoxShape(50, 1);
    const int32_t key = 1, partner = 2;
    PhysicsBindTarget g{&ground, &ground.body, 500, 110, 0, "ground", key, &partner, 1};
    w.AddFixture(f, g, 0, 0);
    f->SetBoxShape(1, 1);
    f->density = 1;
    PhysicsBindTarget b{&box, &box.body, 100, 90, 0, "box", partner, &key, 1};
    w.AddFixture(f, b, 0, 0);
    w.Step(10);  // nine sub-steps
    LogConsole = saved;
    s_world = &w;
    s_fired.clear();
    w.FireCollisionEvents(Record);
    ASSERT_EQ(s_fired.size(), 1u);
    EXPECT_EQ(s_fired[0].points, 16);
    EXPECT_EQ(log.text, "WARNING: Too many manifolds in collision\n");
}

TEST_F(PhysicsWorldTest, ASensorIsRecordedOnceWhenItBeginsToOverlap)
{
    Tag ground, sensor;
    Ground(ground, {1});
    Shape s;
    s.sensor = true;  // dynamic: two bodies that do not move never touch
    Bind(sensor, 100, 100, s, 1, {1000});
    s_world = &world;
    s_fired.clear();
    for (int frame = 0; frame < 3; ++frame) {
        world.Step(60);
        world.FireCollisionEvents(Record);
    }
    ASSERT_EQ(s_fired.size(), 1u);
    EXPECT_EQ(s_fired[0].points, 0);
}

TEST_F(PhysicsWorldTest, RecordsFireLastFirst)
{
    Tag ground, early, late;
    Ground(ground, {1, 2});
    Shape s;
    Bind(early, 100, 90, s, 1, {1000});  // touching from the start
    Bind(late, 300, 70, s, 2, {1000});   // lands later
    for (int frame = 0; frame < 60 && world.ContactCount() < 2; ++frame) {
        world.Step(1);  // a second per frame
        if (world.ContactCount() < 2) world.FireCollisionEvents([](void*, void*) {});
    }
    ASSERT_EQ(world.ContactCount(), 2);
    s_world = &world;
    s_fired.clear();
    world.FireCollisionEvents(Record);
    ASSERT_EQ(s_fired.size(), 2u);
    const bool lateFirst = s_fired[0].a == &late || s_fired[0].b == &late;
    EXPECT_TRUE(lateFirst);
}

TEST_F(PhysicsWorldTest, ABodyDestroyedInAnEventSilencesTheRecordsNamingItsFixtures)
{
    Tag left, right, box, newcomer;
    Shape ledge;
    ledge.density = 0;
    Bind(left, 90, 120, ledge, 1000, {1});
    Bind(right, 110, 120, ledge, 1000, {1});
    Shape s;
    Bind(box, 100, 100, s, 1, {1000});  // resting on both
    world.Step(60);
    ASSERT_EQ(world.ContactCount(), 2);
    static PhysicsWorldTest* test;
    static Tag *victim, *added;
    static std::vector<void*> seen;
    test = this;
    victim = &box;
    added = &newcomer;
    seen.clear();
    world.FireCollisionEvents([](void* a, void* b) {
        seen.push_back(a == victim ? b : a);
        if (!victim->body) return;
        delete victim->body;
        victim->body = nullptr;
        // The library hands the freed memory to the next body and fixture.
        test->Bind(*added, 500, 0, Shape{}, 1, {1000});
    });
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(world.BodyCount(), 3);
}

TEST_F(PhysicsWorldTest, BodiesOutliveTheirWorldDetached)
{
    auto* w = new PhysicsWorld(0.1f, 60);
    Tag tag;
    PhysicsFixture* f = PhysicsFixture_Create();
    f->SetCircleShape(1);
    PhysicsBindTarget target{&tag, &tag.body, 0, 0, 0, "thing", 1, nullptr, 0};
    ASSERT_EQ(w->AddFixture(f, target, 0, 0), 0);
    delete w;
    EXPECT_EQ(tag.body->world, nullptr);
    // A binding in another world replaces the dead wrapper.
    EXPECT_EQ(world.AddFixture(f, target, 0, 0), 0);
    EXPECT_EQ(tag.body->world, &world);
}

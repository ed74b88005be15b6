// End-to-end physics games through the real runner (the physics test runner,
// tests/runners/physics.cpp): a box falls onto a static ground, its place is
// written back to the instance and its collision event sees the contact.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "runners/physics_codes.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

using namespace gamedata;

namespace {
void On(ObjectEntry& object, uint32_t kind, uint32_t subKind, PhysicsCode code)
{
    object.events[kind].push_back(EventEntry{subKind, static_cast<int32_t>(code)});
}

ObjectEntry PhysicsObject(const char* name, float width, float height, float density)
{
    ObjectEntry o;
    o.name = name;
    o.sprite = 0;
    o.usesPhysics = 1;
    o.shape = 1;  // a box by its corners, clockwise on the screen
    o.shapePoints = {{0, 0}, {width, 0}, {width, height}, {0, height}};
    o.density = density;
    o.restitution = 0;
    o.linearDamping = o.angularDamping = 0;
    return o;
}

RoomInstanceEntry At(int32_t object, int32_t id, int32_t x, int32_t y)
{
    RoomInstanceEntry i;
    i.objectIndex = object;
    i.id = id;
    i.x = x;
    i.y = y;
    return i;
}

// Two grounds (object 0, 320 x 16 at y 200, side by side), a box (object 1,
// 16 x 16) dropped onto the first and, with a changer, a box (object 2)
// resting across both that changes into a plain object (3) in its first
// collision event.
std::vector<std::string> RunDrop(bool halfSpeed, bool changer, int* exitCode)
{
    ObjectEntry ground = PhysicsObject("ground", 320, 16, 0);
    ObjectEntry box = PhysicsObject("box", 16, 16, 0.5f);
    On(box, 4, 0, PHYSICS_HIT);
    On(box, 3, 2, PHYSICS_END);
    if (halfSpeed) On(box, 0, 0, PHYSICS_HALF_SPEED);
    ObjectEntry changing = PhysicsObject("changer", 16, 16, 0.5f);
    On(changing, 4, 0, PHYSICS_CHANGE);
    ObjectEntry plain;
    plain.name = "plain";

    RoomEntry room;
    room.name = "room";
    room.speed = 1000;  // a millisecond per frame, and per sub-step
    room.physicsWorld = 1;
    room.gravityY = 100;
    room.pixelsToMetres = 0.1f;
    room.instances = {At(0, 100001, 0, 200), At(0, 100002, 320, 200), At(1, 100003, 100, 170)};
    if (changer) room.instances.push_back(At(2, 100004, 312, 184));

    FormWriter writer;
    GeneralHeader header;
    header.major = 1;
    header.roomOrder = {0};
    writer.Gen8(header);
    writer.Optn(Options{});
    SpriteEntry square;
    square.name = "square";
    square.width = square.height = 16;
    square.bboxRight = square.bboxBottom = 15;
    square.frames = {std::nullopt};
    square.plainForm = true;
    writer.Sprt({square}, header.major);
    writer.Objt({ground, box, changing, plain});
    writer.Room({room});
    writer.Strg();

    TempFolder dir;
    const std::string path = dir / "game.win";
    EXPECT_TRUE(WriteFile(path, writer.Finish()));
    const std::string command = std::string("'") + QS_TEST_RUNNER_DIR + "/qs_runner_physics' -headless -game '" + path + "'";
    ProcessWait stdoutOnly;
    stdoutOnly.mergeStderr = false;
    const ProcessRun process = RunProcess(command, stdoutOnly);
    EXPECT_FALSE(process.timedOut) << process.Describe();
    *exitCode = process.exitCode;
    return process.Lines();
}

std::string Field(const std::string& line, const std::string& name)
{
    const size_t at = line.find(" " + name + "=");
    if (at == std::string::npos) return "";
    const size_t start = at + name.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}

std::string All(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}
}  // namespace

TEST(RunPhysics, ABoxFallsOntoTheGroundAndItsEventSeesEachFramesContactOnce)
{
    struct Case {
        bool halfSpeed;
        const char* points;  // two per sub-step of a resting box
    };
    for (const Case c : {Case{false, "2"}, Case{true, "4"}}) {
        int exitCode = -1;
        const std::vector<std::string> lines = RunDrop(c.halfSpeed, false, &exitCode);
        EXPECT_EQ(exitCode, 0) << All(lines);
        std::vector<std::string> hits;
        std::string end;
        for (const std::string& line : lines) {
            if (line.rfind("Hit ", 0) == 0) hits.push_back(line);
            if (line.rfind("End ", 0) == 0) end = line;
        }
        ASSERT_FALSE(hits.empty()) << All(lines);
        // Written back: the box rests on the ground's top edge, unturned.
        ASSERT_NE(end, "") << All(lines);
        EXPECT_NEAR(std::stof(Field(end, "y")), 184.0f, 0.5f) << end;
        EXPECT_NEAR(std::stof(Field(end, "x")), 100.0f, 0.5f) << end;
        EXPECT_NEAR(std::stof(Field(end, "angle")), 0.0f, 0.5f) << end;
        std::string lastStep;
        for (const std::string& hit : hits) {
            EXPECT_EQ(Field(hit, "other"), "100001") << hit;
            EXPECT_NE(Field(hit, "step"), lastStep) << "two events in one step: " << hit;
            lastStep = Field(hit, "step");
        }
        // Resting, each frame's record has every sub-step's two points, the
        // last of them on the ground's top edge.
        const std::string& resting = hits.back();
        EXPECT_EQ(Field(resting, "points"), c.points) << resting;
        EXPECT_NEAR(std::stof(Field(resting, "py")), 200.0f, 0.5f) << resting;
        EXPECT_NEAR(std::stof(Field(resting, "y")), 184.0f, 0.5f) << resting;
    }
}

TEST(RunPhysics, AnInstanceChangedInItsCollisionEventRaisesNoEventForItsOtherContacts)
{
    int exitCode = -1;
    const std::vector<std::string> lines = RunDrop(false, true, &exitCode);
    EXPECT_EQ(exitCode, 0) << All(lines);
    std::vector<std::string> changes;
    for (const std::string& line : lines)
        if (line.rfind("Change ", 0) == 0) changes.push_back(line);
    // It rests on both grounds: two records in its first frame, the second
    // naming fixtures that went with the old body.
    ASSERT_EQ(changes.size(), 1u) << All(lines);
    EXPECT_EQ(Field(changes[0], "step"), "0");
}

// An end-to-end game with a wall: run through the real runner as its own
// process (the collision test runner, tests/runners/collision.cpp), with the
// spatial index on and off.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "runners/collision_codes.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

using namespace gamedata;

namespace {
constexpr uint64_t kSpatialIndexOption = 1ull << 26;

void On(ObjectEntry& object, uint32_t kind, uint32_t subKind, CollisionCode code)
{
    object.events[kind].push_back(EventEntry{subKind, static_cast<int32_t>(code)});
}

RoomEntry FastRoom(std::vector<RoomInstanceEntry> instances)
{
    RoomEntry room;
    room.name = "room";
    room.speed = 1000;
    room.instances = std::move(instances);
    return room;
}

// A mover (object 0, moving right by 4 each step) towards a solid wall
// (object 1) 40 pixels away; both have a collision event with the other.
// The mover sends the game on to the next room at step 9, whose starter
// (object 2) ends the game.
std::vector<uint8_t> WallGame(bool index)
{
    ObjectEntry mover, wall, starter;
    mover.name = "mover";
    mover.sprite = 0;
    On(mover, 0, 0, COLLISION_MOVE_RIGHT);
    On(mover, 4, 1, COLLISION_HIT);
    On(mover, 3, 0, COLLISION_GOTO_NEXT);
    On(mover, 3, 2, COLLISION_END_STEP);
    wall.name = "wall";
    wall.sprite = 0;
    wall.solid = 1;
    On(wall, 4, 0, COLLISION_HIT);
    starter.name = "starter";
    On(starter, 0, 0, COLLISION_ROOM_START);

    RoomInstanceEntry m, w, s;
    m.objectIndex = 0;
    m.id = 100001;
    w.objectIndex = 1;
    w.id = 100002;
    w.x = 40;
    s.objectIndex = 2;
    s.id = 100003;

    FormWriter writer;
    GeneralHeader header;
    header.major = 1;
    header.roomOrder = {0, 1};
    writer.Gen8(header);
    Options options;
    if (index) options.flags |= kSpatialIndexOption;
    writer.Optn(options);
    SpriteEntry square;  // 16 x 16, one frame without a texture
    square.name = "square";
    square.width = square.height = 16;
    square.bboxRight = square.bboxBottom = 15;
    square.frames = {std::nullopt};
    square.plainForm = true;  // the frame list of a game before layers
    writer.Sprt({square}, header.major);
    writer.Objt({mover, wall, starter});
    writer.Room({FastRoom({m, w}), FastRoom({s})});
    writer.Strg();
    return writer.Finish();
}

std::vector<std::string> RunGame(const std::vector<uint8_t>& game, int* exitCode)
{
    TempFolder dir;
    const std::string path = dir / "game.win";
    EXPECT_TRUE(WriteFile(path, game));
    const std::string command = std::string("'") + QS_TEST_RUNNER_DIR + "/qs_runner_collision' -headless -game '" + path + "'";
    ProcessWait stdoutOnly;
    stdoutOnly.mergeStderr = false;
    const ProcessRun process = RunProcess(command, stdoutOnly);
    EXPECT_FALSE(process.timedOut) << process.Describe();
    *exitCode = process.exitCode;
    return process.Lines();
}

TEST(RunCollision, TheMoverStopsAtTheWallAndBothEventsRunEveryStepItPushes)
{
    std::vector<std::string> runs[2];
    for (int index = 0; index < 2; ++index) {
        int exitCode = -1;
        for (const std::string& line : RunGame(WallGame(index == 1), &exitCode)) {
            if (line.rfind("MoveRight", 0) != 0 && line.rfind("GotoNext", 0) != 0) runs[index].push_back(line);
        }
        EXPECT_EQ(exitCode, 0);
    }
    std::vector<std::string> expected;
    for (int step = 0; step < 9; ++step) {
        const std::string at = " step=" + std::to_string(step) + " room=0";
        if (step >= 6) {
            // Pushed back to 24 before the events, and again after the second move.
            expected.push_back("Hit id=100001 other=100002 ev=4,1" + at + " x=24");
            expected.push_back("Hit id=100002 other=100001 ev=4,0" + at + " x=40");
        }
        expected.push_back("EndStep id=100001 other=100001 ev=3,2" + at + " x=" + std::to_string(step < 6 ? 4 * (step + 1) : 24));
    }
    // Step 9 asks for the next room: the rest of that step is skipped and the
    // next room starts at the end of the frame, before another step is counted.
    expected.push_back("RoomStart id=100003 other=100003 ev=0,0 step=9 room=1 x=0");
    EXPECT_EQ(runs[1], expected);
    EXPECT_EQ(runs[0], runs[1]);
}
}  // namespace

// An end-to-end motion-planning game run through the real runner as its own
// process (the motion test runner, tests/runners/motion.cpp): a grid laid
// over a wall with a gap guides a walker along a path, a linear stepper runs
// into a wall and a potential-field stepper walks around a block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "runners/motion_codes.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

using namespace gamedata;

namespace {
void On(ObjectEntry& object, uint32_t kind, uint32_t subKind, MotionCode code)
{
    object.events[kind].push_back(EventEntry{subKind, static_cast<int32_t>(code)});
}

RoomInstanceEntry At(int32_t object, int32_t id, int32_t x, int32_t y)
{
    RoomInstanceEntry entry;
    entry.objectIndex = object;
    entry.id = id;
    entry.x = x;
    entry.y = y;
    return entry;
}

// Solid 16 x 16 walls (object 0) fill column 5 of a 10 x 10 grid of 16-pixel
// cells at (0, 0), rows 0 to 7. Row 8 holds a wall's child (object 1) that
// the controller deactivates, row 9 a wall it destroys: both leave their
// cell free, the only way from the left half to the right. A walker
// (8 x 8, centred) follows the grid path from cell (0, 0) to cell (9, 0). A
// linear stepper at (200, 208) heads for (300, 208) with a wall at x 260; a
// potential-field stepper at (200, 100) heads for (300, 100) past a block at
// (240, 92).
std::vector<uint8_t> MotionGame()
{
    ObjectEntry wall, ghost, control, walker, linear, potential;
    wall.name = "wall";
    wall.sprite = 0;
    wall.solid = 1;
    ghost.name = "ghost";
    ghost.sprite = 0;
    ghost.solid = 1;
    ghost.parent = 0;
    control.name = "control";
    On(control, 0, 0, MOTION_CONTROL_CREATE);
    On(control, 3, 0, MOTION_CONTROL_STEP);
    walker.name = "walker";
    walker.sprite = 1;
    On(walker, 0, 0, MOTION_WALKER_CREATE);
    On(walker, 3, 0, MOTION_WALKER_STEP);
    linear.name = "linear";
    linear.sprite = 1;
    On(linear, 3, 0, MOTION_LINEAR_STEP);
    potential.name = "potential";
    potential.sprite = 1;
    On(potential, 3, 0, MOTION_POTENTIAL_STEP);

    RoomEntry room;
    room.name = "room";
    room.width = 320;
    room.height = 240;
    room.speed = 1000;
    int32_t id = 100001;
    for (int32_t row = 0; row < 8; ++row) room.instances.push_back(At(0, id++, 80, 16 * row));
    room.instances.push_back(At(1, id++, 80, 128));  // 100009, deactivated
    room.instances.push_back(At(0, id++, 80, 144));  // 100010, destroyed
    room.instances.push_back(At(0, id++, 260, 200));
    room.instances.push_back(At(0, id++, 240, 92));
    room.instances.push_back(At(2, id++, 0, 0));
    room.instances.push_back(At(3, id++, 8, 8));
    room.instances.push_back(At(4, id++, 200, 208));
    room.instances.push_back(At(5, id++, 200, 100));

    FormWriter writer;
    GeneralHeader header;
    header.major = 1;
    header.roomOrder = {0};
    header.lastInstanceId = static_cast<uint32_t>(id - 1);  // the room's instances are the game's
    writer.Gen8(header);
    writer.Optn(Options{});
    SpriteEntry square;  // 16 x 16, origin at the top left
    square.name = "square";
    square.width = square.height = 16;
    square.bboxRight = square.bboxBottom = 15;
    square.frames = {std::nullopt};
    square.plainForm = true;
    SpriteEntry small = square;  // 8 x 8, origin at the centre
    small.name = "small";
    small.width = small.height = 8;
    small.bboxRight = small.bboxBottom = 7;
    small.xOrigin = small.yOrigin = 4;
    writer.Sprt({square, small}, header.major);
    writer.Objt({wall, ghost, control, walker, linear, potential});
    writer.Room({room});
    writer.Strg();
    return writer.Finish();
}

std::vector<std::string> With(const std::vector<std::string>& lines, const std::string& tag)
{
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.rfind(tag, 0) == 0) found.push_back(line);
    }
    return found;
}

TEST(RunMotion, GridPathAvoidsTheWallsAndTheSteppersStopAtOrWalkAroundThem)
{
    TempFolder dir;
    const std::string path = dir / "game.win";
    ASSERT_TRUE(WriteFile(path, MotionGame()));
    ProcessWait stdoutOnly;
    stdoutOnly.mergeStderr = false;
    const ProcessRun run = RunProcess(std::string("'") + QS_TEST_RUNNER_DIR + "/qs_runner_motion' -headless -game '" +
                                          path + "'",
                                      stdoutOnly);
    ASSERT_FALSE(run.timedOut) << run.Describe();
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    const std::vector<std::string> lines = run.Lines();

    // The deactivated and the destroyed wall left their cells free.
    EXPECT_EQ(With(lines, "cells"), std::vector<std::string>{"cells wall=-1 ghost=0 destroyed=0"}) << run.Describe();
    const std::vector<std::string> planned = With(lines, "grid path");
    ASSERT_EQ(planned.size(), 1u) << run.Describe();
    EXPECT_EQ(planned[0].rfind("grid path found=1 points=", 0), 0u) << planned[0];
    EXPECT_EQ(With(lines, "walker touches"), std::vector<std::string>{}) << run.Describe();
    EXPECT_EQ(With(lines, "walker ended"), std::vector<std::string>{"walker ended x=152 y=8"}) << run.Describe();

    // The linear stepper moves 4 a step until the next step would overlap the
    // wall at 260 (its right edge is x + 3); it never reaches the goal.
    const std::vector<std::string> linear = With(lines, "linear");
    ASSERT_GT(linear.size(), 20u) << run.Describe();
    for (int step = 0; step < 20; ++step) {
        const int x = 200 + 4 * std::min(step + 1, 14);
        EXPECT_EQ(linear[step], "linear x=" + std::to_string(x) + " y=208 reached=0 touches=0");
    }
    EXPECT_EQ(linear.back(), "linear x=256 y=208 reached=0 touches=0");

    // The potential-field stepper never touches the block, leaves the
    // straight line to pass it and ends on the goal.
    const std::vector<std::string> potential = With(lines, "potential");
    ASSERT_FALSE(potential.empty()) << run.Describe();
    bool leftTheLine = false;
    for (const std::string& line : potential) {
        EXPECT_NE(line.find("touches=0"), std::string::npos) << line;
        leftTheLine = leftTheLine || line.find(" y=100 ") == std::string::npos;
    }
    EXPECT_TRUE(leftTheLine);
    EXPECT_NE(std::find(potential.begin(), potential.end(), "potential x=300 y=100 reached=1 touches=0"), potential.end())
        << run.Describe();
}
}  // namespace

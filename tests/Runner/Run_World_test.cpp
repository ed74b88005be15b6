// End-to-end runs of writer-made games through the real runner: each game
// runs as its own process (the world test runner, tests/runners/world.cpp)
// with -headless, and its code entries write one line per event they run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "runners/world_codes.h"
#include "support/AudioFixtures.h"
#include "support/HttpTestServer.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

using namespace gamedata;

namespace {
struct GameRun {
    int exitCode = -1;
    std::vector<std::string> lines;  // standard output, line by line

    // The lines that start with tag.
    std::vector<std::string> With(const std::string& tag) const
    {
        std::vector<std::string> found;
        for (const std::string& line : lines) {
            if (line.rfind(tag, 0) == 0) found.push_back(line);
        }
        return found;
    }
    std::string All() const
    {
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        return text;
    }
};

struct Game {
    std::vector<std::optional<ObjectEntry>> objects;
    std::vector<std::optional<RoomEntry>> rooms;
    std::vector<std::optional<TimelineEntry>> timelines;
    bool sound = false;  // the audio engine on, with one short sound
};

// Rooms run at 1000 steps per second so that a few frames take no time.
RoomEntry FastRoom(std::vector<RoomInstanceEntry> instances)
{
    RoomEntry room;
    room.name = "room";
    room.speed = 1000;
    room.instances = std::move(instances);
    return room;
}

void On(ObjectEntry& object, uint32_t kind, uint32_t subKind, WorldCode code)
{
    object.events[kind].push_back(EventEntry{subKind, static_cast<int32_t>(code)});
}

GameRun RunGame(const Game& game, const std::string& options = "", const std::string& environment = "")
{
    FormWriter w;
    GeneralHeader header;
    header.major = 1;  // room speeds pace the frames
    for (uint32_t i = 0; i < game.rooms.size(); ++i) header.roomOrder.push_back(i);
    w.Gen8(header);
    Options gameOptions;
    if (game.sound) gameOptions.flags |= 0x4;
    w.Optn(gameOptions);
    if (game.sound) {
        SoundEntry beep;
        beep.name = "beep";
        w.Sond({beep});
        w.Audo({audiotest::Wav16(audiotest::Square(2000, {1}), 1)});
    }
    w.Objt(game.objects);
    w.Tmln(game.timelines);
    w.Room(game.rooms);
    w.Strg();
    TempFolder dir;
    const std::string path = dir / "game.win";
    EXPECT_TRUE(WriteFile(path, w.Finish()));

    GameRun run;
    const std::string command = environment + " '" + QS_TEST_RUNNER_DIR + "/qs_runner_world' -headless -game '" + path + "' " + options;
    ProcessWait stdoutOnly;
    stdoutOnly.mergeStderr = false;
    const ProcessRun process = RunProcess(command, stdoutOnly);
    EXPECT_FALSE(process.timedOut) << process.Describe();
    run.exitCode = process.exitCode;
    run.lines = process.Lines();
    return run;
}

// "<tag> ... ev=<k>,<s> step=<n>" without the rest of the line.
std::string EventOf(const std::string& line)
{
    const size_t ev = line.find(" ev=");
    const size_t room = line.find(" room=");
    return line.substr(0, line.find(' ')) + line.substr(ev, room - ev);
}
}  // namespace

TEST(RunWorld, EventsRunInTheirOrderWithAlarmsAndTimelinesOnTheirSteps)
{
    Game game;
    ObjectEntry a;
    a.name = "a";
    On(a, 0, 0, WORLD_SET_ALARM3);
    On(a, 3, 1, WORLD_EV);
    On(a, 3, 0, WORLD_EV);
    On(a, 3, 2, WORLD_END_AT_STEP4);
    On(a, 2, 0, WORLD_EV);
    On(a, 7, 2, WORLD_EV);
    On(a, 7, 4, WORLD_EV);
    On(a, 7, 5, WORLD_EV);
    On(a, 7, 3, WORLD_EV);
    ObjectEntry b;
    b.name = "b";
    On(b, 0, 0, WORLD_START_TIMELINE);
    game.objects = {a, b};
    TimelineEntry timeline;
    timeline.name = "tl";
    timeline.moments = {{0, {0, WORLD_EV}}, {1, {0, WORLD_EV}}, {3, {0, WORLD_EV}}};
    game.timelines = {timeline};
    RoomInstanceEntry ia, ib;
    ia.objectIndex = 0;
    ia.id = 100001;
    ib.objectIndex = 1;
    ib.id = 100002;
    game.rooms = {FastRoom({ia, ib})};

    const GameRun run = RunGame(game);
    EXPECT_EQ(run.exitCode, 0) << run.All();
    std::vector<std::string> events;
    for (const std::string& line : run.lines) events.push_back(EventOf(line));
    const std::vector<std::string> expected = {
        "SetAlarm3 ev=0,0 step=0", "StartTimeline ev=0,0 step=0", "Ev ev=7,2 step=0", "Ev ev=7,4 step=0",
        // step 0: begin step, timeline moment 0, step, end step
        "Ev ev=3,1 step=0", "Ev ev=100000,0 step=0", "Ev ev=3,0 step=0", "EndAtStep4 ev=3,2 step=0",
        "Ev ev=3,1 step=1", "Ev ev=100000,1 step=1", "Ev ev=3,0 step=1", "EndAtStep4 ev=3,2 step=1",
        // the alarm set to 3 in the create event fires on the third step
        "Ev ev=3,1 step=2", "Ev ev=2,0 step=2", "Ev ev=3,0 step=2", "EndAtStep4 ev=3,2 step=2",
        "Ev ev=3,1 step=3", "Ev ev=100000,3 step=3", "Ev ev=3,0 step=3", "EndAtStep4 ev=3,2 step=3",
        "Ev ev=3,1 step=4", "Ev ev=3,0 step=4", "EndAtStep4 ev=3,2 step=4",
        // the end request stops the step before it is counted; after the
        // frame the game ends: room end, then game end
        "Ev ev=7,5 step=4", "Ev ev=7,3 step=4",
    };
    EXPECT_EQ(events, expected) << run.All();
}

TEST(RunWorld, StepEventSettingHSpeedMovesTheInstanceEveryFrame)
{
    Game game;
    ObjectEntry mover;
    mover.name = "mover";
    On(mover, 0, 0, WORLD_MOVE3);
    On(mover, 3, 0, WORLD_EV);
    On(mover, 3, 2, WORLD_END_AT_STEP4);
    game.objects = {mover};
    RoomInstanceEntry instance;
    instance.x = 10;
    game.rooms = {FastRoom({instance})};

    const GameRun run = RunGame(game);
    EXPECT_EQ(run.exitCode, 0) << run.All();
    const std::vector<std::string> steps = run.With("Ev ");
    ASSERT_EQ(steps.size(), 5u) << run.All();
    for (size_t k = 0; k < steps.size(); ++k) {
        // The step event runs before the motion of its step.
        EXPECT_NE(steps[k].find(" x=" + std::to_string(10 + 3 * k)), std::string::npos) << steps[k];
    }
}

TEST(RunWorld, PersistentInstancesAreCarriedIntoTheNextRoomAndOthersAreNot)
{
    Game game;
    ObjectEntry keeper;
    keeper.name = "keeper";
    On(keeper, 0, 0, WORLD_PERSIST);
    On(keeper, 3, 0, WORLD_GOTO_NEXT);
    On(keeper, 7, 4, WORLD_EV);
    ObjectEntry local;
    local.name = "local";
    On(local, 0, 0, WORLD_EV);
    On(local, 3, 0, WORLD_EV);
    On(local, 7, 5, WORLD_EV);
    ObjectEntry other;
    other.name = "other";
    On(other, 0, 0, WORLD_EV);
    On(other, 3, 2, WORLD_END_AT_STEP4);
    game.objects = {keeper, local, other};
    RoomInstanceEntry k, l, o;
    k.objectIndex = 0;
    k.id = 100001;
    k.x = 5;
    l.objectIndex = 1;
    l.id = 100002;
    o.objectIndex = 2;
    o.id = 100003;
    game.rooms = {FastRoom({k, l}), FastRoom({o})};

    const GameRun run = RunGame(game);
    EXPECT_EQ(run.exitCode, 0) << run.All();
    // The keeper is made once and starts both rooms with its id.
    EXPECT_EQ(run.With("Persist ").size(), 1u) << run.All();
    const std::vector<std::string> starts = run.With("Ev id=100001 ev=7,4");
    ASSERT_EQ(starts.size(), 2u) << run.All();
    EXPECT_NE(starts[0].find("room=0"), std::string::npos);
    EXPECT_NE(starts[1].find("room=1"), std::string::npos);
    // The other instance of room 0 ends with it and never steps in room 1.
    EXPECT_EQ(run.With("Ev id=100002 ev=7,5").size(), 1u) << run.All();
    for (const std::string& line : run.With("Ev id=100002")) EXPECT_NE(line.find("room=0"), std::string::npos) << line;
    // No step event of room 0 runs after the one that asked for the switch.
    // One step in room 0 (the switch stops it uncounted), five in room 1.
    ASSERT_EQ(run.With("GotoNext ").size(), 6u) << run.All();
    EXPECT_NE(run.With("GotoNext ")[1].find("step=0 room=1 x=5"), std::string::npos) << run.All();
    EXPECT_EQ(run.With("Ev id=100002 ev=3,0").size(), 0u) << "the keeper steps first and switches";
    EXPECT_EQ(run.With("Ev id=100003 ev=0,0").size(), 1u) << run.All();
}

TEST(RunWorld, RestartEndsTheGameAndStartsItAgainThenTheGameEnds)
{
    Game game;
    ObjectEntry r;
    r.name = "r";
    On(r, 0, 0, WORLD_EV);
    On(r, 3, 0, WORLD_RESTART_ONCE);
    On(r, 7, 2, WORLD_EV);
    On(r, 7, 3, WORLD_EV);
    game.objects = {r};
    game.rooms = {FastRoom({RoomInstanceEntry{}})};

    const GameRun run = RunGame(game);
    EXPECT_EQ(run.exitCode, 0) << run.All();
    std::vector<std::string> events;
    for (const std::string& line : run.lines) events.push_back(EventOf(line));
    const std::vector<std::string> expected = {
        "Ev ev=0,0 step=0",          "Ev ev=7,2 step=0",          "RestartOnce ev=3,0 step=0",
        "Ev ev=7,3 step=0",          // restart: game end of the old game
        "Ev ev=0,0 step=0",          "Ev ev=7,2 step=0",          "RestartOnce ev=3,0 step=0",
        "Ev ev=7,3 step=0",
    };
    EXPECT_EQ(events, expected) << run.All();
}

TEST(RunWorld, HeadlessEndsWithZeroRightAfterTheFirstRoomsCreationCode)
{
    Game game;
    ObjectEntry o;
    o.name = "o";
    On(o, 0, 0, WORLD_EV);
    On(o, 7, 2, WORLD_EV);
    On(o, 7, 4, WORLD_EV);
    On(o, 3, 0, WORLD_EV);
    game.objects = {o};
    RoomEntry room = FastRoom({RoomInstanceEntry{}});
    room.creationCode = WORLD_ROOM_CODE;
    game.rooms = {room};

    const GameRun run = RunGame(game);
    EXPECT_EQ(run.exitCode, 0) << run.All();
    std::vector<std::string> events;
    for (const std::string& line : run.lines) events.push_back(EventOf(line));
    // Create event, game start, room creation code; no room start, no step.
    const std::vector<std::string> expected = {"Ev ev=0,0 step=0", "Ev ev=7,2 step=0", "RoomCode ev=7,2 step=0"};
    ASSERT_EQ(events.size(), 3u) << run.All();
    EXPECT_EQ(events[0], expected[0]);
    EXPECT_EQ(events[1], expected[1]);
    EXPECT_EQ(events[2].substr(0, 8), "RoomCode");
}

TEST(RunWorld, FatalErrorStopsTheStepAndTheProcessEndsWithOne)
{
    Game game;
    ObjectEntry o;
    o.name = "o";
    On(o, 3, 1, WORLD_EV);
    On(o, 3, 0, WORLD_FATAL);
    On(o, 3, 2, WORLD_EV);
    game.objects = {o};
    game.rooms = {FastRoom({RoomInstanceEntry{}})};

    const GameRun run = RunGame(game);
    EXPECT_EQ(run.exitCode, 1) << run.All();
    std::vector<std::string> events;
    for (const std::string& line : run.lines) events.push_back(EventOf(line));
    const std::vector<std::string> expected = {"Ev ev=3,1 step=0", "Fatal ev=3,0 step=0"};
    EXPECT_EQ(events, expected) << run.All();
}

TEST(RunWorld, AFatalErrorWhileARequestAndASoundAreUnderWayEndsAtOnceWithTheWholeReport)
{
    // The server holds its answer: the request thread is still waiting when the error comes.
    HttpTestServer server([](const HttpTestRequest&) {
        HttpTestResponse answer;
        answer.hold = true;
        return answer;
    });
    Game game;
    ObjectEntry o;
    o.name = "o";
    On(o, 3, 0, WORLD_FATAL_BUSY);
    game.objects = {o};
    game.rooms = {FastRoom({RoomInstanceEntry{}})};
    game.sound = true;
    TempFolder dir;
    const std::string log = dir / "log.txt";

    const GameRun run = RunGame(game, "-output '" + log + "'",
                                "ALSOFT_DRIVERS=null QS_TEST_URL='" + server.Url("/held") + "'");
    server.Release(1);
    EXPECT_EQ(run.exitCode, 1) << run.All();
    EXPECT_EQ(run.With("busy"), std::vector<std::string>{"busy requests=1 playing=1"}) << run.All();
    // The report is whole: its header, the message to its last byte, and the closing rule.
    const std::string text = dir.Read("log.txt");
    const std::string message =
        "world: a fatal error while a request and a sound are under way (" + std::string(600, 'x') + ")\n";
    EXPECT_NE(text.find("ERROR!!! :: "), std::string::npos) << text;
    EXPECT_NE(text.find("FATAL ERROR in\naction number 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find(message + std::string(92, '#') + "\n"), std::string::npos) << text;
}

TEST(RunWorld, DebugOutputListsTheStartUpStepsInTheirOrder)
{
    Game game;
    ObjectEntry o;
    o.name = "o";
    game.objects = {o};
    RoomEntry room = FastRoom({});
    room.creationCode = WORLD_ROOM_CODE;
    game.rooms = {room};
    TempFolder dir;
    const std::string log = dir / "log.txt";

    // -debugoutput makes the start-up lines print like the output console,
    // which writes to the -output file.
    const GameRun run = RunGame(game, "-debugoutput '" + (dir / "debug.txt") + "' -output '" + log + "'");
    EXPECT_EQ(run.exitCode, 0) << run.All();
    const std::string text = dir.Read("log.txt");
    const char* steps[] = {"Kivo Works Runner v1.0(999)[r32908]", "Get Resolution\n", "InitQSCFunctions\n",
                           "HighScore..", "Game..", "Fini\n", "Create Window\n", "Init Graphics\n",
                           "GR_D3D_Init()\n", "Font_InitTextures()\n", "IO Init\n", "Process Messages\n",
                           "Splash!\n", "Start Frame\n", "Part Create Textures\n", "Debug Init Remote Interface\n",
                           "VM Init\n", "Create Error Form\n", "Do The Work\n", "LoadGameData()\n",
                           "PrepareGame()\n", "Extension_Prepare() \n", "Code_Constant_Prepare() \n",
                           "Script_Prepare() \n", "TimeLine_Prepare() \n", "Object_Prepare() \n",
                           "Room_Prepare() \n", "Sound_Prepare() \n", "Finished PrepareGame() \n", "Run_Start\n"};
    size_t at = 0;
    for (const char* step : steps) {
        const size_t found = text.find(step, at);
        ASSERT_NE(found, std::string::npos) << step << " in\n" << text;
        at = found;
    }
}

TEST(RunWorld, AResumedPersistentRoomRunsItsRoomStartButNoCreateEvents)
{
    Game game;
    ObjectEntry a;
    a.name = "a";
    On(a, 0, 0, WORLD_SET_ALARM3);
    On(a, 7, 4, WORLD_EV);
    On(a, 3, 0, WORLD_GOTO_NEXT);
    On(a, 3, 2, WORLD_END_AT_STEP4);
    On(a, 2, 0, WORLD_EV);
    ObjectEntry b;
    b.name = "b";
    On(b, 0, 0, WORLD_EV);
    On(b, 3, 0, WORLD_GOTO_BACK);
    game.objects = {a, b};
    RoomInstanceEntry ia, ib;
    ia.objectIndex = 0;
    ia.id = 100001;
    ib.objectIndex = 1;
    ib.id = 100002;
    RoomEntry first = FastRoom({ia});
    first.persistent = 1;
    game.rooms = {first, FastRoom({ib})};

    const GameRun run = RunGame(game);
    EXPECT_EQ(run.exitCode, 0) << run.All();
    EXPECT_EQ(run.With("SetAlarm3 ").size(), 1u) << run.All();
    const std::vector<std::string> starts = run.With("Ev id=100001 ev=7,4");
    ASSERT_EQ(starts.size(), 2u) << run.All();
    EXPECT_NE(starts[1].find("room=0"), std::string::npos) << run.All();
    // The alarm kept counting from where the room was left: set to 3, one
    // step in room 0 before the switch, so it fires on the second step back.
    const std::vector<std::string> alarms = run.With("Ev id=100001 ev=2,0");
    ASSERT_EQ(alarms.size(), 1u) << run.All();
    EXPECT_NE(alarms[0].find("step=1 room=0"), std::string::npos) << run.All();
    EXPECT_EQ(run.With("Ev id=100002 ev=0,0").size(), 1u) << run.All();
}

// Input recording and playback: a small game driven by recorded input
// replays to the same states; damaged files end playback without reading
// past their end.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "Function/InteractionFunctionFixture.h"
#include "IO/IO_Input.h"
#include "Options/Runner_Options.h"
#include "support/TempFolder.h"

namespace {
struct GameState {
    double x = 0, clicks = 0;
    std::string typed;
    bool operator==(const GameState&) const = default;
};

struct RecordPlayback : InteractionFunctions {
    TempFolder folder;
    std::string file = folder / "input.rec";

    // The game's step, through its built-ins.
    void Step(GameState* state)
    {
        state->x += Num("keyboard_check", {R(39)}) - Num("keyboard_check", {R(37)});
        state->clicks += Num("mouse_check_button_pressed", {R(1)});
        if (Num("keyboard_check_pressed", {R(32)}) == 1) state->typed += "_";
    }
    // Frame k's live input.
    static void Inject(int k)
    {
        if (k == 1) Key(SDL_SCANCODE_RIGHT, true);
        if (k == 4) Key(SDL_SCANCODE_RIGHT, false);
        if (k == 5 || k == 7) Button(SDL_BUTTON_LEFT, true, 30, 40);
        if (k == 6 || k == 8) Button(SDL_BUTTON_LEFT, false, 30, 40);
        if (k == 6) Key(SDL_SCANCODE_SPACE, true);
        if (k == 10) Key(SDL_SCANCODE_LEFT, true);
        if (k == 5) {
            SDL_Event motion{};
            motion.type = SDL_MOUSEMOTION;
            motion.motion.x = 30;
            motion.motion.y = 40;
            SDL_PushEvent(&motion);
        }
    }
    void Open(const char* option)
    {
        IO_End();
        RunnerParseCommandLine((std::string(option) + " \"" + file + "\"").c_str());
        IO_Init();
    }
    std::vector<GameState> Run(int frames, bool live)
    {
        std::vector<GameState> states;
        GameState state;
        for (int k = 0; k < frames; ++k) {
            if (live) Inject(k);
            Frame();
            Step(&state);
            states.push_back(state);
        }
        return states;
    }
    void WriteBytes(const std::vector<char>& bytes)
    {
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<char> ReadBytes()
    {
        std::ifstream in(file, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(RecordPlayback, ARecordedRunReplaysToTheSameStates)
{
    Open("-record");
    const std::vector<GameState> recorded = Run(12, true);
    IO_End();
    EXPECT_EQ(ReadBytes().size(), 12 * IO_RECORD_SIZE);
    EXPECT_EQ(recorded.back().x, 3 - 2) << "right for 3 frames, then left for 2";
    EXPECT_EQ(recorded.back().clicks, 2);

    Open("-playback");
    Key(SDL_SCANCODE_LEFT, true);  // live input is ignored while playing back
    const std::vector<GameState> replayed = Run(12, false);
    EXPECT_EQ(replayed, recorded);
    EXPECT_EQ(IO_Input.mouseX, 30);
    EXPECT_EQ(IO_Input.deviceX[0], 30);

    // Past the end: what was held stays held, edges are gone.
    Frame();
    Frame();
    EXPECT_TRUE(IO_PlaybackEnded());
    EXPECT_EQ(Num("keyboard_check", {R(37)}), 1);
    EXPECT_EQ(Num("keyboard_check_pressed", {R(1)}), 0);
}

TEST_F(RecordPlayback, PlaybackWinsOverRecording)
{
    Open("-record");
    Run(3, true);
    IO_End();
    const std::vector<char> before = ReadBytes();
    IO_End();
    RunnerParseCommandLine(("-record \"" + file + "\" -playback \"" + file + "\"").c_str());
    IO_Init();
    EXPECT_EQ(IO_Input.record, 0);
    Run(5, true);
    IO_End();
    EXPECT_EQ(ReadBytes(), before) << "opened for reading, never written";
}

TEST_F(RecordPlayback, DamagedFilesEndPlaybackAtTheBadRecord)
{
    Open("-record");
    Run(6, true);
    IO_End();
    const std::vector<char> good = ReadBytes();

    struct Case { const char* what; size_t cutAt; size_t badByte; int framesRead; };
    const Case cases[] = {
        {"cut inside the third record", 2 * IO_RECORD_SIZE + 100, 0, 2},
        {"a flag byte of 7 in the fourth record", good.size(), 3 * IO_RECORD_SIZE + 2060 + 'A', 3},
        {"a current key of 300 in the first record", good.size(), 2056 + 1, 0},
        {"shorter than one record", 10, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<char> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(c.cutAt));
        if (c.badByte) bytes[c.badByte] = 7;
        WriteBytes(bytes);
        Open("-playback");
        for (int k = 0; k < c.framesRead; ++k) {
            Frame();
            EXPECT_FALSE(IO_PlaybackEnded()) << c.what << " frame " << k;
        }
        Frame();
        EXPECT_TRUE(IO_PlaybackEnded()) << c.what;
    }
}

TEST_F(RecordPlayback, MissingPlaybackFileStillIgnoresLiveInput)
{
    Open("-playback");
    EXPECT_EQ(IO_Input.playback, 1);
    Key(SDL_SCANCODE_A, true);
    Frame();
    EXPECT_EQ(Num("keyboard_check", {R('A')}), 0);
}
}  // namespace

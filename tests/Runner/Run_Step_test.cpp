#include "Runner/Run_Step.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "Base/Timing.h"
#include "Graphics/DebugOverlay.h"
#include "World/Object_Lists.h"
#include "World/WorldFixture.h"
#include "support/StandIns.h"
#include "support/TestSprites.h"

namespace {
struct AnimateCase {
    const char* what;
    bool layerMode;
    int32_t frames;  // 0: no sprite
    int32_t speedType;
    float playbackSpeed, imageSpeed, fps;
    float start;
    float after;  // NaN: NaN expected
    int ends;     // animation-end events
};

struct AnimateImageTest : WorldFixture {
    FrameTimer savedTimer = GameFrameTimer;
    void TearDown() override
    {
        Sprite_Init();
        GameFrameTimer = savedTimer;
        WorldFixture::TearDown();
    }
};

using StepTest = WorldFixture;
}  // namespace

TEST_F(AnimateImageTest, ImageIndexAdvancesAndWrapsWithOneAnimationEndEvent)
{
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    static const AnimateCase kCases[] = {
        {"no frames: every step while not negative", false, 0, 1, 1, 1, 0, 0, 1, 1},
        {"no frames and no speed", false, 0, 1, 1, 0, 0, 2.5f, 2.5f, 1},
        {"wrap from the last frame", false, 4, 1, 1, 1, 0, 3, 0, 1},
        {"before the last frame", false, 4, 1, 1, 1, 0, 2, 3, 0},
        {"backwards below the first frame", false, 4, 1, 1, -1, 0, 0.5f, 3.5f, 1},
        {"the sprite speed counts only in layer mode", false, 4, 1, 3, 1, 0, 0, 1, 0},
        {"layer mode, frames per game frame", true, 4, 1, 3, 0.5f, 0, 0, 1.5f, 0},
        {"layer mode, frames per game frame, wrapping", true, 4, 1, 2, 1, 0, 2.5f, 0.5f, 1},
        {"layer mode, frames per second", true, 4, 0, 30, 1, 60, 1, 1.5f, 0},
        {"an index beyond the 64-bit range", false, 4, 1, 1, 0, 0, 1e30f, 1e30f, 1},
        {"an infinite index", false, 4, 1, 1, 0, 0, kInf, kInf, 1},
        {"a NaN index", false, 4, 1, 1, 0, 0, kNaN, kNaN, 0},
    };
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 7, 0);
    for (const AnimateCase& c : kCases) {
        SCOPED_TRACE(c.what);
        eventmodule::Reset();
        Sprite_Init();
        LayerMode = c.layerMode;
        GameFrameTimer.SetFPS(c.fps);
        TestSpriteFields sprite{c.frames, 8, 8, 0, nullptr};
        sprite.speed = c.playbackSpeed;
        sprite.speedType = c.speedType;
        const int32_t index = c.frames > 0 ? TestSprite_Add(sprite) : -1;
        CInstance* instance = room.CreateInstance(0, 0, object);
        instance->sprite_index = index;
        instance->image_index = c.start;
        instance->image_speed = c.imageSpeed;
        Instance_AnimateImage(instance);
        if (std::isnan(c.after))
            EXPECT_TRUE(std::isnan(instance->image_index));
        else
            EXPECT_FLOAT_EQ(instance->image_index, c.after);
        EXPECT_EQ(static_cast<int>(eventmodule::Trace.size()), c.ends);
        room.DeleteActiveInstances();
    }
}

TEST_F(StepTest, AStepThatARoomChangeStopsClosesItsUpdateMarker)
{
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_STEP, EVENT_STEP_BEGIN, 0);
    Object_BuildEventLists();
    room.CreateInstance(0, 0, object);
    eventmodule::Hooks[0] = [](CInstance*, CInstance*) {
        // Long enough that a closed marker ends after it starts.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        PendingRoomCode = 0;
    };
    Timing_Reset();
    DoAStep();
    const TimingMarker* update = nullptr;
    for (int32_t i = 0; i < Timing_MarkerCount(); ++i)
        if (std::strcmp(Timing_Markers()[i].name, "Update") == 0) update = &Timing_Markers()[i];
    ASSERT_NE(update, nullptr);
    EXPECT_GT(update->end, update->start);
}

// The particle built-ins through the function table: results, bad handles,
// missing arguments, and the layer built-ins registered only with layers.
#include <gtest/gtest.h>

#include <vector>

#include "Base/ErrorLast.h"
#include "Code/Code_Function.h"
#include "Function/Function_Particle.h"
#include "Function/LayerFunctionFixture.h"
#include "Particle/Particle_Main.h"
#include "World/Room_Layers.h"
#include "support/RecordingConsole.h"

namespace {
struct ParticleFunctions : LayerFunctions {
    RecordingConsole logged;
    tagIConsole* savedLog = nullptr;
    void SetUp() override
    {
        LayerFunctions::SetUp();
        CodeFunction_FreeAll();
        Particle_Init();
        savedLog = LogConsole;
        LogConsole = &logged;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        ParticleSystem_FreeAll();
        Layer_FreeAll(&room);
        CodeFunction_FreeAll();
        LayerMode = false;
        LayerFunctions::TearDown();
    }
    static bool Registered(const char* name)
    {
        int32_t index = -1;
        return CodeFunction_Find(name, &index);
    }
};
}  // namespace

TEST_F(ParticleFunctions, BadHandlesGiveNeutralResultsAndIdsAreReused)
{
    LayerMode = false;
    InitParticleFunctions();
    EXPECT_FALSE(Registered("part_system_get_layer"));
    EXPECT_FALSE(Registered("part_system_create_layer"));
    EXPECT_TRUE(Registered("part_type_color_hsv"));
    EXPECT_EQ(Real("part_particles_count", {99}), 0);
    EXPECT_EQ(Real("part_type_exists", {-1}), 0);
    EXPECT_EQ(Real("part_system_exists", {1e12}), 0);
    EXPECT_EQ(Real("part_emitter_create", {5}), -1);
    EXPECT_EQ(Real("part_emitter_exists", {0, 0}), 0);
    Call("part_particles_create", {R(3), R(0), R(0), R(0), R(1)});
    for (const char* name : {"part_type_destroy", "part_system_clear", "part_system_update", "part_system_drawit",
                             "part_particles_clear", "part_emitter_destroy_all"})
        Call(name, {R(-7)});
    EXPECT_EQ(logged.text, "part_particles_create :: particle system does not exist!\n");

    const double a = Real("part_type_create", {}), b = Real("part_type_create", {});
    EXPECT_EQ(b, a + 1);
    Call("part_type_destroy", {R(a)});
    EXPECT_EQ(Real("part_type_exists", {a}), 0);
    EXPECT_EQ(Real("part_type_create", {}), a);
    Call("part_type_alpha2", {R(b), R(1), R(0)});
    EXPECT_EQ(ParticleType_Get(static_cast<int32_t>(b))->alphaMiddle, 0.5f);
    Call("part_type_color_rgb", {R(b), R(1), R(2), R(3), R(4), R(5), R(6)});
    EXPECT_EQ(ParticleType_Get(static_cast<int32_t>(b))->colourMode, 3);
    EXPECT_EQ(ParticleType_Get(static_cast<int32_t>(b))->colour[5], 6);

    const double ps = Real("part_system_create", {});
    const double e = Real("part_emitter_create", {ps});
    Call("part_emitter_region", {R(ps), R(e), R(10), R(10), R(20), R(20), R(0), R(0)});
    Call("part_emitter_burst", {R(ps), R(e), R(b), R(4)});
    EXPECT_EQ(Real("part_particles_count", {ps}), 4);
    Call("part_particles_create_color", {R(ps), R(1), R(2), R(b), R(0x123456), R(2)});
    EXPECT_EQ(ParticleSystem_Get(static_cast<int32_t>(ps))->particles[5].colour, 0x123456);
    Call("part_system_destroy", {R(ps)});
    EXPECT_EQ(Real("part_particles_count", {ps}), 0);
    Call("part_particles_create", {R(ps), R(0), R(0), R(b), R(1)});  // the destroyed system is reported, not followed
    EXPECT_NE(logged.text.find("particle system does not exist!\n", 60), std::string::npos);
}

TEST_F(ParticleFunctions, TooFewArgumentsAreReportedInsteadOfRead)
{
    InitParticleFunctions();
    ErrorLast_Set(nullptr);
    std::vector<ScriptValue> one{R(0)};
    Call("part_emitter_region", one);
    EXPECT_FALSE(LastReport().empty());
}

TEST_F(ParticleFunctions, LayerBuiltInsFindLayersByNameOrId)
{
    InitParticleFunctions();
    ASSERT_TRUE(Registered("part_system_create_layer"));
    RoomLayer* layer = Layer_Create(&room, 5, "Sparks");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(Call("part_system_create_layer", {Text("nowhere")}).real, -1);
    EXPECT_EQ(Real("part_system_create_layer", {double(layer->id + 50)}), -1);
    const double transient = Call("part_system_create_layer", {Text("sparks")}).real;
    const double kept = Real("part_system_create_layer", {double(layer->id), 1});
    ASSERT_GE(transient, 0);
    EXPECT_TRUE(ParticleSystem_Get(static_cast<int32_t>(transient))->transient);
    EXPECT_FALSE(ParticleSystem_Get(static_cast<int32_t>(kept))->transient);
    EXPECT_EQ(Real("part_system_get_layer", {kept}), layer->id);
    EXPECT_EQ(Real("part_system_get_layer", {kept + 10}), -1);

    const double plain = Real("part_system_create", {});
    EXPECT_EQ(Real("part_system_get_layer", {plain}), -1);
    EXPECT_EQ(Call("part_system_layer", {R(plain), Text("Sparks")}).real, -1);  // moved, yet -1
    EXPECT_EQ(Real("part_system_get_layer", {plain}), layer->id);
    EXPECT_EQ(Call("part_system_layer", {R(plain), Text("none")}).real, -1);
    EXPECT_EQ(Real("part_system_get_layer", {plain}), layer->id);
    ParticleSystem_RoomEnd();
    EXPECT_FALSE(ParticleSystem_Exists(static_cast<int32_t>(transient)));
    EXPECT_TRUE(ParticleSystem_Exists(static_cast<int32_t>(kept)));
}

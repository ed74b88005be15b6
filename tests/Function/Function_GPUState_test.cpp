// The gpu_ built-ins and the legacy switches through the built-in table:
// render and sampler states set and read back, pushed and popped, and
// exchanged as a ds_map.
#include "Function/Function_GPUState.h"

#include <cstring>
#include <map>
#include <string>

#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "Function/BuiltinCallFixture.h"
#include "GameData/GameHeader.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"

namespace {

struct GpuStateFunctions : BuiltinCallFixture {
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        LayerMode = true;
        InitGpuStateFunctions();
    }
    void TearDown() override
    {
        LayerMode = false;
        BuiltinCallFixture::TearDown();
    }
    static int32_t State(int index) { return g_RenderStateCache.GetRenderState(index); }
    static int32_t Sampler(int stage, int type) { return g_RenderStateCache.GetSamplerState(stage, type); }
    static float FloatState(int index)
    {
        const int32_t bits = State(index);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
};

TEST_F(GpuStateFunctions, SettersStoreWhatTheGettersReport)
{
    struct Case {
        const char* setter;
        double value;
        int state;
        int32_t stored;
        const char* getter;
        double reported;
    };
    const Case cases[] = {
        {"gpu_set_blendenable", 2, RS_BLENDENABLE, 2, "gpu_get_blendenable", 1},
        {"gpu_set_blendenable", 0, RS_BLENDENABLE, 0, "gpu_get_blendenable", 0},
        {"gpu_set_ztestenable", 1, RS_ZTESTENABLE, 1, "gpu_get_ztestenable", 1},
        {"gpu_set_zwriteenable", 2, RS_ZWRITEENABLE, 1, "gpu_get_zwriteenable", 1},
        {"gpu_set_alphatestenable", 0.7, RS_ALPHATESTENABLE, 1, "gpu_get_alphatestenable", 1},
        {"gpu_set_alphatestref", 200, RS_ALPHAREF, 200, "gpu_get_alphatestref", 200},
        {"gpu_set_alphatestfunc", 6, RS_ALPHATESTFUNC, 6, "gpu_get_alphatestfunc", 6},
        {"gpu_set_zfunc", 3, RS_ZFUNC, 3, "gpu_get_zfunc", 3},
        {"gpu_set_cullmode", 2, RS_CULLMODE, 2, "gpu_get_cullmode", 2},
        {"gpu_set_cullmode", -1, RS_CULLMODE, -1, "gpu_get_cullmode", 4294967295.0},  // unsigned
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Num(c.setter, {R(c.value)}), -1) << c.setter;
        EXPECT_EQ(State(c.state), c.stored) << c.setter << " " << c.value;
        EXPECT_EQ(Num(c.getter), c.reported) << c.getter;
    }
    EXPECT_EQ(TakeError(), "");
}

TEST_F(GpuStateFunctions, BlendModesAndTheirFactors)
{
    const double modes[][3] = {{0, 5, 6}, {1, 5, 2}, {2, 5, 4}, {3, 1, 4}, {7, 5, 6}};
    for (const auto& m : modes) {
        Num("gpu_set_blendmode", {R(m[0])});
        EXPECT_EQ(Reals("gpu_get_blendmode_ext_sepalpha"), (std::vector<double>{m[1], m[2], m[1], m[2]})) << m[0];
        EXPECT_EQ(Num("gpu_get_blendmode"), m[0] == 7 ? 0 : m[0]);
    }
    Num("gpu_set_blendmode_ext_sepalpha", {R(5), R(6), R(5), R(2)});
    EXPECT_EQ(State(RS_SEPALPHAENABLE), 1);
    EXPECT_EQ(Num("gpu_get_blendmode"), -1) << "colour and alpha factors differ";
    EXPECT_EQ(Num("gpu_get_blendmode_srcalpha"), 5);
    EXPECT_EQ(Num("gpu_get_blendmode_destalpha"), 2);

    Num("gpu_set_blendmode_ext", {A({5, 6})});
    EXPECT_EQ(State(RS_SEPALPHAENABLE), 0);
    EXPECT_EQ(Reals("gpu_get_blendmode_ext"), (std::vector<double>{5, 6}));
    EXPECT_EQ(Num("gpu_get_blendmode"), 0);
    Num("gpu_set_blendmode_ext", {R(7), R(8)});
    EXPECT_EQ(Num("gpu_get_blendmode_src"), 7);
    EXPECT_EQ(Num("gpu_get_blendmode_dest"), 8);
    Num("gpu_set_blendmode_ext_sepalpha", {A({2, 3, 4, 5})});
    EXPECT_EQ(Reals("gpu_get_blendmode_ext_sepalpha"), (std::vector<double>{2, 3, 4, 5}));
    EXPECT_EQ(TakeError(), "");
}

TEST_F(GpuStateFunctions, ColourWriteMaskPlainAndAsArray)
{
    Num("gpu_set_colourwriteenable", {R(1), R(0), R(3), R(0)});
    EXPECT_EQ(State(RS_COLORWRITEENABLE), 5);
    EXPECT_EQ(Reals("gpu_get_colorwriteenable"), (std::vector<double>{1, 0, 1, 0}));
    Num("gpu_set_colorwriteenable", {A({0, 1, 0, 1})});
    EXPECT_EQ(State(RS_COLORWRITEENABLE), 10);
    EXPECT_EQ(Reals("gpu_get_colourwriteenable"), (std::vector<double>{0, 1, 0, 1}));
}

TEST_F(GpuStateFunctions, FogIsOnlyDescribedWhenSwitchedOn)
{
    Num("gpu_set_fog", {R(1), R(0x0000FF), R(10.5), R(99)});
    EXPECT_EQ(Reals("gpu_get_fog"), (std::vector<double>{1, 0xFF0000FFu, 10.5, 99}));
    Num("gpu_set_fog", {A({0, 0xFF0000, 1, 2})});
    EXPECT_EQ(Reals("gpu_get_fog"), (std::vector<double>{0, 0xFF0000FFu, 10.5, 99}))
        << "off leaves colour, start and end";
    EXPECT_EQ(TakeError(), "");
}

TEST_F(GpuStateFunctions, FilterAndRepeatForAllStagesOrOne)
{
    Num("gpu_set_texfilter", {R(0)});
    for (int stage = 0; stage < 8; ++stage) {
        EXPECT_EQ(Sampler(stage, SS_MAGFILTER), 1);
        EXPECT_EQ(Sampler(stage, SS_MINFILTER), 1);
    }
    EXPECT_EQ(Num("gpu_get_texfilter"), 0);
    Num("gpu_set_texfilter_ext", {R(3), R(1)});
    EXPECT_EQ(Num("gpu_get_texfilter_ext", {R(3)}), 1);
    EXPECT_EQ(Num("gpu_get_texfilter_ext", {R(2)}), 0);

    Num("gpu_set_texrepeat", {R(0)});
    EXPECT_EQ(Sampler(5, SS_ADDRESSV), 1);
    EXPECT_EQ(Num("gpu_get_texrepeat"), 0);
    Num("gpu_set_texrepeat_ext", {R(0), R(1)});
    EXPECT_EQ(Sampler(0, SS_ADDRESSU), 0);
    EXPECT_EQ(Sampler(0, SS_ADDRESSV), 0);
    EXPECT_EQ(Num("gpu_get_texrepeat"), 1);

    // Stages outside 0..7 change and report nothing.
    Num("gpu_set_texrepeat_ext", {R(8), R(1)});
    Num("gpu_set_texfilter_ext", {R(-1), R(1)});
    EXPECT_EQ(Num("gpu_get_texfilter_ext", {R(8)}), 0);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(GpuStateFunctions, WrongArgumentsAreReportedAndChangeNothing)
{
    struct Case {
        const char* name;
        std::vector<double> args;
        const char* message;
        double result;
    };
    const std::string flag = "() - wrong number of parameters (takes a single true\false parameter)";
    const Case cases[] = {
        {"gpu_set_zfunc", {}, "gpu_set_zfunc() - should be passed a single parameter", -1},
        {"gpu_set_cullmode", {1, 2}, "gpu_set_cullmode() - should be passed a single parameter", -1},
        {"gpu_set_blendmode", {}, "gpu_set_blendmode() - should be passed a single parameter", -1},
        {"gpu_set_alphatestfunc", {}, "gpu_set_alphatestfunc() - should be passed a single parameter", -1},
        {"gpu_set_texfilter", {1, 1}, "gpu_set_texfilter() - should be passed a single parameter", -1},
        {"gpu_set_texrepeat", {}, "gpu_set_texrepeat() - should be passed a single parameter", -1},
        {"gpu_set_blendmode_ext", {1, 2, 3}, "gpu_set_blendmode_ext() - should be passed two parameters", -1},
        {"gpu_set_blendmode_ext", {1}, "gpu_set_blendmode_ext() - invalid array (must be 2 values)", -1},
        {"gpu_set_blendmode_ext_sepalpha", {1, 2}, "gpu_set_blendmode_ext_sepalpha() - should be passed four parameters", -1},
        {"gpu_set_colourwriteenable", {1, 1}, "gpu_set_colourwriteenable() - should be passed four parameters", -1},
        {"gpu_set_colorwriteenable", {1}, "gpu_set_colourwriteenable() - invalid array (must be 4 values)", -1},
        {"gpu_set_fog", {1}, "gpu_set_fog() - invalid array (must be 4 values)", -1},
        {"gpu_set_fog", {1, 2}, "gpu_set_fog() - wrong number of parameters (parameters are (enable, color, start, end))", -1},
        {"gpu_set_texfilter_ext", {1}, "gpu_set_texfilter_ext() - incorrect number of parameters, should be (stage,linear)", -1},
        {"gpu_set_texrepeat_ext", {}, "gpu_set_texrepeat_ext() - incorrect number of parameters, should be (stage,repeat)", -1},
        {"gpu_get_zfunc", {1}, "gpu_get_zfunc() - shouldn't take any arguments", 0},
        {"gpu_get_blendmode", {1}, "gpu_get_blendmode() - shouldn't take any arguments", -1},
        {"gpu_get_blendmode_ext", {1}, "gpu_get_blendmode_ext() - shouldn't take any arguments", -1},
        {"gpu_get_blendmode_ext_sepalpha", {1}, "gpu_get_blendmode_ext_sepalpha() - shouldn't take any arguments", -1},
        {"gpu_get_colourwriteenable", {1}, "gpu_get_colorwriteenable_r() - shouldn't take any arguments", 0},
        {"gpu_get_texrepeat", {1}, "gpu_get_texrepeat() - shouldn't take any arguments", 0},
        {"gpu_get_texfilter_ext", {}, "gpu_get_texfilter_ext() - wrong number of arguments - should take stage index", 0},
        {"gpu_get_texrepeat_ext", {1, 2}, "gpu_get_texrepeat_ext() - wrong number of arguments - should take stage index", 0},
        {"gpu_set_state", {}, "gpu_set_state() - wrong number of arguments - should take ds_map", -1},
        {"gpu_set_state", {12345}, "gpu_set_state() - ds_map index is invalid", -1},
    };
    RenderStateSnapshot before;
    for (int i = 0; i < RENDER_STATE_COUNT; ++i) before.render[i] = State(i);
    for (const Case& c : cases) {
        std::vector<ScriptValue> args;
        // One number where an array is expected is an array of the wrong length.
        if (c.args.size() == 1 && std::string(c.message).find("invalid array") != std::string::npos)
            args.push_back(A(c.args));
        else
            for (double d : c.args) args.push_back(R(d));
        ScriptValue result = Call(c.name, std::move(args));
        EXPECT_EQ(result.Kind() == VALUE_REAL ? result.real : -9999, c.result) << c.name;
        ScriptValue_SetUndefined(&result);
        EXPECT_NE(TakeError().find(c.message), std::string::npos) << c.name;
    }
    for (std::string name : {"gpu_set_blendenable", "gpu_set_ztestenable", "gpu_set_zwriteenable",
                             "gpu_set_alphatestenable"}) {
        EXPECT_EQ(Num(name.c_str(), {R(1), R(1)}), -1);
        EXPECT_NE(TakeError().find(name + flag), std::string::npos) << name;
    }
    for (int i = 0; i < RENDER_STATE_COUNT; ++i) EXPECT_EQ(State(i), before.render[i]) << i;
}

TEST_F(GpuStateFunctions, ArgumentsOfTheWrongKindAreFatal)
{
    Num("gpu_set_zfunc", {ScriptValue_Undefined()});
    const std::string message = TakeError();
    EXPECT_NE(message.find("gpu_set_zfunc argument 1 incorrect type"), std::string::npos) << message;
    Num("gpu_set_texfilter_ext", {R(0), A({1})});
    EXPECT_NE(TakeError().find("expecting a Number"), std::string::npos);
}

TEST_F(GpuStateFunctions, PushAndPopRestoreEveryState)
{
    Num("gpu_set_blendmode", {R(1)});
    Num("gpu_set_texfilter_ext", {R(4), R(0)});
    Call("gpu_push_state", {});
    Num("gpu_set_blendmode", {R(3)});
    Num("gpu_set_texfilter_ext", {R(4), R(1)});
    Num("gpu_set_cullmode", {R(1)});
    Call("gpu_pop_state", {});
    EXPECT_EQ(Num("gpu_get_blendmode"), 1);
    EXPECT_EQ(Num("gpu_get_texfilter_ext", {R(4)}), 0);
    EXPECT_EQ(Num("gpu_get_cullmode"), 0);
}

TEST_F(GpuStateFunctions, StateAsMapHoldsEveryKeyAndRestoresIt)
{
    Num("gpu_set_fog", {R(1), R(0x00FF00), R(2.5), R(300)});
    Num("gpu_set_texrepeat_ext", {R(6), R(0)});
    const int32_t handle = static_cast<int32_t>(Num("gpu_get_state"));
    std::map<std::string, double> entries;
    {
        DsMutexLock lock;
        DsMap* map = DsMap_FromIndex(handle);
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->Size(), 50);
        map->ForEach([&](DsMapElement* e) { entries[ScriptValue_StringText(&e->key)] = e->value.real; });
    }
    EXPECT_EQ(entries["fogstart"], 2.5);
    EXPECT_EQ(entries["fogend"], 300);
    EXPECT_EQ(entries["fogcolor"], 0xFF00FF00u);
    EXPECT_EQ(entries["addressu6"], 1);
    EXPECT_EQ(entries["addressv7"], 0);
    EXPECT_EQ(entries["srcblend"], 5);

    int32_t render[RENDER_STATE_COUNT], sampler[8][4];
    for (int i = 0; i < RENDER_STATE_COUNT; ++i) render[i] = State(i);
    for (int s = 0; s < 8; ++s)
        for (int t = 0; t < 4; ++t) sampler[s][t] = Sampler(s, t);
    Num("gpu_set_fog", {R(0), R(0), R(0), R(0)});
    Num("gpu_set_blendmode_ext_sepalpha", {R(1), R(2), R(3), R(4)});
    Num("gpu_set_texfilter", {R(0)});
    Num("gpu_set_texrepeat", {R(1)});
    Num("gpu_set_colourwriteenable", {R(0), R(0), R(0), R(0)});
    EXPECT_EQ(Num("gpu_set_state", {R(handle)}), -1);
    for (int i = 0; i < RENDER_STATE_COUNT; ++i) EXPECT_EQ(State(i), render[i]) << i;
    for (int s = 0; s < 8; ++s)
        for (int t = 0; t < 4; ++t) EXPECT_EQ(Sampler(s, t), sampler[s][t]) << s << " " << t;
    EXPECT_EQ(TakeError(), "");
    DsMap_Destroy(handle);
}

TEST_F(GpuStateFunctions, StateMapKeysMatchExactlyAndStagesStayInRange)
{
    const int32_t handle = DsMap_CreateFromTriples(6, "magfilter3", 1.0, nullptr, "magfilter9", 1.0, nullptr,
                                                   "BlendEnable", 0.0, nullptr, "fogend", 12.75, nullptr,
                                                   "minfilter", 1.0, nullptr, "addressv99999999999", 1.0, nullptr);
    ASSERT_GE(handle, 0);
    {
        DsMutexLock lock;
        const ScriptValue key = R(7), value = R(1);
        DsMap_FromIndex(handle)->Add(&key, &value);  // not a string key: skipped
    }
    Num("gpu_set_blendenable", {R(1)});
    Num("gpu_set_state", {R(handle)});
    EXPECT_EQ(Sampler(3, SS_MAGFILTER), 1);
    EXPECT_EQ(Sampler(0, SS_MINFILTER), 1) << "no digits: stage 0";
    for (int stage = 0; stage < 8; ++stage) {
        if (stage != 3) {
            EXPECT_EQ(Sampler(stage, SS_MAGFILTER), 0) << stage;
        }
        EXPECT_EQ(Sampler(stage, SS_ADDRESSV), 0) << stage;
    }
    EXPECT_EQ(State(RS_BLENDENABLE), 1) << "keys match case-sensitively";
    EXPECT_EQ(FloatState(RS_FOGEND), 12.75f);
    EXPECT_EQ(TakeError(), "");
    DsMap_Destroy(handle);
}

struct LegacyGpuSwitches : GpuStateFunctions {
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        LayerMode = false;
        InitGpuStateFunctions();
    }
};

TEST_F(LegacyGpuSwitches, LegacyGamesGetTheSwitchesOnly)
{
    int32_t index;
    EXPECT_FALSE(CodeFunction_Find("gpu_set_blendenable", &index));
    Call("Kivo_EnableAlphaBlend", {R(0)});
    EXPECT_EQ(State(RS_BLENDENABLE), 0);
    Call("draw_enable_alphablend", {R(3)});
    EXPECT_EQ(State(RS_BLENDENABLE), 3);
    Call("d3d_set_culling", {R(1)});
    EXPECT_EQ(State(RS_CULLMODE), 2);
    Call("d3d_set_culling", {R(0)});
    EXPECT_EQ(State(RS_CULLMODE), 0);
    Call("d3d_set_zwriteenable", {R(0)});
    EXPECT_EQ(State(RS_ZWRITEENABLE), 0);
    Call("d3d_set_hidden", {R(0)});
    EXPECT_EQ(GR_LegacySettings.hidden, 0);
    EXPECT_EQ(TakeError(), "");
}

}  // namespace

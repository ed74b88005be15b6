// What game code learns about the system: the platform constants and
// variables and the operating-system queries, under chosen locales.
#include "Platform/Kivo_OSFunctions.h"

#include <gtest/gtest.h>

#include <string>

#include "Code/Code_Constant.h"
#include "Code/Code_Variable.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "Function/BuiltinCallFixture.h"
#include "GameData/GameHeader.h"
#include "Host/Host_System.h"
#include "Platform/Platform_OS.h"
#include "Variable/Kivo_Variables.h"
#include "support/EnvGuard.h"

namespace {
struct OSFunctions : BuiltinCallFixture {
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitKivoOSFunctions();
    }
};

TEST_F(OSFunctions, LanguageAndRegionComeFromTheMessagesLocale)
{
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        const char* language;
        const char* region;
    };
    const Case cases[] = {
        {nullptr, nullptr, "da_DK.UTF-8", "da", "DK"},
        {nullptr, nullptr, "en_GB.UTF-8@euro", "en", "GB"},
        {nullptr, "de_AT.UTF-8", "en_GB.UTF-8", "de", "AT"},
        {"fr_CA", "de_AT.UTF-8", "en_GB.UTF-8", "fr", "CA"},
        {nullptr, "", "pt_BR", "pt", "BR"},
        // Languages the table counts as one answer with its code.
        {nullptr, nullptr, "nb_NO.UTF-8", "no", "NO"},
        {nullptr, nullptr, "sr_RS", "hr", "RS"},
        // A language the table lacks, and no language at all.
        {nullptr, nullptr, "fa_IR.UTF-8", "--", "IR"},
        {nullptr, nullptr, "C.UTF-8", "--", ""},
        {nullptr, nullptr, "eo", "--", ""},
        {nullptr, nullptr, nullptr, "--", ""},
    };
    for (const Case& c : cases) {
        EnvGuard env;
        env.Set("LC_ALL", c.all);
        env.Set("LC_MESSAGES", c.messages);
        env.Set("LANG", c.lang);
        EXPECT_EQ(Str("os_get_language"), c.language) << (c.lang ? c.lang : "none");
        EXPECT_EQ(Str("os_get_region"), c.region) << (c.lang ? c.lang : "none");
    }
}

TEST_F(OSFunctions, InfoGivesANewMapOfTheAdapterEachCall)
{
    const double first = Num("os_get_info");
    const double second = Num("os_get_info");
    ASSERT_GE(first, 0);
    EXPECT_NE(first, second);
    for (double handle : {first, second}) {
        DsMutexLock lock;
        DsMap* map = DsMap_FromIndex(static_cast<int32_t>(handle));
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map->Size(), 10);
        for (const char* key : {"video_adapter_description", "video_adapter_vendorid",
                                "video_adapter_sharedsystemmemory", "video_d3d11_device", "video_d3d11_context"}) {
            ScriptValue name = S(key);
            EXPECT_TRUE(map->Exists(&name)) << key;
            ScriptValue_SetUndefined(&name);
        }
    }
    DsMap_Destroy(static_cast<int32_t>(first));
    DsMap_Destroy(static_cast<int32_t>(second));
}

TEST_F(OSFunctions, DeviceQueriesAnswerAsADesktop)
{
    EXPECT_EQ(Num("Kivo_GetDevice"), -1);
    EXPECT_GT(Num("display_get_dpi_x"), 0);
    EXPECT_GT(Num("display_get_dpi_y"), 0);
    const double connected = Num("os_is_network_connected");
    EXPECT_TRUE(connected == 0 || connected == 1);
    ScriptValue powerSave = Call("os_powersave_enable", {R(1)});
    EXPECT_EQ(powerSave.Kind(), VALUE_UNDEFINED) << "nothing to answer";

    // Locking keeps the current orientation only; unlocking allows what the options allow.
    AllowedOrientations = {1, 0, 1, 0};
    EXPECT_EQ(Num("os_lock_orientation", {R(1)}), 0);
    EXPECT_EQ(LockedOrientations.landscape, 1);
    EXPECT_EQ(LockedOrientations.landscapeFlipped, 0);
    EXPECT_EQ(Num("os_lock_orientation", {R(0)}), 0);
    EXPECT_EQ(LockedOrientations.landscapeFlipped, 1);
    EXPECT_EQ(LockedOrientations.portrait, 0);
    AllowedOrientations = LockedOrientations = {1, 1, 1, 1};
}

TEST_F(OSFunctions, ConfigurationNameComesFromTheGeneralHeader)
{
    char name[] = "Release";
    GameGeneral.configName = name;
    EXPECT_EQ(Str("os_get_config"), "Release");
    EXPECT_EQ(Str("Kivo_GetConfig"), "Release");
    GameGeneral.configName = nullptr;
    EXPECT_EQ(Str("os_get_config"), "");
}

TEST(PlatformConstants, AreRegisteredWithThePlatformsOfTheGameVersion)
{
    Code_Constant_Free();
    Code_Constant_Init();
    for (const auto& [name, value] :
         std::vector<std::pair<const char*, double>>{{"os_windows", 0}, {"os_linux", 6}, {"os_psp", 2},
                                                      {"os_llvm_winphone", 65543}, {"device_emulator", 256},
                                                      {"browser_ie_mobile", 10}, {"asset_timeline", 8},
                                                      {"ds_type_priority", 6}, {"fb_login_forcing_safari", 5},
                                                      {"achievement_challenge_launched", 1011}}) {
        const ScriptValue* constant = Code_Constant_Get(name);
        ASSERT_NE(constant, nullptr) << name;
        EXPECT_EQ(constant->real, value) << name;
    }
    Code_Constant_Free();
    LayerMode = true;
    Code_Constant_Init();
    EXPECT_EQ(Code_Constant_Get("os_psp"), nullptr) << "not for game data of version 2 and later";
    EXPECT_NE(Code_Constant_Get("os_ps4"), nullptr);
    LayerMode = false;
    Code_Constant_Free();
}

TEST(PlatformVariables, AreReadOnlyAndDescribeTheSystem)
{
    Variable_BuiltIn_Free();
    InitKivoVariables();
    auto read = [](const char* name) {
        const int32_t id = Variable_BuiltIn_Find(name);
        EXPECT_GE(id, 0) << name;
        const BuiltinVariable* variable = Variable_BuiltIn_At(id);
        ScriptValue out = ScriptValue_Undefined();
        EXPECT_TRUE(variable && variable->getter(nullptr, ARRAY_INDEX_NONE, &out)) << name;
        EXPECT_TRUE(variable && !variable->canSet) << name << " is read-only";
        return out.real;
    };
    EXPECT_EQ(read("os_type"), 0);
    EXPECT_EQ(GetOSType(), 0);
    EXPECT_EQ(read("os_device"), -1);
    EXPECT_EQ(read("os_browser"), -1);
    int major = 0;
    int minor = 0;
    ASSERT_TRUE(Host_OSVersion(&major, &minor));
    EXPECT_EQ(read("os_version"), major * 65536 + minor);
    EXPECT_GE(read("browser_width"), 0);
    EXPECT_GE(read("browser_height"), 0);
    Variable_BuiltIn_Free();
}
}  // namespace

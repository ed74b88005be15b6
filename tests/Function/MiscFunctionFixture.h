#pragma once
// The "Misc.." group through the built-in function table, with the dates
// read in a zone the test chooses.
#include <time.h>

#include <optional>

#include "Base/Date.h"
#include "Function/BuiltinCallFixture.h"
#include "Function/Function_Misc.h"
#include "Platform/Platform_Main.h"
#include "support/EnvGuard.h"

struct MiscFunctions : BuiltinCallFixture {
    std::optional<EnvGuard> zone;

    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        InitMiscFunctions(Platform_MiscRoutines());
        DateUseLocalTime = true;
    }
    void TearDown() override
    {
        zone.reset();
        tzset();
        DateUseLocalTime = true;
        BuiltinCallFixture::TearDown();
    }
    // The local zone, as a POSIX TZ text (no zone files needed).
    void SetZone(const char* tz)
    {
        if (!zone) zone.emplace();
        zone->Set("TZ", tz);
        tzset();
    }
};

#include "GameData/GameOptions.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Options/Runner_Options.h"

GameOptionsRecord GameOptions;

namespace {
// Flag bits of the newer layout with the 4-byte field of the older one.
struct FlagField {
    int bit;
    uint32_t olderOffset;
    bool GameOptionsRecord::*option;
};

const FlagField kFlags[] = {
    {0, 0, &GameOptionsRecord::fullScreen},
    {2, 8, &GameOptionsRecord::newAudioEngine},
    {4, 16, &GameOptionsRecord::showCursor},
    {7, 36, &GameOptionsRecord::displayModeChange},
    {9, 60, &GameOptionsRecord::altEnterFullScreen},
    {15, 88, &GameOptionsRecord::pauseWhenInactive},
    {21, 128, &GameOptionsRecord::allErrorsFatal},
    {22, 132, &GameOptionsRecord::unsetVariablesAreErrors},
};

constexpr uint32_t kNewerConstantsAt = 64;
constexpr uint32_t kOlderConstantsAt = 144;

int32_t LeadingDecimal(const char* text)
{
    const long long v = std::strtoll(text, nullptr, 10);
    return static_cast<int32_t>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}

char* CopyText(const char* text)
{
    if (!text) text = "";
    const size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(QS_ALLOC(n, false));
    std::memcpy(copy, text, n);
    return copy;
}

bool IsRunnerConstant(const char* name)
{
    return name && (std::strcmp(name, "@@SleepMargin") == 0 || std::strcmp(name, "@@DrawColour") == 0);
}

bool ReadConstants(const uint8_t* payload, uint32_t length, uint32_t countAt)
{
    const uint32_t count = GameData_U32(payload + countAt);
    const uint32_t listAt = countAt + 4;
    if (count > (length - listAt) / 8)
        return GameData_Fail("OPTN", "constant count %u does not fit in the payload of %u bytes", count, length);
    // First pass: check every string and take the runner's own constants.
    uint32_t gameConstants = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const char* name = nullptr;
        const char* value = nullptr;
        if (!GameData_String("OPTN", GameData_U32(payload + listAt + 8 * i), &name)) return false;
        if (!GameData_String("OPTN", GameData_U32(payload + listAt + 8 * i + 4), &value)) return false;
        if (!IsRunnerConstant(name)) {
            ++gameConstants;
            continue;
        }
        if (!value) value = "";
        if (std::strcmp(name, "@@SleepMargin") == 0) {
            SleepMargin = LeadingDecimal(value);
        } else {
            GameOptions.drawColour = static_cast<uint32_t>(std::strtoull(value, nullptr, 0));
            GameOptions.drawColourSet = true;
        }
    }
    Option_Free();
    if (gameConstants == 0) return true;
    GameOptions.constantNames = static_cast<char**>(QS_ALLOC(sizeof(char*) * gameConstants, true));
    GameOptions.constantValues = static_cast<char**>(QS_ALLOC(sizeof(char*) * gameConstants, true));
    for (uint32_t i = 0; i < count; ++i) {
        const char* name = nullptr;
        const char* value = nullptr;
        GameData_String("OPTN", GameData_U32(payload + listAt + 8 * i), &name);
        GameData_String("OPTN", GameData_U32(payload + listAt + 8 * i + 4), &value);
        if (IsRunnerConstant(name)) continue;
        const uint32_t n = GameOptions.constantCount++;
        GameOptions.constantNames[n] = CopyText(name);
        GameOptions.constantValues[n] = CopyText(value);
        if (name && value && std::strcmp(name, "VersionMajor") == 0) GameOptions.versionMajor = LeadingDecimal(value);
        if (name && value && std::strcmp(name, "VersionMinor") == 0) GameOptions.versionMinor = LeadingDecimal(value);
    }
    return true;
}
}  // namespace

void Option_Free()
{
    for (uint32_t i = 0; i < GameOptions.constantCount; ++i) {
        QS_FREE(GameOptions.constantNames[i]);
        QS_FREE(GameOptions.constantValues[i]);
    }
    if (GameOptions.constantNames) QS_FREE(GameOptions.constantNames);
    if (GameOptions.constantValues) QS_FREE(GameOptions.constantValues);
    GameOptions.constantNames = nullptr;
    GameOptions.constantValues = nullptr;
    GameOptions.constantCount = 0;
}

void Option_SetDefaults()
{
    Option_Free();
    const uint32_t drawColour = GameOptions.drawColour;  // has no default: only the constant sets it
    GameOptions = GameOptionsRecord{};
    GameOptions.drawColour = drawColour;
    GameOptions.showCursor = true;
    GameOptions.windowColour = 0xFFFFFF;
    GameOptions.altEnterFullScreen = true;
    AllErrorsFatal = false;
    ShowErrorDialogs = true;
}

namespace {
enum class OptionsResult { Loaded, OtherVersion, Malformed };

OptionsResult ReadOptions(const uint8_t* payload, uint32_t length)
{
    if (length < 4) {
        GameData_Fail("OPTN", "payload of %u bytes has no layout marker", length);
        return OptionsResult::Malformed;
    }
    const bool newer = static_cast<int32_t>(GameData_U32(payload)) < 0;
    const uint32_t need = newer ? kNewerConstantsAt : kOlderConstantsAt;
    if (newer && length >= 8 && GameData_U32(payload + 4) != 2) return OptionsResult::OtherVersion;
    if (length < need) {
        GameData_Fail("OPTN", "payload of %u bytes is too short for its layout (needs %u)", length, need);
        return OptionsResult::Malformed;
    }
    if (newer) {
        const uint64_t flags = GameData_U64(payload + 8);
        for (const FlagField& f : kFlags) GameOptions.*f.option = ((flags >> f.bit) & 1u) != 0;
        GameOptions.collisionMode = ((flags >> 26) & 1u) != 0;
        GameOptions.collisionCompatibility = ((flags >> 27) & 1u) != 0;
        GameOptions.windowColour = GameData_U32(payload + 20);
        GameOptions.colourDepthCode = GameData_U32(payload + 24);
        GameOptions.resolutionCode = GameData_U32(payload + 28);
        GameOptions.frequencyCode = GameData_U32(payload + 32);
    } else {
        for (const FlagField& f : kFlags) GameOptions.*f.option = GameData_U32(payload + f.olderOffset) != 0;
        GameOptions.windowColour = GameData_U32(payload + 32);
        GameOptions.colourDepthCode = GameData_U32(payload + 40);
        GameOptions.resolutionCode = GameData_U32(payload + 44);
        GameOptions.frequencyCode = GameData_U32(payload + 48);
    }
    if (InAWindow) GameOptions.fullScreen = false;
    // The error report sits below the game data and reads its own copy.
    AllErrorsFatal = GameOptions.allErrorsFatal;
    const bool ok = ReadConstants(payload, length, need - 4);
    return ok ? OptionsResult::Loaded : OptionsResult::Malformed;
}
}  // namespace

bool Option_Load(const uint8_t* payload, uint32_t length)
{
    return ReadOptions(payload, length) == OptionsResult::Loaded;
}

bool OPTN_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    return ReadOptions(payload, length) != OptionsResult::Malformed;
}

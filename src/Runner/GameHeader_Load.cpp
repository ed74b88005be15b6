#include "Runner/GameHeader_Load.h"

#include <cmath>
#include <cstring>
#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/CodeChunks.h"
#include "GameData/GameData.h"
#include "Runner/Runner_StartUp.h"
#include "Base/Timing.h"
#include "IO/LoadSave.h"
#include "World/Room_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "Code/JS_Main.h"
#include "Graphics/VertexFormat.h"
#include "Runner/GameChunks.h"
#include "GameData/GameHeader.h"
#include "Options/Runner_Strings.h"

namespace {
constexpr int kCompatibilityLevel = 800;

// Where the room play order lies, by format version.
uint32_t RoomOrderCountOffset(int version)
{
    if (version <= 7) return 36;
    if (version <= 9) return 100;
    if (version == 10) return 104;
    if (version == 11) return 112;
    if (version == 12) return 120;
    if (version == 13) return 124;
    return 128;
}

// The fixed fields a header of this version carries end here.
uint32_t FixedFieldsEnd(int version)
{
    if (version >= 14) return 128;
    if (version >= 13) return 124;
    if (version >= 12) return 120;
    if (version >= 11) return 112;
    if (version >= 10) return 104;
    if (version >= 8) return 100;
    return 48;
}

// Checks that every field the readers take lies in the payload; gives the room count.
bool CheckGeneralHeader(const char* tag, const uint8_t* payload, uint32_t length, uint32_t* roomCount)
{
    if (length < 2) return GameData_Fail(tag, "payload of %u bytes has no format version", length);
    const int version = payload[1];
    const uint32_t countAt = RoomOrderCountOffset(version);
    uint32_t need = FixedFieldsEnd(version);
    if (countAt + 4 > need) need = countAt + 4;
    if (length < need)
        return GameData_Fail(tag, "payload of %u bytes is too short for format version %d (needs %u)", length,
                             version, need);
    const uint32_t count = GameData_U32(payload + countAt);
    if (count > (length - countAt - 4) / 4)
        return GameData_Fail(tag, "room count %u does not fit in the payload of %u bytes", count, length);
    *roomCount = count;
    return true;
}

bool ReadHeaderString(const char* tag, const uint8_t* payload, uint32_t at, char** slot)
{
    const char* text = nullptr;
    if (!GameData_String(tag, GameData_U32(payload + at), &text)) return false;
    Runner_ReplaceText(slot, text);
    return true;
}

// Sides the window and its swap chain can have; 0 in the header means none given.
constexpr uint32_t kLargestWindowSide = 16384;
constexpr uint32_t kDefaultWindowWidth = 800, kDefaultWindowHeight = 480;

bool ReadWindowFields(const char* tag, const uint8_t* payload)
{
    uint32_t width = GameData_U32(payload + 60), height = GameData_U32(payload + 64);
    if (width > kLargestWindowSide || height > kLargestWindowSide)
        return GameData_Fail(tag, "window size %u x %u is beyond %u pixels a side", width, height, kLargestWindowSide);
    GameGeneral.windowWidth = width ? width : kDefaultWindowWidth;
    GameGeneral.windowHeight = height ? height : kDefaultWindowHeight;
    GameGeneral.infoFlags = GameData_U32(payload + 68);
    if (InAWindow) GameGeneral.infoFlags &= ~1u;
    return true;
}

bool HeaderPass_General(const GameChunk& chunk)
{
    VerboseConsole->Output("Get Header Information\n");
    const uint8_t* p = chunk.payload;
    uint32_t roomCount = 0;
    if (!CheckGeneralHeader(chunk.tag, p, chunk.length, &roomCount)) return false;
    GameGeneral.debugFlag = p[0];
    FormatVersion = p[1];
    if (!ReadHeaderString(chunk.tag, p, 8, &GameGeneral.configName)) return false;
    if (!ReadHeaderString(chunk.tag, p, 40, &GameGeneral.gameName)) return false;
    Runner_SetGameName(GameGeneral.gameName ? GameGeneral.gameName : "");  // names the save area
    GameGeneral.gameId = GameData_U32(p + 20);
    if (FormatVersion >= 10 && GameData_U32(p + 100) != 0) {
        if (!ReadHeaderString(chunk.tag, p, 100, &GameGeneral.displayName)) return false;
    }
    if (FormatVersion >= 11) GameGeneral.value104 = GameData_U64(p + 104);
    GameGeneral.featureMask = FormatVersion >= 12 ? GameData_U64(p + 112) : ~0ull;
    if (FormatVersion >= 13) GameGeneral.steamAppId = GameData_U32(p + 120);
    if (FormatVersion >= 14) GameGeneral.value124 = GameData_U32(p + 124);
    if (FormatVersion >= 8) {
        if (!ReadWindowFields(chunk.tag, p)) return false;
        GameGeneral.appSurfaceWidth = GameGeneral.windowWidth;
        GameGeneral.appSurfaceHeight = GameGeneral.windowHeight;
        ObjectMode = (GameGeneral.infoFlags & 0x8000u) != 0;
    }
    if ((FormatVersion >= 8 && (GameData_U32(p + 68) & 0x1000u) != 0) || ChildGame) NoExternalCalls = true;
    GameGeneral.compatibilityLevel = kCompatibilityLevel;
    NewCodeFormat = FormatVersion >= 15;
    VerboseConsole->Output("InitQSCFunctions\n");
    LayerMode = static_cast<int32_t>(GameData_U32(p + 44)) >= 2;
    InitQSCFunctions();
    return true;
}

bool HeaderPass_Code(const GameChunk& chunk)
{
    VerboseConsole->Output("Code_Load()\n");
    uint32_t count = 0;
    if (!GameData_CheckList(chunk.tag, chunk.payload, chunk.length, &count)) return false;
    if (!CODE_CheckRecords(chunk.payload, chunk.length)) return false;
    GameTables.codePresent = true;
    GameTables.codeCount = count;
    GameTables.codeOffsets = chunk.payload + 4;
    return true;
}

bool HeaderPass_Strings(const GameChunk& chunk)
{
    VerboseConsole->Output("ID_STRG\n");
    uint32_t count = 0;
    if (!GameData_CheckList(chunk.tag, chunk.payload, chunk.length, &count)) return false;
    // Every record is checked once here, so the interpreter can index the table freely.
    for (uint32_t i = 0; i < count; ++i) {
        const char* text = nullptr;
        if (!GameData_StringRecord(chunk.tag, GameData_U32(chunk.payload + 4 + 4 * i), &text)) return false;
    }
    GameTables.stringCount = count;
    GameTables.stringOffsets = chunk.payload + 4;
    return true;
}

bool HeaderPass_Variables(const GameChunk& chunk, const uint8_t* data)
{
    VerboseConsole->Output("VARI_Load()\n");
    if (!VARI_Load(chunk.payload, chunk.length, data)) return false;
    GameTables.variPayload = chunk.payload;
    GameTables.variWords = chunk.length / 4;
    return true;
}

bool IsTag(const GameChunk& chunk, const char* tag)
{
    return std::memcmp(chunk.tag, tag, 4) == 0;
}
}  // namespace

bool LoadGameHeader(const uint8_t* data, uint32_t size)
{
    GameHeader_Reset();
    CodeChunks_Free();  // the code copy of a previous image must not be taken for this one
    GameData_SetImage(data, size);
    if (!GameData_CheckContainer(data, size)) return false;
    uint32_t pos = 8;
    GameChunk chunk;
    bool haveGeneral = false;
    while (GameData_NextChunk(data, size, &pos, &chunk)) {
        if (chunk.length == 0) continue;
        bool ok = true;
        if (IsTag(chunk, "GEN7") || IsTag(chunk, "GEN8") || IsTag(chunk, "GENL")) {
            // A second header would register every built-in function again.
            if (haveGeneral) return GameData_Fail(chunk.tag, "a second general header at offset %u", chunk.offset - 8);
            haveGeneral = true;
            ok = HeaderPass_General(chunk);
        } else if (IsTag(chunk, "CODE")) ok = HeaderPass_Code(chunk);
        else if (IsTag(chunk, "STRG")) ok = HeaderPass_Strings(chunk);
        else if (IsTag(chunk, "VARI")) ok = HeaderPass_Variables(chunk, data);
        if (!ok) return false;
    }
    // Without it no built-in function exists and nothing of the game can run.
    if (!haveGeneral) return GameData_Fail("FORM", "the file has no general header (GEN8)");
    return true;
}

bool GEN8_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t roomCount = 0;
    if (!CheckGeneralHeader("GEN8", payload, length, &roomCount)) return false;
    FormatVersion = payload[1];
    GameGeneral.gameId = GameData_U32(payload + 20);
    std::memcpy(GameGeneral.identifier, payload + 24, sizeof GameGeneral.identifier);
    Room_SetLastInstanceId(GameData_U32(payload + 12));
    Room_SetLastTileId(GameData_U32(payload + 16));
    if (FormatVersion >= 8) {
        if (!ReadWindowFields("GEN8", payload)) return false;
        std::memcpy(GameGeneral.bytes72, payload + 72, sizeof GameGeneral.bytes72);
    }
    const uint32_t countAt = RoomOrderCountOffset(FormatVersion);
    Room_LoadOrder(payload + countAt + 4, roomCount);
    if (ObjectMode) JS_InitBuiltInObjects();
    if (FormatVersion >= 14 && LayerMode) {
        const uint32_t speedAt = countAt + 4 + 4 * roomCount + 40;
        if (speedAt > length || length - speedAt < 4)
            return GameData_Fail("GEN8", "the game speed at offset %u lies past the payload of %u bytes", speedAt,
                                 length);
        const float speed = GameData_F32(payload + speedAt);
        if (!std::isfinite(speed) || speed <= 0.0f)
            return GameData_Fail("GEN8", "game speed %g is not a positive number of frames per second",
                                 static_cast<double>(speed));
        GameGeneral.gameSpeed = speed;
        GameFrameTimer.SetFPS(GameGeneral.gameSpeed);
    }
    return true;
}


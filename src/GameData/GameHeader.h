#pragma once
// The general header ("GEN8") as the rest of the runner reads it: the format
// flags, the general values and the lists the header pass keeps.
#include <cstdint>

extern int FormatVersion;
extern bool NewCodeFormat;   // FormatVersion >= 15
extern bool LayerMode;       // major version >= 2: room layers, cameras, game speed as a frame rate
extern bool ObjectMode;      // info flag 0x8000: the script object model

// Values of the general header kept for the rest of the runner.
struct GameGeneralInfo {
    uint8_t debugFlag;           // byte 0: bit 0 set in a game built for release
    uint32_t windowWidth;
    uint32_t windowHeight;
    uint32_t infoFlags;          // bit 0 full screen, 0x1000 no external calls, 0x2000 roaming save area, 0x8000 object mode
    uint32_t appSurfaceWidth;    // the application surface starts at the window size
    uint32_t appSurfaceHeight;
    uint32_t gameId;
    uint8_t identifier[16];
    char* configName;            // copies owned through the memory manager; null when the header has none
    char* gameName;
    char* displayName;           // null: the runner's default title stays
    uint64_t value104;
    uint64_t featureMask;        // bit 2 lets the pad back end poll
    uint32_t steamAppId;
    uint32_t value124;
    uint8_t bytes72[28];
    double gameSpeed;            // frames per second in layer mode, 0 when the header gives none
    int compatibilityLevel;
};
extern GameGeneralInfo GameGeneral;

// The window title and message-box caption: the header's display name, or
// the runner's own title when the header gives none.
const char* GameGeneral_DisplayName();

// Lists the header pass keeps (pointers into the image, u32 words read with GameData_U32).
struct GameDataTables {
    bool codePresent;
    uint32_t codeCount;
    const uint8_t* codeOffsets;
    uint32_t stringCount;
    const uint8_t* stringOffsets;
    const uint8_t* variPayload;
    uint32_t variWords;
    uint32_t globCount;
    const uint8_t* globList;     // s32 code-entry indices
};
extern GameDataTables GameTables;


// Text of entry index of the string table, null when out of range.
const char* GameData_StringTableText(uint32_t index);

// Back to the values of a runner with no game (frees the name copies).
void GameHeader_Reset();

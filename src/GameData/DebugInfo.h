#pragma once
// The debug-information file (".kvdebug" beside the game data): a container
// like the game data whose offsets are relative to its own start.
#include <cstdint>

struct DebugInfoData {
    uint8_t* data;              // the file, owned through the memory manager
    uint32_t size;
    const uint8_t* debugTables; // "DBGI": one u32 offset per code entry of {u32 n; n words}
    uint32_t debugTableCount;
    const uint8_t* sources;     // "SCPT": one u32 offset per code entry of a record whose first u32 is the source text's offset
    uint32_t sourceCount;
    const uint8_t* instances;   // "INST": the list handed to the remote debugger
    uint32_t instanceCount;
};
extern DebugInfoData DebugInfo;

// Keeps data (taking ownership) and finds its three chunks; a file with a
// wrong container gives no tables.
void LoadDebugInfo(uint8_t* data, uint32_t size);
// The debug table of a code entry: false when there is none or it does not
// lie within the file.
bool DebugInfo_GetDebugTable(uint32_t codeIndex, const uint8_t** words, uint32_t* wordCount);
// The source text of a code entry, null when there is none or it is not a
// terminated text within the file.
const char* DebugInfo_GetSource(uint32_t codeIndex);
void DebugInfo_Free();

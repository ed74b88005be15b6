#pragma once
// The game data image: the whole "FORM" container held in memory for the
// game's life, with the bounds-checked primitives every chunk reader uses.
// The image is never written to, so a restart can read it again.
#include <cstdint>

extern const uint8_t* GameData;   // start of the image ("FORM" at offset 0), null when none
extern uint32_t GameDataSize;

// One chunk of the container: its tag, payload and the payload's file offset.
struct GameChunk {
    char tag[5];              // NUL-terminated copy of the 4-byte tag
    const uint8_t* payload;
    uint32_t length;
    uint32_t offset;          // file offset of the payload
};

// Little-endian reads; the caller has checked the bounds.
uint16_t GameData_U16(const uint8_t* p);
uint32_t GameData_U32(const uint8_t* p);
uint64_t GameData_U64(const uint8_t* p);
float GameData_F32(const uint8_t* p);

// Makes (data, size) the image (GameData, GameDataSize) that string references
// and offsets are checked against.
void GameData_SetImage(const uint8_t* data, uint32_t size);

// Checks what the first eight bytes of a file of fileSize bytes say before
// the file is read: below 4 GiB (offsets are 32-bit), "FORM" (or its bytes in
// reverse order), and the length word equal to fileSize - 8. False with a
// message otherwise.
bool GameData_CheckHeader(const uint8_t* header, uint64_t fileSize);
// Checks the container: its header as above, and every chunk header and
// payload inside the file. False with a message otherwise.
bool GameData_CheckContainer(const uint8_t* data, uint32_t size);

// Walks a checked container: first call with *pos = 8; false at the end.
bool GameData_NextChunk(const uint8_t* data, uint32_t size, uint32_t* pos, GameChunk* chunk);

// Records why the load failed ("<chunk>: <what>") and writes it on LogConsole.
// Always returns false, so readers can `return GameData_Fail(...)`.
bool GameData_Fail(const char* chunk, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The message of the last failure, empty when none.
const char* GameData_LastError();
void GameData_ClearError();

// Resolves a string reference (absolute offset of the text of a string record:
// u32 length, bytes, NUL). Offset 0 gives null. False, with a message naming
// the chunk, when the record does not lie within the image or lacks its NUL.
bool GameData_String(const char* chunk, uint32_t ref, const char** text);
// Resolves a string record by the offset of its length word (the STRG list).
bool GameData_StringRecord(const char* chunk, uint32_t recordOffset, const char** text);

// Checks a "u32 count, then count u32 words" list at the start of a payload;
// on success *count is the count and the words start at payload + 4.
bool GameData_CheckList(const char* chunk, const uint8_t* payload, uint32_t length, uint32_t* count);

// Checks that the record at absolute offset, size bytes long, lies inside the
// payload (which must lie in the image); `what` and index name it in the message.
bool GameData_CheckRecord(const char* chunk, const uint8_t* payload, uint32_t length, uint32_t offset,
                          uint32_t size, const char* what, uint32_t index);

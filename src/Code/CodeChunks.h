#pragma once
// The code, function and variable chunks (CODE, FUNC, VARI): code records and
// their bytecode, and the load-time binding that writes variable ids and
// function indexes into the code at every use, following the use chains.
//
// The game data image is never written to (it may be the embedded, read-only
// copy), so the CODE payload is copied once in the header pass; the patches
// go into that copy and code entries run from it.
#include <cstdint>

class VMBuffer;

// A code record, resolved.
struct CodeRecordView {
    const char* name;
    const uint32_t* bytecode;  // in the patched copy
    uint32_t length;           // bytes
    int32_t localsCount;       // newer layout only (0 otherwise)
    int32_t argumentCount;
    int32_t startOffset;
};

// Header pass, at the CODE chunk: checks every record (name, bytecode inside
// the chunk, on word boundaries) and copies the payload. False with a message.
bool CODE_CheckRecords(const uint8_t* payload, uint32_t length);
// Record index of the checked CODE chunk; false when there is none.
bool CodeChunk_GetRecord(uint32_t index, CodeRecordView* out);
// The bytecode of record index for the interpreter, null when there is none.
// Every code entry of that index runs it, and so do the records that share
// its bytecode: it is pre-decoded once, and lives as long as the chunk's copy.
VMBuffer* CodeChunk_GetBuffer(uint32_t index);
// Once the chunk pass has resolved every name the code uses: checks the
// bytecode of every record (CODE_CheckCode) and pre-decodes it with the
// interpreter's handlers, so that a game whose code is malformed is refused
// at load. False with a message naming the entry.
bool CODE_PrepareEntries();

// Header pass: the variable names; their uses get variable ids.
bool VARI_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
bool VARI_LoadOld(const uint8_t* payload, uint32_t length, const uint8_t* data);
// Chunk pass: the code (older code is renumbered to the current opcodes).
bool CODE_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
// Chunk pass: the function names; their call sites get callable ids.
bool FUNC_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
bool FUNC_LoadOld(const uint8_t* payload, uint32_t length, const uint8_t* data);
// Rewrites older opcode bytes in place over length bytes of bytecode.
void CODE_RemapOldOpcodes(uint32_t* bytecode, const uint8_t* data, uint32_t length);

// A name the code uses that the runner cannot resolve: the format (one %s)
// is shown as a fatal error; a child game then ends at its next frame and the
// load goes on, any other game ends the process with exit code 1.
void CodeLoad_Error(const char* format, const char* name);

// Releases the patched copy of the code (a game's end).
void CodeChunks_Free();

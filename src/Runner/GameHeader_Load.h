#pragma once
// The header pass over GEN8, CODE, STRG and VARI, which runs before the
// window exists and registers the built-ins, and the general header's reader
// in the chunk pass.
#include <cstdint>

// The header pass. False, with a message naming the chunk, when the container
// or one of its four chunks is malformed; the game must not start then.
bool LoadGameHeader(const uint8_t* data, uint32_t size);

// The general header in the chunk pass.
bool GEN8_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);

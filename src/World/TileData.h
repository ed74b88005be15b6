#pragma once
// The 32-bit value of one tilemap cell: a tile index within the tileset and
// the mirror, flip and rotate bits; bits 19-27 are kept but not interpreted.
#include <cstdint>

typedef uint32_t TileData;

constexpr TileData TILE_INDEX_MASK = 0x7FFFFu;
constexpr TileData TILE_KEEP_MASK = 0xFFF80000u;  // everything but the index
constexpr TileData TILE_MIRROR = 1u << 28;
constexpr TileData TILE_FLIP = 1u << 29;
constexpr TileData TILE_ROTATE = 1u << 30;
constexpr TileData TILE_DEFAULT_MASK = 0x7FFFFFFFu;

inline uint32_t TileData_Index(TileData data) { return data & TILE_INDEX_MASK; }

#pragma once
// Small images encoded in the tests themselves with libpng, libjpeg and
// giflib, and bitmap files built byte by byte.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ImageFixtures {
using Bytes = std::vector<uint8_t>;

struct Rgb {
    uint8_t r, g, b;
};

// PNG of any colour type and bit depth; rows are packed samples as libpng
// takes them (16-bit samples big-endian).
struct PngParams {
    int width = 1;
    int height = 1;
    int colourType = 6;  // PNG_COLOR_TYPE_RGB_ALPHA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<Rgb> palette;
    std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
    Bytes rows;
};
Bytes EncodePng(const PngParams& params);
Bytes EncodeRgbaPng(int width, int height, const Bytes& rgba);

// JPEG at quality 100 without chroma subsampling. components 1 (grey),
// 3 (RGB) or 4 (CMYK, written with an Adobe marker as given).
struct JpegParams {
    int width = 8;
    int height = 8;
    int components = 3;
    bool progressive = false;
    bool tablesFirst = false;  // a tables-only stream, then the abbreviated image
    Bytes samples;
};
Bytes EncodeJpeg(const JpegParams& params);

struct GifParams {
    int screenWidth = 1;
    int screenHeight = 1;
    std::vector<Rgb> globalMap;  // empty: no global map
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    std::vector<Rgb> localMap;  // empty: no local map
    bool interlaced = false;
    int controlFlags = -1;  // graphics-control block flags; -1: no block
    int transparentIndex = 0;
    Bytes indices;  // width x height, top-down
    int extraFrames = 0;  // further 1 x 1 frames after the first
};
Bytes EncodeGif(const GifParams& params);

// A bitmap file: rows given top-down and unpadded; the file pads them.
struct BmpParams {
    int width = 1;
    int height = 1;
    int bitsPerPixel = 24;
    bool topDown = false;  // negative height in the header
    int infoSize = 40;
    int compression = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB entries
    Bytes rows;
};
Bytes MakeBmp(const BmpParams& params);

// Replaces four bytes with a big-endian value and fixes nothing else.
void PutBE32(Bytes& bytes, size_t offset, uint32_t value);
// Recomputes the CRC of the PNG chunk starting at offset (its length field).
void FixPngChunkCrc(Bytes& bytes, size_t offset);
}  // namespace ImageFixtures

// Writes the seed corpus of the image fuzz target: one small valid image of
// each kind the decoders take, made by the libraries' own encoders.
#include <cstdio>
#include <string>

#include <png.h>

#include "support/ImageFixtures.h"

using namespace ImageFixtures;

namespace {
bool WriteSeed(const std::string& folder, const char* name, const Bytes& bytes)
{
    const std::string path = folder + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

Bytes Pattern(size_t count)
{
    Bytes b(count);
    for (size_t i = 0; i < count; ++i) b[i] = uint8_t(i * 29 + (i >> 3));
    return b;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];

    PngParams rgba{6, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}, Pattern(6 * 5 * 4)};
    PngParams palette{5, 3, PNG_COLOR_TYPE_PALETTE, 4, false, {{1, 2, 3}, {200, 100, 50}, {9, 9, 9}}, {0, 128}, Pattern(3 * 3)};
    for (auto& v : palette.rows) v &= 0x11;
    PngParams grey1{9, 2, PNG_COLOR_TYPE_GRAY, 1, false, {}, {}, Pattern(2 * 2)};
    PngParams interlaced16{5, 9, PNG_COLOR_TYPE_RGB, 16, true, {}, {}, Pattern(5 * 9 * 6)};

    JpegParams jpeg{16, 8, 3, false, false, Pattern(16 * 8 * 3)};
    JpegParams progressive{8, 16, 3, true, false, Pattern(8 * 16 * 3)};
    JpegParams grey{8, 8, 1, false, true, Pattern(64)};
    JpegParams cmyk{8, 8, 4, false, false, Pattern(8 * 8 * 4)};

    GifParams gif;
    gif.screenWidth = gif.width = 4;
    gif.screenHeight = gif.height = 3;
    gif.globalMap = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    gif.indices = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 1, 1};
    gif.controlFlags = 1;
    gif.transparentIndex = 2;
    GifParams gifLocal = gif;
    gifLocal.screenWidth = 6;
    gifLocal.left = 2;
    gifLocal.localMap = gif.globalMap;
    gifLocal.globalMap.clear();
    gifLocal.interlaced = true;
    gifLocal.extraFrames = 1;

    BmpParams bmp8{3, 2, 8, false, 40, 0, {0x102030, 0xFFFFFF, 0x000000}, {0, 1, 2, 2, 1, 0}};
    BmpParams bmp24{3, 3, 24, true, 40, 0, {}, Pattern(27)};

    const bool ok = WriteSeed(folder, "rgba.png", EncodePng(rgba)) && WriteSeed(folder, "palette.png", EncodePng(palette)) &&
                    WriteSeed(folder, "grey1.png", EncodePng(grey1)) &&
                    WriteSeed(folder, "interlaced16.png", EncodePng(interlaced16)) &&
                    WriteSeed(folder, "baseline.jpg", EncodeJpeg(jpeg)) &&
                    WriteSeed(folder, "progressive.jpg", EncodeJpeg(progressive)) &&
                    WriteSeed(folder, "grey-tables.jpg", EncodeJpeg(grey)) && WriteSeed(folder, "cmyk.jpg", EncodeJpeg(cmyk)) &&
                    WriteSeed(folder, "transparent.gif", EncodeGif(gif)) &&
                    WriteSeed(folder, "local-interlaced.gif", EncodeGif(gifLocal)) &&
                    WriteSeed(folder, "palette.bmp", MakeBmp(bmp8)) && WriteSeed(folder, "topdown.bmp", MakeBmp(bmp24));
    return ok ? 0 : 1;
}

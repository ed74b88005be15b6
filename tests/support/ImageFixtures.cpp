#include "support/ImageFixtures.h"

#include <gif_lib.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace ImageFixtures {
namespace {
void PngWrite(png_structp png, png_bytep data, size_t count)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void PngFlush(png_structp) {}

int GifWrite(GifFileType* gif, const GifByteType* data, int count)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

ColorMapObject* MakeMap(const std::vector<Rgb>& colours)
{
    if (colours.empty()) return nullptr;
    int count = 2;
    while (count < int(colours.size())) count *= 2;
    std::vector<GifColorType> entries(size_t(count), GifColorType{0, 0, 0});
    for (size_t i = 0; i < colours.size(); ++i) entries[i] = {colours[i].r, colours[i].g, colours[i].b};
    return GifMakeMapObject(count, entries.data());
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

void Put16(Bytes& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
}  // namespace

Bytes EncodePng(const PngParams& params)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(params.width), png_uint_32(params.height), params.bitDepth, params.colourType,
                 params.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const Rgb& c : params.palette) palette.push_back({c.r, c.g, c.b});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!params.paletteAlpha.empty())
        png_set_tRNS(png, info, params.paletteAlpha.data(), int(params.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    const size_t rowBytes = params.rows.size() / size_t(params.height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < params.height; ++y) rows.push_back(const_cast<png_bytep>(params.rows.data()) + rowBytes * size_t(y));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes EncodeRgbaPng(int width, int height, const Bytes& rgba)
{
    PngParams params;
    params.width = width;
    params.height = height;
    params.rows = rgba;
    return EncodePng(params);
}

Bytes EncodeJpeg(const JpegParams& params)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(params.width);
    cinfo.image_height = JDIMENSION(params.height);
    cinfo.input_components = params.components;
    cinfo.in_color_space = params.components == 1 ? JCS_GRAYSCALE : params.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int i = 0; i < cinfo.num_components; ++i) cinfo.comp_info[i].h_samp_factor = cinfo.comp_info[i].v_samp_factor = 1;
    if (params.progressive) jpeg_simple_progression(&cinfo);
    if (params.tablesFirst) {
        jpeg_write_tables(&cinfo);
        jpeg_suppress_tables(&cinfo, TRUE);
    }
    jpeg_start_compress(&cinfo, params.tablesFirst ? FALSE : TRUE);
    const size_t rowBytes = size_t(params.width) * size_t(params.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(params.samples.data() + rowBytes * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

Bytes EncodeGif(const GifParams& params)
{
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(params.globalMap);
    ColorMapObject* local = MakeMap(params.localMap);
    EGifPutScreenDesc(gif, params.screenWidth, params.screenHeight, 8, 0, global);
    if (params.controlFlags >= 0) {
        const GifByteType block[4] = {GifByteType(params.controlFlags), 0, 0, GifByteType(params.transparentIndex)};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
    }
    EGifPutImageDesc(gif, params.left, params.top, params.width, params.height, params.interlaced, local);
    std::vector<int> order;
    if (params.interlaced) {
        const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int p = 0; p < 4; ++p)
            for (int y = start[p]; y < params.height; y += step[p]) order.push_back(y);
    } else {
        for (int y = 0; y < params.height; ++y) order.push_back(y);
    }
    for (int y : order) {
        Bytes line(params.indices.begin() + y * params.width, params.indices.begin() + (y + 1) * params.width);
        EGifPutLine(gif, line.data(), params.width);
    }
    for (int f = 0; f < params.extraFrames; ++f) {
        // giflib drops the previous frame's local map here without freeing it.
        GifFreeMapObject(gif->Image.ColorMap);
        gif->Image.ColorMap = nullptr;
        EGifPutImageDesc(gif, 0, 0, 1, 1, false, nullptr);
        GifPixelType pixel = 0;
        EGifPutLine(gif, &pixel, 1);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    return out;
}

Bytes MakeBmp(const BmpParams& params)
{
    const size_t rowBytes = params.rows.size() / size_t(params.height);
    const size_t fileStride = (size_t(params.bitsPerPixel) * size_t(params.width) + 31) / 32 * 4;
    const size_t pixelOffset = 14 + size_t(params.infoSize) + params.palette.size() * 4;
    Bytes b(pixelOffset + fileStride * size_t(params.height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, uint32_t(pixelOffset));
    Put32(b, 14, uint32_t(params.infoSize));
    Put32(b, 18, uint32_t(params.width));
    Put32(b, 22, uint32_t(params.topDown ? -params.height : params.height));
    Put16(b, 26, 1);
    Put16(b, 28, uint32_t(params.bitsPerPixel));
    Put32(b, 30, uint32_t(params.compression));
    Put32(b, 46, uint32_t(params.palette.size()));
    for (size_t i = 0; i < params.palette.size(); ++i) Put32(b, 14 + size_t(params.infoSize) + i * 4, params.palette[i]);
    for (int y = 0; y < params.height; ++y) {
        const int fileRow = params.topDown ? y : params.height - 1 - y;
        std::memcpy(b.data() + pixelOffset + size_t(fileRow) * fileStride, params.rows.data() + rowBytes * size_t(y), rowBytes);
    }
    return b;
}

void PutBE32(Bytes& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[offset + size_t(i)] = uint8_t(value >> (24 - 8 * i));
}

void FixPngChunkCrc(Bytes& bytes, size_t offset)
{
    const uint32_t length = uint32_t(bytes[offset]) << 24 | uint32_t(bytes[offset + 1]) << 16 |
                            uint32_t(bytes[offset + 2]) << 8 | bytes[offset + 3];
    const uLong crc = crc32(0, bytes.data() + offset + 4, uInt(length + 4));
    PutBE32(bytes, offset + 8 + length, uint32_t(crc));
}
}  // namespace ImageFixtures

#include "Graphics/WritePNG.h"

#include <png.h>

#include <csetjmp>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Graphics/ImageLimits.h"
#include "IO/LoadSave.h"

namespace {
enum WriteStage { kStageInit, kStageHeader, kStageBytes, kStageEnd };

const char* const kStageMessages[] = {
    "[write_png_file] Error during init_io\n",
    "[write_png_file] Error during writing header\n",
    "[write_png_file] Error during writing bytes\n",
    "[write_png_file] Error during end of write\n",
};

void PngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngWriteBytes(png_structp png, png_bytep data, size_t count)
{
    auto* file = static_cast<LoadSaveFile*>(png_get_io_ptr(png));
    if (LoadSaveFile_Write(data, 1, count, file) != count) png_error(png, "write failed");
}

void PngFlush(png_structp) {}

// Everything libpng does for one file; the jump buffer lives in this frame.
bool WriteImage(png_structp png, png_infop info, LoadSaveFile* file, png_bytep* rows, int width, int height)
{
    volatile int stage = kStageInit;
    if (setjmp(png_jmpbuf(png))) {
        LogConsole->Output("%s", kStageMessages[stage]);
        return false;
    }
    png_set_write_fn(png, file, PngWriteBytes, PngFlush);
    stage = kStageHeader;
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    stage = kStageBytes;
    png_write_image(png, rows);
    stage = kStageEnd;
    png_write_end(png, nullptr);
    return true;
}
}  // namespace

bool write_png_file(const char* fileName, const uint8_t* pixels, int width, int height)
{
    if (!pixels || !Image_SizeAllowed(width, height)) return false;
    char path[2048];
    LoadSave_MakeSavePath(path, sizeof path, fileName);
    EnsureFileDirectory(path);
    LoadSaveFile* file = LoadSave_OpenFile(path, "wb");
    if (!file) return false;

    bool ok = false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    auto* rows = static_cast<png_bytep*>(QS_ALLOC(sizeof(png_bytep) * size_t(height), false));
    if (!png) {
        LogConsole->Output("[write_png_file] png_create_write_struct failed\n");
    } else if (!info) {
        LogConsole->Output("[write_png_file] png_create_info_struct failed\n");
    } else if (rows) {
        for (int y = 0; y < height; ++y) rows[y] = const_cast<png_bytep>(pixels) + size_t(y) * size_t(width) * 4;
        ok = WriteImage(png, info, file, rows, width, height);
    }
    QS_FREE(rows);
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    LoadSaveFile_Close(file);
    return ok;
}

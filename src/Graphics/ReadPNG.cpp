#include "Graphics/ReadPNG.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Graphics/ImageLimits.h"

int TextureGlobalScale = 1;

namespace {
struct PngDecodeContext {
    bool error = false;
    const uint8_t* bytes = nullptr;
    int byteCount = 0;
    int position = 0;
    int width = 0;
    int height = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    uint8_t* pixels = nullptr;
    png_bytep* rows = nullptr;
};

PngDecodeContext* s_kept = nullptr;

// libpng reports errors here; the jump lands in the setjmp of the caller.
void PngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngReadBytes(png_structp png, png_bytep out, size_t count)
{
    auto* ctx = static_cast<PngDecodeContext*>(png_get_io_ptr(png));
    if (count > size_t(ctx->byteCount - ctx->position)) png_error(png, "read past the end of the data");
    std::memcpy(out, ctx->bytes + ctx->position, count);
    ctx->position += int(count);
}

void ReleaseLibpng(PngDecodeContext* ctx)
{
    if (ctx->png) png_destroy_read_struct(&ctx->png, &ctx->info, &ctx->endInfo);
    ctx->png = nullptr;
    ctx->info = ctx->endInfo = nullptr;
}

void DestroyContext(PngDecodeContext* ctx)
{
    ReleaseLibpng(ctx);
    QS_FREE(ctx->pixels);
    QS_FREE(ctx->rows);
    delete ctx;
}

bool Fail(PngDecodeContext* ctx)
{
    ctx->error = true;
    ReleaseLibpng(ctx);
    LogConsole->Output("ReadPNG :: a PNG error occured\n");
    return false;
}

// Signature, header and the transformations to 8-bit RGBA. Every image kind
// ends as four 8-bit channels: palettes, low bit depths and transparency
// chunks are expanded, 16-bit channels stripped, grey made RGB and a 0xFF
// alpha added where the image has none.
bool ReadPNG_ReadHeader(PngDecodeContext* ctx)
{
    if (!ctx->bytes || ctx->byteCount < 8 || png_sig_cmp(ctx->bytes, 0, 8) != 0) {
        LogConsole->Output("Not a PNG\n");
        return Fail(ctx);
    }
    ctx->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, ctx, PngError, PngWarning);
    if (!ctx->png) return Fail(ctx);
    ctx->info = png_create_info_struct(ctx->png);
    ctx->endInfo = png_create_info_struct(ctx->png);
    if (!ctx->info || !ctx->endInfo) return Fail(ctx);
    if (setjmp(png_jmpbuf(ctx->png))) return Fail(ctx);

    png_set_user_limits(ctx->png, Image_MaxSide, Image_MaxSide);
    png_set_read_fn(ctx->png, ctx, PngReadBytes);
    ctx->position = 8;
    png_set_sig_bytes(ctx->png, 8);
    png_read_info(ctx->png, ctx->info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(ctx->png, ctx->info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    if (!Image_SizeAllowed(width, height)) png_error(ctx->png, "image too large");
    const bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(ctx->png, ctx->info, PNG_INFO_tRNS) != 0;
    png_set_expand(ctx->png);
    png_set_strip_16(ctx->png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(ctx->png);
    if (!hasAlpha) png_set_add_alpha(ctx->png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(ctx->png);
    png_read_update_info(ctx->png, ctx->info);
    if (png_get_rowbytes(ctx->png, ctx->info) != size_t(width) * 4) png_error(ctx->png, "unexpected row size");
    ctx->width = int(width);
    ctx->height = int(height);
    return true;
}

bool ReadPNG(PngDecodeContext* ctx)
{
    if (!ReadPNG_ReadHeader(ctx)) return false;
    if (setjmp(png_jmpbuf(ctx->png))) return Fail(ctx);
    const size_t rowBytes = size_t(ctx->width) * 4;
    if (!ctx->pixels) ctx->pixels = static_cast<uint8_t*>(QS_ALLOC(rowBytes * size_t(ctx->height), false));
    if (!ctx->rows) ctx->rows = static_cast<png_bytep*>(QS_ALLOC(sizeof(png_bytep) * size_t(ctx->height), false));
    if (!ctx->pixels || !ctx->rows) png_error(ctx->png, "out of memory");
    for (int y = 0; y < ctx->height; ++y) ctx->rows[y] = ctx->pixels + rowBytes * size_t(y);
    png_read_image(ctx->png, ctx->rows);
    ReleaseLibpng(ctx);  // only the pixels are needed from here on
    return true;
}

// Halves an image in place with a 2 x 2 box filter. Each output pixel lies at
// or before the source pixels still to be read, so the block can be reused.
void BoxHalve(uint8_t* pixels, int width, int height)
{
    const int newWidth = width / 2;
    const int newHeight = height / 2;
    const int64_t stepX = int64_t(width) * 65536 / newWidth;
    const int64_t stepY = int64_t(height) * 65536 / newHeight;
    const size_t rowBytes = size_t(width) * 4;
    for (int y = 0; y < newHeight; ++y) {
        const int64_t sourceY = (y * stepY) >> 16;
        for (int x = 0; x < newWidth; ++x) {
            const int64_t sourceX = (x * stepX) >> 16;
            const uint8_t* a = pixels + size_t(sourceY) * rowBytes + size_t(sourceX) * 4;
            const uint8_t* b = a + rowBytes;
            int sum[4];
            for (int k = 0; k < 4; ++k) sum[k] = a[k] + a[k + 4] + b[k] + b[k + 4];
            uint8_t* out = pixels + (size_t(y) * size_t(newWidth) + size_t(x)) * 4;
            for (int k = 0; k < 4; ++k) out[k] = uint8_t(sum[k] / 4);
        }
    }
}

// The halving ReadPNG_GetPixels does, on sizes only, so that both report
// the same size.
void ScaledSize(int* width, int* height, int scale, uint8_t* pixels)
{
    while (scale >= 2 && *width >= 2 && *height >= 2) {
        if (pixels) BoxHalve(pixels, *width, *height);
        *width /= 2;
        *height /= 2;
        scale /= 2;
    }
}

void SetFailedSize(int* width, int* height)
{
    if (width) *width = -1;
    if (height) *height = -1;
}
}  // namespace

uint8_t* ReadPNG_GetPixels(const uint8_t* bytes, int byteCount, int* width, int* height, bool applyTextureScale)
{
    // A kept context holds an earlier image; it is never handed out again.
    ReadPNG_Free();
    auto* ctx = new (std::nothrow) PngDecodeContext();
    if (!ctx) {
        SetFailedSize(width, height);
        return nullptr;
    }
    ctx->bytes = bytes;
    ctx->byteCount = byteCount;
    if (!ReadPNG(ctx)) {
        DestroyContext(ctx);
        SetFailedSize(width, height);
        return nullptr;
    }
    int w = ctx->width, h = ctx->height;
    ScaledSize(&w, &h, applyTextureScale ? TextureGlobalScale : 1, ctx->pixels);
    s_kept = ctx;
    if (width) *width = w;
    if (height) *height = h;
    return ctx->pixels;
}

bool ReadPNG_GetSize(const uint8_t* bytes, int byteCount, int* width, int* height, bool applyTextureScale)
{
    PngDecodeContext ctx;
    ctx.bytes = bytes;
    ctx.byteCount = byteCount;
    if (!ReadPNG_ReadHeader(&ctx)) {
        ReleaseLibpng(&ctx);
        SetFailedSize(width, height);
        return false;
    }
    ReleaseLibpng(&ctx);
    int w = ctx.width, h = ctx.height;
    ScaledSize(&w, &h, applyTextureScale ? TextureGlobalScale : 1, nullptr);
    if (width) *width = w;
    if (height) *height = h;
    return true;
}

void ReadPNG_Free()
{
    if (!s_kept) return;
    DestroyContext(s_kept);
    s_kept = nullptr;
}

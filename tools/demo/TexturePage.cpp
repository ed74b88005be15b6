#include "demo/TexturePage.h"

#include <png.h>

#include <algorithm>
#include <numeric>

namespace demo {

namespace {
constexpr int kPadding = 2;  // keeps filtered samples of neighbours apart

void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// The vector lives outside this function: libpng leaves through longjmp.
bool WritePNG(const Image& image, std::vector<uint8_t>* bytes)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, bytes, AppendBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, const_cast<png_bytep>(&image.pixels[static_cast<size_t>(y) * image.width * 4]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
}  // namespace

bool PackPage(const std::vector<const Image*>& pictures, int size, TexturePage* out)
{
    std::vector<size_t> order(pictures.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return pictures[a]->height > pictures[b]->height; });
    out->page = Image(size, size);
    out->placements.assign(pictures.size(), Placement{});
    int x = 0, y = 0, rowHeight = 0;
    for (size_t i : order) {
        const Image& p = *pictures[i];
        if (x + p.width > size) {
            x = 0;
            y += rowHeight + kPadding;
            rowHeight = 0;
        }
        if (p.width > size || y + p.height > size) return false;
        for (int j = 0; j < p.height; ++j)
            for (int k = 0; k < p.width; ++k) out->page.Set(x + k, y + j, p.Get(k, j));
        out->placements[i] = {x, y, p.width, p.height};
        x += p.width + kPadding;
        rowHeight = std::max(rowHeight, p.height);
    }
    return true;
}

std::vector<uint8_t> EncodePNG(const Image& image)
{
    std::vector<uint8_t> bytes;
    if (!WritePNG(image, &bytes)) bytes.clear();
    return bytes;
}

}  // namespace demo

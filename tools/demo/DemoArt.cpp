#include "demo/DemoArt.h"

#include <cmath>

namespace demo {

namespace {
uint32_t Rgba(int r, int g, int b, int a = 255)
{
    return (static_cast<uint32_t>(r) << 24) | (static_cast<uint32_t>(g) << 16) | (static_cast<uint32_t>(b) << 8) |
           static_cast<uint32_t>(a);
}

int Mix(int a, int b, double t)
{
    return static_cast<int>(std::lround(a + (b - a) * t));
}

// A small fixed hash for texture speckles, so the pictures are the same on every build.
uint32_t Noise(int x, int y)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}
}  // namespace

Image::Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0) {}

void Image::Set(int x, int y, uint32_t rgba)
{
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
    p[0] = static_cast<uint8_t>(rgba >> 24);
    p[1] = static_cast<uint8_t>(rgba >> 16);
    p[2] = static_cast<uint8_t>(rgba >> 8);
    p[3] = static_cast<uint8_t>(rgba);
}

uint32_t Image::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
    return Rgba(p[0], p[1], p[2], p[3]);
}

void Image::FillRect(int x, int y, int w, int h, uint32_t rgba)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, rgba);
}

void Image::FillCircle(int cx, int cy, int r, uint32_t rgba)
{
    for (int j = cy - r; j <= cy + r; ++j)
        for (int i = cx - r; i <= cx + r; ++i)
            if ((i - cx) * (i - cx) + (j - cy) * (j - cy) <= r * r) Set(i, j, rgba);
}

Image DrawSky()
{
    Image img(16, 256);
    for (int y = 0; y < img.height; ++y) {
        const double t = y / 255.0;
        img.FillRect(0, y, img.width, 1, Rgba(Mix(70, 190, t), Mix(130, 225, t), Mix(210, 245, t)));
    }
    return img;
}

Image DrawMountains()
{
    Image img(256, 96);
    struct Peak { int x, top, halfWidth; };
    const Peak peaks[] = {{56, 20, 64}, {140, 8, 80}, {214, 30, 56}};
    for (int x = 0; x < img.width; ++x) {
        for (const Peak& p : peaks) {
            const int dx = std::abs(x - p.x);
            if (dx > p.halfWidth) continue;
            const int top = p.top + (img.height - p.top) * dx / p.halfWidth;
            for (int y = top; y < img.height; ++y) {
                const bool snow = y < p.top + 14 - dx / 6;
                const bool shade = x > p.x;  // the far side of each peak lies in shadow
                uint32_t c = snow ? (shade ? Rgba(210, 220, 235) : Rgba(245, 248, 255))
                                  : (shade ? Rgba(88, 96, 120) : Rgba(112, 122, 148));
                if (!snow && (Noise(x, y) & 15) == 0) c = Rgba(98, 106, 132);
                img.Set(x, y, c);
            }
        }
    }
    return img;
}

Image DrawTrees()
{
    Image img(128, 96);
    const int trunkX[] = {40, 96};
    for (int t = 0; t < 2; ++t) {
        const int cx = trunkX[t];
        img.FillRect(cx - 4, 60, 8, 36, Rgba(110, 72, 40));
        img.FillRect(cx - 4, 60, 2, 36, Rgba(90, 58, 32));
        // Three stacked crowns, darker below.
        img.FillCircle(cx, 58, 22, Rgba(34, 110, 48));
        img.FillCircle(cx - 10, 46, 16, Rgba(46, 134, 58));
        img.FillCircle(cx + 9, 42, 16, Rgba(46, 134, 58));
        img.FillCircle(cx, 32, 14, Rgba(64, 160, 72));
    }
    // Keep tile 0 clear.
    img.FillRect(0, 0, kTileSize, kTileSize, 0);
    return img;
}

Image DrawClouds()
{
    Image img(96, 48);
    const uint32_t white = Rgba(255, 255, 255, 235);
    img.FillCircle(30, 30, 13, white);
    img.FillCircle(50, 22, 17, white);
    img.FillCircle(70, 30, 13, white);
    img.FillRect(30, 30, 40, 13, white);
    for (int x = 20; x < 80; ++x)  // a grey underside
        for (int y = 38; y < 44; ++y)
            if (img.Get(x, y) & 0xFF) img.Set(x, y, Rgba(220, 228, 240, 235));
    img.FillRect(0, 0, kTileSize, kTileSize, 0);
    return img;
}

Image DrawGround()
{
    Image img(48, 16);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const uint32_t n = Noise(x, y);
            const uint32_t soil = (n & 7) == 0 ? Rgba(120, 80, 48) : Rgba(140, 96, 58);
            // Tile 1: grass over soil; tile 2: soil.
            img.Set(16 + x, y, y < 4 + static_cast<int>(n % 2) ? Rgba(72, 168, 64) : soil);
            img.Set(32 + x, y, soil);
        }
    }
    return img;
}

Image DrawPlayer()
{
    Image img(24, 32);
    const uint32_t outline = Rgba(30, 30, 40);
    img.FillRect(7, 22, 4, 10, Rgba(50, 60, 110));   // legs
    img.FillRect(13, 22, 4, 10, Rgba(50, 60, 110));
    img.FillRect(6, 12, 12, 11, Rgba(200, 60, 60));  // coat
    img.FillRect(3, 13, 3, 8, Rgba(200, 60, 60));    // arms
    img.FillRect(18, 13, 3, 8, Rgba(200, 60, 60));
    img.FillCircle(12, 7, 6, Rgba(245, 205, 170));   // head
    img.FillRect(6, 0, 12, 3, Rgba(90, 50, 30));     // hair
    img.Set(8, 6, outline);                          // eye on the left: facing left
    img.FillRect(6, 31, 5, 1, outline);              // boots
    img.FillRect(13, 31, 5, 1, outline);
    return img;
}

Image DrawIcon()
{
    Image img(32, 32);
    img.FillCircle(16, 16, 15, Rgba(120, 180, 235));
    const Image player = DrawPlayer();
    for (int y = 0; y < player.height; ++y)
        for (int x = 0; x < player.width; ++x)
            if ((player.Get(x, y) & 0xFF) != 0) img.Set(x + 4, y, player.Get(x, y));
    return img;
}

}  // namespace demo

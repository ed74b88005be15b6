// The fourteen particle shapes of the built-in images, as coverage of a
// 64 × 64 square: pixel, disk, square, line, star, circle, ring, sphere,
// flare, spark, explosion, cloud, smoke, snow.
#include <cmath>
#include <cstdint>

#include "Graphics/BuiltinImages_Internal.h"

namespace {

constexpr float kPi = 3.14159265f;

float Clamp01(float v) { return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v; }

// 1 inside, 0 outside, a one-texel ramp across the edge at distance d from it.
float Edge(float insideDistance) { return Clamp01(insideDistance + 0.5f); }

// Smooth value noise on a lattice of the given cell size; deterministic.
float Lattice(int x, int y)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float Noise(float x, float y)
{
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * sx;
    const float bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

float Fractal(float x, float y)
{
    return 0.5f * Noise(x / 16, y / 16) + 0.3f * Noise(x / 8 + 17, y / 8) + 0.2f * Noise(x / 4, y / 4 + 31);
}

// Distance from (x, y) to the segment from the origin along angle a, length l.
float ArmDistance(float x, float y, float a, float l)
{
    const float dx = std::cos(a), dy = std::sin(a);
    float t = x * dx + y * dy;
    t = t < 0 ? 0 : t > l ? l : t;
    return std::hypot(x - t * dx, y - t * dy);
}

}  // namespace

float BuiltinImages_ShapeCoverage(int shape, float px, float py)
{
    // Centred coordinates; r is the distance from the middle of the image.
    const float x = px - 31.5f, y = py - 31.5f, r = std::hypot(x, y);
    switch (shape) {
    case 0: return Edge(3.0f - r);                                             // pixel
    case 1: return Edge(30.0f - r);                                            // disk
    case 2: return Edge(28.0f - std::fmax(std::fabs(x), std::fabs(y)));        // square
    case 3: return Edge(4.0f - std::fabs(y)) * Edge(31.0f - std::fabs(x));     // line
    case 4: {                                                                  // star
        // Five points: the edge radius swings between 30 and 12 with the angle.
        const float a = std::atan2(y, x) + kPi / 2;
        const float f = std::fabs(std::fmod(a * 5 / (2 * kPi) + 100.0f, 1.0f) * 2 - 1);  // 1 at a point, 0 between
        return Edge(12.0f + 18.0f * f - r);
    }
    case 5: return Edge(1.5f - std::fabs(r - 28.0f));                           // circle
    case 6: return Clamp01(1.0f - std::fabs(r - 22.0f) / 8.0f);                // ring
    case 7: return r < 30.0f ? std::sqrt(1.0f - (r / 30) * (r / 30)) : 0.0f;   // sphere
    case 8: {                                                                  // flare
        const float glow = (1 - Clamp01(r / 32)) * (1 - Clamp01(r / 32));
        const float rays = Clamp01(1 - std::fabs(y) / 1.5f) * (1 - Clamp01(std::fabs(x) / 32)) +
                           Clamp01(1 - std::fabs(x) / 1.5f) * (1 - Clamp01(std::fabs(y) / 32));
        return Clamp01(glow + rays);
    }
    case 9: {                                                                  // spark
        const float core = Clamp01(1 - r / 6);
        const float arms = std::fmax(Clamp01(1 - std::fabs(y) / 2) * (1 - Clamp01(std::fabs(x) / 30)),
                                     Clamp01(1 - std::fabs(x) / 2) * (1 - Clamp01(std::fabs(y) / 30)));
        return Clamp01(core + arms);
    }
    case 10: {                                                                 // explosion
        const float a = std::atan2(y, x);
        const float edge = 22.0f + 8.0f * Noise(std::cos(a) * 3 + 5, std::sin(a) * 3 + 5);
        return Edge(edge - r) * (0.6f + 0.4f * Fractal(px, py));
    }
    case 11: return Clamp01((1 - r / 31) * 1.6f) * Clamp01(Fractal(px, py) * 1.4f);         // cloud
    case 12: return Clamp01((1 - r / 31) * 1.2f) * Clamp01(0.3f + Fractal(px * 0.5f, py * 0.5f) * 0.7f);  // smoke
    case 13: {                                                                 // snow
        float d = 1e9f;
        for (int k = 0; k < 6; ++k) {
            const float a = static_cast<float>(k) * kPi / 3;
            d = std::fmin(d, ArmDistance(x, y, a, 28.0f));
            // Two short branches two thirds out on every arm.
            const float bx = std::cos(a) * 18, by = std::sin(a) * 18;
            d = std::fmin(d, ArmDistance(x - bx, y - by, a + kPi / 4, 8.0f));
            d = std::fmin(d, ArmDistance(x - bx, y - by, a - kPi / 4, 8.0f));
        }
        return Edge(2.0f - d);
    }
    default: return 0.0f;
    }
}

#pragma once
// A renderer on the off-screen software device for pixel tests: a display of
// the given size with the frame's render target bound, and read-back of it.
#include <cstdint>
#include <vector>

struct GpuTestFrame {
    GpuTestFrame(int width, int height);
    ~GpuTestFrame();
    GpuTestFrame(const GpuTestFrame&) = delete;
    GpuTestFrame& operator=(const GpuTestFrame&) = delete;

    bool ok = false;
    int width, height;

    // The frame's render target, rows top-down, pixels as 0xAABBGGRR words.
    std::vector<uint32_t> Read() const;
    uint32_t Pixel(int x, int y) const;
};

constexpr uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }
// True when every channel is within tolerance.
bool Near(uint32_t actual, uint32_t expected, int tolerance);

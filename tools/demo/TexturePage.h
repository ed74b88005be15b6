#pragma once
// Packs the demo's pictures onto one texture page (rows of pictures, tallest
// first) and encodes the page as PNG.
#include <cstdint>
#include <vector>

#include "demo/DemoArt.h"

namespace demo {

struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
};

struct TexturePage {
    Image page{0, 0};
    std::vector<Placement> placements;  // one per picture, in the order given
};

// False when the pictures do not fit a page of size x size pixels.
bool PackPage(const std::vector<const Image*>& pictures, int size, TexturePage* out);

// PNG bytes of an image; empty when libpng fails.
std::vector<uint8_t> EncodePNG(const Image& image);

}  // namespace demo

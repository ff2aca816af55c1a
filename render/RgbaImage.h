#pragma once

#include <cstdint>
#include <vector>

// A picture as a render hands it on: width x height pixels of four bytes
// (red, green, blue, alpha), rows from the top, no padding between rows.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    RgbaImage() = default;
    RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4) {}
    // Bytes from one row to the next.
    int stride() const { return width * 4; }
};

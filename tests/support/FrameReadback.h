#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The current read buffer's pixels, RGBA, bottom row first, after every
// drawing command finished.
std::vector<uint8_t> readFrame(int width, int height);

// "" when the two frames are equal byte for byte; else where they first
// differ, naming what each one is ("through the fonts", "cached").
std::string firstFrameDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                                 int width, const std::string& aName, const std::string& bName);

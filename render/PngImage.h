#pragma once

#include "render/RgbaImage.h"

#include <string>

// Encodes `image` as a whole PNG file in `bytes`: RGBA, eight bits a
// channel, every pixel exactly as given. False with a one-line `error` when
// FFmpeg has no PNG encoder or the image is empty.
bool encodePng(const RgbaImage& image, std::string& bytes, std::string& error);

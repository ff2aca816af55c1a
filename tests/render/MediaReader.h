#pragma once

#include "render/RgbaImage.h"

#include <map>
#include <string>
#include <vector>

// What a media file holds, read back through libavformat and libavcodec as
// a player would, independently of the encoders under test.
struct MediaInfo {
    std::string codec; // "h264", "vp9", "gif", "png"
    int width = 0;
    int height = 0;
    std::string pixelFormat; // as coded: "yuv420p"
    // AVColorRange, AVColorSpace, AVColorPrimaries, AVColorTransferCharacteristic.
    int colourRange = 0, colourSpace = 0, primaries = 0, transfer = 0;
    std::map<std::string, std::string> streamTags;
    // Each packet's presentation time and duration in seconds, in
    // presentation order.
    std::vector<double> times;
    std::vector<double> durations;
    // The decoded frames as RGBA, converted with the stream's own colour
    // tags (only when asked for).
    std::vector<RgbaImage> frames;
};

// Reads `path`. False with `error` when it cannot be opened or decoded.
bool readMedia(const std::string& path, bool decode, MediaInfo& info, std::string& error);

// Peak signal-to-noise ratio of b against a over the red, green and blue
// channels, in dB; infinity when they are equal, 0 for different sizes.
// With `awayFromEdges`, only pixels whose 5 x 5 neighbourhood in `a` holds
// no sharp edge count: 4:2:0 video keeps colour at half resolution, so at a
// sharp colour edge any encoder smears it, while a wrong colour matrix
// shows everywhere.
double psnr(const RgbaImage& a, const RgbaImage& b, bool awayFromEdges = false);

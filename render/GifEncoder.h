#pragma once

#include "render/RgbaImage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVFilterContext;
struct AVFrame;

// A GIF stores its size in 16 bits.
constexpr int MAX_GIF_SIDE = 65535;

// Encodes RGBA frames into an animated GIF held in memory: one palette of
// 255 colours made for the whole clip (and one transparent entry), every
// frame mapped onto it, looping forever. It needs to see the frames twice:
// first all of them for the palette, then all of them again to encode, so
// no clip is ever held in memory whole.
//
//   auto gif = GifEncoder::open(w, h, delays, error);
//   for each frame: gif->addPaletteFrame(frame, error);
//   gif->beginFrames(error);
//   for each frame: gif->addFrame(frame, error);
//   gif->finish(bytes, error);
class GifEncoder {
public:
    // `delays` holds each frame's delay in centiseconds (gifDelays), and so
    // the number of frames. Pixels whose alpha is below half come out
    // transparent. Returns nullptr with a one-line `error` when FFmpeg lacks
    // a part or the size is empty or beyond a GIF's 65535.
    static std::unique_ptr<GifEncoder> open(int width, int height, const std::vector<int>& delays,
                                            std::string& error);
    ~GifEncoder();
    GifEncoder(const GifEncoder&) = delete;
    GifEncoder& operator=(const GifEncoder&) = delete;

    // First pass: counts the frame's colours into the palette.
    bool addPaletteFrame(const RgbaImage& image, std::string& error);
    // Ends the first pass and makes the palette.
    bool beginFrames(std::string& error);
    // Second pass: maps the next frame onto the palette and encodes it.
    bool addFrame(const RgbaImage& image, std::string& error);
    // Encodes what is still held and closes the file; `bytes` gets it all.
    // False with `error` when the frames given were not as many as the
    // delays, or FFmpeg fails.
    bool finish(std::string& bytes, std::string& error);

private:
    struct Parts;
    explicit GifEncoder(std::unique_ptr<Parts> parts);
    // Hands the frames the palette mapping has ready to the encoder and its
    // packets to the file.
    bool drainMapped(std::string& error);
    // Hands `image` to the filter `source` at time `pts` (centiseconds).
    bool push(AVFilterContext* source, const RgbaImage& image, int64_t pts, std::string& error);
    // Encodes `frame` (nullptr: the end) and writes its packets.
    bool encode(const AVFrame* frame, std::string& error);

    std::unique_ptr<Parts> parts_;
};

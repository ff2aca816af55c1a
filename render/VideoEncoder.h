#pragma once

#include "render/RgbaImage.h"

#include <memory>
#include <string>

// The video files a render can make.
enum class VideoFormat {
    // H.264 in MP4, 4:2:0, BT.709 limited range, tagged so in the stream and
    // the container. Needs an even width and height.
    Mp4,
    // VP9 in WebM; with `alpha`, 4:2:0 plus a full alpha plane.
    Webm,
};

struct VideoSettings {
    int width = 0;
    int height = 0;
    double fps = 30;
    // Keep the frames' alpha (WebM only).
    bool alpha = false;
};

// Encodes RGBA frames into a video file held in memory: frame k is shown at
// k / fps. Owns its FFmpeg contexts; frames must all have the settings'
// size. Not copyable.
class VideoEncoder {
public:
    // Sets up the muxer and the codec. Returns nullptr with a one-line
    // `error` for a size the codec cannot take, alpha in MP4, or a codec
    // FFmpeg lacks.
    static std::unique_ptr<VideoEncoder> open(VideoFormat format, const VideoSettings& settings,
                                              std::string& error);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Converts and encodes the next frame. False with `error` when the
    // image has another size or the codec fails.
    bool addFrame(const RgbaImage& image, std::string& error);
    // Encodes what the codec still holds and closes the file; `bytes` gets
    // the whole file. False with `error` when that fails. Call once.
    bool finish(std::string& bytes, std::string& error);

private:
    struct Parts;
    explicit VideoEncoder(std::unique_ptr<Parts> parts);
    // Sends `frame` (nullptr: the end) and writes every packet that comes out.
    bool encode(bool end, std::string& error);

    std::unique_ptr<Parts> parts_;
};

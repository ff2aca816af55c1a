#pragma once

#include "animation/SafeFileWrite.h"
#include "render/FramePlan.h"
#include "render/RgbaImage.h"

#include <memory>
#include <string>

// What a render writes, told by the output's name.
enum class OutputKind {
    Mp4,         // ".mp4": H.264
    Webm,        // ".webm": VP9, with alpha on a transparent background
    Gif,         // ".gif": one palette, looping forever
    Png,         // ".png": one frame
    PngSequence, // a path ending in "/": one numbered PNG per frame
};

// The kind `path` names: a trailing "/" is a sequence, otherwise its
// extension in any case. False for any other name.
bool outputKindOf(const std::string& path, OutputKind& kind);

// The name of frame `index` of `count` in a sequence: "frame-0007.png",
// with at least four digits and as many as the last index needs, so the
// names sort in frame order.
std::string sequenceFrameName(int index, int count);

// What every frame of a render looks like.
struct SinkSettings {
    int width = 0;
    int height = 0;
    // The background was left transparent.
    bool transparent = false;
    FramePlan plan;
    // A link at the output: followed to its file when the user named the
    // output, replaced when the program chose the place itself.
    AtLink links = AtLink::Follow;
};

// Where a render's frames go, in time order. Nothing reaches the disk until
// finish() succeeds, and then through the one safe write (a symbolic link
// is written through, a failed write leaves the old file as it was); a
// sink dropped before that leaves no trace.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // How many times the frames must be given (a GIF looks at them all for
    // its palette before it encodes them).
    virtual int passes() const { return 1; }
    // Called before each pass's first frame (0, then 1 ...). False with a
    // one-line `error` when the pass cannot start.
    virtual bool beginPass(int pass, std::string& error) {
        (void)pass;
        (void)error;
        return true;
    }
    // Takes the next frame of the current pass. False with `error` on failure.
    virtual bool addFrame(const RgbaImage& image, std::string& error) = 0;
    // Ends the render and writes the output. False with `error` when the
    // encoding or the write fails; the output is then as it was.
    virtual bool finish(std::string& error) = 0;
};

// Why `kind` cannot hold a clip of `settings` (a .png of more than one
// frame, a transparent MP4, an MP4 of odd size, a GIF faster than
// MAX_GIF_FPS or larger than 65535 a side), in one line; "" when it can.
std::string outputProblem(OutputKind kind, const SinkSettings& settings);

// A sink writing `kind` to `path` (a folder for a sequence; it is made when
// missing, its parent must exist). Returns nullptr with a one-line `error`
// when outputProblem() names one or the encoder cannot start.
std::unique_ptr<FrameSink> openFrameSink(OutputKind kind, const std::string& path,
                                         const SinkSettings& settings, std::string& error);

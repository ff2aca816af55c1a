#include "render/FrameSink.h"

#include "animation/NumberText.h"
#include "animation/SafeFileWrite.h"
#include "render/GifEncoder.h"
#include "render/PngImage.h"
#include "render/VideoEncoder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace {

bool writeOutput(const std::string& path, const std::string& bytes, AtLink links,
                 std::string& error) {
    std::string reason;
    if (!writeFileSafely(path, bytes, false, &reason, links)) {
        error = "cannot write '" + path + "': " + reason;
        return false;
    }
    return true;
}

class VideoSink : public FrameSink {
public:
    VideoSink(std::unique_ptr<VideoEncoder> encoder, std::string path, AtLink links)
        : encoder_(std::move(encoder)), path_(std::move(path)), links_(links) {}
    bool addFrame(const RgbaImage& image, std::string& error) override {
        return encoder_->addFrame(image, error);
    }
    bool finish(std::string& error) override {
        std::string bytes;
        return encoder_->finish(bytes, error) && writeOutput(path_, bytes, links_, error);
    }

private:
    std::unique_ptr<VideoEncoder> encoder_;
    std::string path_;
    AtLink links_;
};

class GifSink : public FrameSink {
public:
    GifSink(std::unique_ptr<GifEncoder> encoder, std::string path, AtLink links)
        : encoder_(std::move(encoder)), path_(std::move(path)), links_(links) {}
    int passes() const override { return 2; }
    bool beginPass(int pass, std::string& error) override {
        pass_ = pass;
        return pass == 0 || encoder_->beginFrames(error);
    }
    bool addFrame(const RgbaImage& image, std::string& error) override {
        return pass_ == 0 ? encoder_->addPaletteFrame(image, error)
                          : encoder_->addFrame(image, error);
    }
    bool finish(std::string& error) override {
        std::string bytes;
        return encoder_->finish(bytes, error) && writeOutput(path_, bytes, links_, error);
    }

private:
    std::unique_ptr<GifEncoder> encoder_;
    std::string path_;
    AtLink links_;
    int pass_ = 0;
};

// Still PNGs: one file, or one per frame in a folder. The files are encoded
// as the frames come and written together once all are there, so an
// interrupted render leaves no frame of its own behind; the memory that
// takes is bounded.
constexpr std::size_t MAX_HELD_PNG_BYTES = std::size_t{1} << 30;

class PngSink : public FrameSink {
public:
    PngSink(std::string path, bool sequence, int count, AtLink links)
        : path_(std::move(path)), sequence_(sequence), count_(count), links_(links) {}
    bool addFrame(const RgbaImage& image, std::string& error) override {
        files_.emplace_back();
        if (!encodePng(image, files_.back(), error)) {
            return false;
        }
        held_ += files_.back().size();
        if (held_ > MAX_HELD_PNG_BYTES) {
            error = "the PNG frames would hold more than " +
                    std::to_string(MAX_HELD_PNG_BYTES >> 20) +
                    " MB before they are written; render a shorter part (--from, --to)";
            return false;
        }
        return true;
    }
    bool finish(std::string& error) override {
        if (static_cast<int>(files_.size()) != count_) {
            error = "the render ended after " + std::to_string(files_.size()) + " of " +
                    std::to_string(count_) + " frames";
            return false;
        }
        if (!sequence_) {
            return writeOutput(path_, files_.front(), links_, error);
        }
        if (::mkdir(path_.c_str(), 0777) != 0 && errno != EEXIST) {
            error = "cannot make the folder '" + path_ + "': " + std::strerror(errno);
            return false;
        }
        struct stat info;
        if (::stat(path_.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            error = "'" + path_ + "' is not a folder";
            return false;
        }
        for (int k = 0; k < count_; ++k) {
            if (!writeOutput(path_ + sequenceFrameName(k, count_), files_[k], links_, error)) {
                return false;
            }
        }
        return true;
    }

private:
    std::string path_;
    bool sequence_;
    int count_;
    AtLink links_;
    std::vector<std::string> files_;
    std::size_t held_ = 0;
};

std::string lowerExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return "";
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

bool outputKindOf(const std::string& path, OutputKind& kind) {
    if (!path.empty() && path.back() == '/') {
        kind = OutputKind::PngSequence;
        return true;
    }
    const std::string extension = lowerExtension(path);
    if (extension == "mp4") {
        kind = OutputKind::Mp4;
    } else if (extension == "webm") {
        kind = OutputKind::Webm;
    } else if (extension == "gif") {
        kind = OutputKind::Gif;
    } else if (extension == "png") {
        kind = OutputKind::Png;
    } else {
        return false;
    }
    return true;
}

std::string sequenceFrameName(int index, int count) {
    const std::size_t digits =
        std::max<std::size_t>(4, std::to_string(std::max(count - 1, 0)).size());
    std::string number = std::to_string(index);
    if (number.size() < digits) {
        number.insert(0, digits - number.size(), '0');
    }
    return "frame-" + number + ".png";
}

std::string outputProblem(OutputKind kind, const SinkSettings& settings) {
    switch (kind) {
    case OutputKind::Mp4:
        if (settings.transparent) {
            return "an MP4 video cannot keep a transparent background; use .webm, .gif or .png";
        }
        if (settings.width % 2 || settings.height % 2) {
            return "an MP4 video needs an even width and height (its colour has half the "
                   "resolution)";
        }
        return "";
    case OutputKind::Gif:
        if (settings.plan.fps > MAX_GIF_FPS) {
            return "a GIF holds at most " + numberText(MAX_GIF_FPS) +
                   " frames per second (its delays count hundredths of a second)";
        }
        if (settings.width > MAX_GIF_SIDE || settings.height > MAX_GIF_SIDE) {
            return "a GIF is at most " + std::to_string(MAX_GIF_SIDE) + " pixels a side";
        }
        return "";
    case OutputKind::Png:
        if (settings.plan.count != 1) {
            return "a .png file holds one frame: give --frame T, or end the output with '/' "
                   "for one PNG per frame";
        }
        return "";
    case OutputKind::Webm:
    case OutputKind::PngSequence:
        return "";
    }
    return "";
}

std::unique_ptr<FrameSink> openFrameSink(OutputKind kind, const std::string& path,
                                         const SinkSettings& settings, std::string& error) {
    error = outputProblem(kind, settings);
    if (!error.empty()) {
        return nullptr;
    }
    const FramePlan& plan = settings.plan;
    switch (kind) {
    case OutputKind::Mp4:
    case OutputKind::Webm: {
        VideoSettings video;
        video.width = settings.width;
        video.height = settings.height;
        video.fps = plan.fps;
        video.alpha = settings.transparent;
        auto encoder = VideoEncoder::open(
            kind == OutputKind::Mp4 ? VideoFormat::Mp4 : VideoFormat::Webm, video, error);
        if (!encoder) {
            return nullptr;
        }
        return std::make_unique<VideoSink>(std::move(encoder), path, settings.links);
    }
    case OutputKind::Gif: {
        auto encoder = GifEncoder::open(settings.width, settings.height, gifDelays(plan), error);
        if (!encoder) {
            return nullptr;
        }
        return std::make_unique<GifSink>(std::move(encoder), path, settings.links);
    }
    case OutputKind::Png:
        return std::make_unique<PngSink>(path, false, 1, settings.links);
    case OutputKind::PngSequence:
        return std::make_unique<PngSink>(path, true, plan.count, settings.links);
    }
    return nullptr;
}

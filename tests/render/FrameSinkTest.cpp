// Every container a render writes, read back through libavformat as a
// player would: frame count and times, size, codec, colour tags, and the
// pictures themselves against the frames that went in.
#include "render/FrameSink.h"

#include "MediaReader.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace {

constexpr int WIDTH = 64, HEIGHT = 48, FRAMES = 6;
constexpr double FPS = 10;

// A sky-like gradient with a square moving 6 pixels a frame, so a frame out
// of place or a colour matrix that differs from the tags shows. With
// `transparent` the gradient has alpha 0 and only the square is opaque.
RgbaImage testFrame(int k, bool transparent) {
    RgbaImage image(WIDTH, HEIGHT);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            uint8_t* p = &image.pixels[(y * WIDTH + x) * 4];
            const bool square = x >= 6 * k + 4 && x < 6 * k + 20 && y >= 14 && y < 34;
            p[0] = square ? 230 : static_cast<uint8_t>(200 - 3 * y);
            p[1] = square ? 40 : static_cast<uint8_t>(200 - 3 * y);
            p[2] = square ? 30 : static_cast<uint8_t>(230 - 3 * y);
            p[3] = square || !transparent ? 255 : 0;
        }
    }
    return image;
}

FramePlan plan(int count) {
    FramePlan p;
    p.fps = FPS;
    p.count = count;
    p.end = count / FPS;
    return p;
}

// Renders FRAMES test frames into `path` through a sink of `kind`, every
// pass as the renderer gives them.
void writeClip(OutputKind kind, const std::string& path, bool transparent) {
    SinkSettings settings;
    settings.width = WIDTH;
    settings.height = HEIGHT;
    settings.transparent = transparent;
    settings.plan = plan(FRAMES);
    std::string error;
    std::unique_ptr<FrameSink> sink = openFrameSink(kind, path, settings, error);
    ASSERT_TRUE(sink) << error;
    for (int pass = 0; pass < sink->passes(); ++pass) {
        ASSERT_TRUE(sink->beginPass(pass, error)) << error;
        for (int k = 0; k < FRAMES; ++k) {
            ASSERT_TRUE(sink->addFrame(testFrame(k, transparent), error)) << error;
        }
    }
    ASSERT_TRUE(sink->finish(error)) << error;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Videos keep BT.709 limited range, said so in the stream; a GIF keeps the
// clip's delays and loops forever.
TEST(FrameSink, VideosAndGifsReadBackFrameForFrame) {
    struct Case {
        const char* name;
        OutputKind kind;
        bool transparent;
        const char* codec;
        // For video away from sharp colour edges: a matrix other than the
        // tags' one costs some 13 dB there.
        double minimumPsnr;
    };
    const Case cases[] = {
        {"clip.mp4", OutputKind::Mp4, false, "h264", 40},
        {"clip.webm", OutputKind::Webm, false, "vp9", 35},
        {"alpha.webm", OutputKind::Webm, true, "vp9", 0},
        {"clip.gif", OutputKind::Gif, false, "gif", 28},
        {"alpha.gif", OutputKind::Gif, true, "gif", 0},
    };
    TempFolder folder;
    const std::vector<int> delays = gifDelays(plan(FRAMES));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool gif = c.kind == OutputKind::Gif;
        const std::string path = folder / c.name;
        writeClip(c.kind, path, c.transparent);
        MediaInfo info;
        std::string error;
        ASSERT_TRUE(readMedia(path, gif || !c.transparent, info, error)) << error;
        EXPECT_EQ(info.codec, c.codec);
        EXPECT_EQ(info.width, WIDTH);
        EXPECT_EQ(info.height, HEIGHT);
        ASSERT_EQ(info.times.size(), static_cast<std::size_t>(FRAMES));
        for (int k = 0; k < FRAMES; ++k) {
            if (gif) {
                EXPECT_NEAR(info.durations[k], delays[k] / 100.0, 1e-9) << "frame " << k;
            } else {
                EXPECT_NEAR(info.times[k] - info.times[0], k / FPS, 1e-3) << "frame " << k;
            }
        }
        if (gif) {
            // The application extension that makes viewers loop: a count of 0.
            EXPECT_NE(fileBytes(path).find(std::string("NETSCAPE2.0\x03\x01\x00\x00", 15)),
                      std::string::npos);
        } else {
            EXPECT_EQ(info.pixelFormat, "yuv420p");
            EXPECT_EQ(info.colourSpace, AVCOL_SPC_BT709);
            EXPECT_EQ(info.colourRange, AVCOL_RANGE_MPEG);
            EXPECT_EQ(info.primaries, AVCOL_PRI_BT709);
            EXPECT_EQ(info.transfer, AVCOL_TRC_BT709);
        }
        if (c.transparent && !gif) {
            // The alpha plane travels beside the colour, announced by the track.
            EXPECT_EQ(info.streamTags["alpha_mode"], "1");
            continue;
        }
        ASSERT_EQ(info.frames.size(), static_cast<std::size_t>(FRAMES));
        for (int k = 0; k < FRAMES; ++k) {
            const RgbaImage& got = info.frames[k];
            if (!c.transparent) {
                EXPECT_GE(psnr(testFrame(k, false), got, !gif), c.minimumPsnr) << "frame " << k;
                continue;
            }
            // Outside the square transparent, inside it opaque and red.
            const uint8_t* outside = &got.pixels[(2 * WIDTH + 2) * 4];
            const uint8_t* inside = &got.pixels[(20 * WIDTH + 6 * k + 10) * 4];
            EXPECT_EQ(outside[3], 0) << "frame " << k;
            EXPECT_EQ(inside[3], 255) << "frame " << k;
            EXPECT_NEAR(inside[0], 230, 12) << "frame " << k;
        }
    }
}

TEST(FrameSink, PngsHoldTheFramesExactly) {
    TempFolder folder;
    {
        SinkSettings settings{WIDTH, HEIGHT, true, plan(1)};
        std::string error;
        auto sink = openFrameSink(OutputKind::Png, folder / "still.png", settings, error);
        ASSERT_TRUE(sink) << error;
        ASSERT_TRUE(sink->addFrame(testFrame(2, true), error) && sink->finish(error)) << error;
    }
    writeClip(OutputKind::PngSequence, folder / "frames/", false);
    struct Expected {
        std::string path;
        RgbaImage frame;
    };
    std::vector<Expected> expected{{folder / "still.png", testFrame(2, true)}};
    for (int k = 0; k < FRAMES; ++k) {
        expected.push_back(
            {folder / "frames/" + sequenceFrameName(k, FRAMES), testFrame(k, false)});
    }
    for (const Expected& e : expected) {
        MediaInfo info;
        std::string error;
        ASSERT_TRUE(readMedia(e.path, true, info, error)) << error;
        EXPECT_EQ(info.pixelFormat, "rgba") << e.path;
        ASSERT_EQ(info.frames.size(), 1u) << e.path;
        EXPECT_TRUE(info.frames[0].pixels == e.frame.pixels) << e.path;
    }
}

// A render cancelled midway drops its sink unfinished: nothing is written,
// and the encoders and muxers free what they hold (the address-sanitised
// build reports whatever stays behind).
TEST(FrameSink, ADroppedSinkWritesNothing) {
    TempFolder folder;
    const struct {
        OutputKind kind;
        const char* name;
    } cases[] = {{OutputKind::Mp4, "a.mp4"}, {OutputKind::Webm, "a.webm"},
                 {OutputKind::Gif, "a.gif"}};
    for (const auto& c : cases) {
        const std::string path = folder / c.name;
        SinkSettings settings{WIDTH, HEIGHT, false, plan(FRAMES)};
        std::string error;
        std::unique_ptr<FrameSink> sink = openFrameSink(c.kind, path, settings, error);
        ASSERT_TRUE(sink) << error;
        for (int pass = 0; pass < sink->passes(); ++pass) {
            ASSERT_TRUE(sink->beginPass(pass, error)) << error;
            for (int k = 0; k < FRAMES; ++k) {
                ASSERT_TRUE(sink->addFrame(testFrame(k, false), error)) << error;
            }
        }
        sink.reset();
        EXPECT_FALSE(std::ifstream(path).good()) << c.name;
    }
}

TEST(FrameSink, RefusesOutputsThatCannotHoldTheClip) {
    struct Refused {
        const char* what;
        OutputKind kind;
        int width;
        bool transparent;
        FramePlan plan;
    };
    FramePlan fast = plan(FRAMES);
    fast.fps = 60;
    const Refused cases[] = {
        {"a .png of several frames", OutputKind::Png, WIDTH, false, plan(FRAMES)},
        {"a GIF faster than its delays can say", OutputKind::Gif, WIDTH, false, fast},
        {"a transparent MP4", OutputKind::Mp4, WIDTH, true, plan(FRAMES)},
        {"an MP4 of odd width", OutputKind::Mp4, WIDTH - 1, false, plan(FRAMES)},
    };
    for (const Refused& c : cases) {
        SinkSettings settings{c.width, HEIGHT, c.transparent, c.plan};
        std::string error;
        EXPECT_FALSE(openFrameSink(c.kind, "/tmp/never-written", settings, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

} // namespace

// kinemorph-render as a user runs it: what a bad command line or a broken
// input says, that frame k of a video is the still of time k / fps, and
// that an interrupted or failed render leaves the output as it was.
#include "tools/render/RenderCommand.h"

#include "MediaReader.h"

#include "tests/support/TempFolder.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string WALK = "resources/config/skeleton/animations/walk.rgaf";
// Small and few: 10 frames of the walk at 10 fps.
const std::vector<std::string> CLIP = {"--size", "96x72", "--fps", "10", "--to", "1"};

ToolRun run(const std::vector<std::string>& args) {
    return runTool(
        [&](std::ostream& out, std::ostream& err) { return runRender(args, out, err, false); });
}

std::vector<std::string> plus(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A bad command line or a render that fails leaves an earlier output as it
// was and writes nothing else.
TEST(RenderCommand, BadCommandLinesSayWhyInOneLineAndWriteNothing) {
    TempFolder folder;
    const std::string out = folder / "out.mp4";
    std::ofstream(out) << "an earlier video";
    std::ofstream(folder / "broken.rgaf") << "RGAF \nwalk\n0\n0\n";
    struct Bad {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Bad cases[] = {
        {{WALK, "-o", out, "--frobnicate", "1"}, RENDER_BAD_USAGE, "unknown option"},
        {{WALK, "-o", out, "--size", "0x10"}, RENDER_BAD_USAGE, "--size"},
        {{WALK, "-o", out, "--size", "640"}, RENDER_BAD_USAGE, "--size"},
        {{WALK, "-o", out, "--fps", "0"}, RENDER_BAD_USAGE, "--fps"},
        {{WALK, "-o", out, "--fps", "nan"}, RENDER_BAD_USAGE, "--fps"},
        {{WALK, "-o", out, "--camera", "top"}, RENDER_BAD_USAGE, "camera"},
        {{WALK, "-o", out, "--background", "red"}, RENDER_BAD_USAGE, "background"},
        {{WALK, "-o", out, "--frame", "1", "--from", "0"}, RENDER_BAD_USAGE, "--frame"},
        {{WALK, "-o", out, "--from", "-1"}, RENDER_BAD_USAGE, "--from"},
        {{WALK, "-o", out, "--from", "2", "--to", "1"}, RENDER_BAD_USAGE, "--to"},
        {{WALK}, RENDER_BAD_USAGE, "no output"},
        {{"-o", out}, RENDER_BAD_USAGE, "no input"},
        {{WALK, "-o", folder / "out.avi"}, RENDER_BAD_USAGE, ".mp4, .webm, .gif or .png"},
        {{WALK, "-o", folder / "still.png"}, RENDER_BAD_USAGE, "--frame"},
        {{WALK, "-o", folder / "fast.gif", "--fps", "60"}, RENDER_BAD_USAGE, "GIF"},
        {{WALK, "-o", out, "--background", "transparent"}, RENDER_BAD_USAGE, "transparent"},
        {{WALK, "-o", out, "--size", "95x72"}, RENDER_BAD_USAGE, "even"},
        {{folder / "missing.rgaf", "-o", out}, RENDER_FAILED, "No such file"},
        {{WALK, "--skeleton", folder / "missing.rgcf", "-o", out}, RENDER_FAILED, "skeleton"},
        {plus({folder / "broken.rgaf", "-o", out}, CLIP), RENDER_FAILED, "not usable"},
    };
    for (const Bad& c : cases) {
        expectOneErrorLine(run(c.args), "kinemorph-render", c.status, c.says);
    }
    EXPECT_EQ(bytesOf(out), "an earlier video");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"broken.rgaf", "out.mp4"}));

    // An animation file named like a video is still not overwritten.
    fs::copy_file(WALK, folder / "walk.gif");
    const ToolRun same = run({folder / "walk.gif", "-o", folder / "walk.gif"});
    EXPECT_EQ(same.status, RENDER_BAD_USAGE);
    EXPECT_NE(same.err.find("overwrite an input"), std::string::npos) << same.err;
    EXPECT_EQ(bytesOf(folder / "walk.gif"), bytesOf(WALK));

    const ToolRun help = run({"--help", "--frobnicate"});
    EXPECT_EQ(help.status, RENDER_OK);
    EXPECT_EQ(help.out.rfind("Usage: kinemorph-render", 0), 0u);
}

// The video's frame k is the moment k / fps: the still of that moment
// matches it within the video's loss, better than the stills of the moments
// beside it, and the sequence's PNG of frame k is that still exactly.
TEST(RenderCommand, EveryFrameIsItsMomentOnTheTimeline) {
    TempFolder folder;
    const std::vector<std::string> clip = {"--size", "640x480", "--fps", "10", "--to", "1"};
    ASSERT_EQ(run(plus({WALK, "-o", folder / "walk.mp4"}, clip)).status, RENDER_OK);
    ASSERT_EQ(run(plus({WALK, "-o", folder / "frames/"}, CLIP)).status, RENDER_OK);
    MediaInfo video;
    std::string error;
    ASSERT_TRUE(readMedia(folder / "walk.mp4", true, video, error)) << error;
    ASSERT_EQ(video.frames.size(), 10u);
    auto still = [&](int k, const std::string& size) {
        const std::string path = folder / ("still" + size + std::to_string(k) + ".png");
        const ToolRun r =
            run({WALK, "-o", path, "--size", size, "--frame", std::to_string(k / 10.0)});
        EXPECT_EQ(r.status, RENDER_OK) << r.err;
        MediaInfo png;
        EXPECT_TRUE(readMedia(path, true, png, error)) << error;
        return png.frames.empty() ? RgbaImage() : png.frames[0];
    };
    for (int k : {2, 3, 7}) {
        SCOPED_TRACE(k);
        const double own = psnr(still(k, "640x480"), video.frames[k]);
        EXPECT_GE(own, 35);
        EXPECT_GT(own, psnr(still(k + 1, "640x480"), video.frames[k]) + 1);
        EXPECT_GT(own, psnr(still(k - 1, "640x480"), video.frames[k]) + 1);
        MediaInfo numbered;
        ASSERT_TRUE(readMedia(folder / ("frames/frame-000" + std::to_string(k) + ".png"), true,
                              numbered, error))
            << error;
        EXPECT_TRUE(still(k, "96x72").pixels == numbered.frames[0].pixels);
    }
    EXPECT_FALSE(fs::exists(folder / "frames/frame-0010.png"));
}

// Ctrl-C stops the program between frames; nothing is written.
TEST(RenderCommand, InterruptedRenderWritesNothing) {
    TempFolder folder;
    const std::string out = folder / "long.mp4";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(KINEMORPH_RENDER_BINARY, KINEMORPH_RENDER_BINARY, WALK.c_str(), "--size", "64x48",
                "--to", "3600", "-o", out.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), RENDER_FAILED);
    EXPECT_TRUE(folder.entries().empty());
}

} // namespace

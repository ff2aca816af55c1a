// Inputs that fuzzing found or that are known to be hostile, replayed through
// the same checks the fuzz targets run, plus what each reader must make of
// the hostile ones.
#include "tests/fuzz/ReaderChecks.h"

#include "animation/AnimationFile.h"
#include "animation/NumberText.h"
#include "app/DisplaySettings.h"
#include "skeleton/Skeleton.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string sourceDir() {
    const char* dir = std::getenv("KINEMORPH_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs every stored input of one target through its check; returns how many
// there were.
int replayInputs(const std::string& target, std::string (*check)(std::string_view)) {
    const fs::path folder = fs::path(sourceDir()) / "tests/fuzz/regressions/inputs" / target;
    int replayed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        testing::internal::CaptureStdout();
        const std::string broken = check(fileText(entry.path()));
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(broken, "") << entry.path();
        ++replayed;
    }
    return replayed;
}

std::string quietly(std::string (*check)(std::string_view), std::string_view data) {
    testing::internal::CaptureStdout();
    std::string broken = check(data);
    testing::internal::GetCapturedStdout();
    return broken;
}

DisplaySettings settingsFrom(const std::string& text) {
    std::istringstream in(text);
    testing::internal::CaptureStdout();
    DisplaySettings s = readDisplaySettings(in);
    testing::internal::GetCapturedStdout();
    return s;
}

int bonesFrom(const std::string& text) {
    std::istringstream in(text);
    testing::internal::CaptureStdout();
    Skeleton skeleton(in, 0, 0, 0);
    testing::internal::GetCapturedStdout();
    return skeleton.boneCount();
}

Animation animationFrom(const std::string& text) {
    std::istringstream in(text);
    testing::internal::CaptureStdout();
    Animation animation = readAnimation(in);
    testing::internal::GetCapturedStdout();
    return animation;
}

std::string defaultSkeleton() {
    return fileText(fs::path(sourceDir()) / "resources/config/skeleton/default.rgcf");
}

// The default figure with the first occurrence of `from` on line `line`
// (0-based, the header is line 0) replaced.
std::string defaultSkeletonWith(int line, const std::string& from, const std::string& to) {
    std::string text = defaultSkeleton();
    std::size_t start = 0;
    for (int i = 0; i < line; ++i)
        start = text.find('\n', start) + 1;
    text.replace(text.find(from, start), from.size(), to);
    return text;
}

std::string frameLineOf(const std::string& value) {
    std::string line = value;
    for (int i = 1; i < FRAME_LINE_VALUES; ++i)
        line += "\t" + value;
    return line;
}

} // namespace

TEST(FuzzRegression, StoredInputsKeepEveryProperty) {
    EXPECT_GT(replayInputs("settings", checkSettingsInput), 0);
    EXPECT_GT(replayInputs("skeleton", checkSkeletonInput), 0);
    EXPECT_GT(replayInputs("keyframe_line", checkKeyFrameLineInput), 0);
    EXPECT_GT(replayInputs("animation", checkAnimationInput), 0);
    EXPECT_GT(replayInputs("bvh", checkBvhInput), 0);
}

TEST(FuzzRegression, SettingsSurviveHostileText) {
    {
        // A number too big for an int ends reading and sets nothing.
        DisplaySettings s =
            settingsFrom("[settings]\nwindowed_width 99999999999\nwindowed_height 500\n");
        EXPECT_EQ(s.windowedWidth, 800);
        EXPECT_EQ(s.windowedHeight, 600);
    }
    {
        // 1e999 is the integer 1 and then a token that names no key.
        DisplaySettings s = settingsFrom("[settings] windowed_width 1e999 AA_level 2");
        EXPECT_EQ(s.windowedWidth, 1);
        EXPECT_EQ(s.antialiasingLevel, 2);
    }
    {
        // A lone CR is white space like any other.
        DisplaySettings s = settingsFrom("[settings]\rAA_level 4\rframerate_limit 30\r");
        EXPECT_EQ(s.antialiasingLevel, 4);
        EXPECT_EQ(s.framerateLimit, 30);
    }
    {
        // A NUL glued to the header makes it another word.
        DisplaySettings s = settingsFrom(std::string("[settings]\0 AA_level 0", 22));
        EXPECT_EQ(s.antialiasingLevel, 0);
        EXPECT_EQ(s.fullscreenWidth, 0);
    }
    {
        DisplaySettings s = settingsFrom("[settings] fullscreen nan windowed_height -0");
        EXPECT_FALSE(s.fullscreen);
        EXPECT_EQ(s.windowedHeight, 0);
        EXPECT_EQ(sanitizeDisplaySettings(s).windowedHeight, 600);
    }
    EXPECT_EQ(quietly(checkSettingsInput, ""), "");
    EXPECT_EQ(quietly(checkSettingsInput, std::string(1 << 20, 'w')), "");
    EXPECT_EQ(quietly(checkSettingsInput, "[settings] windowed_width -2147483648"), "");
}

TEST(FuzzRegression, SkeletonSurvivesHostileText) {
    EXPECT_EQ(bonesFrom(""), 0);
    // Old Mac line ends make one long header line, which is refused.
    std::string lonelyCr = defaultSkeleton();
    for (char& c : lonelyCr) {
        if (c == '\n')
            c = '\r';
    }
    EXPECT_EQ(bonesFrom(lonelyCr), 0);
    // NaN and out-of-range numbers are malformed: the bones before stay.
    EXPECT_EQ(bonesFrom(defaultSkeletonWith(1, "0.96", "nan")), 0);
    EXPECT_EQ(bonesFrom(defaultSkeletonWith(4, "0.10", "1e999")), 3);
    EXPECT_EQ(bonesFrom(defaultSkeletonWith(4, "0.10", std::string("0\0", 2))), 3);
    // Parent numbers far outside the int range are refused, not converted.
    EXPECT_EQ(bonesFrom(defaultSkeletonWith(7, "      5", " 1e30")), 6);
    EXPECT_EQ(bonesFrom(defaultSkeletonWith(7, "      5", " -1e30")), 6);
    // Lengths and angles at the edge of the float range still load and pose.
    const std::string huge = defaultSkeletonWith(2, "0.25      0", "3.4e38 3.4e38");
    EXPECT_EQ(bonesFrom(huge), POSE_BONE_COUNT);
    EXPECT_EQ(quietly(checkSkeletonInput, huge), "");
    const std::string longGap = defaultSkeletonWith(2, "0.25", std::string(100000, ' ') + "0.25");
    EXPECT_EQ(bonesFrom(longGap), POSE_BONE_COUNT);
    EXPECT_EQ(quietly(checkSkeletonInput, lonelyCr), "");
}

TEST(FuzzRegression, FrameLineSurvivesHostileText) {
    {
        KeyFrame frame("");
        EXPECT_EQ(frame.rootPosition.x, UNREADABLE_NUMBER);
        EXPECT_EQ(frame.motionType, INT_MAX);
    }
    {
        KeyFrame frame(frameLineOf("1e999"));
        EXPECT_EQ(frame.boneAngles[20].z, UNREADABLE_NUMBER);
    }
    {
        KeyFrame frame(frameLineOf("nan"));
        EXPECT_EQ(frame.waitTime, UNREADABLE_NUMBER);
    }
    {
        KeyFrame frame(frameLineOf("1e-999"));
        EXPECT_EQ(frame.transitionTime, 0.0);
    }
    {
        // Motion types beyond an int saturate instead of overflowing.
        EXPECT_EQ(KeyFrame(frameLineOf("-1e300")).motionType, INT_MIN);
        EXPECT_EQ(KeyFrame(frameLineOf("1e300")).motionType, INT_MAX);
    }
    {
        // A NUL or a lone CR ends a number like any character that cannot
        // continue it.
        KeyFrame frame(frameLineOf(std::string("2\0"
                                               "5",
                                               3)));
        EXPECT_EQ(frame.rootPosition.y, 2.0);
        EXPECT_EQ(KeyFrame(frameLineOf("7\r8")).waitTime, 7.0);
    }
    {
        // A token too long for any double reads as unreadable, and so do
        // the values after it, which see only the next 1000 characters.
        KeyFrame frame(std::string(1 << 20, '9'));
        EXPECT_EQ(frame.rootPosition.x, UNREADABLE_NUMBER);
        EXPECT_EQ(frame.motionType, INT_MAX);
    }
    EXPECT_EQ(quietly(checkKeyFrameLineInput, std::string(1 << 16, '\t')), "");
    EXPECT_EQ(quietly(checkKeyFrameLineInput, frameLineOf("-1.79769e+308")), "");
}

TEST(FuzzRegression, AnimationSurvivesHostileText) {
    EXPECT_FALSE(animationFrom("").valid());
    EXPECT_FALSE(animationFrom("RGAF\rwalk\r1\r1\r").valid());
    {
        // A count far beyond the file's lines adds a bounded number of frames.
        Animation a = animationFrom("RGAF\nlong\n2147483647\n0\n");
        EXPECT_TRUE(a.valid());
        EXPECT_EQ(a.frameCount(), MAX_MISSING_FRAMES);
    }
    {
        Animation a = animationFrom("RGAF\ntoo big\n99999999999\n1\n");
        EXPECT_TRUE(a.valid());
        EXPECT_EQ(a.frameCount(), 0);
    }
    {
        Animation a = animationFrom("RGAF\nnegative\n-5\n1\n");
        EXPECT_EQ(a.frameCount(), 0);
        EXPECT_TRUE(a.looping());
    }
    {
        Animation a = animationFrom(std::string("RGAF\nwa\0lk\n0\n0\n", 15));
        EXPECT_EQ(a.name(), std::string("wa\0lk", 5));
    }
    {
        Animation a = animationFrom("RGAF\n" + std::string(1 << 20, 'n') + "\n0\n0\n");
        EXPECT_EQ(a.name().size(), std::size_t(1) << 20);
    }
    // Times at the ends of the double range, every motion code and none.
    for (const char* code : {"3", "13", "23", "33", "0", "1e300"}) {
        std::string frame = frameLineOf("1.79769e+308");
        frame.replace(frame.rfind('\t') + 1, std::string::npos, code);
        const std::string text = "RGAF\nedge\n3\n1\n" + frameLineOf("-1.79769e+308") + "\n" +
                                 frame + "\n" + frameLineOf("0") + "\n";
        EXPECT_EQ(quietly(checkAnimationInput, text), "") << code;
    }
    EXPECT_EQ(quietly(checkAnimationInput, "RGAF\nlong\n2147483647\n1\n" + frameLineOf("5")), "");
}

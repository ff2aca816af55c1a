#include "app/DisplaySettings.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Read {
    DisplaySettings settings;
    std::string output;
};

Read readText(const std::string& text) {
    std::istringstream in(text);
    testing::internal::CaptureStdout();
    Read r{readDisplaySettings(in), ""};
    r.output = testing::internal::GetCapturedStdout();
    return r;
}

const char* const badHeader =
    "Invalid header in \"settings.ini\"! Reverting to default settings.\n";

TEST(DisplaySettings, MissingFileRevertsWithMessage) {
    testing::internal::CaptureStdout();
    DisplaySettings s = readDisplaySettingsFile("/nonexistent/settings.ini");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Could not open \"settings.ini\"! Reverting to default settings.\n");
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.windowedWidth, 800);
    EXPECT_EQ(s.windowedHeight, 600);
    EXPECT_EQ(s.antialiasingLevel, 1);
    EXPECT_EQ(s.fullscreenWidth, 0);
    EXPECT_EQ(s.fullscreenHeight, 0);
    EXPECT_EQ(s.framerateLimit, 0);
}

TEST(DisplaySettings, BadHeadersRevertButKeepReading) {
    for (const char* text : {"", "[Settings]", "[settings]x", "settings", "[settings"}) {
        Read r = readText(text);
        EXPECT_EQ(r.output, badHeader) << "text: " << text;
        EXPECT_EQ(r.settings.antialiasingLevel, 1);
    }
    // Keys after a bad header are still applied.
    Read r = readText("[SETTINGS] windowed_width 1024 AA_level 4");
    EXPECT_EQ(r.output, badHeader);
    EXPECT_EQ(r.settings.windowedWidth, 1024);
    EXPECT_EQ(r.settings.antialiasingLevel, 4);
}

TEST(DisplaySettings, HeaderAloneKeepsEveryDefault) {
    Read r = readText("[settings]\n");
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(r.settings.antialiasingLevel, 0);
    EXPECT_EQ(r.settings.windowedWidth, 800);
    EXPECT_FALSE(r.settings.fullscreenSizeGiven);
}

TEST(DisplaySettings, EveryKeyInAnyOrderAndLastValueWins) {
    Read r = readText("[settings]\tframerate_limit 30\nAA_level 2 fullscreen true\r\n"
                      "fullscreen_height 900 fullscreen_width 1600 windowed_height 480 "
                      "windowed_width 640 windowed_width 700");
    EXPECT_EQ(r.output, "");
    EXPECT_TRUE(r.settings.fullscreen);
    EXPECT_EQ(r.settings.windowedWidth, 700);
    EXPECT_EQ(r.settings.windowedHeight, 480);
    EXPECT_EQ(r.settings.fullscreenWidth, 1600);
    EXPECT_EQ(r.settings.fullscreenHeight, 900);
    EXPECT_TRUE(r.settings.fullscreenSizeGiven);
    EXPECT_EQ(r.settings.antialiasingLevel, 2);
    EXPECT_EQ(r.settings.framerateLimit, 30);
}

TEST(DisplaySettings, FullscreenOnlyForTheExactWordTrue) {
    for (const char* word : {"True", "1", "yes", "TRUE", "true1"}) {
        Read r = readText(std::string("[settings] fullscreen ") + word);
        EXPECT_FALSE(r.settings.fullscreen) << word;
    }
    EXPECT_FALSE(readText("[settings] fullscreen").settings.fullscreen);
}

TEST(DisplaySettings, TokensAndNumbersParseLikeStreamExtraction) {
    // A key glued to its value is no key.
    EXPECT_EQ(readText("[settings] windowed_width1024").settings.windowedWidth, 800);
    // Digits up to the first non-digit; the rest is the next token.
    Read r = readText("[settings] windowed_width 1024x windowed_height 700");
    EXPECT_EQ(r.settings.windowedWidth, 1024);
    EXPECT_EQ(r.settings.windowedHeight, 700);
    // The value of an unknown key is tried as a key itself.
    EXPECT_EQ(readText("[settings] colour AA_level 3").settings.antialiasingLevel, 3);
    EXPECT_EQ(readText("[settings] AA_level +5").settings.antialiasingLevel, 5);
}

TEST(DisplaySettings, UnparsableIntegerStopsReadingAndKeepsOldValue) {
    Read r = readText("[settings] AA_level 2 windowed_width abc windowed_height 500");
    EXPECT_EQ(r.settings.antialiasingLevel, 2);
    EXPECT_EQ(r.settings.windowedWidth, 800);
    EXPECT_EQ(r.settings.windowedHeight, 600); // never reached
    // A number too big for an int fails the same way instead of wrapping.
    EXPECT_EQ(readText("[settings] windowed_width 99999999999").settings.windowedWidth, 800);
    // A key at the very end with no value.
    EXPECT_EQ(readText("[settings] AA_level 3 windowed_width").settings.windowedWidth, 800);
}

TEST(DisplaySettings, SanitizeReplacesUnusableValues) {
    DisplaySettings s;
    s.windowedWidth = 0;
    s.windowedHeight = 100000;
    s.antialiasingLevel = -2;
    s.framerateLimit = -1;
    testing::internal::CaptureStdout();
    DisplaySettings fixed = sanitizeDisplaySettings(s);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(fixed.windowedWidth, 800);
    EXPECT_EQ(fixed.windowedHeight, 600);
    EXPECT_EQ(fixed.antialiasingLevel, 0);
    EXPECT_EQ(fixed.framerateLimit, 0);
    EXPECT_NE(out.find("windowed_width 0"), std::string::npos);

    testing::internal::CaptureStdout();
    DisplaySettings good = sanitizeDisplaySettings(DisplaySettings{});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(good.windowedWidth, 800);
}

TEST(DisplaySettings, ShippedFileLoadsQuietly) {
    testing::internal::CaptureStdout();
    DisplaySettings s = readDisplaySettingsFile(workingDirectoryPaths().settings);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(s.fullscreen);
    // Wide enough for every editor window at its place.
    EXPECT_GE(s.windowedWidth, 1000);
    EXPECT_GE(s.windowedHeight, 720);
}

} // namespace

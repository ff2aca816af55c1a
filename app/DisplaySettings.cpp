#include "app/DisplaySettings.h"

#include <fstream>
#include <iostream>

namespace {
// What a missing file or a bad header falls back to.
void revertToDefaults(DisplaySettings& s) {
    s.antialiasingLevel = 1;
    s.fullscreenWidth = 0;
    s.fullscreenHeight = 0;
}

// Reads one integer value into `target`. On a failed parse the target keeps
// its value: a half-read number must not become a window size.
void readInt(std::istream& in, int& target) {
    int value = 0;
    if (in >> value)
        target = value;
}
} // namespace

DisplaySettings readDisplaySettings(std::istream& in) {
    DisplaySettings s;
    std::string header;
    in >> header;
    if (header != "[settings]") {
        std::cout << "Invalid header in \"settings.ini\"! Reverting to default settings.\n";
        revertToDefaults(s);
    }
    std::string key;
    while (in.good()) {
        if (!(in >> key))
            break;
        if (key == "fullscreen") {
            std::string word;
            in >> word;
            s.fullscreen = (word == "true");
        } else if (key == "windowed_width") {
            readInt(in, s.windowedWidth);
        } else if (key == "windowed_height") {
            readInt(in, s.windowedHeight);
        } else if (key == "fullscreen_width") {
            readInt(in, s.fullscreenWidth);
            s.fullscreenSizeGiven = true;
        } else if (key == "fullscreen_height") {
            readInt(in, s.fullscreenHeight);
            s.fullscreenSizeGiven = true;
        } else if (key == "AA_level") {
            readInt(in, s.antialiasingLevel);
        } else if (key == "framerate_limit") {
            readInt(in, s.framerateLimit);
        }
        // Anything else is skipped one token at a time, so the value of an
        // unknown key is itself tried as a key on the next pass.
    }
    return s;
}

DisplaySettings readDisplaySettingsFile(const std::string& path) {
    std::ifstream in(path);
    if (!in.is_open()) {
        std::cout << "Could not open \"settings.ini\"! Reverting to default settings.\n";
        DisplaySettings s;
        revertToDefaults(s);
        return s;
    }
    return readDisplaySettings(in);
}

namespace {
void keepInRange(int& value, int low, int high, int fallback, const char* what) {
    if (value < low || value > high) {
        std::cout << "Ignoring " << what << " " << value << " in \"settings.ini\"; using "
                  << fallback << ".\n";
        value = fallback;
    }
}
} // namespace

DisplaySettings sanitizeDisplaySettings(const DisplaySettings& settings) {
    constexpr int maxSide = 16384;
    DisplaySettings s = settings;
    keepInRange(s.windowedWidth, 1, maxSide, 800, "windowed_width");
    keepInRange(s.windowedHeight, 1, maxSide, 600, "windowed_height");
    keepInRange(s.antialiasingLevel, 0, 16, 0, "AA_level");
    keepInRange(s.framerateLimit, 0, 100000, 0, "framerate_limit");
    if (s.fullscreen) {
        keepInRange(s.fullscreenWidth, 1, maxSide, s.windowedWidth, "fullscreen_width");
        keepInRange(s.fullscreenHeight, 1, maxSide, s.windowedHeight, "fullscreen_height");
    }
    return s;
}

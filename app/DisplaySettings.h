#pragma once

#include "platform/ProgramPaths.h"

#include <istream>
#include <string>

// What the display settings file can choose, with the values used when the
// file does not mention them.
struct DisplaySettings {
    bool fullscreen = false;
    int windowedWidth = 800;
    int windowedHeight = 600;
    // Used only for a fullscreen window. fullscreenSizeGiven tells whether
    // the file named either dimension; without it the caller picks a size.
    int fullscreenWidth = 0;
    int fullscreenHeight = 0;
    bool fullscreenSizeGiven = false;
    int antialiasingLevel = 0;
    // Frames per second; 0 means no limit.
    int framerateLimit = 0;
};

// Reads settings text: the header "[settings]", then key and value tokens
// separated by any white space. A bad header prints "Invalid header in
// "settings.ini"! Reverting to default settings." and sets antialiasing 1
// and fullscreen 0 x 0, but the keys after it are still read. An integer that
// fails to parse ends reading, keeping what was read before it.
DisplaySettings readDisplaySettings(std::istream& in);

// Opens and reads the file at `path`. A file that cannot be opened prints
// "Could not open "settings.ini"! Reverting to default settings." and gives
// the defaults with antialiasing 1 and fullscreen 0 x 0.
DisplaySettings readDisplaySettingsFile(const std::string& path = workingDirectoryPaths().settings);

// Replaces values no window can be made with (a size below 1 or above
// 16384 pixels, a negative antialiasing level or frame-rate limit) by the
// defaults, printing one line for each value replaced.
DisplaySettings sanitizeDisplaySettings(const DisplaySettings& settings);

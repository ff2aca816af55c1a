#include "tests/fuzz/CheckSupport.h"
#include "tests/fuzz/ReaderChecks.h"

#include "app/DisplaySettings.h"

#include <sstream>

namespace {

DisplaySettings readText(const std::string& text) {
    std::istringstream in(text);
    return readDisplaySettings(in);
}

bool sameSettings(const DisplaySettings& a, const DisplaySettings& b) {
    return a.fullscreen == b.fullscreen && a.windowedWidth == b.windowedWidth &&
           a.windowedHeight == b.windowedHeight && a.fullscreenWidth == b.fullscreenWidth &&
           a.fullscreenHeight == b.fullscreenHeight &&
           a.fullscreenSizeGiven == b.fullscreenSizeGiven &&
           a.antialiasingLevel == b.antialiasingLevel && a.framerateLimit == b.framerateLimit;
}

bool between(int value, int low, int high) {
    return low <= value && value <= high;
}

} // namespace

std::string checkSettingsInput(std::string_view data) {
    const std::string text(data);
    const DisplaySettings read = readText(text);

    // Only a fullscreen key may move the fullscreen size off the 0 x 0 that
    // both the defaults and a bad header give.
    if (!read.fullscreenSizeGiven) {
        FUZZ_EXPECT(read.fullscreenWidth == 0 && read.fullscreenHeight == 0);
    }

    // Whatever the file said, the window is made from these.
    const DisplaySettings usable = sanitizeDisplaySettings(read);
    FUZZ_EXPECT(between(usable.windowedWidth, 1, 16384));
    FUZZ_EXPECT(between(usable.windowedHeight, 1, 16384));
    FUZZ_EXPECT(between(usable.antialiasingLevel, 0, 16));
    FUZZ_EXPECT(between(usable.framerateLimit, 0, 100000));
    if (usable.fullscreen) {
        FUZZ_EXPECT(between(usable.fullscreenWidth, 1, 16384));
        FUZZ_EXPECT(between(usable.fullscreenHeight, 1, 16384));
    }
    FUZZ_EXPECT(sameSettings(sanitizeDisplaySettings(usable), usable));

    // Line structure does not matter: CR LF line ends and a final line end
    // read as any other white space.
    FUZZ_EXPECT(sameSettings(readText(withCrLf(data)), read));
    FUZZ_EXPECT(sameSettings(readText(text + "\n"), read));
    return {};
}

#pragma once

#include "platform/ProgramPaths.h"

// The few values the whole program shares by design: the current window size
// in pixels, the main-loop flag and where the run's files are. The
// Application owns the one instance; everything else that needs them is
// handed a reference, so a test can build as many independent states as it
// likes.
struct ProgramState {
    int windowWidth = 800;
    int windowHeight = 600;
    // The main loop runs while this is true. The window's close event and the
    // menu's exit button clear it.
    bool running = false;
    // Resolved once at start; the working folder's resources/ unless the
    // program runs from an install.
    ProgramPaths paths = workingDirectoryPaths();
};

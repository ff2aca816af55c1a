#pragma once

#include <string>

// A private working directory for a test that runs the program's own
// start-up: a copy of the repository's resources/ in a fresh folder under
// /tmp, with a settings file for the given window size and frame limit
// (0: none). The constructor
// changes into it; the destructor changes back and removes it.
class ScopedWorkDir {
public:
    ScopedWorkDir(int windowWidth = 800, int windowHeight = 600, int framerateLimit = 0);
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

    const std::string& path() const { return dir; }

private:
    std::string dir;
    std::string previous;
};

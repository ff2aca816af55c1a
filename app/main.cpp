// Kinemorph: a skeletal character animator. Takes no arguments; works
// relative to the current directory, where resources/ is.
#include "app/Application.h"
#include "app/ConsolePause.h"
#include "animation/SafeFileWrite.h"

#include <cstdio>
#include <iostream>

int main() {
    // Line by line, so each diagnostic reaches a log file or a pipe at once
    // and none is lost when the process is killed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // A save past a file-size limit fails and says so instead of killing
    // the program with the work unsaved.
    ignoreFileSizeSignal();
    int status = 1;
    {
        Application application;
        status = application.run();
    }
    if (status != 0) {
        std::cout << "Game could not start...\n" << std::flush;
        pauseIfInteractive();
    }
    return 0;
}

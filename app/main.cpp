// Kinemorph: a skeletal character animator. Takes no arguments; works
// relative to the current directory, where resources/ is.
#include "app/Application.h"
#include "app/ConsolePause.h"

#include <iostream>

int main() {
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

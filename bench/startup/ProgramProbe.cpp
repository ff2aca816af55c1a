// The program's own start: the same Application constructor and one pass
// of its main loop (events, update, render with the present) as main() and
// run() do, with moments stamped on the way. Run from a folder holding the
// shipped resources/. With the argument "music" it stamps only the making
// and starting of the music stream, in a process of its own.
#include "app/Application.h"
#include "app/Music.h"
#include "app/MusicCommands.h"
#include "bench/startup/Stamp.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    printStamp("main");
    if (argc > 1 && std::strcmp(argv[1], "music") == 0) {
        std::unique_ptr<MusicStream> music = makeSfmlMusic();
        bool playing = music && startMusic(*music, workingDirectoryPaths().music, MUSIC_START_VOLUME);
        printStamp("music");
        return playing ? 0 : 1;
    }
    Application application;
    printStamp("constructed");
    if (!application.ok()) {
        std::cout << "probe: the program did not start\n";
        return 1;
    }
    application.state().running = true;
    application.handleEvents();
    application.update();
    application.render();
    printStamp("presented");
    // Leave at once: the process's CPU time, which the launcher reads,
    // should end where the start ends, not include the tear-down.
    std::_Exit(0);
}

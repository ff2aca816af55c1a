// Kinemorph: a skeletal character animator. `kinemorph [FILE]` (see
// programUsage()). Started in a folder holding resources/ it works from
// there; installed, from its share folder and the user's own folders.
#include "animation/SafeFileWrite.h"
#include "app/Application.h"
#include "app/ConsolePause.h"
#include "app/ProgramArguments.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "platform/ProgramPaths.h"
#include "platform/Version.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    // Line by line, so each diagnostic reaches a log file or a pipe at once
    // and none is lost when the process is killed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // A save past a file-size limit fails and says so instead of killing
    // the program with the work unsaved.
    ignoreFileSizeSignal();

    const ProgramArguments arguments = parseProgramArguments({argv + 1, argv + argc});
    switch (arguments.request) {
    case StartRequest::Help:
        std::cout << programUsage();
        return 0;
    case StartRequest::Version:
        std::cout << "Kinemorph " << kinemorphVersion() << "\n";
        return 0;
    case StartRequest::BadUsage:
        std::cerr << "kinemorph: " << arguments.error << "\n"
                  << "Try 'kinemorph --help' for more information.\n";
        return BAD_USAGE_STATUS;
    case StartRequest::Editor:
        break;
    }

    const ProgramPaths paths = currentProgramPaths();
    if (!paths.found)
        std::cout << "Error: Kinemorph's resources are neither in ./resources nor installed "
                     "beside the program\n";
    std::string folderError;
    if (!prepareAnimationFolder(paths, folderError))
        std::cout << folderError << "\n";

    int status = 1;
    {
        Application application(paths);
        if (application.ok() && !arguments.file.empty())
            application.scene().editor->openFile(arguments.file);
        status = application.run();
    }
    if (status != 0) {
        std::cout << "Game could not start...\n" << std::flush;
        pauseIfInteractive();
    }
    return 0;
}

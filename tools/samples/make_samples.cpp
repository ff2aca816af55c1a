#include "animation/Animation.h"
#include "skeleton/DefaultFigure.h"
#include "tools/samples/SampleAnimations.h"

#include <iostream>

// make_samples [FOLDER]: writes the sample animations walk, wave and jump
// (see SampleAnimations.h) into FOLDER, by default the program's animations
// folder. Run it from the repository root, where the program's skeleton
// file is. Prints one line per file; on failure one line on standard error
// and exit status 1.
int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: make_samples [FOLDER]\n";
        return 2;
    }
    const std::string folder = argc == 2 ? argv[1] : "resources/config/skeleton/animations";
    std::string error;
    if (!writeSampleAnimations(SKELETON_PATH, folder, std::cout, error)) {
        std::cerr << "make_samples: " << error << "\n";
        return 1;
    }
    return 0;
}

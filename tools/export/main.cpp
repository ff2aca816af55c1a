#include "animation/SafeFileWrite.h"
#include "tools/export/ExportCommand.h"

#include <iostream>

// kinemorph-export: Kinemorph animations to glTF 2.0 and BVH. See
// exportUsage() for the command line.
int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    return runExport(args, std::cout, std::cerr);
}

#include "tools/import/ImportCommand.h"

#include "animation/SafeFileWrite.h"
#include "tools/common/TerminalProgress.h"

#include <iostream>

// kinemorph-import: motion-capture clips (BVH) to Kinemorph animations. See
// importUsage() for the command line.
int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    return runImport(args, std::cout, std::cerr, TerminalProgress::standardErrorIsTerminal());
}

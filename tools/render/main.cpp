#include "animation/SafeFileWrite.h"
#include "tools/common/TerminalProgress.h"
#include "tools/render/RenderCommand.h"

#include <iostream>

// kinemorph-render: Kinemorph animations to MP4, WebM, GIF and PNG, drawn
// offscreen as the editor draws them. See renderUsage() for the command line.
int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    return runRender(args, std::cout, std::cerr, TerminalProgress::standardErrorIsTerminal());
}

#include "app/ConsolePause.h"

#include <unistd.h>

#include <iostream>

void pauseIfInteractive(std::FILE* in) {
    if (!isatty(fileno(in)))
        return;
    std::cout << "Press Enter to continue..." << std::flush;
    int c;
    do {
        c = std::fgetc(in);
    } while (c != '\n' && c != EOF);
}

// The least a program with the same window can do: open an SFML window
// with the program's title, size and context settings (depth 32, stencil 8,
// the antialiasing level given), clear it and present one frame.
// Usage: bench_startup_bare <width> <height> <antialiasing level>
#include "bench/startup/Stamp.h"

#include <SFML/OpenGL.hpp>
#include <SFML/Window.hpp>

#include <cstdlib>

int main(int argc, char** argv) {
    printStamp("main");
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_startup_bare <width> <height> <aa level>\n");
        return 2;
    }
    const unsigned width = static_cast<unsigned>(std::atoi(argv[1]));
    const unsigned height = static_cast<unsigned>(std::atoi(argv[2]));
    const unsigned aa = static_cast<unsigned>(std::atoi(argv[3]));
    sf::Window window(sf::VideoMode(width, height, 32), "Kinemorph - Orrowen",
                      sf::Style::Titlebar | sf::Style::Close, sf::ContextSettings(32, 8, aa));
    printStamp("constructed");
    if (!window.isOpen())
        return 1;
    glClearColor(0.1f, 0.8f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    window.display();
    printStamp("presented");
    // As the program's probe does: no tear-down in the measured CPU time.
    std::_Exit(0);
}

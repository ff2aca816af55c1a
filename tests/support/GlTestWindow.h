#pragma once

#include <SFML/Window.hpp>

#include <cstdint>
#include <memory>

// A real window with a GL context for tests that draw and read pixels back.
// Runs under the private Xvfb that the test runner starts. Reads come from
// the back buffer, which is the test's own memory under Mesa's software
// renderer, so other windows on the display never spoil them.
class GlTestWindow {
public:
    struct Pixel {
        uint8_t r, g, b, a;
    };

    // Opens a width x height window (title bar and close box, depth 32,
    // stencil 8) and initialises GLEW. ok() says whether that worked.
    GlTestWindow(int width = 800, int height = 600);
    ~GlTestWindow();

    bool ok() const { return ready; }
    sf::Window& window() { return *win; }
    int width() const { return w; }
    int height() const { return h; }

    // Reads one pixel of the back buffer, x from the left, y from the bottom.
    Pixel pixel(int x, int y) const;
    // The overlay's GL state as the program sets it: window pixels with y
    // up, blending on, lighting and depth test off.
    void useOverlayState() const;
    // Presents the frame.
    void display() { win->display(); }

private:
    std::unique_ptr<sf::Window> win;
    int w, h;
    bool ready = false;
};

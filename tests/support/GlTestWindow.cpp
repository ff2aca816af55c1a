#include "tests/support/GlTestWindow.h"

#include <GL/glew.h>
#include <GL/glu.h>

GlTestWindow::GlTestWindow(int width, int height) : w(width), h(height) {
    sf::ContextSettings settings(32, 8, 0);
    win = std::make_unique<sf::Window>(sf::VideoMode(width, height, 32), "Kinemorph test",
                                       sf::Style::Titlebar | sf::Style::Close, settings);
    win->setActive(true);
    glewExperimental = GL_TRUE;
    ready = win->isOpen() && glewInit() == GLEW_OK;
    if (ready) {
        glViewport(0, 0, width, height);
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
    }
}

GlTestWindow::~GlTestWindow() {
    if (win)
        win->close();
}

GlTestWindow::Pixel GlTestWindow::pixel(int x, int y) const {
    Pixel p{0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

void GlTestWindow::useOverlayState() const {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, w, 0, h);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

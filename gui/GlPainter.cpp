#include "gui/GlPainter.h"

#include <GL/glew.h>

namespace {
void emit(GLenum mode, const Vertex2D* vertices, int count) {
    glBegin(mode);
    for (int i = 0; i < count; ++i) {
        const Vertex2D& v = vertices[i];
        glColor4d(v.color.r, v.color.g, v.color.b, v.color.a);
        glVertex2d(v.x, v.y);
    }
    glEnd();
}
} // namespace

void GlPainter::quads(const Vertex2D* vertices, int count) {
    emit(GL_QUADS, vertices, count);
}

void GlPainter::lineStrip(const Vertex2D* vertices, int count) {
    emit(GL_LINE_STRIP, vertices, count);
}

void GlPainter::lines(const Vertex2D* vertices, int count) {
    emit(GL_LINES, vertices, count);
}

void GlPainter::text(const std::string& text, double x, double y, const Rgba& color) {
    cache.draw(GlTextCache::Face::Small, text, x, y, color);
}

void GlPainter::title(const std::string& text, double x, double y, const Rgba& color) {
    cache.draw(GlTextCache::Face::Title, text, x, y, color);
}

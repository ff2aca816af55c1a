#include "gui/GlPainter.h"

#include "gui/Fonts.h"

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

void GlPainter::quads(const Vertex2D* vertices, int count) { emit(GL_QUADS, vertices, count); }

void GlPainter::lineStrip(const Vertex2D* vertices, int count) {
    emit(GL_LINE_STRIP, vertices, count);
}

void GlPainter::lines(const Vertex2D* vertices, int count) { emit(GL_LINES, vertices, count); }

void GlPainter::text(const std::string& text, double x, double y, const Rgba& color) {
    glColor4d(color.r, color.g, color.b, color.a);
    fonts.drawText(text, x, y);
}

void GlPainter::title(const std::string& text, double x, double y, const Rgba& color) {
    glColor4d(color.r, color.g, color.b, color.a);
    fonts.drawTitle(text, x, y);
}

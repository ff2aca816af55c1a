#include "gui/GlPainter.h"

#include <GL/glew.h>

#include <utility>

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

void GlPainter::setBatching(bool batch) {
    flush();
    batched = batch;
}

void GlPainter::quads(const Vertex2D* vertices, int count) {
    if (batched)
        collect(OverlayBatch::Mode::Quads, vertices, count - count % 4);
    else
        emit(GL_QUADS, vertices, count);
}

void GlPainter::lineStrip(const Vertex2D* vertices, int count) {
    if (!batched) {
        emit(GL_LINE_STRIP, vertices, count);
        return;
    }
    // As separate segments, so strips share a call: each segment lights the
    // same pixels either way.
    segments.clear();
    for (int i = 1; i < count; ++i) {
        segments.push_back(vertices[i - 1]);
        segments.push_back(vertices[i]);
    }
    collect(OverlayBatch::Mode::Lines, segments.data(), static_cast<int>(segments.size()));
}

void GlPainter::lines(const Vertex2D* vertices, int count) {
    if (batched)
        collect(OverlayBatch::Mode::Lines, vertices, count - count % 2);
    else
        emit(GL_LINES, vertices, count);
}

void GlPainter::text(const std::string& text, double x, double y, const Rgba& color) {
    drawText(GlTextCache::Face::Small, text, x, y, color);
}

void GlPainter::title(const std::string& text, double x, double y, const Rgba& color) {
    drawText(GlTextCache::Face::Title, text, x, y, color);
}

void GlPainter::collect(OverlayBatch::Mode mode, const Vertex2D* vertices, int count) {
    // A primitive opaque at every corner blends to its own colour: drawn
    // unblended, the renderer writes the same pixels without reading them.
    bool opaque = true;
    scratch.clear();
    for (int i = 0; i < count; ++i) {
        const Vertex2D& v = vertices[i];
        opaque = opaque && v.color.a == 1.0;
        scratch.push_back({static_cast<float>(v.x), static_cast<float>(v.y), 0, 0,
                           static_cast<float>(v.color.r), static_cast<float>(v.color.g),
                           static_cast<float>(v.color.b), static_cast<float>(v.color.a)});
    }
    batch.add(OverlayBatch::Kind{mode, false, !opaque}, scratch.data(), scratch.size());
}

void GlPainter::drawText(GlTextCache::Face face, const std::string& text, double x, double y,
                         const Rgba& color) {
    if (!batched) {
        cache.draw(face, text, x, y, color);
        return;
    }
    GlTextCache::Mask m;
    if (!cache.maskFor(face, text, x, y, color, m)) {
        flush();
        cache.drawThroughFont(face, text, x, y, color);
        return;
    }
    if (m.width == 0)
        return;
    // Drawn as drawMask() draws it: textured, alpha-tested, unblended.
    const float l = static_cast<float>(m.left), b = static_cast<float>(m.bottom);
    const float r = l + static_cast<float>(m.width), t = b + static_cast<float>(m.height);
    const float cr = static_cast<float>(color.r), cg = static_cast<float>(color.g),
                cb = static_cast<float>(color.b), ca = static_cast<float>(color.a);
    const OverlayBatch::Vertex quad[4] = {{l, b, m.s0, m.t0, cr, cg, cb, ca},
                                          {r, b, m.s1, m.t0, cr, cg, cb, ca},
                                          {r, t, m.s1, m.t1, cr, cg, cb, ca},
                                          {l, t, m.s0, m.t1, cr, cg, cb, ca}};
    batch.add(OverlayBatch::Kind{OverlayBatch::Mode::Quads, true, false}, quad, 4);
}

void GlPainter::flush() {
    if (batch.empty())
        return;
    const std::vector<OverlayBatch::Run>& runs = batch.finish();
    const std::vector<OverlayBatch::Vertex>& vertices = batch.vertices();
    const GLsizei stride = sizeof(OverlayBatch::Vertex);

    // Labels: the atlas (an alpha texture) modulates the colour's alpha
    // only, and the alpha test drops what the mask does not cover. Other
    // primitives are drawn untextured, as the overlay's texture unit holds
    // no complete texture.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glBindTexture(GL_TEXTURE_2D, cache.atlasTexture());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, stride, &vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].s);
    glColorPointer(4, GL_FLOAT, stride, &vertices[0].r);
    for (const OverlayBatch::Run& run : runs) {
        for (auto [cap, on] :
             {std::pair{GL_BLEND, run.kind.blended}, std::pair{GL_TEXTURE_2D, run.kind.textured},
              std::pair{GL_ALPHA_TEST, run.kind.textured}}) {
            if (on)
                glEnable(cap);
            else
                glDisable(cap);
        }
        glDrawArrays(run.kind.mode == OverlayBatch::Mode::Quads ? GL_QUADS : GL_LINES,
                     static_cast<GLint>(run.first), static_cast<GLsizei>(run.count));
    }
    glPopClientAttrib();
    glPopAttrib();
    batch.clear();
}

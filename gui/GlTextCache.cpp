#include "gui/GlTextCache.h"

#include "gui/Fonts.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {
// An entry not drawn for this many frames is dropped: long enough that a
// menu opened for a moment does not cost a new capture of every label.
constexpr uint64_t KEEP_FRAMES = 120;
// Pixels read around the font's bounding box; grown when a glyph reaches
// the edge of what was read.
constexpr int FIRST_MARGIN = 4;

// Rows of pixels one after the other with nothing skipped, for reads from
// the GL or for uploads to it.
void storeTightly(bool reads) {
    glPixelStorei(reads ? GL_PACK_ALIGNMENT : GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(reads ? GL_PACK_ROW_LENGTH : GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(reads ? GL_PACK_SKIP_ROWS : GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(reads ? GL_PACK_SKIP_PIXELS : GL_UNPACK_SKIP_PIXELS, 0);
}

// Restores the framebuffer bindings in force when it was made.
class FramebufferBindings {
public:
    FramebufferBindings() {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    }
    ~FramebufferBindings() {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    }
    FramebufferBindings(const FramebufferBindings&) = delete;
    FramebufferBindings& operator=(const FramebufferBindings&) = delete;

private:
    GLint draw = 0, read = 0;
};
} // namespace

std::size_t GlTextCache::KeyHash::operator()(const Key& key) const {
    std::size_t h = std::hash<std::string>()(key.text);
    // Adding 0.0 makes -0.0 hash as 0.0, which it compares equal to.
    for (std::size_t part : {std::hash<double>()(key.x + 0.0), std::hash<double>()(key.y + 0.0),
                             static_cast<std::size_t>(key.face)})
        h ^= part + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}

void GlTextCache::beginFrame(int width, int height) {
    if (width != windowWidth || height != windowHeight) {
        // Captures were clipped to the old window; start again.
        release();
        windowWidth = width;
        windowHeight = height;
    }
    if (atlasFull) {
        dropCaptures();
        atlasFull = false;
    }
    ++frame;
    // Their room in the atlas comes back when it is next emptied.
    for (auto it = entries.begin(); it != entries.end();) {
        if (it->second.lastDrawn + KEEP_FRAMES < frame)
            it = entries.erase(it);
        else
            ++it;
    }
}

const GlTextCache::Entry* GlTextCache::cachedEntry(Face face, const std::string& text, double x,
                                                   double y, const Rgba& color) {
    // The mask passes the alpha test only where the colour's alpha is above
    // zero; a fully transparent text still writes through the font.
    if (!on || unsupported || text.empty() || color.a <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return nullptr;
    auto [it, added] = entries.try_emplace(Key{face, text, x, y});
    Entry& entry = it->second;
    const bool seenLastFrame = !added && entry.lastDrawn + 1 == frame;
    entry.lastDrawn = frame;
    if (!entry.captured && !(seenLastFrame && !entry.tooLarge && capture(it->first, entry)))
        return nullptr;
    ++tally.drawnFromCache;
    return &entry;
}

void GlTextCache::draw(Face face, const std::string& text, double x, double y, const Rgba& color) {
    if (const Entry* entry = cachedEntry(face, text, x, y, color)) {
        glColor4d(color.r, color.g, color.b, color.a);
        drawMask(*entry);
    } else {
        drawThroughFont(face, text, x, y, color);
    }
}

bool GlTextCache::maskFor(Face face, const std::string& text, double x, double y, const Rgba& color,
                          Mask& mask) {
    const Entry* entry = cachedEntry(face, text, x, y, color);
    if (entry)
        mask = entry->mask;
    return entry != nullptr;
}

void GlTextCache::release() {
    entries.clear();
    if (framebuffer)
        glDeleteFramebuffers(1, &framebuffer);
    if (colorBuffer)
        glDeleteRenderbuffers(1, &colorBuffer);
    if (atlas)
        glDeleteTextures(1, &atlas);
    framebuffer = colorBuffer = atlas = 0;
    bufferWidth = bufferHeight = 0;
    shelves.reset();
    atlasFull = false;
}

void GlTextCache::drawThroughFont(Face face, const std::string& text, double x, double y,
                                  const Rgba& color) {
    glColor4d(color.r, color.g, color.b, color.a);
    renderWithFont(face, text, x, y);
    ++tally.drawnThroughFont;
}

void GlTextCache::renderWithFont(Face face, const std::string& text, double x, double y) const {
    if (face == Face::Title)
        fonts.drawTitle(text, x, y);
    else
        fonts.drawText(text, x, y);
}

bool GlTextCache::capture(const Key& key, Entry& entry) {
    if (atlasFull || !ensureBuffer() || !ensureAtlas())
        return false;
    for (int margin = FIRST_MARGIN;; margin *= 4) {
        const Coverage read = readCoverage(key, margin, entry);
        if (read == Coverage::Read) {
            entry.captured = true;
            ++tally.captured;
            return true;
        }
        if (read == Coverage::NoRoom)
            return false;
        // A glyph reached the edge of the area read; that cannot happen
        // once the area is the whole window.
        if (margin > windowWidth + windowHeight)
            return false;
    }
}

GlTextCache::Coverage GlTextCache::readCoverage(const Key& key, int margin, Entry& entry) {
    FTFont& font = key.face == Face::Title ? static_cast<FTFont&>(fonts.titleFont)
                                           : static_cast<FTFont&>(fonts.smallFont);
    const FTBBox box = font.BBox(key.text.c_str(), -1, FTPoint(key.x, key.y, 0), FTPoint(0, 0, 0));
    const int left = std::max(0, static_cast<int>(std::floor(box.Lower().X())) - margin);
    const int bottom = std::max(0, static_cast<int>(std::floor(box.Lower().Y())) - margin);
    const int right = std::min(windowWidth, static_cast<int>(std::ceil(box.Upper().X())) + margin);
    const int top = std::min(windowHeight, static_cast<int>(std::ceil(box.Upper().Y())) + margin);
    const int width = right - left, height = top - bottom;
    std::vector<GLubyte> covered;

    if (width > 0 && height > 0) {
        covered.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        FramebufferBindings restore;
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT | GL_CURRENT_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glEnable(GL_SCISSOR_TEST);
        glScissor(left, bottom, width, height);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        // Nothing may hide a glyph's pixel: the mask is where fragments were
        // made, whatever the colour ends up as.
        for (GLenum cap : {GL_SCISSOR_TEST, GL_TEXTURE_2D, GL_ALPHA_TEST, GL_STENCIL_TEST,
                           GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_COLOR_LOGIC_OP})
            glDisable(cap);
        glColor4f(1, 1, 1, 1);
        renderWithFont(key.face, key.text, key.x, key.y);
        storeTightly(true);
        glReadPixels(left, bottom, width, height, GL_RED, GL_UNSIGNED_BYTE, covered.data());
        glPopClientAttrib();
        glPopAttrib();
    }

    // The covered pixels' bounding box; a glyph on an edge of the area read
    // (other than the window's own edges) may go on beyond it.
    int minX = width, minY = height, maxX = -1, maxY = -1;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            if (covered[static_cast<size_t>(row) * width + col]) {
                minX = std::min(minX, col);
                maxX = std::max(maxX, col);
                minY = std::min(minY, row);
                maxY = std::max(maxY, row);
            }
    if (maxX >= 0 &&
        ((minX == 0 && left > 0) || (minY == 0 && bottom > 0) ||
         (maxX == width - 1 && right < windowWidth) || (maxY == height - 1 && top < windowHeight)))
        return Coverage::Grow;

    entry.mask = Mask{};
    if (maxX < 0)
        return Coverage::Read; // nothing inside the window
    Mask placed{left + minX, bottom + minY, maxX - minX + 1, maxY - minY + 1};
    AtlasShelves::Place at;
    if (!shelves.place(placed.width, placed.height, at)) {
        // Too large for any atlas, or this one is full until the next frame.
        if (!shelves.fitsEmpty(placed.width, placed.height))
            entry.tooLarge = true;
        else
            atlasFull = true;
        return Coverage::NoRoom;
    }
    const float texel = 1.0f / static_cast<float>(shelves.size());
    placed.s0 = static_cast<float>(at.x) * texel;
    placed.t0 = static_cast<float>(at.y) * texel;
    placed.s1 = static_cast<float>(at.x + placed.width) * texel;
    placed.t1 = static_cast<float>(at.y + placed.height) * texel;
    std::vector<GLubyte> mask(static_cast<size_t>(placed.width) * placed.height);
    for (int row = 0; row < placed.height; ++row)
        for (int col = 0; col < placed.width; ++col)
            mask[static_cast<size_t>(row) * placed.width + col] =
                covered[static_cast<size_t>(row + minY) * width + col + minX] ? 255 : 0;

    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    storeTightly(false);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glTexSubImage2D(GL_TEXTURE_2D, 0, at.x, at.y, placed.width, placed.height, GL_ALPHA,
                    GL_UNSIGNED_BYTE, mask.data());
    glPopClientAttrib();
    glPopAttrib();
    entry.mask = placed;
    return Coverage::Read;
}

void GlTextCache::drawMask(const Entry& entry) const {
    const Mask& m = entry.mask;
    if (m.width == 0)
        return;
    // As the font's bitmaps: no blending, the current colour on every
    // covered pixel. The mask's alpha (0 or 1) times the colour's alpha
    // (above 0 here) decides which fragments survive.
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const int l = m.left, b = m.bottom, r = l + m.width, t = b + m.height;
    glBegin(GL_QUADS);
    glTexCoord2f(m.s0, m.t0);
    glVertex2i(l, b);
    glTexCoord2f(m.s1, m.t0);
    glVertex2i(r, b);
    glTexCoord2f(m.s1, m.t1);
    glVertex2i(r, t);
    glTexCoord2f(m.s0, m.t1);
    glVertex2i(l, t);
    glEnd();
    glPopAttrib();
}

bool GlTextCache::ensureBuffer() {
    if (framebuffer && bufferWidth == windowWidth && bufferHeight == windowHeight)
        return true;
    if (!GLEW_VERSION_3_0 && !GLEW_ARB_framebuffer_object) {
        unsupported = true;
        return false;
    }
    if (!framebuffer)
        glGenFramebuffers(1, &framebuffer);
    if (!colorBuffer)
        glGenRenderbuffers(1, &colorBuffer);
    GLint renderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, windowWidth, windowHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer));
    GLenum status;
    {
        FramebufferBindings restore;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colorBuffer);
        status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    }
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        // Draw everything through the fonts from now on.
        release();
        unsupported = true;
        return false;
    }
    bufferWidth = windowWidth;
    bufferHeight = windowHeight;
    return true;
}

bool GlTextCache::ensureAtlas() {
    if (atlas)
        return true;
    const int side = shelves.size();
    std::vector<GLubyte> texels(static_cast<size_t>(side) * side, 0);
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    storeTightly(false);
    glGenTextures(1, &atlas);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, side, side, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 texels.data());
    glPopClientAttrib();
    glPopAttrib();
    shelves.reset();
    return true;
}

void GlTextCache::dropCaptures() {
    for (auto& [key, entry] : entries) {
        entry.captured = false;
        entry.mask = Mask{};
    }
    shelves.reset();
}

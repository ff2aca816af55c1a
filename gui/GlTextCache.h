#pragma once

#include "gui/AtlasShelves.h"
#include "gui/Painter.h"

#include <cstdint>
#include <string>
#include <unordered_map>

class Fonts;

// Keeps what the bitmap fonts draw for a text that stays put, so a label
// that is the same from frame to frame costs one textured quad instead of a
// bitmap per glyph.
//
// A text is cached by its font, its characters and its exact position. The
// first time one is seen it is drawn through the font as usual; when it is
// drawn again in the next frame, it is drawn once more through the font
// into an off-screen buffer of the window's size, at the same window
// position, and the pixels the glyphs covered are read back into a mask in
// one shared texture (the atlas), so many labels can be drawn in one call.
// From then on the mask is drawn as a quad whose fragments take the current
// colour and, as with the font's bitmaps, no blending; the uncovered texels
// are discarded by the alpha test. The result is the same pixels the font
// would have drawn. A text that changes every frame (a
// readout while it counts) is never captured and costs what it always did.
//
// A changed text or position is a different key, so setText and typing need
// no notice: the old entry is simply no longer drawn and is dropped after a
// while. Requires framebuffer objects; without them every text is drawn
// through the font. Expects the overlay state GlPainter documents.
class GlTextCache {
public:
    enum class Face { Small, Title };

    // What the cache did since it was made (for tests and benchmarks).
    struct Counts {
        uint64_t drawnThroughFont = 0;
        uint64_t captured = 0;
        uint64_t drawnFromCache = 0;
    };

    explicit GlTextCache(const Fonts& fonts) : fonts(fonts) {}
    // Touches no GL: the textures and the buffer go with the context. Call
    // release() first where the context outlives the cache.
    ~GlTextCache() = default;
    GlTextCache(const GlTextCache&) = delete;
    GlTextCache& operator=(const GlTextCache&) = delete;

    // Starts a frame for a window of this size in pixels: entries not drawn
    // for a while are dropped, and all of them when the size changed.
    // Needs the GL context current.
    void beginFrame(int windowWidth, int windowHeight);
    // Draws `text` with the face's font, baseline origin at window pixel
    // (x, y), in `color` (which stays the current GL colour): from the
    // cache when it can, else through the font.
    void draw(Face face, const std::string& text, double x, double y, const Rgba& color);
    // Where a captured text's mask lies: its box in window pixels, and the
    // same box in atlas texture coordinates (exact: the atlas side is a
    // power of two).
    struct Mask {
        int left = 0, bottom = 0, width = 0, height = 0;
        float s0 = 0, t0 = 0, s1 = 0, t1 = 0;
    };
    // What draw() does without drawing: true with the mask (width 0 when
    // the text covers no pixel) when the text is to be drawn from the
    // atlas, false when it must go through the font (drawThroughFont).
    bool maskFor(Face face, const std::string& text, double x, double y, const Rgba& color,
                 Mask& mask);
    // Draws the text with the font in `color`, as draw() does when the text
    // is not cached, and counts it.
    void drawThroughFont(Face face, const std::string& text, double x, double y, const Rgba& color);
    // The atlas texture (0 before the first capture).
    unsigned atlasTexture() const { return atlas; }

    // Switched off, every text is drawn through the font; what was captured
    // stays for when it is switched on again. On by default.
    void setEnabled(bool enable) { on = enable; }
    bool enabled() const { return on; }
    // Frees every texture and the off-screen buffer. Needs the context.
    void release();

    const Counts& counts() const { return tally; }
    // Entries held, captured or only seen once.
    std::size_t size() const { return entries.size(); }

private:
    struct Key {
        Face face;
        std::string text;
        double x, y;
        bool operator==(const Key& other) const {
            return face == other.face && x == other.x && y == other.y && text == other.text;
        }
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Entry {
        uint64_t lastDrawn = 0;
        bool captured = false;
        // Set when the mask can never fit the atlas: always drawn through
        // the font.
        bool tooLarge = false;
        // The covered pixels' bounding box in window pixels and where the
        // mask lies in the atlas; width 0 when nothing was covered.
        Mask mask;
    };

    // The bookkeeping of draw(): the entry to draw from, or null.
    const Entry* cachedEntry(Face face, const std::string& text, double x, double y,
                             const Rgba& color);
    void renderWithFont(Face face, const std::string& text, double x, double y) const;
    // Captures the entry's mask; false when the driver cannot.
    bool capture(const Key& key, Entry& entry);
    enum class Coverage { Read, Grow, NoRoom };
    // Draws the text off screen and reads the area of its bounding box grown
    // by `margin` pixels into the entry's place in the atlas: Grow when a
    // glyph reached the edge of that area, so a larger one must be read;
    // NoRoom when the atlas cannot take the mask.
    Coverage readCoverage(const Key& key, int margin, Entry& entry);
    void drawMask(const Entry& entry) const;
    bool ensureBuffer();
    bool ensureAtlas();
    // Forgets every capture and empties the atlas.
    void dropCaptures();

    const Fonts& fonts;
    std::unordered_map<Key, Entry, KeyHash> entries;
    Counts tally;
    uint64_t frame = 1;
    int windowWidth = 0, windowHeight = 0;
    int bufferWidth = 0, bufferHeight = 0;
    unsigned framebuffer = 0, colorBuffer = 0;
    unsigned atlas = 0;
    AtlasShelves shelves{1024};
    // The atlas ran out of room this frame: it is emptied at the next
    // frame's start, when no drawing still refers to it.
    bool atlasFull = false;
    bool on = true;
    // Set when the driver cannot give the off-screen buffer.
    bool unsupported = false;
};

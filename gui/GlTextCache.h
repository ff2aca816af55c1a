#pragma once

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
// position, and the pixels the glyphs covered are read back into a mask
// texture. From then on the mask is drawn as a quad whose fragments take
// the current colour and, as with the font's bitmaps, no blending; the
// uncovered texels are discarded by the alpha test. The result is the same
// pixels the font would have drawn. A text that changes every frame (a
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
        // The covered pixels' bounding box in window pixels, and the mask;
        // texture 0 when nothing was covered.
        int left = 0, bottom = 0, width = 0, height = 0;
        unsigned texture = 0;
    };

    void drawThroughFont(Face face, const std::string& text, double x, double y);
    void renderWithFont(Face face, const std::string& text, double x, double y) const;
    // Captures the entry's mask; false when the driver cannot.
    bool capture(const Key& key, Entry& entry);
    // Draws the text off screen and reads the area of its bounding box grown
    // by `margin` pixels into the entry; false when a glyph reached the
    // edge of that area, so a larger one must be read.
    bool readCoverage(const Key& key, int margin, Entry& entry);
    void drawMask(const Entry& entry) const;
    bool ensureBuffer();
    void dropEntry(Entry& entry);

    const Fonts& fonts;
    std::unordered_map<Key, Entry, KeyHash> entries;
    Counts tally;
    uint64_t frame = 1;
    int windowWidth = 0, windowHeight = 0;
    int bufferWidth = 0, bufferHeight = 0;
    unsigned framebuffer = 0, colorBuffer = 0;
    bool on = true;
    // Set when the driver cannot give the off-screen buffer.
    bool unsupported = false;
};

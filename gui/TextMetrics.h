#pragma once

#include <cstdint>
#include <string>

// Width and height of a text's bounding box in whole pixels.
struct TextSize {
    int32_t width = 0;
    int32_t height = 0;
};

// How big a text is when drawn. Components measure their labels through this
// interface only, so the whole GUI logic runs without fonts or a GL context:
// the program installs the real bitmap fonts, tests a fixed-width stand-in.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    // Bounding box of the text in the small font (labels, fields, captions).
    virtual TextSize textExtent(const std::string& text) const = 0;
    // Bounding box of the text in the title font (menu page titles).
    virtual TextSize titleExtent(const std::string& text) const = 0;
};

// A deterministic measurer: every character is the same width. Empty text
// measures 0 x 0, as a real font's bounding box of nothing does.
class FixedWidthMetrics : public TextMetrics {
public:
    FixedWidthMetrics(int32_t charWidth = 7, int32_t charHeight = 11, int32_t titleCharWidth = 35,
                      int32_t titleCharHeight = 50)
        : charWidth(charWidth), charHeight(charHeight), titleCharWidth(titleCharWidth),
          titleCharHeight(titleCharHeight) {}
    TextSize textExtent(const std::string& text) const override;
    TextSize titleExtent(const std::string& text) const override;

private:
    int32_t charWidth, charHeight, titleCharWidth, titleCharHeight;
};

// The process-wide measurer. The fonts are process-wide by design; this is
// the one place that knows which measurer stands for them. Until something is
// installed, a FixedWidthMetrics with its default sizes answers.
// Passing nullptr restores that default. The object must outlive its use.
void installTextMetrics(const TextMetrics* metrics);

// Text size in the small font, through the installed measurer.
TextSize textExtent(const std::string& text);
// Text size in the title font, through the installed measurer.
TextSize titleExtent(const std::string& text);

#pragma once

#include "gui/TextMetrics.h"
#include "platform/ProgramPaths.h"

#include <FTGL/ftgl.h>

#include <string>

// The three bitmap fonts of the program: smallFont for every label, field
// line, caption and the frame-rate readout; titleFont for menu page titles;
// spareFont, which is loaded, checked and sized but never drawn with.
// Loading needs no GL context; drawing does.
class Fonts : public TextMetrics {
public:
    // Opens the font files (by default the working folder's, see
    // ProgramPaths.h). A missing or unreadable file shows up in loaded().
    explicit Fonts(const std::string& lacunaPath = workingDirectoryPaths().lacunaFont,
                   const std::string& echolotPath = workingDirectoryPaths().echolotFont);

    // Asks smallFont, titleFont and spareFont, in this order, for their error
    // state and returns false at the first that reports one.
    bool loaded() const;
    // Face sizes 15, 70 and 30 at 72 dpi.
    void setFaceSizes();
    // Makes the glyph of every printable ASCII character of the small and
    // title faces now (the font rasterises each one on first use). Touches
    // no GL.
    void prepareGlyphs() const;

    TextSize textExtent(const std::string& text) const override;
    TextSize titleExtent(const std::string& text) const override;

    // Draws with smallFont / titleFont, baseline origin at window pixel (x, y),
    // in the current GL colour. Needs a GL context with the overlay set up.
    void drawText(const std::string& text, double x, double y) const;
    void drawTitle(const std::string& text, double x, double y) const;

    // FTGL's measuring and rendering calls are not const.
    mutable FTBitmapFont smallFont;
    mutable FTBitmapFont titleFont;
    mutable FTBitmapFont spareFont;
};

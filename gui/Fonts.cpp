#include "gui/Fonts.h"

#include <GL/glew.h>

namespace {
TextSize extentOf(FTFont& font, const std::string& text) {
    FTBBox box = font.BBox(text.c_str(), -1, FTPoint(0, 0, 0), FTPoint(0, 0, 0));
    // Truncation toward zero, as the layout expects whole pixels.
    return {static_cast<int32_t>(box.Upper().X() - box.Lower().X()),
            static_cast<int32_t>(box.Upper().Y() - box.Lower().Y())};
}

void render(FTFont& font, const std::string& text, double x, double y, int mode) {
    // Bitmap glyphs are placed relative to the raster position and take the
    // colour that was current when it was set; anchor it at the window
    // origin so (x, y) are window pixels whatever the matrices are.
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    glColor4fv(color);
    glWindowPos2i(0, 0);
    font.Render(text.c_str(), -1, FTPoint(x, y, 0), FTPoint(0, 0, 0), mode);
}
} // namespace

Fonts::Fonts(const std::string& lacunaPath, const std::string& echolotPath)
    : smallFont(lacunaPath.c_str()), titleFont(lacunaPath.c_str()), spareFont(echolotPath.c_str()) {
}

bool Fonts::loaded() const {
    return smallFont.Error() == 0 && titleFont.Error() == 0 && spareFont.Error() == 0;
}

void Fonts::setFaceSizes() {
    smallFont.FaceSize(15, 72);
    titleFont.FaceSize(70, 72);
    spareFont.FaceSize(30, 72);
}

void Fonts::prepareGlyphs() const {
    std::string printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += c;
    smallFont.BBox(printable.c_str());
    titleFont.BBox(printable.c_str());
}

TextSize Fonts::textExtent(const std::string& text) const {
    return extentOf(smallFont, text);
}

TextSize Fonts::titleExtent(const std::string& text) const {
    return extentOf(titleFont, text);
}

void Fonts::drawText(const std::string& text, double x, double y) const {
    render(smallFont, text, x, y, 2);
}

void Fonts::drawTitle(const std::string& text, double x, double y) const {
    render(titleFont, text, x, y, 1);
}

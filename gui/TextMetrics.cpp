#include "gui/TextMetrics.h"

namespace {
const FixedWidthMetrics defaultMetrics;
const TextMetrics* installed = &defaultMetrics;

TextSize fixedExtent(const std::string& text, int32_t w, int32_t h) {
    if (text.empty())
        return {0, 0};
    return {static_cast<int32_t>(text.size()) * w, h};
}
} // namespace

TextSize FixedWidthMetrics::textExtent(const std::string& text) const {
    return fixedExtent(text, charWidth, charHeight);
}

TextSize FixedWidthMetrics::titleExtent(const std::string& text) const {
    return fixedExtent(text, titleCharWidth, titleCharHeight);
}

void installTextMetrics(const TextMetrics* metrics) {
    installed = metrics ? metrics : &defaultMetrics;
}

TextSize textExtent(const std::string& text) {
    return installed->textExtent(text);
}

TextSize titleExtent(const std::string& text) {
    return installed->titleExtent(text);
}

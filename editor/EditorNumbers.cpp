#include "editor/EditorNumbers.h"

#include "animation/NumberText.h"

#include <cmath>
#include <limits>

std::string angleReadout(double degrees) {
    std::string text = numberText(degrees);
    std::string::size_type dot = text.rfind('.');
    if (dot == std::string::npos)
        return text;
    return text.substr(0, dot + 3);
}

int32_t truncateToInt32(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    if (value <= low)
        return std::numeric_limits<int32_t>::min();
    if (value >= high)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::trunc(value));
}

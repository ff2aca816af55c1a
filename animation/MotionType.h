#pragma once

#include <string>

// The easing curve of a key frame's transition, as an integer code. Files
// store the codes, so they are 3, 13, 23 and 33, not 0 to 3. Any other value
// can only come from a file; the player then leaves the pose alone for that
// transition.
namespace MotionType {
constexpr int Linear = 3;
constexpr int EaseIn = 13;
constexpr int EaseOut = 23;
constexpr int EaseInOut = 33;
} // namespace MotionType

// True for the four codes above.
bool isMotionType(int code);

// The text the editor shows for a code ("Linear", "Ease In", "Ease Out",
// "Ease In/Out"), or nullptr for any other value.
const char* motionTypeText(int code);

// The code whose display text is exactly `text`; `fallback` for any other text.
int motionTypeFromText(const std::string& text, int fallback);

// The same two look-ups under the names the editor's first draft used:
// motionTypeName is motionTypeText, motionTypeFromName gives 0 (no code) for
// any text that is not one of the four.
inline const char* motionTypeName(int code) {
    return motionTypeText(code);
}
inline int motionTypeFromName(const std::string& text) {
    return motionTypeFromText(text, 0);
}

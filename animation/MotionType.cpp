#include "animation/MotionType.h"

namespace {

struct Entry {
    int code;
    const char* text;
};

// In the order the editor cycles through them.
constexpr Entry entries[] = {
    {MotionType::Linear, "Linear"},
    {MotionType::EaseIn, "Ease In"},
    {MotionType::EaseOut, "Ease Out"},
    {MotionType::EaseInOut, "Ease In/Out"},
};

} // namespace

bool isMotionType(int code) {
    return motionTypeText(code) != nullptr;
}

const char* motionTypeText(int code) {
    for (const Entry& e : entries) {
        if (e.code == code) {
            return e.text;
        }
    }
    return nullptr;
}

int motionTypeFromText(const std::string& text, int fallback) {
    for (const Entry& e : entries) {
        if (text == e.text) {
            return e.code;
        }
    }
    return fallback;
}

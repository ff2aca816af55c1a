#include "import/JointNames.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isSeparator(char c) {
    return c == ' ' || c == '_' || c == '-' || c == '.';
}

// Drops a prefix of letters followed by digits and a separator, like
// "Bip01 ", "Bip001_" or "Character1_": the rig's name, not the joint's.
std::string withoutRigPrefix(const std::string& name) {
    std::size_t i = 0;
    while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i]))) {
        ++i;
    }
    const std::size_t letters = i;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) {
        ++i;
    }
    if (letters == 0 || i == letters || i >= name.size() || !isSeparator(name[i])) {
        return name;
    }
    return name.substr(i + 1);
}

std::string stripped(const std::string& name) {
    const std::size_t colon = name.rfind(':');
    std::string rest = colon == std::string::npos ? name : name.substr(colon + 1);
    return withoutRigPrefix(rest);
}

JointSide sideOfLetter(char c) {
    if (c == 'l' || c == 'L') {
        return JointSide::Left;
    }
    if (c == 'r' || c == 'R') {
        return JointSide::Right;
    }
    return JointSide::None;
}

} // namespace

std::string normalizedJointName(const std::string& name) {
    std::string out;
    for (char c : lower(stripped(name))) {
        if (!isSeparator(c)) {
            out += c;
        }
    }
    return out;
}

JointSide jointSide(const std::string& name) {
    const std::string bare = stripped(name);
    const std::string low = lower(bare);
    if (low.find("left") != std::string::npos) {
        return JointSide::Left;
    }
    if (low.find("right") != std::string::npos) {
        return JointSide::Right;
    }
    if (bare.size() >= 2) {
        const char next = bare[1];
        // Not before a digit: spine joints are named "L5", "L3" after
        // vertebrae.
        if (std::isupper(static_cast<unsigned char>(next)) || isSeparator(next)) {
            const JointSide side = sideOfLetter(bare[0]);
            if (side != JointSide::None) {
                return side;
            }
        }
        const char before = bare[bare.size() - 2];
        if (isSeparator(before)) {
            return sideOfLetter(bare.back());
        }
    }
    return JointSide::None;
}

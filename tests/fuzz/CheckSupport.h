#pragma once

#include "skeleton/Vec3.h"

#include <cmath>
#include <string>
#include <string_view>

// Returns "file:line: condition" from the enclosing check function when the
// condition does not hold.
#define FUZZ_EXPECT(condition)                                                                     \
    do {                                                                                           \
        if (!(condition))                                                                          \
            return brokenProperty(__FILE__, __LINE__, #condition);                                 \
    } while (0)

// Runs a nested check and passes on what it found.
#define FUZZ_EXPECT_KEPT(check)                                                                    \
    do {                                                                                           \
        std::string found = (check);                                                               \
        if (!found.empty())                                                                        \
            return found;                                                                          \
    } while (0)

std::string brokenProperty(const char* file, int line, const char* condition);

class Skeleton;
// The tree every skeleton must be, whatever its file said and however it was
// posed since: at most POSE_BONE_COUNT bones, each at its own index, parents
// before children, each joint on its parent's tip.
std::string checkSkeletonTree(const Skeleton& skeleton);

// Equal values, or NaN on both sides: huge lengths and positions from a file
// can overflow into inf - inf, and the same computation must still give the
// same result.
inline bool sameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

inline bool samePoint(const Vec3& a, const Vec3& b) {
    return sameValue(a.x, b.x) && sameValue(a.y, b.y) && sameValue(a.z, b.z);
}

// The same text with every line feed preceded by a carriage return: what a
// file saved with Windows line ends holds.
std::string withCrLf(std::string_view text);

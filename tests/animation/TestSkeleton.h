#pragma once

#include "skeleton/Skeleton.h"

#include <memory>
#include <sstream>
#include <string>

// A hand-made 21-bone figure in skeleton-file form, so the animation tests
// do not depend on the shipped figure's numbers:
//
//   0 root ─┬─ 1 spine ─┬─ 2 neck ── 3 head
//           │           ├─ 4 ── 5 ── 6         left arm
//           │           └─ 7 ── 8 ── 9         right arm
//           ├─ 10 ── 11 ── 12                  left leg
//           ├─ 13 ── 14 ── 15                  right leg
//           └─ 16 ── 17 ── 18 ── 19 ── 20      tail
//
// Every angle may range over -1000 to 1000 except bone 5, whose secAngle is
// limited to -45 to 45 and whose mainAngle to -10 to 170.
inline std::string testSkeletonText(int boneLines = 20) {
    const char* const bones[] = {
        "0.5 0 0 0 -1000 1000 -1000 1000 -1000 1000 30 0",    // 1
        "0.2 0 0 0 -1000 1000 -1000 1000 -1000 1000 10 1",    // 2
        "0.3 0 0 0 -1000 1000 -1000 1000 -1000 1000 30 2",    // 3
        "0.3 90 0 0 -1000 1000 -1000 1000 -1000 1000 30 1",   // 4
        "0.3 10 5 0 -10 170 -45 45 -1000 1000 10 4",          // 5
        "0.1 0 0 0 -1000 1000 -1000 1000 -1000 1000 30 5",    // 6
        "0.3 -90 0 0 -1000 1000 -1000 1000 -1000 1000 30 1",  // 7
        "0.3 0 0 0 -1000 1000 -1000 1000 -1000 1000 10 7",    // 8
        "0.1 0 0 0 -1000 1000 -1000 1000 -1000 1000 30 8",    // 9
        "0.4 170 0 0 -1000 1000 -1000 1000 -1000 1000 30 0",  // 10
        "0.4 0 0 0 -1000 1000 -1000 1000 -1000 1000 10 10",   // 11
        "0.1 90 0 0 -1000 1000 -1000 1000 -1000 1000 10 11",  // 12
        "0.4 -170 0 0 -1000 1000 -1000 1000 -1000 1000 30 0", // 13
        "0.4 0 0 0 -1000 1000 -1000 1000 -1000 1000 10 13",   // 14
        "0.1 90 0 0 -1000 1000 -1000 1000 -1000 1000 10 14",  // 15
        "0.2 135 0 0 -1000 1000 -1000 1000 -1000 1000 10 0",  // 16
        "0.2 10 0 0 -1000 1000 -1000 1000 -1000 1000 10 16",  // 17
        "0.2 10 0 0 -1000 1000 -1000 1000 -1000 1000 10 17",  // 18
        "0.2 10 0 0 -1000 1000 -1000 1000 -1000 1000 10 18",  // 19
        "0.2 10 0 0 -1000 1000 -1000 1000 -1000 1000 10 19",  // 20
    };
    std::string text = "RGCF\n0 1 0 0 0 0 -1000 1000 -1000 1000 -1000 1000 30\n";
    for (int i = 0; i < boneLines && i < 20; ++i) {
        text += bones[i];
        text += '\n';
    }
    return text;
}

// The figure above at origin (0, 0.5, 0), or only its first boneLines + 1
// bones.
inline std::unique_ptr<Skeleton> makeTestSkeleton(int boneLines = 20) {
    std::istringstream in(testSkeletonText(boneLines));
    return std::make_unique<Skeleton>(in, 0, 0.5, 0);
}

// The figure cut short by a bad parent on its fourth bone line: the root and
// three bones, fewer than key frames need.
inline std::unique_ptr<Skeleton> makeIncompleteSkeleton() {
    std::string text = testSkeletonText(3) + "0.3 0 0 0 -1000 1000 -1000 1000 -1000 1000 30 99\n";
    std::istringstream in(text);
    return std::make_unique<Skeleton>(in, 0, 0.5, 0);
}

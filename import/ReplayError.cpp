#include "import/ReplayError.h"

#include "animation/Easing.h"
#include "import/Rotations.h"

#include <algorithm>
#include <cmath>

double keyBlend(int step, int length, const KeyShape& shape) {
    if (step <= shape.wait) {
        return 0;
    }
    return ease(shape.motion, step - shape.wait, length - shape.wait, 0, 1);
}

ImportPose blendPoses(const ImportPose& a, const ImportPose& b, double blend) {
    ImportPose out;
    out.root = a.root + (b.root - a.root) * blend;
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        out.angles[bone] = a.angles[bone] + (b.angles[bone] - a.angles[bone]) * blend;
    }
    return out;
}

DenseTrack::DenseTrack(const std::vector<ImportPose>& poses, double frameTime,
                       const Skeleton& figure, const ReplayTolerance& tolerance)
    : poses_(poses), turns_(poses.size()), frameTime_(frameTime), tolerance_(tolerance) {
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        axes_[bone] = figure.boneAt(bone)->mainAxis();
    }
    for (std::size_t f = 0; f < poses.size(); ++f) {
        for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
            turns_[f][bone] = boneTurn(axes_[bone], poses[f].angles[bone]);
        }
    }
}

double DenseTrack::boneDegrees(int f, int bone, const BonePose& angles) const {
    return degreesBetween(turns_[f][bone], boneTurn(axes_[bone], angles));
}

double DenseTrack::error(int f, const ImportPose& pose, double limit) const {
    const ImportPose& dense = poses_[f];
    double worst = (pose.root - dense.root).length() / tolerance_.rootUnits;
    if (worst > limit) {
        return worst;
    }
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        const Vec3 d = pose.angles[bone] - dense.angles[bone];
        // Three turns in a row are off by at most the sum of their own
        // misses; only a bone that may be the worst so far is measured.
        const double bound = std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z);
        if (bound <= tolerance_.degrees * worst) {
            continue;
        }
        worst = std::max(worst, boneDegrees(f, bone, pose.angles[bone]) / tolerance_.degrees);
        if (worst > limit) {
            return worst;
        }
    }
    return worst;
}

double DenseTrack::segmentError(int i, int j, const ImportPose& a, const ImportPose& b,
                                const KeyShape& shape, double limit, int from) const {
    const int length = j - i;
    const int first = std::max(from, i + 1);
    double worst = 0;
    // From the middle outward: misses grow toward the middle of a move, so
    // a segment that fails mostly fails on its first look.
    const int middle = (first + j) / 2;
    for (int k = 0; k < 2 * (j - first) + 1; ++k) {
        const int offset = (k + 1) / 2;
        const int f = k % 2 == 0 ? middle - offset : middle + offset;
        if (f < first || f >= j) {
            continue;
        }
        const ImportPose pose = blendPoses(a, b, keyBlend(f - i, length, shape));
        worst = std::max(worst, error(f, pose, limit));
        if (worst > limit) {
            return worst;
        }
    }
    return worst;
}

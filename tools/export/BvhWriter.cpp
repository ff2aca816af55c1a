#include "tools/export/BvhWriter.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Importers convert with the true value of pi, not the program's shortened
// DEG_PI, so the angles written must too.
constexpr double RADIANS_TO_DEGREES = 180.0 / 3.14159265358979323846;

// Y, Z, X angles in degrees, R = Ry(y) * Rz(z) * Rx(x).
using EulerYZX = std::array<double, 3>;

// Fixed-point text with six decimals, which keeps joints within a micrometre
// and angles within a millionth of a degree; never "-0.000000".
std::string fixed(double v, int decimals = 6) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string out(text);
    if (out.find_first_not_of("-0.") == std::string::npos && out[0] == '-') {
        out.erase(0, 1);
    }
    return out;
}

EulerYZX eulerYZX(const Quat& q) {
    const double r00 = 1 - 2 * (q.y * q.y + q.z * q.z);
    const double r10 = 2 * (q.x * q.y + q.w * q.z);
    const double r11 = 1 - 2 * (q.x * q.x + q.z * q.z);
    const double r12 = 2 * (q.y * q.z - q.w * q.x);
    const double r20 = 2 * (q.x * q.z - q.w * q.y);
    const double r21 = 2 * (q.y * q.z + q.w * q.x);
    const double r22 = 1 - 2 * (q.x * q.x + q.y * q.y);
    const double sinZ = std::clamp(r10, -1.0, 1.0);
    const double z = std::asin(sinZ) * RADIANS_TO_DEGREES;
    if (std::fabs(sinZ) > 1 - 1e-12) {
        // Locked: only y + x (or x - y) is fixed; put it all into x.
        return {0, z, std::atan2(r21, r22) * RADIANS_TO_DEGREES};
    }
    return {std::atan2(-r20, r00) * RADIANS_TO_DEGREES, z,
            std::atan2(-r12, r11) * RADIANS_TO_DEGREES};
}

// `angle` moved by whole turns to lie within half a turn of `near`.
double nearestTurn(double angle, double near) {
    return angle - 360.0 * std::round((angle - near) / 360.0);
}

// Of the two Y Z X solutions of the same rotation, the one nearer
// `previous`, each angle carried on by whole turns.
EulerYZX continuedFrom(const EulerYZX& angles, const EulerYZX& previous) {
    const EulerYZX other = {angles[0] + 180, 180 - angles[1], angles[2] + 180};
    EulerYZX best{};
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const EulerYZX& candidate : {angles, other}) {
        EulerYZX moved;
        double distance = 0;
        for (int k = 0; k < 3; ++k) {
            moved[k] = nearestTurn(candidate[k], previous[k]);
            distance += std::fabs(moved[k] - previous[k]);
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = moved;
        }
    }
    return best;
}

class BvhBuilder {
public:
    explicit BvhBuilder(const ExportRig& rig) : rig_(rig) {}

    std::string text(const SampledMotion& motion) {
        out_ = "HIERARCHY\n";
        joint(0, 0);
        out_ += "MOTION\n";
        out_ += "Frames: " + std::to_string(motion.samples.size()) + "\n";
        out_ += "Frame Time: " + fixed(1.0 / motion.fps, 8) + "\n";
        std::vector<EulerYZX> previous(rig_.bones.size());
        for (std::size_t k = 0; k < motion.samples.size(); ++k) {
            frameLine(motion.samples[k], previous, k == 0);
        }
        return out_;
    }

private:
    void line(int depth, const std::string& text) {
        out_.append(depth, '\t');
        out_ += text;
        out_ += '\n';
    }

    // A bone vector of the rest pose in world axes: `length` along the
    // bone's rest long axis.
    std::string restOffset(int bone) const {
        const RigBone& b = rig_.bones[bone];
        const Vec3 v = rotate(b.restRotation, Vec3(0, b.length, 0));
        return fixed(v.x) + " " + fixed(v.y) + " " + fixed(v.z);
    }

    void joint(int bone, int depth) {
        const RigBone& b = rig_.bones[bone];
        order_.push_back(bone);
        line(depth, (b.parent < 0 ? "ROOT " : "JOINT ") + b.name);
        line(depth, "{");
        if (b.parent < 0) {
            line(depth + 1, "OFFSET 0.000000 0.000000 0.000000");
            line(depth + 1,
                 "CHANNELS 6 Xposition Yposition Zposition Yrotation Zrotation Xrotation");
        } else {
            line(depth + 1, "OFFSET " + restOffset(b.parent));
            line(depth + 1, "CHANNELS 3 Yrotation Zrotation Xrotation");
        }
        for (int child : b.children) {
            joint(child, depth + 1);
        }
        if (b.children.empty()) {
            line(depth + 1, "End Site");
            line(depth + 1, "{");
            line(depth + 2, "OFFSET " + restOffset(bone));
            line(depth + 1, "}");
        }
        line(depth, "}");
    }

    // The turn that carries a bone from its rest frame to its frame in
    // `sample`, in world axes.
    Quat turnFromRest(const PoseSample& sample, int bone) const {
        return sample.rotations[bone] * conjugate(rig_.bones[bone].restRotation);
    }

    void frameLine(const PoseSample& sample, std::vector<EulerYZX>& previous, bool first) {
        assert(sample.rotations.size() == rig_.bones.size());
        std::string values = fixed(sample.rootPosition.x) + " " + fixed(sample.rootPosition.y) +
                             " " + fixed(sample.rootPosition.z);
        for (int bone : order_) {
            const int parent = rig_.bones[bone].parent;
            Quat local = turnFromRest(sample, bone);
            if (parent >= 0) {
                local = conjugate(turnFromRest(sample, parent)) * local;
            }
            EulerYZX angles = eulerYZX(normalized(local));
            if (!first) {
                angles = continuedFrom(angles, previous[bone]);
            }
            previous[bone] = angles;
            for (double a : angles) {
                values += " " + fixed(a);
            }
        }
        out_ += values + "\n";
    }

    const ExportRig& rig_;
    std::string out_;
    // Bones in the order their channels appear on a motion line.
    std::vector<int> order_;
};

} // namespace

std::string bvhText(const ExportRig& rig, const SampledMotion& motion) {
    assert(!rig.bones.empty() && !motion.samples.empty());
    return BvhBuilder(rig).text(motion);
}

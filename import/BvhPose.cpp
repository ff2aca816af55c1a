#include "import/BvhPose.h"

#include "import/Rotations.h"

#include <cmath>

namespace {

constexpr double RADIANS_PER_DEGREE = M_PI / 180;

// Narrower bell curves than this many frames are not applied: jitter is
// what high-rate capture has, while a clip of a few dozen frames a second
// is a choice of samples that should stay as it is.
constexpr double NARROWEST = 1;

} // namespace

BvhKinematics::BvhKinematics(const BvhClip& clip, std::vector<bool> moving, double smoothing)
    : clip_(clip), moving_(std::move(moving)) {
    if (moving_.empty()) {
        moving_.assign(clip_.joints.size(), true);
    }
    const double frames = smoothing / clip.frameTime;
    if (frames >= NARROWEST && clip.frameCount > 1) {
        smooth(frames);
    }
}

void BvhKinematics::local(int f, int j, Quat& turn, Vec3& move) const {
    const BvhJoint& joint = clip_.joints[j];
    const double* values = clip_.frame(f);
    turn = Quat{};
    move = joint.offset;
    for (std::size_t c = 0; c < joint.channels.size(); ++c) {
        const double v = values[joint.firstValue + c];
        switch (joint.channels[c]) {
        case BvhChannel::Xposition:
            move.x += moving_[j] ? v : 0;
            break;
        case BvhChannel::Yposition:
            move.y += moving_[j] ? v : 0;
            break;
        case BvhChannel::Zposition:
            move.z += moving_[j] ? v : 0;
            break;
        case BvhChannel::Xrotation:
            turn = turn * quatAboutAxis(Vec3(1, 0, 0), v * RADIANS_PER_DEGREE);
            break;
        case BvhChannel::Yrotation:
            turn = turn * quatAboutAxis(Vec3(0, 1, 0), v * RADIANS_PER_DEGREE);
            break;
        case BvhChannel::Zrotation:
            turn = turn * quatAboutAxis(Vec3(0, 0, 1), v * RADIANS_PER_DEGREE);
            break;
        }
    }
}

void BvhKinematics::smooth(double frames) {
    const int n = clip_.frameCount;
    const int count = static_cast<int>(clip_.joints.size());
    const int reach = static_cast<int>(std::ceil(3 * frames));
    std::vector<double> bell(reach + 1);
    for (int k = 0; k <= reach; ++k) {
        bell[k] = std::exp(-0.5 * (k / frames) * (k / frames));
    }
    std::vector<Quat> turns(static_cast<std::size_t>(n) * count);
    std::vector<Vec3> moves(static_cast<std::size_t>(n) * count);
    for (int f = 0; f < n; ++f) {
        for (int j = 0; j < count; ++j) {
            local(f, j, turns[f * count + j], moves[f * count + j]);
        }
    }
    turns_.resize(turns.size());
    moves_.resize(moves.size());
    for (int f = 0; f < n; ++f) {
        const int lo = std::max(0, f - reach), hi = std::min(n - 1, f + reach);
        for (int j = 0; j < count; ++j) {
            // Turns this close together average well as quaternions, each
            // taken on the same side as the middle one.
            const Quat& middle = turns[f * count + j];
            Quat sum{0, 0, 0, 0};
            Vec3 move(0, 0, 0);
            double total = 0;
            for (int g = lo; g <= hi; ++g) {
                const double w = bell[std::abs(g - f)];
                const Quat q = alignedWith(turns[g * count + j], middle);
                sum = Quat{sum.w + w * q.w, sum.x + w * q.x, sum.y + w * q.y, sum.z + w * q.z};
                move += moves[g * count + j] * w;
                total += w;
            }
            turns_[f * count + j] = normalized(sum);
            moves_[f * count + j] = move / total;
        }
    }
}

void BvhKinematics::pose(int f, BvhPose& out) const {
    const std::size_t count = clip_.joints.size();
    if (!turns_.empty()) {
        chain(&turns_[f * count], &moves_[f * count], out);
        return;
    }
    std::vector<Quat> turns(count);
    std::vector<Vec3> moves(count);
    for (std::size_t j = 0; j < count; ++j) {
        local(f, static_cast<int>(j), turns[j], moves[j]);
    }
    chain(turns.data(), moves.data(), out);
}

void BvhKinematics::restPose(BvhPose& out) const {
    const std::size_t count = clip_.joints.size();
    std::vector<Quat> turns(count);
    std::vector<Vec3> moves(count);
    for (std::size_t j = 0; j < count; ++j) {
        moves[j] = clip_.joints[j].offset;
    }
    chain(turns.data(), moves.data(), out);
}

Vec3 BvhKinematics::endSite(const BvhPose& pose, int j) const {
    const BvhJoint& joint = clip_.joints[j];
    if (!joint.hasEndSite) {
        return pose.positions[j];
    }
    return pose.positions[j] + rotate(pose.rotations[j], joint.endSite);
}

void BvhKinematics::chain(const Quat* turns, const Vec3* moves, BvhPose& out) const {
    const std::size_t count = clip_.joints.size();
    out.positions.resize(count);
    out.rotations.resize(count);
    for (std::size_t j = 0; j < count; ++j) {
        const int parent = clip_.joints[j].parent;
        if (parent < 0) {
            out.positions[j] = moves[j];
            out.rotations[j] = normalized(turns[j]);
        } else {
            const Quat& parentTurn = out.rotations[parent];
            out.positions[j] = out.positions[parent] + rotate(parentTurn, moves[j]);
            out.rotations[j] = normalized(parentTurn * turns[j]);
        }
    }
}

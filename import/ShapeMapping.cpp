#include "import/ShapeMapping.h"

#include "import/BvhPose.h"
#include "import/JointNames.h"
#include "import/Rotations.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using namespace FigureBone;

// A point of a chain where the skeleton bends, with the first of the
// joints that sit on it (a joint with a zero offset shares its parent's).
struct ChainPoint {
    Vec3 at;
    int joint;
};

// One limb found: the joints from where it leaves the body to its end.
struct Limb {
    std::vector<int> path;
    // Figure roles found on it: where the upper and lower long bones and
    // the extremity begin, and the joint the side bone begins at.
    int side = -1, upper = -1, lower = -1, end = -1;
    int votes = 0;
};

class Shape {
public:
    explicit Shape(const BvhClip& clip) : clip_(clip) {
        BvhPose rest;
        BvhKinematics(clip, {}).restPose(rest);
        at_ = rest.positions;
        const int count = static_cast<int>(clip.joints.size());
        tips_.resize(count);
        Vec3 lo(std::numeric_limits<double>::max()), hi(-std::numeric_limits<double>::max());
        for (int j = 0; j < count; ++j) {
            tips_[j] = at_[j] + clip.joints[j].endSite;
            for (const Vec3& p : {at_[j], tips_[j]}) {
                lo = Vec3(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
                hi = Vec3(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
            }
        }
        const double size = (hi - lo).length();
        large_ = 0.1 * size;
        same_ = std::max(1e-9 * size, 1e-12);
        // Joints come in the file's depth-first order, so a subtree is the
        // run of indices from its root to the end of its last descendant.
        subtreeEnd_.resize(count);
        for (int j = count - 1; j >= 0; --j) {
            subtreeEnd_[j] = j + 1;
            for (int child : clip.joints[j].children) {
                subtreeEnd_[j] = std::max(subtreeEnd_[j], subtreeEnd_[child]);
            }
        }
    }

    const Vec3& at(int j) const { return at_[j]; }
    bool samePoint(const Vec3& a, const Vec3& b) const { return (a - b).length() <= same_; }
    int jointCount(int j) const { return subtreeEnd_[j] - j; }

    // The farthest any joint or tip below `j` (itself included) lies from
    // `from`.
    double reach(int j, const Vec3& from) const {
        double best = 0;
        for (int k = j; k < subtreeEnd_[j]; ++k) {
            best = std::max(best, (at_[k] - from).length());
            if (clip_.joints[k].hasEndSite) {
                best = std::max(best, (tips_[k] - from).length());
            }
        }
        return best;
    }

    // The direction from joint `j` to the middle of the subtree of `child`.
    Vec3 heading(int j, int child) const {
        Vec3 sum(0, 0, 0);
        for (int k = child; k < subtreeEnd_[child]; ++k) {
            sum += at_[k] - at_[j];
        }
        return unitOr(sum, Vec3(0, 0, 0));
    }

    std::vector<int> largeChildren(int j) const {
        std::vector<int> out;
        for (int child : clip_.joints[j].children) {
            if (reach(child, at_[j]) >= large_) {
                out.push_back(child);
            }
        }
        return out;
    }

    // From `j` down to a leaf, always into the child that reaches farthest.
    std::vector<int> longestBranch(int j) const {
        std::vector<int> path{j};
        while (!clip_.joints[path.back()].children.empty()) {
            const int from = path.back();
            int best = -1;
            double bestReach = -1;
            for (int child : clip_.joints[from].children) {
                const double r = reach(child, at_[from]);
                if (r > bestReach) {
                    best = child;
                    bestReach = r;
                }
            }
            path.push_back(best);
        }
        return path;
    }

    // The points a path of joints bends at, starting from `base` (a joint
    // above the path) and ending at the last joint's End Site (joint -1).
    std::vector<ChainPoint> points(int base, const std::vector<int>& path) const {
        std::vector<ChainPoint> out{{at_[base], base}};
        for (int j : path) {
            if (samePoint(at_[j], out.back().at)) {
                // The first joint of the path on the base point stands for it.
                if (out.size() == 1 && out.back().joint == base) {
                    out.back().joint = j;
                }
                continue;
            }
            out.push_back({at_[j], j});
        }
        const int last = path.back();
        if (clip_.joints[last].hasEndSite && !samePoint(tips_[last], out.back().at)) {
            out.push_back({tips_[last], -1});
        }
        return out;
    }

    // Where the foot or hand at `joint` points, from its joint to its tip.
    Vec3 extremity(int joint) const {
        const std::vector<int> path = longestBranch(joint);
        const std::vector<ChainPoint> pts = points(joint, path);
        return pts.size() < 2 ? Vec3(0, 0, 0) : pts[1].at - pts[0].at;
    }

    const BvhClip& clip() const { return clip_; }

private:
    const BvhClip& clip_;
    std::vector<Vec3> at_, tips_;
    std::vector<int> subtreeEnd_;
    double large_ = 0, same_ = 0;
};

int sideVotes(const BvhClip& clip, const std::vector<int>& path) {
    int votes = 0;
    for (int j : path) {
        const JointSide side = jointSide(clip.joints[j].name);
        votes += side == JointSide::Left ? 1 : (side == JointSide::Right ? -1 : 0);
    }
    return votes;
}

// A leg below the hips: thigh and shin are the two longest neighbouring
// segments; the hip bone begins where the thigh's parent is.
bool findLeg(const Shape& shape, int hips, Limb& leg) {
    const std::vector<ChainPoint> pts = shape.points(hips, leg.path);
    int best = -1;
    double bestLength = 0;
    for (std::size_t k = 0; k + 2 < pts.size(); ++k) {
        const double length =
            (pts[k + 1].at - pts[k].at).length() + (pts[k + 2].at - pts[k + 1].at).length();
        if (pts[k].joint >= 0 && pts[k + 1].joint >= 0 && length > bestLength) {
            best = static_cast<int>(k);
            bestLength = length;
        }
    }
    if (best < 0) {
        return false;
    }
    leg.upper = pts[best].joint;
    leg.lower = pts[best + 1].joint;
    leg.end = best + 2 < static_cast<int>(pts.size()) ? pts[best + 2].joint : -1;
    leg.side = shape.clip().joints[leg.upper].parent;
    return true;
}

// An arm from the chest: the wrist is its first joint with more than one
// child (where the fingers part), else its last; elbow and shoulder are the
// two points before it.
void findArm(const Shape& shape, int chest, Limb& arm) {
    const BvhClip& clip = shape.clip();
    std::vector<int> upToWrist;
    for (int j : arm.path) {
        upToWrist.push_back(j);
        if (clip.joints[j].children.size() > 1) {
            break;
        }
    }
    const std::vector<ChainPoint> pts = shape.points(chest, upToWrist);
    // Only joints, not the End Site, can be the wrist.
    std::size_t w = pts.size() - 1;
    if (pts[w].joint < 0) {
        --w;
    }
    if (w < 2 || pts[w - 2].joint < 0) {
        return;
    }
    arm.upper = pts[w - 2].joint;
    arm.lower = pts[w - 1].joint;
    arm.end = pts[w].joint;
    arm.side = clip.joints[arm.upper].parent;
}

// Which of two limbs is the left one: by names when they say opposite
// sides, else the one lying further along `left`.
bool firstIsLeft(const Shape& shape, const Limb& a, const Limb& b, const Vec3& left) {
    if (a.votes > 0 && b.votes < 0) {
        return true;
    }
    if (a.votes < 0 && b.votes > 0) {
        return false;
    }
    return shape.at(a.upper).dot(left) >= shape.at(b.upper).dot(left);
}

// The two of `candidates` whose headings from `from` point most against
// `direction`.
std::vector<int> mostAgainst(const Shape& shape, int from, std::vector<int> candidates,
                             const Vec3& direction) {
    std::sort(candidates.begin(), candidates.end(), [&](int a, int b) {
        return shape.heading(from, a).dot(direction) < shape.heading(from, b).dot(direction);
    });
    candidates.resize(std::min<std::size_t>(candidates.size(), 2));
    return candidates;
}

int mostJoints(const Shape& shape, const std::vector<int>& candidates) {
    return *std::max_element(candidates.begin(), candidates.end(), [&](int a, int b) {
        return shape.jointCount(a) < shape.jointCount(b);
    });
}

// Down from `j` while exactly one large branch goes on; the first joint
// where more part, or -1 at a leaf.
int nextFork(const Shape& shape, int j, std::vector<int>* path = nullptr) {
    for (std::size_t guard = 0; guard <= shape.clip().joints.size(); ++guard) {
        if (path) {
            path->push_back(j);
        }
        const std::vector<int> large = shape.largeChildren(j);
        if (large.size() != 1) {
            return large.empty() ? -1 : j;
        }
        j = large[0];
    }
    return -1;
}

class Mapper {
public:
    explicit Mapper(const BvhClip& clip) : shape_(clip), clip_(clip) {}

    bool run(BoneMap& map, std::string& error) {
        if (!findHipsAndLegs(error) || !findSpine(error)) {
            return false;
        }
        const Vec3 feet = (legTip(legs_[0]) + legTip(legs_[1])) / 2;
        up_ = nearestAxis(shape_.at(chest_) - feet);
        findArmsAndNeck();

        // The feet point forward; up x forward is the figure's left.
        Vec3 forward(0, 0, 0);
        for (const Limb& leg : legs_) {
            if (leg.end >= 0) {
                const Vec3 foot = shape_.extremity(leg.end);
                forward += foot - up_ * foot.dot(up_);
            }
        }
        if (!(forward.length() > 0)) {
            forward = std::fabs(up_.z) > 0.5 ? Vec3(0, -1, 0) : Vec3(0, 0, 1);
        }
        const Vec3 left = up_.cross(forward);
        if (!firstIsLeft(shape_, legs_[0], legs_[1], left)) {
            std::swap(legs_[0], legs_[1]);
        }
        const Vec3 hipsLeft = shape_.at(legs_[0].upper) - shape_.at(legs_[1].upper);
        if (arms_.size() == 2 && !firstIsLeft(shape_, arms_[0], arms_[1], hipsLeft)) {
            std::swap(arms_[0], arms_[1]);
        }

        BoneMap out;
        out.bones[Hips].start = hips_;
        out.bones[LowerSpine].start = lowerSpine_;
        out.bones[UpperSpine].start = upperSpine_;
        out.bones[Neck].start = neck_;
        out.bones[Head].start = head_;
        place(out, legs_[0], LeftHip);
        place(out, legs_[1], RightHip);
        if (arms_.size() == 2) {
            place(out, arms_[0], LeftShoulder);
            place(out, arms_[1], RightShoulder);
        }
        if (!resolveSpans(clip_, out, error)) {
            return false;
        }
        map = out;
        return true;
    }

private:
    static void place(BoneMap& map, const Limb& limb, int first) {
        map.bones[first].start = limb.side;
        map.bones[first + 1].start = limb.upper;
        map.bones[first + 2].start = limb.lower;
        map.bones[first + 3].start = limb.end;
    }

    Vec3 legTip(const Limb& leg) const {
        const std::vector<ChainPoint> pts = shape_.points(hips_, leg.path);
        return pts.back().at;
    }

    bool findHipsAndLegs(std::string& error) {
        hips_ = nextFork(shape_, 0);
        if (hips_ < 0) {
            error = "cannot find the hips: the skeleton never branches into legs and a spine";
            return false;
        }
        std::vector<int> large = shape_.largeChildren(hips_);
        spineRoot_ = mostJoints(shape_, large);
        large.erase(std::find(large.begin(), large.end(), spineRoot_));
        const Vec3 upward = shape_.heading(hips_, spineRoot_);
        std::vector<std::vector<int>> legPaths;
        if (large.size() == 1) {
            // The legs part further down, below a pelvis joint of their own.
            std::vector<int> shared;
            const int pelvis = nextFork(shape_, large[0], &shared);
            if (pelvis < 0) {
                error = "cannot find the legs: below the hips only one branch goes down";
                return false;
            }
            for (int child : mostAgainst(shape_, pelvis, shape_.largeChildren(pelvis), upward)) {
                legPaths.push_back(shared);
                const std::vector<int> branch = shape_.longestBranch(child);
                legPaths.back().insert(legPaths.back().end(), branch.begin(), branch.end());
            }
        } else {
            for (int child : mostAgainst(shape_, hips_, large, upward)) {
                legPaths.push_back(shape_.longestBranch(child));
            }
        }
        if (legPaths.size() != 2) {
            error = "cannot find two legs below the hips joint '" + clip_.joints[hips_].name + "'";
            return false;
        }
        for (int i = 0; i < 2; ++i) {
            legs_[i].path = legPaths[i];
            legs_[i].votes = sideVotes(clip_, legPaths[i]);
            if (!findLeg(shape_, hips_, legs_[i])) {
                error = "cannot find a thigh and a shin in the leg below '" +
                        clip_.joints[legPaths[i].front()].name + "'";
                return false;
            }
        }
        return true;
    }

    bool findSpine(std::string& error) {
        spinePath_.clear();
        chest_ = nextFork(shape_, spineRoot_, &spinePath_);
        if (chest_ < 0) {
            error = "cannot find the chest: the spine above '" + clip_.joints[hips_].name +
                    "' never branches into arms and a neck";
            return false;
        }
        return true;
    }

    void findArmsAndNeck() {
        std::vector<int> branches = shape_.largeChildren(chest_);
        // A short neck may not count as large: then the neck is the child
        // pointing most upward of all.
        if (branches.size() < 3) {
            branches = clip_.joints[chest_].children;
        }
        int neckRoot = -1;
        double best = -2;
        for (int child : branches) {
            const double up = shape_.heading(chest_, child).dot(up_);
            if (up > best) {
                best = up;
                neckRoot = child;
            }
        }
        std::vector<int> rest;
        for (int child : shape_.largeChildren(chest_)) {
            if (child != neckRoot) {
                rest.push_back(child);
            }
        }
        // Of what remains, the two most level branches are the arms.
        std::sort(rest.begin(), rest.end(), [&](int a, int b) {
            return std::fabs(shape_.heading(chest_, a).dot(up_)) <
                   std::fabs(shape_.heading(chest_, b).dot(up_));
        });
        for (std::size_t i = 0; i < rest.size() && i < 2; ++i) {
            Limb arm;
            arm.path = shape_.longestBranch(rest[i]);
            arm.votes = sideVotes(clip_, arm.path);
            findArm(shape_, chest_, arm);
            if (arm.upper >= 0) {
                arms_.push_back(arm);
            }
        }
        if (arms_.size() != 2) {
            arms_.clear();
        }

        const std::vector<int> neckPath =
            neckRoot >= 0 ? shape_.longestBranch(neckRoot) : std::vector<int>{};
        neck_ = neckPath.empty() ? -1 : neckPath.front();
        head_ = neckPath.empty() ? -1 : neckPath.back();
        for (int j : neckPath) {
            if (normalizedJointName(clip_.joints[j].name) == "head") {
                head_ = j;
                break;
            }
        }
        // A head hanging straight off the chest leaves no neck of its own.
        if (neck_ == head_) {
            neck_ = -1;
        }
        splitSpine();
    }

    // The lower spine begins at the hips' point, the upper one at the point
    // of the spine nearest half its length, up to where the neck begins.
    void splitSpine() {
        std::vector<int> path = spinePath_;
        if (neck_ >= 0) {
            path.push_back(neck_);
        }
        const std::vector<ChainPoint> pts = shape_.points(hips_, path);
        lowerSpine_ = pts.front().joint;
        upperSpine_ = lowerSpine_;
        double total = 0;
        for (std::size_t k = 1; k < pts.size(); ++k) {
            total += (pts[k].at - pts[k - 1].at).length();
        }
        double along = 0, nearest = std::numeric_limits<double>::max();
        for (std::size_t k = 1; k + 1 < pts.size(); ++k) {
            along += (pts[k].at - pts[k - 1].at).length();
            if (pts[k].joint >= 0 && std::fabs(along - total / 2) < nearest) {
                nearest = std::fabs(along - total / 2);
                upperSpine_ = pts[k].joint;
            }
        }
    }

    Shape shape_;
    const BvhClip& clip_;
    int hips_ = -1, spineRoot_ = -1, chest_ = -1;
    int lowerSpine_ = -1, upperSpine_ = -1, neck_ = -1, head_ = -1;
    std::vector<int> spinePath_;
    Limb legs_[2];
    std::vector<Limb> arms_;
    Vec3 up_{0, 1, 0};
};

} // namespace

Vec3 nearestAxis(const Vec3& direction) {
    const double ax = std::fabs(direction.x), ay = std::fabs(direction.y),
                 az = std::fabs(direction.z);
    if (ay >= ax && ay >= az) {
        return Vec3(0, direction.y < 0 ? -1 : 1, 0);
    }
    if (ax >= az) {
        return Vec3(direction.x < 0 ? -1 : 1, 0, 0);
    }
    return Vec3(0, 0, direction.z < 0 ? -1 : 1);
}

bool mapBonesByShape(const BvhClip& clip, BoneMap& map, std::string& error) {
    if (clip.joints.empty()) {
        error = "the clip has no joints";
        return false;
    }
    return Mapper(clip).run(map, error);
}

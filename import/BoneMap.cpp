#include "import/BoneMap.h"

#include "import/BvhReader.h"

#include <algorithm>
#include <cctype>

namespace {

// The figure bone whose start ends a chain bone's span; -1 for the bones
// that end on their own (the root, the head, the hands and the feet).
int spanChild(int bone) {
    using namespace FigureBone;
    switch (bone) {
    case LowerSpine:
        return UpperSpine;
    case UpperSpine:
        return Neck;
    case Neck:
        return Head;
    case LeftHip:
    case LeftThigh:
    case LeftShin:
    case RightHip:
    case RightThigh:
    case RightShin:
    case LeftShoulder:
    case LeftUpperArm:
    case LeftForearm:
    case RightShoulder:
    case RightUpperArm:
    case RightForearm:
        return bone + 1;
    default:
        return -1;
    }
}

bool isBelow(const BvhClip& clip, int joint, int ancestor) {
    for (int j = joint; j >= 0; j = clip.joints[j].parent) {
        if (j == ancestor) {
            return true;
        }
    }
    return false;
}

// How far the subtree of `joint` reaches from the joint, in rest offsets:
// the longest path down to a leaf's tip.
double longestPath(const BvhClip& clip, int joint) {
    const BvhJoint& j = clip.joints[joint];
    double best = j.hasEndSite ? j.endSite.length() : 0;
    for (int child : j.children) {
        best = std::max(best, clip.joints[child].offset.length() + longestPath(clip, child));
    }
    return best;
}

// The span's end for a bone that ends on its own: the first point past
// `joint` down its longest branch, or its End Site.
void ownEnd(const BvhClip& clip, int joint, BoneSource& source) {
    int j = joint;
    for (int guard = 0; guard < MAX_BVH_JOINTS; ++guard) {
        const BvhJoint& at = clip.joints[j];
        int next = -1;
        double nextPath = -1;
        for (int child : at.children) {
            const double path = clip.joints[child].offset.length() + longestPath(clip, child);
            if (path > nextPath) {
                next = child;
                nextPath = path;
            }
        }
        const double site = at.hasEndSite ? at.endSite.length() : -1;
        if (next < 0 || site > nextPath) {
            source.end = j;
            source.endAtSite = at.hasEndSite;
            return;
        }
        if (clip.joints[next].offset.length() > 0) {
            source.end = next;
            source.endAtSite = false;
            return;
        }
        j = next;
    }
    source.end = j;
}

std::string trimmed(std::string_view text) {
    std::size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) {
        ++a;
    }
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) {
        --b;
    }
    return std::string(text.substr(a, b - a));
}

} // namespace

BoneFollow boneFollow(int figureBone) {
    using namespace FigureBone;
    switch (figureBone) {
    case LowerSpine:
    case UpperSpine:
    case Neck:
    case LeftThigh:
    case LeftShin:
    case RightThigh:
    case RightShin:
    case LeftUpperArm:
    case LeftForearm:
    case RightUpperArm:
    case RightForearm:
        return BoneFollow::Direction;
    default:
        return BoneFollow::Turn;
    }
}

std::string figureBoneName(int index) {
    return index >= 0 && index < POSE_BONE_COUNT ? figureBones()[index].name : "";
}

int figureBoneNamed(std::string_view name) {
    for (const FigureBoneInfo& bone : figureBones()) {
        if (name == bone.name) {
            return bone.index;
        }
    }
    return -1;
}

bool resolveSpans(const BvhClip& clip, BoneMap& map, std::string& error) {
    for (int bone = 1; bone < POSE_BONE_COUNT; ++bone) {
        BoneSource& source = map.bones[bone];
        source.end = -1;
        source.endAtSite = false;
        source.twist = -1;
        if (source.start < 0) {
            continue;
        }
        // Past children that start where this bone starts (a one-segment
        // spine), to the first that starts further on.
        int child = spanChild(bone);
        while (child >= 0 && map.bones[child].start == source.start) {
            child = spanChild(child);
        }
        if (child >= 0 && map.bones[child].start >= 0) {
            const int end = map.bones[child].start;
            if (!isBelow(clip, end, source.start)) {
                error = figureBoneName(child) + "'s joint '" + clip.joints[end].name +
                        "' does not lie below " + figureBoneName(bone) + "'s joint '" +
                        clip.joints[source.start].name + "'";
                return false;
            }
            source.end = end;
        } else {
            ownEnd(clip, source.start, source);
        }
        // The end point hangs from the joint before it (an End Site from its
        // own joint), whose turn therefore twists the span; joints with no
        // offset sit on their parent's point and hang from what it hangs from.
        int hanging = source.end;
        if (!source.endAtSite) {
            while (hanging != source.start && clip.joints[hanging].parent >= 0 &&
                   clip.joints[hanging].offset.length() == 0) {
                hanging = clip.joints[hanging].parent;
            }
            if (clip.joints[hanging].parent >= 0) {
                hanging = clip.joints[hanging].parent;
            }
        }
        source.twist = hanging;
    }
    return true;
}

bool applyMapText(std::string_view text, const BvhClip& clip, BoneMap& map, std::string& error) {
    BoneMap updated = map;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        const std::size_t hash = line.find('#');
        const std::string content = trimmed(line.substr(0, hash));
        if (content.empty()) {
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos) {
            error = where + "expected 'figure_bone = SourceJoint'";
            return false;
        }
        const std::string boneText = trimmed(std::string_view(content).substr(0, equals));
        const std::string jointText = trimmed(std::string_view(content).substr(equals + 1));
        const int bone = figureBoneNamed(boneText);
        if (bone < 0) {
            error = where + "'" + boneText + "' is not a bone of the figure (hips, lower_spine, " +
                    "..., right_hand)";
            return false;
        }
        const int joint = clip.jointNamed(jointText);
        if (joint < 0) {
            error = where + "the clip has no joint named '" + jointText + "'";
            return false;
        }
        for (std::size_t j = joint + 1; j < clip.joints.size(); ++j) {
            if (clip.joints[j].name == jointText) {
                error = where + "the clip has more than one joint named '" + jointText + "'";
                return false;
            }
        }
        updated.bones[bone].start = joint;
    }
    if (!resolveSpans(clip, updated, error)) {
        return false;
    }
    map = updated;
    return true;
}

std::string mapText(const BvhClip& clip, const BoneMap& map) {
    std::string out;
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        const int joint = map.bones[bone].start;
        if (joint >= 0) {
            out += figureBoneName(bone) + " = " + clip.joints[joint].name + "\n";
        } else {
            out += "# " + figureBoneName(bone) + ": not mapped\n";
        }
    }
    return out;
}

std::vector<int> unmappedBones(const BoneMap& map) {
    std::vector<int> out;
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        if (!map.mapped(bone)) {
            out.push_back(bone);
        }
    }
    return out;
}

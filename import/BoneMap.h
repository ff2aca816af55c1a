#pragma once

#include "import/BvhClip.h"
#include "motion/BoneTable.h"
#include "skeleton/Skeleton.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Which joints of a clip each bone of the figure follows.
//
// Every figure bone is a span of the clip's skeleton: from the joint where
// it begins to where its first child begins (for the head, the hands and the
// feet: to the next point down the joint's longest branch). The span's
// direction says where the bone points; the turn of the joint just before
// the span's end (the end joint's parent) says how it is twisted, since that
// joint's rotation carries the end.
//
// The figure is the program's default tree (motion/BoneTable.h); bones are
// named as there ("left_thigh").

// How a mapped bone follows its span.
enum class BoneFollow {
    // Points along the span, twisted as the twist joint turns: the spine,
    // neck and limbs, whose directions are what a motion is made of.
    Direction,
    // Keeps the turn from its parent it has in the figure's rest pose, turned
    // further as the twist joint turns from the clip's rest pose: the hips'
    // side bones, the shoulders, head, hands and feet, whose rest directions
    // differ between rigs (a foot to the heel or to the toes, a shoulder
    // level or raised) in ways that are design, not motion.
    Turn,
};

// How bone `figureBone` follows (by role, whatever the clip).
BoneFollow boneFollow(int figureBone);

struct BoneSource {
    // Where the span begins; -1 when the bone is not mapped.
    int start = -1;
    // Where it ends: a joint, or that joint's End Site.
    int end = -1;
    bool endAtSite = false;
    // The joint whose rotation twists the bone.
    int twist = -1;
};

// The root's source is the joint where the legs and the spine branch (its
// position and turn); only its start is used.
struct BoneMap {
    std::array<BoneSource, POSE_BONE_COUNT> bones;

    int hips() const { return bones[FigureBone::Hips].start; }
    bool mapped(int bone) const { return bones[bone].start >= 0; }
};

// Fills every bone's end and twist from the starts in `map` (the one rule
// above). A chain bone whose child starts where it starts ends where that
// child ends, so a spine of one segment feeds both spine bones. Returns
// false with `error` when a child's joint does not lie below its parent's.
bool resolveSpans(const BvhClip& clip, BoneMap& map, std::string& error);

// Applies a map file's text: lines "figure_bone = SourceJoint" ('#' starts
// a comment; blank lines are skipped), each naming the joint where that
// figure bone begins ("hips = Hips" names the hips joint). Other bones keep
// what `map` had; the spans are resolved again. Returns false with `error`
// naming the line when a line is not of that form, names an unknown bone or
// joint, or a joint name is not unique, and leaves `map` as it was.
bool applyMapText(std::string_view text, const BvhClip& clip, BoneMap& map, std::string& error);

// The mapping in the map file's own form, one line per figure bone
// ("left_thigh = LeftHip"), unmapped bones as comments ("# left_foot:
// not mapped").
std::string mapText(const BvhClip& clip, const BoneMap& map);

// The name of figure bone `index` in map files and messages.
std::string figureBoneName(int index);
// The figure bone named `name`, or -1.
int figureBoneNamed(std::string_view name);

// Figure bones without a source, in index order.
std::vector<int> unmappedBones(const BoneMap& map);

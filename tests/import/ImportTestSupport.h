#pragma once

#include "import/BvhClip.h"
#include "motion/Quaternion.h"
#include "skeleton/Skeleton.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Clips for the import tests: the figure's own motion exported to BVH, then
// dressed as other rigs dress the same motion (renamed, re-ordered,
// re-scaled, turned to another up axis, other rest poses, joints added or
// taken out), every frame's world pose kept.

// The repository root (KINEMORPH_SOURCE_DIR, or the working directory).
std::string importSourceDir();
// The figure's skeleton file and the shared motion-capture clip.
std::string figureSkeletonPath();
std::string mocapClipPath();
// The shared clip, read (the test fails if it cannot be), cut to its first
// `frames` frames when given.
BvhClip capturedWalk(int frames = 0);
// The figure, complete, as the importer poses it.
std::unique_ptr<Skeleton> loadFigure();

class Animation;
// The animation at `path` (or `animation`), sampled at `fps` on its exact
// timeline and exported as BVH by the exporter, read back.
BvhClip figureClip(const std::string& animationPath, double fps);
BvhClip figureClip(const Animation& animation, double fps);
// The figure's walk sample so exported at 30 fps.
BvhClip walkClip();

// How a dressing changes a clip. Joints are named as in the clip being
// dressed; each step is applied in the order of the fields.
struct Dress {
    // Joints taken out (their children hang from their parent and take on
    // their turn): the same motion where they did not turn.
    std::vector<std::string> remove;
    // New joints above a set of siblings that share their offset: the new
    // joint takes the offset, the siblings get none.
    std::vector<std::pair<std::string, std::vector<std::string>>> insertAbove;
    // Still joints added below a joint (or an added one): name, offset, End
    // Site offset. The parent's own End Site goes.
    // Offsets are given along the parent's End Site (the tip it loses):
    // offset = tip * along + aside, End Site = tip * endAlong + endAside.
    struct Leaf {
        std::string parent, name;
        double along = 1;
        Vec3 aside{0, 0, 0};
        double endAlong = 1;
        Vec3 endAside{0, 0, 0};
    };
    std::vector<Leaf> add;
    // Rest poses turned: the subtree below each joint turns by the given
    // rotation at rest, the joints' rotations make up for it.
    std::vector<std::pair<std::string, Quat>> restTurns;
    // Turn everything so that the clip's up axis becomes z.
    bool zUp = false;
    // Lengths times this.
    double scale = 1;
    // New names (joints not named keep theirs).
    std::map<std::string, std::string> names;
    // Rotation channel order ("ZXY") for every joint, and for joints named
    // here (by their new names) another.
    std::string order = "YZX";
    std::map<std::string, std::string> orders;
    // Position channels on every joint, holding the offset (sensor suits).
    bool sixChannels = false;
};

// `clip` in another dress; its frames stay the same motion.
BvhClip dressClip(const BvhClip& clip, const Dress& dress);

// The clip as BVH text, with "\r\n" line ends when `crlf`.
std::string bvhText(const BvhClip& clip, bool crlf = false);

// The rotation of `degrees` about the axis named 'X', 'Y' or 'Z'.
Quat axisTurn(char axis, double degrees);

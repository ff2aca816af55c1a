#pragma once

#include "animation/Animation.h"
#include "import/KeyReduction.h"

#include <string>
#include <vector>

// The whole import of a clip onto the figure, as the command line and the
// editor run it: map the bones, retarget every frame, reduce to key frames,
// and check the result by replaying it on the animation's exact timeline.

struct MotionImportOptions {
    // Degrees every bone's replay may miss the dense import by; 0 keeps a
    // key on every source frame.
    double tolerance = 1;
    // Map file text ("figure_bone = SourceJoint" lines) applied over the
    // mapping found from the skeleton's shape; empty for none.
    std::string mapText;
    bool loop = false;
    // The animation's name.
    std::string name;
};

struct MotionImport {
    Animation animation{"", false};
    BoneMap map;
    int sourceFrames = 0;
    double frameRate = 0;
    // The largest miss of the animation's replay, on its exact timeline at
    // every source frame, against the dense import: bone turns in degrees,
    // the root in scene units.
    double largestDegrees = 0;
    double largestRoot = 0;
    // The retarget the keys were made from.
    RetargetedClip retarget;
};

// Imports `clip` onto `figure` (complete, the default figure's tree, in its
// start pose; it is posed while the result is checked and left as it was).
// The key search runs its two search tolerances on two threads; `progress`
// is then called from both, one at a time.
// Returns false with a one-line `error` when the map text is refused, the
// mapping lacks what the retarget needs, or `progress` asked to stop
// ("stopped").
bool importMotion(const BvhClip& clip, Skeleton& figure, const MotionImportOptions& options,
                  MotionImport& result, std::string& error, const ImportProgress& progress = {});

// The one line that says what an import made of a clip, in UTF-8:
// "Imported walk: 1247 frames at 120 fps → 270 key frames, largest error
// 0.97°".
std::string importSummary(const MotionImport& result, const std::string& name);

// The animation holding `keys` (frames of the track, `frameTime` apart),
// named `name`, looping or not: each key's wait and transition in seconds,
// rounded as the file stores them, with the rounding carried on so that
// every key is reached within a rounding of its source frame's time. The
// last key moves back to the first in one frame time.
Animation keysAnimation(const std::vector<ReducedKey>& keys, double frameTime,
                        const std::string& name, bool loop);

// How far `animation`, posed on `figure` along its exact timeline at every
// frame time f * frameTime, misses `track`: the largest bone turn in
// degrees and root distance, and the frame where the error (in tolerance
// units) is largest. Returns that error.
double timelineMiss(const Animation& animation, Skeleton& figure, const DenseTrack& track,
                    double& degrees, double& root, int& worstFrame);

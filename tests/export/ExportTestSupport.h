#pragma once

#include "animation/Animation.h"
#include "motion/ExportRig.h"
#include "motion/MotionSampler.h"
#include "tests/support/TempFolder.h"
#include "skeleton/Skeleton.h"

#include <memory>
#include <string>
#include <vector>

// The repository root: KINEMORPH_SOURCE_DIR, or the working directory.
std::string sourceDir();
// The program's own skeleton file.
std::string defaultSkeletonPath();
// The program's own skeleton, standing on the program's origin.
std::unique_ptr<Skeleton> loadDefaultSkeleton();

// Writes `text` to `path`; fails the test when it cannot.
void writeText(const std::string& path, const std::string& text);
std::string readBytes(const std::string& path);
// Writes `animation` as an .rgaf file.
void writeAnimationFile(const std::string& path, const Animation& animation);

// Test animations for the program's figure, each frame built from the rest
// pose of `skeleton` (which is left as it was):
//   "march": 3 looping frames, root moving, arms, legs and spine swinging,
//            one frame per easing curve and waits of 0.1 s; frame 2 asks
//            the left knee for more than it bends;
//   "reach": the same poses, not looping, the last with a wait of 0.3 s;
//   "stride": march with every angle inside its limits, frame 0's move
//            taking no time (a jump) and frame 1's without a curve (a
//            hold, then a jump);
//   "single": one frame, not looping; "single_loop": one frame, looping;
//   "empty": no frames.
std::unique_ptr<Animation> makeTestAnimation(const std::string& name, const Skeleton& skeleton);

// Every bone's joint point and tip, as the skeleton shows them.
struct BonePoints {
    std::vector<Vec3> joints;
    std::vector<Vec3> tips;
};
BonePoints bonePoints(const Skeleton& skeleton);
// The points of the default skeleton with `frame` put on it directly.
BonePoints framePoints(const KeyFrame& frame);
// Fails the test unless every joint and tip of `a` lies within `tolerance`
// of the same one of `b`.
void expectSamePoints(const BonePoints& a, const BonePoints& b, double tolerance,
                      const std::string& what);

// A rig of the default skeleton in its rest pose, and the motion of
// `animation` sampled at `fps` with `spacing`, together with the skeleton's
// own points at every sample.
struct SampledTestMotion {
    ExportRig rig;
    SampledMotion motion;
    std::vector<BonePoints> points;
};
SampledTestMotion sampleDefault(const std::string& animationName, double fps,
                                SampleSpacing spacing = SampleSpacing::KeyTimes);

// Fails the test unless |a - b| <= tolerance component by component.
void expectNear(const Vec3& a, const Vec3& b, double tolerance, const std::string& what);

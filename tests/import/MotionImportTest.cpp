#include "import/MotionImport.h"

#include "ImportTestSupport.h"
#include "animation/MotionType.h"
#include "import/BvhReader.h"
#include "import/Rotations.h"
#include "motion/MotionSampler.h"

#include <gtest/gtest.h>

#include <random>

namespace {

MotionImport imported(const BvhClip& clip, Skeleton& figure, double tolerance) {
    MotionImportOptions options;
    options.tolerance = tolerance;
    options.name = "test";
    MotionImport result;
    std::string error;
    EXPECT_TRUE(importMotion(clip, figure, options, result, error)) << error;
    return result;
}

// A key frame of the figure's start pose with `change` added to the angles
// of some bones, held `wait` frames then moving over `move` frames of a
// 30 fps clip along `motion`.
struct Key {
    int wait, move, motion;
    std::vector<std::pair<int, BonePose>> change{};
    Vec3 root{0, 0, 0};
};

Animation keyedAnimation(const Skeleton& figure, const std::vector<Key>& keys) {
    Animation animation("keys", false);
    for (const Key& key : keys) {
        auto frame = std::make_unique<KeyFrame>(&figure);
        for (const auto& [bone, change] : key.change) {
            frame->boneAngles[bone] += change;
        }
        frame->rootPosition += key.root;
        frame->waitTime = key.wait / 30.0;
        frame->transitionTime = key.move / 30.0;
        frame->motionType = key.motion;
        animation.appendFrame(std::move(frame));
    }
    return animation;
}

// The largest turn of any bone from its parent, degrees, and root distance
// between two animations sampled on their exact timelines at `fps`, the
// way the exporter samples them.
std::pair<double, double> sampledMiss(const Animation& a, const Animation& b, double fps) {
    auto figure = loadFigure();
    SampledMotion ma, mb;
    std::string error;
    EXPECT_TRUE(sampleMotion(*figure, a, fps, SampleSpacing::Uniform, ma, error)) << error;
    EXPECT_TRUE(sampleMotion(*figure, b, fps, SampleSpacing::Uniform, mb, error)) << error;
    EXPECT_EQ(ma.samples.size(), mb.samples.size());
    double turn = 0, root = 0;
    for (std::size_t s = 0; s < std::min(ma.samples.size(), mb.samples.size()); ++s) {
        const PoseSample &x = ma.samples[s], &y = mb.samples[s];
        root = std::max(root, (x.rootPosition - y.rootPosition).length());
        for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
            const int parent = bone == 0 ? -1 : figure->boneAt(bone)->parent()->index();
            const Quat lx =
                parent < 0 ? x.rotations[bone] : conjugate(x.rotations[parent]) * x.rotations[bone];
            const Quat ly =
                parent < 0 ? y.rotations[bone] : conjugate(y.rotations[parent]) * y.rotations[bone];
            turn = std::max(turn, degreesBetween(lx, ly));
        }
    }
    return {turn, root};
}

} // namespace

TEST(MotionImport, AnExportedAnimationComesBackAsItsOwnKeys) {
    using namespace FigureBone;
    using namespace MotionType;
    auto figure = loadFigure();
    // The upper body moves, the feet stay on the floor, so only the four
    // key frames can hold the motion; each moves along another easing.
    const std::vector<Key> keys = {
        {0, 9, Linear, {{LowerSpine, {-10, 0, 5}}, {LeftUpperArm, {20, 10, 0}}}},
        {4,
         12,
         EaseIn,
         {{UpperSpine, {-15, 0, 0}}, {LeftForearm, {-60, 0, 20}}, {Neck, {10, 0, 0}}}},
        {0, 8, EaseOut, {{RightUpperArm, {-30, 20, 0}}, {Head, {0, 0, 30}}}},
        {3, 10, EaseInOut, {{RightForearm, {-90, 0, 0}}, {LowerSpine, {5, 10, 0}}}},
        {0, 6, Linear},
    };
    const Animation original = keyedAnimation(*figure, keys);
    const MotionImport result = imported(figureClip(original, 30), *figure, 1);
    ASSERT_EQ(result.animation.frameCount(), original.frameCount());
    for (int k = 0; k + 1 < original.frameCount(); ++k) {
        const KeyFrame& got = *result.animation.frameAt(k);
        const KeyFrame& want = *original.frameAt(k);
        EXPECT_NEAR(got.waitTime, want.waitTime, 1e-6) << "key " << k;
        EXPECT_NEAR(got.transitionTime, want.transitionTime, 1e-6) << "key " << k;
        EXPECT_EQ(got.motionType, want.motionType) << "key " << k;
        for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
            const int axis = figure->boneAt(bone)->mainAxis();
            EXPECT_LT(degreesBetween(boneTurn(axis, got.boneAngles[bone]),
                                     boneTurn(axis, want.boneAngles[bone])),
                      0.1)
                << "key " << k << " " << figureBoneName(bone);
        }
    }
    EXPECT_LT(sampledMiss(result.animation, original, 30).first, 0.2);
}

TEST(MotionImport, RandomClipsReplayTheDenseImportWithinTheTolerance) {
    auto figure = loadFigure();
    std::mt19937 random(26);
    auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<>(a, b)(random);
    };
    const int motions[] = {MotionType::Linear, MotionType::EaseIn, MotionType::EaseOut,
                           MotionType::EaseInOut};
    for (int clip = 0; clip < 4; ++clip) {
        std::vector<Key> keys;
        const int count = 3 + clip;
        for (int k = 0; k < count; ++k) {
            const Vec3 root(uniform(-0.2, 0.2), uniform(-0.05, 0.05), uniform(-0.2, 0.2));
            Key key{static_cast<int>(uniform(0, 3)) * 2, 4 + static_cast<int>(uniform(0, 10)),
                    motions[static_cast<int>(uniform(0, 4))]};
            key.root = root;
            for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
                const Bone& b = *figure->boneAt(bone);
                const BonePose rest = b.pose();
                // Anywhere within the limits, kept off them by a degree.
                auto within = [&](double lo, double hi, double at) {
                    return uniform(std::min(lo + 1, at), std::max(hi - 1, at)) - at;
                };
                key.change.push_back(
                    {bone, BonePose(within(b.minMain(), b.maxMain(), rest.x) * 0.3,
                                    within(b.minSec(), b.maxSec(), rest.y) * 0.3,
                                    within(b.minOwn(), b.maxOwn(), rest.z) * 0.3)});
            }
            keys.push_back(key);
        }
        const BvhClip bvh = figureClip(keyedAnimation(*figure, keys), 30);
        const MotionImport dense = imported(bvh, *figure, 0);
        EXPECT_EQ(dense.animation.frameCount(), bvh.frameCount);
        EXPECT_LT(dense.largestDegrees, 1e-3);
        for (double tolerance : {0.5, 1.0, 2.0}) {
            const MotionImport reduced = imported(bvh, *figure, tolerance);
            const std::string what =
                "clip " + std::to_string(clip) + " at " + std::to_string(tolerance) + " degrees";
            EXPECT_LE(reduced.largestDegrees, tolerance) << what;
            EXPECT_LE(reduced.largestRoot, 0.01) << what;
            // Checked again as the exporter samples both, apart from the
            // importer's own check.
            const auto [turn, root] = sampledMiss(reduced.animation, dense.animation, 30);
            EXPECT_LE(turn, tolerance + 1e-3) << what;
            EXPECT_LE(root, 0.01 + 1e-6) << what;
            const DenseTrack track(dense.retarget.poses, bvh.frameTime, *figure,
                                   ReplayTolerance{tolerance, 0.01});
            const std::size_t greedy =
                greedyKeys(track, contactChanges(dense.retarget.contact)).size();
            EXPECT_LE(static_cast<std::size_t>(reduced.animation.frameCount()), greedy) << what;
        }
    }
}

TEST(MotionImport, TheCapturedWalkKeepsFewKeysAndEveryStepsKey) {
    auto figure = loadFigure();
    // Its first 400 frames (3.3 s: standing still, setting off, two steps)
    // keep the test quick; the bench takes the whole clip.
    const BvhClip clip = capturedWalk(400);
    const MotionImport result = imported(clip, *figure, 1);
    EXPECT_LE(result.largestDegrees, 1);
    const int keys = result.animation.frameCount();
    EXPECT_LE(keys, clip.frameCount / 4);
    const DenseTrack track(result.retarget.poses, clip.frameTime, *figure, ReplayTolerance{});
    const std::vector<int> changes = contactChanges(result.retarget.contact);
    EXPECT_LT(keys, static_cast<int>(greedyKeys(track, changes).size()));
    // Every stand begins or ends on a key frame.
    std::vector<int> keyFrames;
    double time = 0;
    for (int k = 0; k < keys; ++k) {
        keyFrames.push_back(static_cast<int>(std::lround(time / clip.frameTime)));
        time += result.animation.frameAt(k)->waitTime + result.animation.frameAt(k)->transitionTime;
    }
    EXPECT_FALSE(changes.empty());
    for (int change : changes) {
        EXPECT_NE(std::find(keyFrames.begin(), keyFrames.end(), change), keyFrames.end())
            << "frame " << change;
    }
}

#include "motion/MotionSampler.h"

#include "motion/Ground.h"

#include "BvhTestReader.h"
#include "ExportTestSupport.h"
#include "GltfTestReader.h"
#include "animation/MotionType.h"
#include "animation/Timeline.h"
#include "tools/export/ExportCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

constexpr double FPS = 64;

// Frame i bends the lower spine to 10 * i degrees (within its limits) and
// lifts the root by 0.1 * i; wait 0.25 s, transition 0.5 s, eased in and out.
std::unique_ptr<Animation> spineAnimation(const Skeleton& skeleton, int frames, bool looping) {
    auto animation = std::make_unique<Animation>("bend", looping);
    for (int i = 0; i < frames; ++i) {
        KeyFrame* frame = animation->addFrameFromPose(&skeleton);
        frame->boneAngles[1].x = 10.0 * (i % 2 == 0 ? i : -i);
        frame->rootPosition.y += 0.1 * i;
        frame->waitTime = 0.25;
        frame->transitionTime = 0.5;
        frame->motionType = MotionType::EaseInOut;
    }
    return animation;
}

struct Sampled {
    bool ok;
    std::string error;
    SampledMotion motion;
    std::vector<BonePoints> points;
};

Sampled sample(const Animation& animation, double fps,
               SampleSpacing spacing = SampleSpacing::KeyTimes) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    Sampled result;
    result.ok =
        sampleMotion(*skeleton, animation, fps, spacing, result.motion, result.error,
                     [&](const Skeleton& posed) { result.points.push_back(bonePoints(posed)); });
    return result;
}

std::vector<double> sampleTimes(const SampledMotion& motion) {
    std::vector<double> times;
    for (const PoseSample& s : motion.samples) {
        times.push_back(s.time);
    }
    return times;
}

// The index of the sample at exactly `time`, or -1.
int sampleAt(const SampledMotion& motion, double time) {
    for (std::size_t k = 0; k < motion.samples.size(); ++k) {
        if (motion.samples[k].time == time) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

// Every joint and tip a glTF asset shows at key `sample`.
BonePoints gltfPoints(const GltfTestAsset& asset, int sample, int bones) {
    const std::vector<Mat4> world = asset.worldMatrices(sample);
    BonePoints points;
    for (int i = 0; i < bones; ++i) {
        const double length = asset.document["nodes"][i]["extras"]["length"];
        points.joints.push_back(transformPoint(world[i], Vec3(0, 0, 0)));
        points.tips.push_back(transformPoint(world[i], Vec3(0, length, 0)));
    }
    return points;
}

// Every joint a BVH file shows at motion line `frame`, in file order.
std::vector<Vec3> bvhJoints(const BvhTestFile& bvh, int frame) {
    std::vector<Vec3> joints;
    for (const Mat4& m : bvh.worldMatrices(frame)) {
        joints.push_back(transformPoint(m, Vec3(0, 0, 0)));
    }
    return joints;
}

} // namespace

TEST(MotionSampler, KeyTimesEveryTransitionStepAndTheExactEnd) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 3, true);
    const Sampled result = sample(*animation, FPS);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.motion.name, "bend");
    EXPECT_EQ(result.motion.duration, 2.25);
    // Per frame: its arrival, the end of its wait and 31 steps of 1/64 s
    // inside its 0.5 s move; then the end, back on frame 0.
    std::vector<double> expected;
    for (int frame = 0; frame < 3; ++frame) {
        expected.push_back(0.75 * frame);
        expected.push_back(0.75 * frame + 0.25);
        for (int i = 1; i < 32; ++i) {
            expected.push_back(0.75 * frame + 0.25 + i / FPS);
        }
    }
    expected.push_back(2.25);
    EXPECT_EQ(sampleTimes(result.motion), expected);
    ASSERT_EQ(result.points.size(), expected.size());

    for (int frame = 0; frame < 3; ++frame) {
        const BonePoints key = framePoints(*animation->frameAt(frame));
        const std::string what = "frame " + std::to_string(frame);
        expectSamePoints(result.points[33 * frame], key, 1e-12, what + " reached");
        expectSamePoints(result.points[33 * frame + 1], key, 1e-12, what + " left");
    }
    expectSamePoints(result.points.back(), result.points.front(), 1e-12, "the loop's end");
    // Halfway through the eased move from frame 0 to frame 1.
    EXPECT_NEAR(result.motion.samples[1 + 16].rootPosition.y,
                result.motion.samples[0].rootPosition.y + 0.05, 1e-12);
}

TEST(MotionSampler, UniformSpacingCoversTheWholeDuration) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 3, false);
    // Two whole frames and the last wait: 1.75 s, 112 steps at 64 fps.
    const Sampled result = sample(*animation, FPS, SampleSpacing::Uniform);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.motion.duration, 1.75);
    ASSERT_EQ(result.motion.samples.size(), 113u);
    for (std::size_t i = 0; i < result.motion.samples.size(); ++i) {
        EXPECT_EQ(result.motion.samples[i].time, i / FPS);
    }
    expectSamePoints(result.points[0], framePoints(*animation->frameAt(0)), 1e-12, "first");
    expectSamePoints(result.points[48], framePoints(*animation->frameAt(1)), 1e-12, "frame 1");
    expectSamePoints(result.points.back(), framePoints(*animation->frameAt(2)), 1e-12, "last");

    // 1.75 s at 10 fps is 17.5 steps: rounded to 18, the last sample past
    // the end shows the end.
    const Sampled coarse = sample(*animation, 10, SampleSpacing::Uniform);
    ASSERT_EQ(coarse.motion.samples.size(), 19u);
    expectSamePoints(coarse.points.back(), framePoints(*animation->frameAt(2)), 1e-12, "end");

    // Jumps every 0.1 s: 0.1 + 0.1 + 0.1 adds up to a rounding past 0.3, yet
    // the line at 0.3 s shows frame 3, not a step late.
    auto jumps = spineAnimation(*skeleton, 4, false);
    for (int i = 0; i < 4; ++i) {
        jumps->frameAt(i)->waitTime = 0.1;
        jumps->frameAt(i)->transitionTime = 0;
    }
    const Sampled stepped = sample(*jumps, 30, SampleSpacing::Uniform);
    ASSERT_EQ(stepped.points.size(), 13u);
    for (int line = 0; line < 13; ++line) {
        expectSamePoints(stepped.points[line], framePoints(*jumps->frameAt(std::min(line / 3, 3))),
                         1e-12, "line " + std::to_string(line));
    }
}

TEST(MotionSampler, EmptyAndSingleFrameAnimations) {
    {
        Animation empty("none", true);
        for (SampleSpacing spacing : {SampleSpacing::KeyTimes, SampleSpacing::Uniform}) {
            const Sampled result = sample(empty, 30, spacing);
            ASSERT_TRUE(result.ok);
            EXPECT_EQ(sampleTimes(result.motion), std::vector<double>{0});
            EXPECT_EQ(result.motion.duration, 0);
            expectSamePoints(result.points[0], bonePoints(*loadDefaultSkeleton()), 0, "rest");
        }
    }
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 1, false);
    EXPECT_EQ(sampleTimes(sample(*animation, FPS).motion), (std::vector<double>{0, 0.25}));
    EXPECT_EQ(sample(*animation, FPS, SampleSpacing::Uniform).motion.samples.size(), 17u);
    animation->setLooping(true);
    const Sampled looped = sample(*animation, FPS);
    ASSERT_EQ(looped.motion.samples.size(), 34u) << "wait, move back onto itself, end";
    EXPECT_EQ(looped.motion.samples.back().time, 0.75);
    EXPECT_EQ(sample(*animation, FPS, SampleSpacing::Uniform).motion.samples.size(), 49u);
}

TEST(MotionSampler, JumpsKeepTheirPoseUntilJustBefore) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 3, true);
    animation->frameAt(0)->transitionTime = 0; // jumps at 0.25 s
    animation->frameAt(1)->motionType = 99;    // holds 0.5 to 1.0 s, jumps at 1.0 s
    animation->frameAt(2)->waitTime = 0;       // moves at once, 1.0 to 1.5 s
    const Sampled result = sample(*animation, FPS);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.motion.duration, 1.5);
    const std::vector<double> times = sampleTimes(result.motion);
    for (std::size_t k = 1; k < times.size(); ++k) {
        EXPECT_LT(static_cast<float>(times[k - 1]), static_cast<float>(times[k])) << k;
    }
    const BonePoints frame0 = framePoints(*animation->frameAt(0));
    const BonePoints frame1 = framePoints(*animation->frameAt(1));
    const BonePoints frame2 = framePoints(*animation->frameAt(2));
    struct Expected {
        double time;
        const BonePoints& points;
    };
    for (const Expected& e : {Expected{0, frame0}, Expected{std::nextafter(0.25f, 0.0f), frame0},
                              Expected{0.25, frame1}, Expected{0.5, frame1},
                              Expected{std::nextafter(1.0f, 0.0f), frame1}, Expected{1.0, frame2},
                              Expected{1.5, frame0}}) {
        const int k = sampleAt(result.motion, e.time);
        ASSERT_GE(k, 0) << "no sample at " << e.time;
        expectSamePoints(result.points[k], e.points, 1e-12, "at " + std::to_string(e.time));
    }
    // A hold has no steps inside it; the eased move has 31.
    EXPECT_EQ(times.size(), 7u + 31u);
}

TEST(MotionSampler, RefusesWhatCannotBeExported) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 2, true);
    for (double fps : {0.0, -30.0, 1000.5, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        const Sampled result = sample(*animation, fps);
        EXPECT_FALSE(result.ok) << fps;
        EXPECT_NE(result.error.find("fps"), std::string::npos) << result.error;
    }
    EXPECT_TRUE(sample(*animation, 1000).ok);

    // A file's unreadable number (2147483647 s) as a wait, and a time the
    // player never sees pass: refused before anything is sampled.
    for (double wait : {2147483647.0, std::numeric_limits<double>::quiet_NaN()}) {
        animation->frameAt(1)->waitTime = wait;
        for (SampleSpacing spacing : {SampleSpacing::KeyTimes, SampleSpacing::Uniform}) {
            Sampled lying = sample(*animation, 30, spacing);
            EXPECT_FALSE(lying.ok);
            EXPECT_NE(lying.error.find("too long"), std::string::npos) << lying.error;
            EXPECT_TRUE(lying.motion.samples.empty());
        }
    }
    // Just inside the cap of samples at 1000 fps (99.99 s), and just past.
    animation->frameAt(1)->waitTime = 0;
    animation->frameAt(1)->transitionTime = 0;
    animation->frameAt(0)->transitionTime = 99.74;
    EXPECT_TRUE(sample(*animation, 1000).ok);
    animation->frameAt(0)->transitionTime = 99.76;
    for (SampleSpacing spacing : {SampleSpacing::KeyTimes, SampleSpacing::Uniform}) {
        EXPECT_FALSE(sample(*animation, 1000, spacing).ok);
    }

    // A root beyond float range would turn into infinities in the files.
    animation->frameAt(0)->transitionTime = 0.5;
    animation->frameAt(1)->rootPosition.x = 1e31;
    Sampled far = sample(*animation, 30);
    EXPECT_FALSE(far.ok);
    EXPECT_NE(far.error.find("root"), std::string::npos) << far.error;
}

// The written files read back: sample times, duration, the pose at every
// key time against the key frame put on the skeleton directly, and the loop
// closing onto frame 0.
// The written files put each key frame's pose on its key time, with heights
// from the figure's ground: the rest pose's feet stand at 0.
TEST(MotionSampler, WrittenFilesLandOnTheKeyFrames) {
    TempFolder folder;
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    const int bones = skeleton->boneCount();
    const double ground = groundHeight(*skeleton);
    auto onGround = [ground](BonePoints points) {
        for (std::vector<Vec3>* list : {&points.joints, &points.tips})
            for (Vec3& p : *list)
                p.y -= ground;
        return points;
    };
    {
        Animation rest("rest", false);
        rest.addFrameFromPose(skeleton.get());
        writeAnimationFile(folder.file("rest.rgaf"), rest);
        std::ostringstream out, err;
        ASSERT_EQ(runExport({"--skeleton", defaultSkeletonPath(), folder.file("rest.rgaf"), "-o",
                             folder.file("rest.glb")},
                            out, err),
                  EXPORT_OK);
        const BonePoints points =
            gltfPoints(GltfTestAsset::parse(readBytes(folder.file("rest.glb"))), 0, bones);
        double lowest = INFINITY;
        for (const std::vector<Vec3>* list : {&points.joints, &points.tips})
            for (const Vec3& p : *list)
                lowest = std::min(lowest, p.y);
        EXPECT_NEAR(lowest, 0, 1e-6) << "the rest pose's feet on the floor of other tools";
    }
    ExportRig rig;
    std::string error;
    ASSERT_TRUE(makeExportRig(*skeleton, rig, error)) << error;
    for (const char* name : {"stride", "reach"}) {
        std::unique_ptr<Animation> animation = makeTestAnimation(name, *skeleton);
        if (std::string(name) == "reach") {
            animation->frameAt(2)->boneAngles[7].x -= 80; // the knee inside its limits
        }
        const std::string input = folder.file(std::string(name) + ".rgaf");
        writeAnimationFile(input, *animation);
        const std::unique_ptr<Animation> read = std::make_unique<Animation>(input);
        const Timeline timeline(*read);
        for (const char* extension : {".glb", ".bvh"}) {
            const std::string output = folder.file(name + std::string(extension));
            std::ostringstream out, err;
            ASSERT_EQ(
                runExport({"--skeleton", defaultSkeletonPath(), "--fps", "30", input, "-o", output},
                          out, err),
                EXPORT_OK)
                << err.str();
            const std::string what = name + std::string(extension);
            if (std::string(extension) == ".glb") {
                const GltfTestAsset asset = GltfTestAsset::parse(readBytes(output));
                const auto& animationJson = asset.document["animations"][0];
                const std::vector<double> times =
                    asset.floats(animationJson["samplers"][0]["input"]);
                EXPECT_EQ(times.front(), 0);
                EXPECT_EQ(times.back(), static_cast<float>(timeline.duration())) << what;
                for (const double key : timeline.keyTimes()) {
                    const TimelinePlace place = timeline.placeAt(key);
                    const auto found =
                        std::find(times.begin(), times.end(), static_cast<float>(key));
                    ASSERT_NE(found, times.end()) << what << " no key at " << key;
                    expectSamePoints(
                        gltfPoints(asset, static_cast<int>(found - times.begin()), bones),
                        onGround(framePoints(*read->frameAt(place.frame))), 1e-5,
                        what + " key " + std::to_string(key));
                }
                if (read->looping()) {
                    const std::vector<double> root =
                        asset.floats(animationJson["samplers"][0]["output"]);
                    for (int c = 0; c < 3; ++c) {
                        EXPECT_NEAR(root[root.size() - 3 + c], root[c], 1e-6) << what;
                    }
                    expectSamePoints(gltfPoints(asset, static_cast<int>(times.size()) - 1, bones),
                                     gltfPoints(asset, 0, bones), 1e-6, what + " loop");
                }
            } else {
                const BvhTestFile bvh = BvhTestFile::parse(readBytes(output));
                const long last = std::lround(timeline.duration() * 30);
                ASSERT_EQ(bvh.frames.size(), static_cast<std::size_t>(last + 1)) << what;
                EXPECT_NEAR(bvh.frameTime, 1 / 30.0, 1e-8);
                // Every key time of these animations is a whole number of
                // frames, although the sums of their times are not exact.
                for (const double key : timeline.keyTimes()) {
                    const long line = std::lround(key * 30);
                    ASSERT_NEAR(line, key * 30, 1e-9) << what;
                    const std::vector<Vec3> joints = bvhJoints(bvh, line);
                    const BonePoints expected =
                        onGround(framePoints(*read->frameAt(timeline.placeAt(key).frame)));
                    for (int i = 0; i < bones; ++i) {
                        expectNear(joints[bvh.jointNamed(rig.bones[i].name)], expected.joints[i],
                                   1e-5,
                                   what + " key " + std::to_string(key) + " " + rig.bones[i].name);
                    }
                }
                if (read->looping()) {
                    const std::vector<Vec3> first = bvhJoints(bvh, 0);
                    const std::vector<Vec3> end = bvhJoints(bvh, static_cast<int>(last));
                    for (std::size_t i = 0; i < first.size(); ++i) {
                        expectNear(end[i], first[i], 1e-6, what + " loop");
                    }
                }
            }
        }
    }
}

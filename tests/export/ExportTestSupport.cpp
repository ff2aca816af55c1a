#include "ExportTestSupport.h"

#include "animation/AnimationFile.h"
#include "animation/MotionType.h"
#include "skeleton/DefaultFigure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

std::string sourceDir() {
    const char* source = std::getenv("KINEMORPH_SOURCE_DIR");
    return source ? source : fs::current_path().string();
}

std::string defaultSkeletonPath() {
    return sourceDir() + "/resources/config/skeleton/default.rgcf";
}

std::unique_ptr<Skeleton> loadDefaultSkeleton() {
    auto skeleton = std::make_unique<Skeleton>(defaultSkeletonPath(), 0, SKELETON_ORIGIN_Y, 0);
    EXPECT_TRUE(skeleton->complete());
    return skeleton;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAnimationFile(const std::string& path, const Animation& animation) {
    writeText(path, animationText(animation));
}

namespace {

// Frame i of the marching figure: bone angles offset from the rest pose by
// amounts that stay inside the default figure's limits, except the left
// knee of frame 2, which asks for more than the knee bends (the player
// keeps it where it was).
void poseFrame(KeyFrame& frame, int i) {
    const double s = i == 1 ? -1 : 1;
    frame.rootPosition += Vec3(0.05 * i, 0.02 * i, 0.1 * i);
    frame.boneAngles[0] += BonePose(10 * s, 30 * i, 5 * s);      // hips turn and tilt
    frame.boneAngles[1] += BonePose(15 * s, 0, 10);              // spine bends
    frame.boneAngles[3] += BonePose(-20, 0, 25 * s);             // neck
    frame.boneAngles[6] += BonePose(-20, s > 0 ? 60 : -25, 30);  // left thigh swings
    frame.boneAngles[7] += BonePose(i == 2 ? 200 : 90, 0, 0);    // left knee
    frame.boneAngles[10] += BonePose(15, s > 0 ? -40 : 25, -20); // right thigh
    frame.boneAngles[11] += BonePose(45, 0, 10);                 // right knee
    frame.boneAngles[14] += BonePose(30 * s, 80, 40);            // left arm raised forward
    frame.boneAngles[15] += BonePose(-120, 0, 60);               // left elbow
    frame.boneAngles[18] += BonePose(-35, -50 * s, -30);         // right arm
    frame.boneAngles[19] += BonePose(-90, 0, 0);                 // right elbow
}

} // namespace

std::unique_ptr<Animation> makeTestAnimation(const std::string& name, const Skeleton& skeleton) {
    const bool looping = name == "march" || name == "stride" || name == "single_loop";
    auto animation = std::make_unique<Animation>(name, looping);
    int frames = 0;
    if (name == "march" || name == "reach" || name == "stride") {
        frames = 3;
    } else if (name == "single" || name == "single_loop") {
        frames = 1;
    }
    const int motions[] = {MotionType::EaseInOut, MotionType::EaseIn, MotionType::EaseOut};
    for (int i = 0; i < frames; ++i) {
        KeyFrame* frame = animation->addFrameFromPose(&skeleton);
        poseFrame(*frame, i);
        frame->waitTime = 0.1;
        frame->transitionTime = 0.4 + 0.2 * i;
        frame->motionType = frames == 1 ? MotionType::Linear : motions[i];
    }
    if (name == "reach") {
        animation->lastFrame()->waitTime = 0.3;
    }
    if (name == "stride") {
        animation->frameAt(2)->boneAngles[7].x -= 80;
        animation->frameAt(0)->transitionTime = 0;
        animation->frameAt(1)->motionType = 99;
    }
    animation->setValid(true);
    return animation;
}

BonePoints bonePoints(const Skeleton& skeleton) {
    BonePoints points;
    for (int i = 0; i < skeleton.boneCount(); ++i) {
        points.joints.push_back(skeleton.boneAt(i)->position());
        points.tips.push_back(skeleton.boneAt(i)->endPoint());
    }
    return points;
}

BonePoints framePoints(const KeyFrame& frame) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    frame.applyPose(skeleton.get());
    return bonePoints(*skeleton);
}

void expectSamePoints(const BonePoints& a, const BonePoints& b, double tolerance,
                      const std::string& what) {
    ASSERT_EQ(a.joints.size(), b.joints.size()) << what;
    for (std::size_t i = 0; i < a.joints.size(); ++i) {
        expectNear(a.joints[i], b.joints[i], tolerance, what + " joint " + std::to_string(i));
        expectNear(a.tips[i], b.tips[i], tolerance, what + " tip " + std::to_string(i));
    }
}

SampledTestMotion sampleDefault(const std::string& animationName, double fps,
                                SampleSpacing spacing) {
    SampledTestMotion result;
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    std::string error;
    EXPECT_TRUE(makeExportRig(*skeleton, result.rig, error)) << error;
    std::unique_ptr<Animation> animation = makeTestAnimation(animationName, *skeleton);
    auto observe = [&](const Skeleton& posed) { result.points.push_back(bonePoints(posed)); };
    EXPECT_TRUE(sampleMotion(*skeleton, *animation, fps, spacing, result.motion, error, observe))
        << error;
    return result;
}

void expectNear(const Vec3& a, const Vec3& b, double tolerance, const std::string& what) {
    EXPECT_NEAR(a.x, b.x, tolerance) << what << " x";
    EXPECT_NEAR(a.y, b.y, tolerance) << what << " y";
    EXPECT_NEAR(a.z, b.z, tolerance) << what << " z";
}

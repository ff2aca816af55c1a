#include "tools/export/BvhWriter.h"

#include "BvhTestReader.h"
#include "ExportTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The BVH joint chain at every sample against the program's own joints and
// tips: a leaf's tip is its End Site, any other bone's tip is where each of
// its children starts.
void expectPositionsMatch(const std::string& name, double fps) {
    const SampledTestMotion sampled = sampleDefault(name, fps, SampleSpacing::Uniform);
    const BvhTestFile bvh = BvhTestFile::parse(bvhText(sampled.rig, sampled.motion));
    ASSERT_EQ(bvh.joints.size(), sampled.rig.bones.size());
    ASSERT_EQ(bvh.frames.size(), sampled.points.size());
    EXPECT_NEAR(bvh.frameTime, 1 / fps, 1e-8);

    std::vector<int> jointOf;
    for (const RigBone& bone : sampled.rig.bones) {
        jointOf.push_back(bvh.jointNamed(bone.name));
        ASSERT_GE(jointOf.back(), 0) << bone.name;
    }
    for (std::size_t k = 0; k < bvh.frames.size(); ++k) {
        const std::vector<Mat4> world = bvh.worldMatrices(static_cast<int>(k));
        const BonePoints& expected = sampled.points[k];
        for (std::size_t i = 0; i < sampled.rig.bones.size(); ++i) {
            const std::string what =
                name + " frame " + std::to_string(k) + " " + sampled.rig.bones[i].name;
            const BvhTestFile::Joint& joint = bvh.joints[jointOf[i]];
            expectNear(transformPoint(world[jointOf[i]], Vec3(0, 0, 0)), expected.joints[i], 1e-3,
                       what + " joint");
            EXPECT_EQ(joint.hasEndSite, sampled.rig.bones[i].children.empty()) << what;
            if (joint.hasEndSite) {
                expectNear(transformPoint(world[jointOf[i]], joint.endSite), expected.tips[i], 1e-3,
                           what + " tip");
            }
            for (int child : sampled.rig.bones[i].children) {
                EXPECT_EQ(bvh.joints[jointOf[child]].parent, jointOf[i]) << what;
                expectNear(transformPoint(world[jointOf[child]], Vec3(0, 0, 0)), expected.tips[i],
                           1e-3, what + " tip at child");
            }
        }
    }
}

} // namespace

TEST(BvhWriter, JointChainReproducesThePlayersJointsAndTips) {
    for (const char* name : {"march", "reach", "stride", "single", "single_loop", "empty"}) {
        expectPositionsMatch(name, 30);
    }
    expectPositionsMatch("march", 7.5);
}

TEST(BvhWriter, HierarchyHasRestOffsetsAndOneEulerOrder) {
    const SampledTestMotion sampled = sampleDefault("single", 30);
    const BvhTestFile bvh = BvhTestFile::parse(bvhText(sampled.rig, sampled.motion));
    const std::vector<std::string> rotations = {"Yrotation", "Zrotation", "Xrotation"};
    for (const BvhTestFile::Joint& joint : bvh.joints) {
        std::vector<std::string> expected = rotations;
        if (joint.parent < 0) {
            expected.insert(expected.begin(), {"Xposition", "Yposition", "Zposition"});
            expectNear(joint.offset, Vec3(0, 0, 0), 0, "root offset");
        }
        EXPECT_EQ(joint.channels, expected) << joint.name;
    }
    // At zero rotations the hierarchy is the skeleton file's rest pose.
    const std::vector<RigBone>& bones = sampled.rig.bones;
    for (std::size_t i = 1; i < bones.size(); ++i) {
        const BvhTestFile::Joint& joint = bvh.joints[bvh.jointNamed(bones[i].name)];
        expectNear(joint.offset, bones[i].restPosition - bones[bones[i].parent].restPosition, 2e-6,
                   bones[i].name + " offset");
    }
}

TEST(BvhWriter, AnglesCarryOnAcrossAFullTurn) {
    // The root turned a full circle about the vertical and the left arm
    // swung: neighbouring lines differ little although the angles pass
    // +-180 degrees.
    SampledTestMotion sampled = sampleDefault("single", 30);
    const std::size_t bones = sampled.rig.bones.size();
    sampled.motion.samples.clear();
    for (int k = 0; k <= 72; ++k) {
        PoseSample sample;
        sample.rootPosition = Vec3(0, 1, 0);
        const double half = k * 5.0 * M_PI / 360;
        const Quat turn{std::cos(half), 0, std::sin(half), 0};
        for (const RigBone& bone : sampled.rig.bones) {
            sample.rotations.push_back(turn * bone.restRotation);
        }
        sampled.motion.samples.push_back(sample);
    }
    const BvhTestFile bvh = BvhTestFile::parse(bvhText(sampled.rig, sampled.motion));
    ASSERT_EQ(bvh.frames.size(), 73u);
    for (std::size_t k = 1; k < bvh.frames.size(); ++k) {
        for (std::size_t v = 3; v < 3 + 3 * bones; ++v) {
            EXPECT_LT(std::fabs(bvh.frames[k][v] - bvh.frames[k - 1][v]), 10.0)
                << "line " << k << " value " << v;
        }
    }
    EXPECT_NEAR(bvh.frames.back()[3], 360, 1e-4) << "the heading has gone once round";
}

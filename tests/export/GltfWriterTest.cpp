#include "tools/export/GltfWriter.h"

#include "ExportTestSupport.h"
#include "GltfTestReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

// Samples spread over the motion: the first, the last and some between.
std::vector<int> checkedSamples(std::size_t count) {
    std::vector<int> picked;
    for (int k : {0, 1, 7, 13, 22, 31}) {
        if (static_cast<std::size_t>(k) < count) {
            picked.push_back(k);
        }
    }
    picked.push_back(static_cast<int>(count) - 1);
    return picked;
}

// Every bone's joint and tip, taken from the exported node hierarchy at
// several samples, against what the program's skeleton showed then.
void expectPositionsMatch(const std::string& name, bool binary) {
    const SampledTestMotion sampled = sampleDefault(name, 30);
    ASSERT_EQ(sampled.points.size(), sampled.motion.samples.size());
    const std::string bytes =
        binary ? glbBytes(sampled.rig, sampled.motion) : gltfText(sampled.rig, sampled.motion);
    const GltfTestAsset asset = GltfTestAsset::parse(bytes);
    const auto& nodes = asset.document["nodes"];
    ASSERT_EQ(nodes.size(), sampled.rig.bones.size() + 1);

    for (int k : checkedSamples(sampled.points.size())) {
        const std::vector<Mat4> world = asset.worldMatrices(k);
        for (std::size_t i = 0; i < sampled.rig.bones.size(); ++i) {
            const std::string what =
                name + " sample " + std::to_string(k) + " bone " + std::to_string(i);
            const double length = nodes[i]["extras"]["length"];
            expectNear(transformPoint(world[i], Vec3(0, 0, 0)), sampled.points[k].joints[i], 1e-4,
                       what + " joint");
            expectNear(transformPoint(world[i], Vec3(0, length, 0)), sampled.points[k].tips[i],
                       1e-4, what + " tip");
        }
    }
}

} // namespace

TEST(GltfWriter, NodeHierarchyReproducesThePlayersJointsAndTips) {
    for (const char* name : {"march", "reach", "stride", "single", "single_loop", "empty"}) {
        expectPositionsMatch(name, false);
    }
    expectPositionsMatch("march", true);
}

TEST(GltfWriter, AnimationHasOneKeyPerSampleOnEveryBone) {
    const SampledTestMotion sampled = sampleDefault("march", 24);
    const GltfTestAsset asset = GltfTestAsset::parse(gltfText(sampled.rig, sampled.motion));
    const auto& animation = asset.document["animations"][0];
    EXPECT_EQ(animation["name"], "march");
    // A rotation per bone and the root's translation, no target twice.
    ASSERT_EQ(animation["channels"].size(), sampled.rig.bones.size() + 1);
    std::set<std::pair<int, std::string>> targets;
    for (const auto& channel : animation["channels"]) {
        targets.insert(
            {channel["target"]["node"].get<int>(), channel["target"]["path"].get<std::string>()});
        EXPECT_TRUE(channel["target"]["path"] == "rotation" || channel["target"]["node"] == 0);
    }
    EXPECT_EQ(targets.size(), animation["channels"].size());

    const int input = animation["samplers"][0]["input"];
    const std::vector<double> times = asset.floats(input);
    ASSERT_EQ(times.size(), sampled.motion.samples.size());
    for (std::size_t k = 0; k < times.size(); ++k) {
        EXPECT_EQ(times[k], static_cast<float>(sampled.motion.samples[k].time));
    }
    EXPECT_EQ(asset.document["accessors"][input]["max"][0].get<double>(), times.back());
    for (const auto& sampler : animation["samplers"]) {
        EXPECT_EQ(sampler["input"], input);
        const std::vector<double> out = asset.floats(sampler["output"]);
        if (out.size() != 4 * times.size()) {
            continue;
        }
        for (std::size_t k = 0; k < times.size(); ++k) {
            const double* q = &out[4 * k];
            EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1, 1e-6);
            // Neighbouring keys on the same side of the sphere: slerp then
            // takes the short way the player took.
            if (k > 0) {
                EXPECT_GE(q[0] * q[-4] + q[1] * q[-3] + q[2] * q[-2] + q[3] * q[-1], 0);
            }
        }
    }
}

TEST(GltfWriter, SkinBindsEachVertexToOneBoneInTheRestPose) {
    const SampledTestMotion sampled = sampleDefault("single", 30);
    const GltfTestAsset asset = GltfTestAsset::parse(glbBytes(sampled.rig, sampled.motion));
    const auto& skin = asset.document["skins"][0];
    const std::size_t bones = sampled.rig.bones.size();
    ASSERT_EQ(skin["joints"].size(), bones);

    // In the rest pose every joint's world matrix times its inverse bind
    // matrix is the identity, so the mesh stands where it was modelled.
    const std::vector<Mat4> rest = asset.worldMatrices(-1);
    const std::vector<double> ibm = asset.floats(skin["inverseBindMatrices"]);
    ASSERT_EQ(ibm.size(), 16 * bones);
    for (std::size_t j = 0; j < bones; ++j) {
        Mat4 inverse;
        std::copy(ibm.begin() + 16 * j, ibm.begin() + 16 * (j + 1), inverse.begin());
        const Mat4 product = rest[skin["joints"][j].get<int>()] * inverse;
        for (int e = 0; e < 16; ++e) {
            EXPECT_NEAR(product[e], identityMatrix()[e], 1e-5) << "joint " << j << " element " << e;
        }
    }

    // The mesh node sits at the scene root without a transform of its own.
    const int figure = static_cast<int>(bones);
    EXPECT_EQ(asset.document["nodes"][figure]["skin"], 0);
    EXPECT_FALSE(asset.document["nodes"][figure].contains("translation"));
    EXPECT_EQ(asset.document["scenes"][0]["nodes"], nlohmann::json::array({0, figure}));

    const auto& attributes = asset.document["meshes"][0]["primitives"][0]["attributes"];
    const std::vector<int> joints = asset.integers(attributes["JOINTS_0"]);
    const std::vector<double> weights = asset.floats(attributes["WEIGHTS_0"]);
    const std::vector<double> positions = asset.floats(attributes["POSITION"]);
    ASSERT_EQ(joints.size(), weights.size());
    ASSERT_EQ(positions.size() / 3, joints.size() / 4);
    std::set<int> drawn;
    for (std::size_t v = 0; v < joints.size() / 4; ++v) {
        EXPECT_EQ(weights[4 * v], 1.0);
        EXPECT_EQ(joints[4 * v + 1] + joints[4 * v + 2] + joints[4 * v + 3], 0);
        drawn.insert(joints[4 * v]);
    }
    EXPECT_EQ(drawn.size(), bones) << "every bone has a shape";
}

TEST(GltfWriter, NameThatIsNotUtf8StillGivesValidJson) {
    SampledTestMotion sampled = sampleDefault("single", 30);
    sampled.motion.name = "walk \xff\xfe";
    const GltfTestAsset asset = GltfTestAsset::parse(gltfText(sampled.rig, sampled.motion));
    EXPECT_EQ(asset.document["animations"][0]["name"].get<std::string>().rfind("walk ", 0), 0u);
}

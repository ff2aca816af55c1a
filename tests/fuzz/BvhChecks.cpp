#include "tests/fuzz/CheckSupport.h"
#include "tests/fuzz/ReaderChecks.h"

#include "import/BvhReader.h"
#include "import/KeyReduction.h"
#include "import/ShapeMapping.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// Frames retargeted and reduced per input: enough to cross a few keys,
// few enough to keep millions of inputs quick.
constexpr int FRAMES_TRIED = 12;

const std::string& figureText() {
    static const std::string text = [] {
        std::ifstream in(KINEMORPH_DEFAULT_SKELETON, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return text;
}

bool finite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::string checkClip(const BvhClip& clip) {
    FUZZ_EXPECT(!clip.joints.empty() && clip.joints.size() <= MAX_BVH_JOINTS);
    FUZZ_EXPECT(clip.frameCount >= 1 && clip.frameTime > 0);
    FUZZ_EXPECT(clip.values.size() ==
                static_cast<std::size_t>(clip.frameCount) * clip.valuesPerFrame);
    int values = 0;
    for (std::size_t j = 0; j < clip.joints.size(); ++j) {
        const BvhJoint& joint = clip.joints[j];
        FUZZ_EXPECT(j == 0 ? joint.parent == -1 : joint.parent >= 0 && joint.parent < int(j));
        FUZZ_EXPECT(joint.firstValue == values && joint.channels.size() <= 6);
        FUZZ_EXPECT(finite(joint.offset) && finite(joint.endSite));
        values += static_cast<int>(joint.channels.size());
    }
    FUZZ_EXPECT(values == clip.valuesPerFrame);
    for (double v : clip.values) {
        FUZZ_EXPECT(std::isfinite(v) && std::fabs(v) <= MAX_BVH_VALUE);
    }
    return {};
}

// What the importer makes of a clip it can map: poses that are numbers
// within every bone's limits, and keys that replay them.
std::string checkImport(BvhClip clip) {
    BoneMap map;
    std::string error;
    if (!mapBonesByShape(clip, map, error)) {
        FUZZ_EXPECT(!error.empty());
        return {};
    }
    for (const BoneSource& source : map.bones) {
        const int count = static_cast<int>(clip.joints.size());
        FUZZ_EXPECT(source.start < count && source.end < count && source.twist < count);
    }
    clip.frameCount = std::min(clip.frameCount, FRAMES_TRIED);
    clip.values.resize(static_cast<std::size_t>(clip.frameCount) * clip.valuesPerFrame);
    std::istringstream in(figureText());
    const Skeleton figure(in, 0, 0.5, 0);
    RetargetedClip r;
    if (!retargetClip(clip, map, figure, r, error)) {
        FUZZ_EXPECT(!error.empty());
        return {};
    }
    FUZZ_EXPECT(r.poses.size() == static_cast<std::size_t>(clip.frameCount));
    for (const ImportPose& pose : r.poses) {
        FUZZ_EXPECT(finite(pose.root));
        for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
            const Bone& b = *figure.boneAt(bone);
            const BonePose& a = pose.angles[bone];
            FUZZ_EXPECT(b.minMain() <= a.x && a.x <= b.maxMain());
            FUZZ_EXPECT(b.minSec() <= a.y && a.y <= b.maxSec());
            FUZZ_EXPECT(b.minOwn() <= a.z && a.z <= b.maxOwn());
        }
    }
    const DenseTrack track(r.poses, clip.frameTime, figure, ReplayTolerance{});
    const std::vector<ReducedKey> keys =
        reduceKeys(track, figure, contactChanges(r.contact), 1.4);
    FUZZ_EXPECT(!keys.empty() && keys.size() <= r.poses.size());
    FUZZ_EXPECT(keys.front().frame == 0 && keys.back().frame == clip.frameCount - 1);
    FUZZ_EXPECT(keysError(track, keys) <= 1);
    return {};
}

} // namespace

std::string checkBvhInput(std::string_view data) {
    BvhClip clip;
    std::string error;
    if (!parseBvh(data, clip, error)) {
        // One line naming the line, and the clip as it was.
        FUZZ_EXPECT(error.rfind("line ", 0) == 0 && error.find('\n') == std::string::npos);
        FUZZ_EXPECT(clip.joints.empty() && clip.values.empty());
        return {};
    }
    FUZZ_EXPECT_KEPT(checkClip(clip));
    // The same text with CR LF line ends is the same clip.
    BvhClip again;
    FUZZ_EXPECT(parseBvh(withCrLf(data), again, error));
    FUZZ_EXPECT(again.values == clip.values && again.joints.size() == clip.joints.size());
    return checkImport(clip);
}

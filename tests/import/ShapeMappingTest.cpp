#include "import/ShapeMapping.h"

#include "RigFamilies.h"
#include "import/BvhReader.h"

#include <gtest/gtest.h>

namespace {

BvhClip parsed(const std::string& text) {
    BvhClip clip;
    std::string error;
    EXPECT_TRUE(parseBvh(text, clip, error)) << error;
    return clip;
}

} // namespace

TEST(ShapeMapping, FindsTheFiguresBonesInEveryFamilyOfRig) {
    const BvhClip walk = walkClip();
    bool crlf = false;
    for (const RigFamily& family : rigFamilies()) {
        // Through the text, so the reader meets every dressing too.
        const BvhClip clip = parsed(bvhText(dressClip(walk, family.dress), crlf = !crlf));
        BoneMap map;
        std::string error;
        ASSERT_TRUE(mapBonesByShape(clip, map, error)) << family.name << ": " << error;
        for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
            ASSERT_TRUE(map.mapped(bone)) << family.name << " " << figureBoneName(bone);
            EXPECT_EQ(clip.joints[map.bones[bone].start].name, family.expected[bone])
                << family.name << " " << figureBoneName(bone);
        }
    }
}

TEST(ShapeMapping, SaysWhatItCannotFind) {
    const std::string channels = "CHANNELS 3 Xrotation Yrotation Zrotation\n";
    auto joint = [&](const std::string& name, const std::string& offset,
                     const std::string& inside) {
        return "JOINT " + name + "\n{\nOFFSET " + offset + "\n" + channels + inside + "}\n";
    };
    const std::string tip = "End Site\n{\nOFFSET 0 -4 0\n}\n";
    struct Case {
        std::string hierarchy;
        std::string error;
    };
    const Case cases[] = {
        {"ROOT Tail\n{\nOFFSET 0 0 0\n" + channels + joint("Tip", "0 1 0", tip) + "}\n",
         "cannot find the hips: the skeleton never branches into legs and a spine"},
        // Legs and a spine that never branches into arms and a neck.
        {"ROOT Hips\n{\nOFFSET 0 0 0\n" + channels + joint("LeftLeg", "1 0 0", tip) +
             joint("RightLeg", "-1 0 0", tip) +
             joint("Spine", "0 1 0", joint("Spine1", "0 1 0", "End Site\n{\nOFFSET 0 1 0\n}\n")) +
             "}\n",
         "cannot find the chest: the spine above 'Hips' never branches into arms and a neck"},
    };
    for (const Case& c : cases) {
        // Every joint has three channels.
        std::string zeros;
        for (std::size_t at = c.hierarchy.find("CHANNELS"); at != std::string::npos;
             at = c.hierarchy.find("CHANNELS", at + 1)) {
            zeros += "0 0 0 ";
        }
        const BvhClip clip =
            parsed("HIERARCHY\n" + c.hierarchy + "MOTION\nFrames: 1\nFrame Time: 0.1\n" + zeros);
        BoneMap map;
        std::string error;
        EXPECT_FALSE(mapBonesByShape(clip, map, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(ShapeMapping, MapTextOverridesAndRefusesWhatItCannotUse) {
    const BvhClip clip = capturedWalk();
    std::string error;
    BoneMap found;
    ASSERT_TRUE(mapBonesByShape(clip, found, error)) << error;
    // The listing reads back as the same map.
    BoneMap again = found;
    ASSERT_TRUE(applyMapText(mapText(clip, found), clip, again, error)) << error;
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        EXPECT_EQ(again.bones[bone].start, found.bones[bone].start) << figureBoneName(bone);
        EXPECT_EQ(again.bones[bone].end, found.bones[bone].end) << figureBoneName(bone);
        EXPECT_EQ(again.bones[bone].twist, found.bones[bone].twist) << figureBoneName(bone);
    }
    struct Case {
        std::string text;
        std::string error;
        int bone;
        std::string start, end, twist;
    };
    const Case cases[] = {
        // The hand then ends at the thumb's tip and turns with the thumb.
        {"left_hand = LThumb # the thumb\n\n", "", FigureBone::LeftHand, "LThumb", "LThumb",
         "LThumb"},
        // The upper spine then ends where the neck now begins.
        {"  neck  =  Neck\r\n", "", FigureBone::UpperSpine, "Chest", "Neck", "lowerneck"},
        {"hips Hips\n", "line 1: expected 'figure_bone = SourceJoint'", -1, "", "", ""},
        {"# first\ntail = Hips\n",
         "line 2: 'tail' is not a bone of the figure (hips, lower_spine, ..., right_hand)", -1, "",
         "", ""},
        {"left_hand = Nope\n", "line 1: the clip has no joint named 'Nope'", -1, "", "", ""},
        {"left_thigh = LeftKnee\nleft_shin = LeftHip\n",
         "left_shin's joint 'LeftHip' does not lie below left_thigh's joint 'LeftKnee'", -1, "", "",
         ""},
    };
    for (const Case& c : cases) {
        BoneMap map = found;
        const bool applied = applyMapText(c.text, clip, map, error);
        EXPECT_EQ(applied, c.error.empty()) << c.text;
        if (!applied) {
            EXPECT_EQ(error, c.error);
            EXPECT_EQ(map.bones[FigureBone::LeftThigh].start,
                      found.bones[FigureBone::LeftThigh].start)
                << "a refused map changes nothing";
            continue;
        }
        const BoneSource& source = map.bones[c.bone];
        EXPECT_EQ(clip.joints[source.start].name, c.start) << c.text;
        EXPECT_EQ(clip.joints[source.end].name, c.end) << c.text;
        EXPECT_EQ(clip.joints[source.twist].name, c.twist) << c.text;
    }
}

#include "tools/samples/SampleAnimations.h"

#include "animation/AnimationPlayer.h"
#include "animation/Easing.h"
#include "animation/Timeline.h"
#include "tests/export/ExportTestSupport.h"
#include "tools/export/ExportCommand.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Shipped {
    const char* name;
    bool looping;
};
constexpr Shipped SHIPPED[] = {{"walk", true}, {"wave", true}, {"jump", false}};

std::string shippedPath(const std::string& name) {
    return sourceDir() + "/resources/config/skeleton/animations/" + name + ".rgaf";
}

// Reads a shipped sample, failing the test on any message it prints.
std::unique_ptr<Animation> loadShipped(const std::string& name) {
    testing::internal::CaptureStdout();
    auto animation = std::make_unique<Animation>(shippedPath(name));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << name;
    EXPECT_TRUE(animation->valid()) << name;
    return animation;
}

// Fails unless every angle of every bone lies inside its limits and no
// foot point is below the ground.
void expectHonest(const Skeleton& skeleton, double ground, const std::string& what) {
    for (int i = 0; i < skeleton.boneCount(); ++i) {
        const Bone& b = *skeleton.boneAt(i);
        EXPECT_TRUE(b.minMain() <= b.mainAngle() && b.mainAngle() <= b.maxMain()) << what << i;
        EXPECT_TRUE(b.minSec() <= b.secAngle() && b.secAngle() <= b.maxSec()) << what << i;
        EXPECT_TRUE(b.minOwn() <= b.ownAngle() && b.ownAngle() <= b.maxOwn()) << what << i;
    }
    EXPECT_GE(lowestFootPoint(skeleton), ground) << what;
}

} // namespace

TEST(SampleAnimations, ShippedFilesAreWhatTheScriptWrites) {
    TempFolder folder;
    std::ostringstream log;
    std::string error;
    ASSERT_TRUE(writeSampleAnimations(defaultSkeletonPath(), folder.path(), log, error)) << error;
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"jump.rgaf", "walk.rgaf", "wave.rgaf"}));
    for (const Shipped& sample : SHIPPED) {
        EXPECT_EQ(readBytes(folder.file(std::string(sample.name) + ".rgaf")),
                  readBytes(shippedPath(sample.name)))
            << sample.name << ": run build/make_samples from the repository root";
    }
    EXPECT_NE(log.str().find("walk.rgaf: 16 frames, 1 s, looping"), std::string::npos) << log.str();
}

TEST(SampleAnimations, LoadAndPlayOnTheTimelineWithEveryAngleTaken) {
    for (const Shipped& sample : SHIPPED) {
        std::unique_ptr<Animation> animation = loadShipped(sample.name);
        EXPECT_EQ(animation->name(), sample.name);
        EXPECT_EQ(animation->looping(), sample.looping);
        ASSERT_GE(animation->frameCount(), 8);
        std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
        const double ground = groundHeight(*skeleton);
        const Timeline timeline(*animation);
        testing::internal::CaptureStdout();
        // Every millisecond, every bone holds exactly the value the
        // timeline asks for: no limit refused any of them.
        for (long ms = 0; ms <= std::lround(timeline.duration() * 1000); ++ms) {
            const double t = ms / 1000.0;
            ASSERT_TRUE(timeline.pose(*skeleton, t));
            const TimelinePlace place = timeline.placeAt(t);
            const KeyFrame& from = *animation->frameAt(place.frame);
            const KeyFrame& to =
                *animation->frameAt(place.nextFrame >= 0 ? place.nextFrame : place.frame);
            const bool moving = place.phase == TimelinePhase::Transition;
            for (int i = 0; i < skeleton->boneCount(); ++i) {
                const BonePose a = from.boneAngles[i], b = to.boneAngles[i];
                const BonePose expected =
                    moving
                        ? BonePose(ease(from.motionType, t - place.start, place.length, a.x, b.x),
                                   ease(from.motionType, t - place.start, place.length, a.y, b.y),
                                   ease(from.motionType, t - place.start, place.length, a.z, b.z))
                        : a;
                ASSERT_NEAR((skeleton->boneAt(i)->pose() - expected).length(), 0, 1e-9)
                    << sample.name << " at " << t << " s, bone " << i;
            }
            expectHonest(*skeleton, ground, std::string(sample.name) + " at " + std::to_string(t));
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << sample.name;
    }
}

TEST(SampleAnimations, PlayInTheProgramsPlayer) {
    for (const Shipped& sample : SHIPPED) {
        std::unique_ptr<Animation> animation = loadShipped(sample.name);
        std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
        const double ground = groundHeight(*skeleton);
        ManualPlayerClock clock;
        AnimationPlayer player(clock);
        player.setSkeleton(skeleton.get());
        player.addAnimation(animation.get());
        testing::internal::CaptureStdout();
        // As on screen: from the rest pose, at 60 updates a second, for
        // longer than the animation lasts.
        player.play(sample.name);
        std::vector<bool> reached(animation->frameCount(), false);
        for (int update = 0; update < 60 * 5; ++update) {
            clock.advance(1.0 / 60);
            player.update();
            if (player.waiting() && player.currentFrame()->index >= 0) {
                reached[player.currentFrame()->index] = true;
            }
            // The move from the rest pose into the animation blends angles
            // of two standing poses and may dip below the ground on the way:
            // it is the player's, not the sample's.
            const bool fromRest = player.currentFrame() && player.currentFrame()->index < 0;
            expectHonest(*skeleton, fromRest ? -INFINITY : ground,
                         std::string(sample.name) + " update " + std::to_string(update));
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << sample.name;
        // The first play heads for frame 1, so frame 0 comes round only in
        // a loop.
        for (int i = 1; i < animation->frameCount(); ++i) {
            EXPECT_TRUE(reached[i]) << sample.name << " never reached frame " << i;
        }
        EXPECT_EQ(reached[0], sample.looping) << sample.name;
    }
}

TEST(SampleAnimations, ExportWithoutErrorsInEveryFormat) {
    TempFolder folder;
    for (const Shipped& sample : SHIPPED) {
        for (const char* extension : {".gltf", ".glb", ".bvh"}) {
            const std::string output = folder.file(sample.name + std::string(extension));
            std::ostringstream out, err;
            EXPECT_EQ(runExport({shippedPath(sample.name), "-o", output}, out, err), EXPORT_OK)
                << err.str();
            EXPECT_EQ(err.str(), "");
            EXPECT_FALSE(readBytes(output).empty()) << output;
        }
    }
}

// One editorUpdate per displayed frame while a looping animation plays on
// the 21-bone figure, for counting instructions under callgrind:
//
//   valgrind --tool=callgrind --toggle-collect=kinemorph_editor_updates
//            bench_editor_update [updates]
//
// The player runs on a stepped clock (1/60 s per update), so every run
// executes exactly the same updates and the count repeats. Run from the
// folder that holds resources/ (the editor loads the shipped figure).
#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "animation/PlayerClock.h"
#include "editor/SkeletonEditor.h"
#include "gui/Button.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "skeleton/Skeleton.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr double FRAME_TIME = 1.0 / 60;

// A pose some way from `pose` toward the far ends of the bone's limits.
BonePose moved(const Bone& bone, const BonePose& pose, double amount) {
    auto toward = [amount](double value, double low, double high) {
        return std::clamp(value + amount, low, high);
    };
    return BonePose(toward(pose.x, bone.minMain(), bone.maxMain()),
                    toward(pose.y, bone.minSec(), bone.maxSec()),
                    toward(pose.z, bone.minOwn(), bone.maxOwn()));
}

// Frames 1 and 2 swing every bone away from the loaded pose and back, one
// second each, eased, with no wait: every update mid-transition poses all
// bones.
void buildWalk(SkeletonEditor& editor) {
    Skeleton& skeleton = editor.skeleton();
    for (double amount : {25.0, -15.0}) {
        KeyFrame* frame = editor.animation().addFrameFromPose(&skeleton);
        for (int i = 0; i < skeleton.boneCount(); ++i)
            frame->boneAngles[i] = moved(*skeleton.boneAt(i), frame->boneAngles[i], amount);
        frame->rootPosition.y += amount / 500;
        frame->motionType = MotionType::EaseInOut;
    }
    for (int f = 0; f < editor.animation().frameCount(); ++f) {
        editor.animation().frameAt(f)->waitTime = 0;
        editor.animation().frameAt(f)->transitionTime = 1;
    }
}
} // namespace

// Kept out of line and unmangled so callgrind can count exactly this.
extern "C" __attribute__((noinline)) void
kinemorph_editor_updates(SkeletonEditor& editor, ManualPlayerClock& clock, int count) {
    for (int i = 0; i < count; ++i) {
        clock.advance(FRAME_TIME);
        editor.editorUpdate(FRAME_TIME);
    }
}

int main(int argc, char** argv) {
    const int updates = argc > 1 ? std::atoi(argv[1]) : 600;
    ProgramState state;
    InterfaceManager manager(state);
    manager.init();
    ManualPlayerClock clock;
    SkeletonEditor editor(manager, &clock);
    if (!editor.skeleton().complete()) {
        std::fprintf(stderr, "bench_editor_update: the figure did not load\n");
        return 1;
    }
    buildWalk(editor);
    Button play("PLAY_ANIMATION", "Play");
    play.state = Button::STATE_PRESSED;
    editor.onCommand(&play);
    if (!editor.player().playing()) {
        std::fprintf(stderr, "bench_editor_update: the animation did not start\n");
        return 1;
    }
    // Past the snapshot's move into the animation.
    for (int i = 0; i < 30; ++i) {
        clock.advance(FRAME_TIME);
        editor.editorUpdate(FRAME_TIME);
    }
    kinemorph_editor_updates(editor, clock, updates);
    const Vec3& hand = editor.skeleton().boneAt(editor.skeleton().boneCount() - 1)->position();
    std::printf("updates %d bones %d last joint %g %g %g\n", updates, editor.skeleton().boneCount(),
                hand.x, hand.y, hand.z);
    return 0;
}

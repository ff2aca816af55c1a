#include "tests/fuzz/CheckSupport.h"
#include "tests/fuzz/ReaderChecks.h"

#include "animation/AnimationFile.h"
#include "animation/AnimationPlayer.h"
#include "animation/PlayerClock.h"
#include "skeleton/Skeleton.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// The figure the program poses, read once; every input gets a fresh copy
// built from this text so no input sees the pose another one left.
const std::string& defaultSkeletonText() {
    static const std::string text = [] {
        std::ifstream in(KINEMORPH_DEFAULT_SKELETON, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return text;
}

Animation readText(const std::string& text) {
    std::istringstream in(text);
    return readAnimation(in);
}

std::string_view firstLine(std::string_view data) {
    std::string_view line = data.substr(0, data.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::string checkFrameList(const Animation& animation) {
    const int count = animation.frameCount();
    FUZZ_EXPECT(animation.frameAt(-1) == nullptr && animation.frameAt(count) == nullptr);
    FUZZ_EXPECT(animation.lastFrame() == animation.frameAt(count - 1));
    FUZZ_EXPECT(animation.frameAfter(nullptr) == animation.frameAt(0));
    for (int i = 0; i < count; ++i) {
        const KeyFrame* frame = animation.frameAt(i);
        FUZZ_EXPECT(frame != nullptr && frame->index == i);
        const KeyFrame* expectedNext = i + 1 < count
                                           ? animation.frameAt(i + 1)
                                           : (animation.looping() ? animation.frameAt(0) : nullptr);
        FUZZ_EXPECT(animation.frameAfter(frame) == expectedNext);
    }
    return {};
}

// Whether `frame` is null, the player's snapshot, or a frame of `animation`.
bool frameOf(const Animation& animation, const KeyFrame* frame) {
    return frame == nullptr || frame->index == -1 || animation.frameAt(frame->index) == frame;
}

std::string checkPlayback(Animation& animation) {
    std::istringstream in(defaultSkeletonText());
    Skeleton skeleton(in, 0, 0, 0);
    FUZZ_EXPECT(skeleton.complete());

    // Only the first frames: applying a pose redoes every subtree, and a
    // long animation would slow every run down for nothing new.
    for (int i = 0; i < std::min(animation.frameCount(), 2); ++i) {
        animation.frameAt(i)->applyPose(&skeleton);
        FUZZ_EXPECT_KEPT(checkSkeletonTree(skeleton));
    }
    // A pose taken and put back changes nothing.
    const KeyFrame taken(&skeleton);
    taken.applyPose(&skeleton);
    const std::string takenLine = taken.toLine();
    FUZZ_EXPECT(KeyFrame(&skeleton).toLine() == takenLine);

    ManualPlayerClock clock;
    AnimationPlayer player(clock);
    player.setSkeleton(&skeleton);
    player.addAnimation(&animation);
    // The snapshot, a step inside its move and one past it, then steps past
    // waits and transitions of any length a file is likely to hold. Few of
    // them: every pose redoes the skeleton's subtrees, the bulk of a run.
    const double steps[] = {0, 0.1, 0.3, 1.5, 1e3, 1e12};
    for (int round = 0; round < 2; ++round) {
        player.play(animation.name());
        FUZZ_EXPECT(player.playing() && player.animation() == &animation);
        for (double step : steps) {
            clock.advance(step);
            player.update();
            FUZZ_EXPECT(frameOf(animation, player.currentFrame()));
            FUZZ_EXPECT(frameOf(animation, player.nextFrame()));
            FUZZ_EXPECT(player.nextFrame() == nullptr || player.nextFrame()->index >= 0);
        }
        FUZZ_EXPECT_KEPT(checkSkeletonTree(skeleton));
    }
    player.stop();
    player.removeAnimation(animation.name());
    FUZZ_EXPECT(player.animations().empty() && player.animation() == nullptr);
    FUZZ_EXPECT(player.currentFrame() == nullptr && player.nextFrame() == nullptr);
    return {};
}

} // namespace

std::string checkAnimationInput(std::string_view data) {
    const std::string text(data);
    Animation animation = readText(text);
    FUZZ_EXPECT(animation.valid() == (firstLine(data) == "RGAF"));
    if (!animation.valid()) {
        FUZZ_EXPECT(animation.frameCount() == 0);
        return {};
    }
    // A count larger than the file may only add a bounded number of frames.
    const long lines = std::count(data.begin(), data.end(), '\n') + 1;
    FUZZ_EXPECT(animation.frameCount() <= lines + MAX_MISSING_FRAMES);
    FUZZ_EXPECT_KEPT(checkFrameList(animation));

    // What the writer makes of it reads back to the same file. A name that
    // ends in a CR cannot survive (the reader takes that CR for half of a
    // CR LF line end); saving refuses such names.
    const std::string written = animationText(animation);
    std::ostringstream out;
    FUZZ_EXPECT(writeAnimation(out, animation) && out.str() == written);
    const std::string& name = animation.name();
    if (name.empty() || name.back() != '\r') {
        Animation reread = readText(written);
        FUZZ_EXPECT(reread.valid() && reread.name() == name);
        FUZZ_EXPECT(reread.looping() == animation.looping());
        FUZZ_EXPECT(reread.frameCount() == animation.frameCount());
        FUZZ_EXPECT(animationText(reread) == written);
    }

    FUZZ_EXPECT_KEPT(checkPlayback(animation));
    return {};
}

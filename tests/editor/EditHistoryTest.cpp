// The history on its own, with hand-made animations: what a step stores,
// what undo and redo splice back, and that untouched frames are shared.
#include "editor/EditHistory.h"
#include "animation/Animation.h"
#include "animation/AnimationFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace {

// An animation of `count` frames told apart by their wait times 0, 1, 2...
std::unique_ptr<Animation> numbered(int count) {
    auto a = std::make_unique<Animation>("walk", true);
    for (int i = 0; i < count; ++i)
        a->addFrameFromPose(nullptr)->waitTime = i;
    return a;
}

EditorSnapshot state(const std::string& name, int current) {
    EditorSnapshot s;
    s.name = name;
    s.currentFrame = current;
    return s;
}

std::string text(const Animation& a) {
    return animationText(a);
}

TEST(EditHistory, EmptyHistoryAndStepsThatChangeNothing) {
    auto a = numbered(3);
    EditHistory history(*a);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.undo(*a));
    EXPECT_FALSE(history.redo(*a));
    // Same state, same frames: nothing to keep.
    EXPECT_FALSE(history.record("look", state("walk", 0), state("walk", 0), *a));
    EXPECT_EQ(history.stepCount(), 0u);
    // A state change alone is a step.
    EXPECT_TRUE(history.record("turn bone", state("walk", 0), state("walk", 1), *a));
    EXPECT_FALSE(history.lastStepChangedAnimation());
    EXPECT_TRUE(history.canUndo());
}

TEST(EditHistory, UndoAndRedoSpliceOnlyTheChangedRun) {
    auto a = numbered(5);
    const std::string start = text(*a);
    EditHistory history(*a);

    // Change frame 2 in place, then insert one after it, then remove frame 0.
    a->frameAt(2)->transitionTime = 7;
    ASSERT_TRUE(history.record("apply properties", state("walk", 2), state("walk", 2), *a));
    EXPECT_TRUE(history.lastStepChangedAnimation());
    const std::string afterApply = text(*a);
    a->insertFrame(3, std::make_unique<KeyFrame>(static_cast<const Skeleton*>(nullptr)));
    ASSERT_TRUE(history.record("insert frame", state("walk", 2), state("walk", 3), *a));
    const std::string afterInsert = text(*a);
    KeyFrame* kept = a->frameAt(4); // untouched by the next step
    a->removeFrame(0);
    ASSERT_TRUE(history.record("delete frame", state("walk", 3), state("walk", 0), *a));
    const std::string end = text(*a);
    EXPECT_EQ(a->frameAt(3), kept) << "frames after a removal are not rebuilt";

    auto undone = history.undo(*a);
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->label, "delete frame");
    EXPECT_EQ(undone->state->currentFrame, 3);
    EXPECT_EQ(text(*a), afterInsert);
    EXPECT_EQ(a->frameAt(4), kept) << "undo splices, it does not rebuild the animation";
    ASSERT_TRUE(history.undo(*a));
    EXPECT_EQ(text(*a), afterApply);
    ASSERT_TRUE(history.undo(*a));
    EXPECT_EQ(text(*a), start);
    EXPECT_FALSE(history.undo(*a));
    for (int i = 0; i < a->frameCount(); ++i)
        EXPECT_EQ(a->frameAt(i)->index, i);

    auto redone = history.redo(*a);
    ASSERT_TRUE(redone);
    EXPECT_EQ(redone->label, "apply properties");
    EXPECT_TRUE(redone->changedAnimation);
    ASSERT_TRUE(history.redo(*a));
    ASSERT_TRUE(history.redo(*a));
    EXPECT_EQ(text(*a), end);
    EXPECT_FALSE(history.redo(*a));
}

TEST(EditHistory, ANewStepAfterAnUndoDropsTheRedoSteps) {
    auto a = numbered(2);
    EditHistory history(*a);
    a->frameAt(0)->waitTime = 10;
    history.record("one", state("walk", 0), state("walk", 0), *a);
    a->frameAt(0)->waitTime = 20;
    history.record("two", state("walk", 0), state("walk", 0), *a);
    history.undo(*a);
    EXPECT_TRUE(history.canRedo());
    a->frameAt(1)->waitTime = 30;
    history.record("three", state("walk", 0), state("walk", 1), *a);
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.stepCount(), 2u);
    history.undo(*a);
    history.undo(*a);
    EXPECT_EQ(a->frameAt(0)->waitTime, 0);
    EXPECT_EQ(a->frameAt(1)->waitTime, 1);
}

TEST(EditHistory, NameAndLoopingCountAsChangesToTheAnimation) {
    auto a = numbered(1);
    EditHistory history(*a);
    EditorSnapshot walk = state("walk", 0), run = state("run", 0);
    ASSERT_TRUE(history.record("name run", walk, run, *a));
    EXPECT_TRUE(history.lastStepChangedAnimation());
    EditorSnapshot looping = run;
    looping.looping = true;
    ASSERT_TRUE(history.record("loop", run, looping, *a));
    EXPECT_TRUE(history.lastStepChangedAnimation());
    EXPECT_EQ(history.undo(*a)->state->name, "run");
    EXPECT_EQ(history.undo(*a)->state->name, "walk");
}

TEST(EditHistory, ALoadReplacingEveryFrameIsOneStep) {
    auto a = numbered(3);
    const std::string before = text(*a);
    EditHistory history(*a);
    // The editor replaces the animation object itself on a load.
    auto loaded = numbered(6);
    loaded->setName("run");
    loaded->frameAt(0)->waitTime = 99;
    ASSERT_TRUE(history.record("load run", state("walk", 0), state("run", 1), *loaded));
    const std::string after = text(*loaded);
    ASSERT_TRUE(history.undo(*loaded));
    loaded->setName("walk");
    EXPECT_EQ(text(*loaded), before);
    ASSERT_TRUE(history.redo(*loaded));
    loaded->setName("run");
    EXPECT_EQ(text(*loaded), after);
}

TEST(EditHistory, NumbersThatAreNotNumbersCompareAsThemselves) {
    auto a = numbered(2);
    a->frameAt(1)->waitTime = std::numeric_limits<double>::quiet_NaN();
    EditHistory history(*a);
    // Nothing changed, NaN included: no step.
    EXPECT_FALSE(history.record("look", state("walk", 0), state("walk", 0), *a));
    a->frameAt(0)->waitTime = 5;
    ASSERT_TRUE(history.record("apply", state("walk", 0), state("walk", 0), *a));
    ASSERT_TRUE(history.undo(*a));
    EXPECT_TRUE(std::isnan(a->frameAt(1)->waitTime));
    EXPECT_EQ(a->frameAt(0)->waitTime, 0);
}

TEST(EditHistory, UntouchedFramesAreSharedNotCopiedPerStep) {
    auto a = numbered(1000);
    EditHistory history(*a);
    const std::size_t base = history.memoryBytes();
    EditorSnapshot s = state("walk", 500);
    s.pose.angles.assign(21, BonePose(1, 2, 3));
    for (int i = 0; i < 200; ++i) {
        a->frameAt(i % 1000)->transitionTime = 2 + i;
        ASSERT_TRUE(history.record("apply properties", s, s, *a));
    }
    // 200 steps of one changed frame each cost a few kilobytes apiece, not
    // a copy of the 1000 frames.
    const std::size_t perStep = (history.memoryBytes() - base) / 200;
    EXPECT_LT(perStep, 4096u) << perStep;
}

TEST(EditHistory, TheOldestStepsAreForgottenBeyondTheLimit) {
    auto a = numbered(1);
    EditHistory history(*a);
    for (std::size_t i = 0; i < EditHistory::MAX_STEPS + 5; ++i)
        history.record("step", state("walk", static_cast<int>(i)),
                       state("walk", static_cast<int>(i + 1)), *a);
    EXPECT_EQ(history.stepCount(), EditHistory::MAX_STEPS);
    std::size_t undone = 0;
    while (history.undo(*a))
        ++undone;
    EXPECT_EQ(undone, EditHistory::MAX_STEPS);
}

} // namespace

// Alternating loads of a long and a short animation: past its bytes the
// history forgets its oldest steps, never the frames on screen, and the
// steps it keeps still undo and redo exactly.
TEST(EditHistory, TheOldestStepsGoPastTheMemoryCap) {
    auto a = numbered(1);
    const std::size_t cap = 25 * (sizeof(KeyFrame) + 32);
    EditHistory history(*a, cap);
    std::vector<std::string> texts = {text(*a)};
    for (int round = 0; round < 6; ++round) {
        a = numbered(round % 2 == 0 ? 20 : 1);
        a->frameAt(0)->transitionTime = round;
        ASSERT_TRUE(history.record("load", state("walk", 0), state("walk", 0), *a));
        texts.push_back(text(*a));
    }
    EXPECT_GT(history.forgottenSteps(), 0u);
    EXPECT_LE(history.stepCount(), 3u);
    EXPECT_LE(history.memoryBytes(), 3 * cap) << "bounded, whatever the rounds";
    // What is kept undoes to where it began and redoes to the end.
    std::size_t kept = history.stepCount();
    for (std::size_t i = 0; i < kept; ++i)
        ASSERT_TRUE(history.undo(*a));
    EXPECT_EQ(text(*a), texts[texts.size() - 1 - kept]);
    EXPECT_FALSE(history.undo(*a));
    for (std::size_t i = 0; i < kept; ++i)
        ASSERT_TRUE(history.redo(*a));
    EXPECT_EQ(text(*a), texts.back());
}

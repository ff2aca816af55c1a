// The timeline strip on a real editor and manager: hidden until F2, blocks
// laid out from the editor's animation, a click on a block stepping there as
// the frame keys do, every click on the strip taken, the play head following
// the player, and scrolling that keeps the frame that matters in view.
#include "editor/TimelineStrip.h"
#include "editor/InputMap.h"
#include "gui/KeyCodes.h"
#include "skeleton/SkeletonPose.h"
#include "tests/editor/EditorFixture.h"
#include "tests/gui/RecordingPainter.h"

#include <tuple>

namespace {

class TimelineStripTest : public EditorFixture {
protected:
    TimelineStrip& strip() { return editor->timeline(); }

    // Three frames of different poses: 1 s, 2 s (1 s of it waiting) and
    // 2 s. In the 780 pixels of an 800-pixel window's strip that is 156,
    // 312 and 312 pixels from x = 10; frame 2 is current.
    void makeThreeFrames() {
        Bone* thigh = skeleton().boneAt(6);
        skeleton().select(thigh);
        thigh->rotateBy(10, 0, 0);
        click("ADD_NEW_FRAME");
        thigh->rotateBy(15, 0, 0);
        click("ADD_NEW_FRAME");
        ASSERT_EQ(animation().frameCount(), 3);
        animation().frameAt(0)->transitionTime = 1;
        animation().frameAt(1)->waitTime = 1;
        animation().frameAt(1)->transitionTime = 1;
        animation().frameAt(2)->transitionTime = 2;
        editor->showFrameProperties();
        skeleton().select(nullptr);
    }
    void show() {
        editor->perform(EditorAction::ToggleTimeline);
        manager->update(0);
    }
    static int32_t mid(double a, double b) { return static_cast<int32_t>((a + b) / 2); }
    // A left click (press and release) at the middle of block `frame`.
    bool clickBlock(int frame) {
        const TimelineBlock b = strip().screenBlocks().at(static_cast<size_t>(frame));
        const Rect2i area = strip().strip();
        const int32_t x = mid(b.left, b.right), y = mid(area.bottom, area.top);
        const bool taken = manager->handleClick(0, CLICK_PRESS, x, y);
        manager->handleClick(0, CLICK_RELEASE, x, y);
        manager->update(0);
        return taken;
    }
    // Everything stepping to a frame shows.
    auto screen() {
        return std::make_tuple(editor->snapshot(), text("TF_CFS"), text("TF_FWD"), text("TF_FTD"),
                               text("TF_FMD"), SkeletonPose::capture(editor->ghostSkeleton()));
    }
};

TEST_F(TimelineStripTest, HiddenUntilF2AndHiddenAgainByF2) {
    const Rect2i area = strip().strip();
    // Across the window below the top dock (which ends 30 pixels down).
    EXPECT_EQ(area.left, 10);
    EXPECT_EQ(area.right, 790);
    EXPECT_EQ(area.top, 565);
    EXPECT_EQ(area.bottom, 535);
    const int32_t x = 400, y = 550;

    EXPECT_FALSE(strip().shown());
    RecordingPainter hidden;
    strip().draw(hidden);
    EXPECT_TRUE(hidden.calls.empty());
    EXPECT_FALSE(manager->handleClick(0, CLICK_PRESS, x, y)) << "the click goes to the 3-D view";
    manager->handleClick(0, CLICK_RELEASE, x, y);

    const KeyBinding* f2 = bindingFor(KeyChord{Key::F2, false, false, false});
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(f2->action, EditorAction::ToggleTimeline);
    editor->perform(f2->action);
    manager->update(0);
    EXPECT_TRUE(strip().shown());
    RecordingPainter shown;
    manager->draw(shown);
    EXPECT_FALSE(shown.of(RecordingPainter::Quads).empty());
    // Every button and both kinds of click are the GUI's on the strip.
    for (int32_t button : {0, 1, 2})
        for (int32_t kind : {CLICK_PRESS, CLICK_RELEASE})
            EXPECT_TRUE(manager->handleClick(button, kind, x, y)) << button << " " << kind;
    // Off the strip, even just below it, clicks go on.
    EXPECT_FALSE(manager->handleClick(0, CLICK_PRESS, x, area.bottom - 1));
    manager->handleClick(0, CLICK_RELEASE, x, area.bottom - 1);

    editor->perform(EditorAction::ToggleTimeline);
    EXPECT_FALSE(strip().shown());
    EXPECT_FALSE(manager->handleClick(0, CLICK_PRESS, x, y));
}

TEST_F(TimelineStripTest, BlocksShowTheFramesWithTheCurrentOneLit) {
    makeThreeFrames();
    show();
    const std::vector<TimelineBlock> blocks = strip().screenBlocks();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_DOUBLE_EQ(blocks[0].left, 10);
    EXPECT_DOUBLE_EQ(blocks[1].left, 166);
    EXPECT_DOUBLE_EQ(blocks[1].split, 322);
    EXPECT_DOUBLE_EQ(blocks[2].left, 478);
    EXPECT_DOUBLE_EQ(blocks[2].right, 790);
    EXPECT_EQ(strip().blockAt(165, 550), 0);
    EXPECT_EQ(strip().blockAt(166, 550), 1);
    EXPECT_EQ(strip().blockAt(790, 550), 2);
    EXPECT_EQ(strip().blockAt(400, 530), -1);

    RecordingPainter painter;
    strip().draw(painter);
    std::vector<std::string> numbers;
    for (const auto* call : painter.of(RecordingPainter::Text))
        numbers.push_back(call->text);
    EXPECT_EQ(numbers, (std::vector<std::string>{"0", "1", "2"}));
    // One outline, around the current frame (2).
    const auto outlines = painter.of(RecordingPainter::LineStrip);
    ASSERT_EQ(outlines.size(), 1u);
    EXPECT_GE(outlines[0]->vertices[0].x, 478);
    // The wait part and the transition part of frame 1 in different colours.
    std::vector<Rgba> tops;
    for (const auto* call : painter.of(RecordingPainter::Quads))
        for (size_t q = 0; q + 3 < call->vertices.size(); q += 4)
            if (call->vertices[q].x >= 166 && call->vertices[q + 1].x <= 478)
                tops.push_back(call->vertices[q + 2].color);
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_NE(tops[0].b, tops[1].b);
}

TEST_F(TimelineStripTest, AClickOnABlockStepsThereAsSteppingDoes) {
    makeThreeFrames();
    show();
    editor->stepToFrame(0);
    editor->stepToFrame(2);
    const auto expected = screen();
    editor->stepToFrame(0);
    ASSERT_FALSE(screen() == expected);

    EXPECT_TRUE(clickBlock(2));
    EXPECT_TRUE(screen() == expected);
    EXPECT_EQ(text("TF_CFS"), "2");
    EXPECT_EQ(text("TF_FTD"), "2000");
    EXPECT_TRUE(editor->ghostShown()) << "the ghost shows frame 1";

    // The release and a right click select nothing.
    editor->stepToFrame(0);
    const TimelineBlock b = strip().screenBlocks()[1];
    manager->handleClick(0, CLICK_RELEASE, mid(b.left, b.right), 550);
    manager->handleClick(1, CLICK_PRESS, mid(b.left, b.right), 550);
    manager->handleClick(1, CLICK_RELEASE, mid(b.left, b.right), 550);
    EXPECT_EQ(text("TF_CFS"), "0");
}

TEST_F(TimelineStripTest, AClickThatThrowsAwayATurnedPoseCanBeUndone) {
    makeThreeFrames();
    show();
    Bone* arm = skeleton().boneAt(14);
    skeleton().select(arm);
    press("MAIN_AXIS_INCR");
    frame(0.5);
    frame(0.5);
    release("MAIN_AXIS_INCR");
    const SkeletonPose turned = SkeletonPose::capture(skeleton());

    EXPECT_TRUE(clickBlock(0));
    EXPECT_EQ(text("TF_CFS"), "0");
    EXPECT_NE(SkeletonPose::capture(skeleton()), turned);
    editor->undo();
    EXPECT_EQ(text("TF_CFS"), "2");
    EXPECT_EQ(SkeletonPose::capture(skeleton()), turned);
}

TEST_F(TimelineStripTest, PlayHeadFollowsThePlayer) {
    makeThreeFrames();
    show();
    EXPECT_FALSE(strip().playHead()) << "not playing";
    // The first play heads for frame 1 (block 166..478, its wait up to
    // 322), moving there from the pose on screen for 0.2 s.
    editor->perform(EditorAction::PlayOrStop);
    manager->update(0);
    ASSERT_TRUE(strip().playHead());
    EXPECT_DOUBLE_EQ(*strip().playHead(), 166) << "the move from the snapshot";
    frame(0.1);
    manager->update(0);
    EXPECT_DOUBLE_EQ(*strip().playHead(), 166) << "still the move from the snapshot";
    frame(0.25); // arrives at frame 1 and starts its 1 s wait
    manager->update(0);
    EXPECT_DOUBLE_EQ(*strip().playHead(), 166);
    frame(0.5);
    manager->update(0);
    EXPECT_NEAR(*strip().playHead(), 244, 1e-6) << "halfway through the wait";
    frame(0.6); // the wait is over: the transition to frame 2 begins
    manager->update(0);
    EXPECT_NEAR(*strip().playHead(), 322, 1e-6);
    clock.advance(0.25);
    manager->update(0);
    EXPECT_NEAR(*strip().playHead(), 361, 1e-6) << "a quarter of the transition";

    RecordingPainter painter;
    strip().draw(painter);
    const auto* head = painter.of(RecordingPainter::Quads).back();
    EXPECT_NEAR((head->vertices[0].x + head->vertices[1].x) / 2, 361, 1e-6);
    EXPECT_GT(head->vertices[2].y, strip().strip().top) << "it stands out of the strip";

    editor->perform(EditorAction::PlayOrStop);
    manager->update(0);
    EXPECT_FALSE(strip().playHead()) << "stopped";
}

TEST_F(TimelineStripTest, ManyFramesScrollToTheFrameThatMatters) {
    for (int i = 0; i < 99; ++i)
        animation().addFrameFromPose(&skeleton());
    show();
    // 100 frames at 12 pixels do not fit in 780: the content is 1200 wide.
    const Rect2i area = strip().strip();
    EXPECT_DOUBLE_EQ(strip().screenBlocks().back().right - strip().screenBlocks().front().left,
                     1200);
    auto inView = [&](int frame) {
        const TimelineBlock b = strip().screenBlocks()[static_cast<size_t>(frame)];
        return b.left >= area.left && b.right <= area.right;
    };
    EXPECT_TRUE(inView(0));
    editor->stepToFrame(80);
    manager->update(0);
    EXPECT_TRUE(inView(80));
    EXPECT_FALSE(inView(0));
    // A click on a block in view steps there and does not scroll.
    const double scrolled = strip().scroll();
    EXPECT_TRUE(clickBlock(70));
    EXPECT_EQ(text("TF_CFS"), "70");
    EXPECT_DOUBLE_EQ(strip().scroll(), scrolled);
    // Only blocks in view are drawn.
    RecordingPainter painter;
    strip().draw(painter);
    for (const auto* quad : painter.of(RecordingPainter::Quads))
        for (const Vertex2D& v : quad->vertices)
            EXPECT_TRUE(v.x >= area.left - 2 && v.x <= area.right + 2) << v.x;

    // While playing, the player's frame is the one kept in view.
    editor->perform(EditorAction::PlayOrStop);
    manager->update(0);
    ASSERT_TRUE(strip().playHead());
    EXPECT_TRUE(inView(1));
    EXPECT_GE(*strip().playHead(), area.left);
}

} // namespace

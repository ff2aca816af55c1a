// The scene built without a window: what its set-up leaves in place, and
// the hand-off of button hits from the GUI to the editor and the music.
#include "app/Scene.h"
#include "app/MusicCommands.h"
#include "editor/SkeletonEditor.h"
#include "gui/Button.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextMetrics.h"
#include "skeleton/Skeleton.h"
#include "tests/app/FakeMusic.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        installTextMetrics(&metrics);
        scene = std::make_unique<Scene>(state, [this] {
            auto made = std::make_unique<FakeMusic>();
            music = made.get();
            return made;
        });
        testing::internal::CaptureStdout();
        scene->build();
        testing::internal::GetCapturedStdout();
        // As the Application does once the scene is set up.
        Scene* s = scene.get();
        scene->interface->commandCallback = [s](InterfaceComponent* hit, int32_t, int32_t) {
            s->handleCommand(hit);
        };
        scene->interface->update(0); // the first layout
    }
    void TearDown() override {
        scene.reset();
        installTextMetrics(nullptr);
    }
    // A left press and release in the middle of a top-dock button.
    void clickDock(size_t index) {
        const InterfaceComponent* b = scene->interface->topDock.at(index);
        const int32_t x = b->x + b->width / 2, y = b->y + b->height / 2;
        scene->interface->handleClick(0, CLICK_PRESS, x, y);
        scene->interface->handleClick(0, CLICK_RELEASE, x, y);
    }

    FixedWidthMetrics metrics;
    ProgramState state;
    FakeMusic* music = nullptr;
    std::unique_ptr<Scene> scene;
};

TEST_F(SceneTest, SetUpAimsTheCameraAndStartsTheMusic) {
    const Camera& c = scene->camera;
    EXPECT_DOUBLE_EQ(c.speed, 0.09);
    EXPECT_EQ(c.eye, Vec3(0, 10, 10));
    EXPECT_DOUBLE_EQ(c.freeYaw, -90);
    EXPECT_DOUBLE_EQ(c.freePitch, -45);
    EXPECT_EQ(c.mode, CAMERA_ORBIT);
    EXPECT_EQ(c.target, scene->editor->skeleton().rootPosition());

    // Main menu, then the About pages: page indices follow that order.
    ASSERT_EQ(scene->interface->pageCount, 3);
    EXPECT_EQ(scene->interface->pageTitles[1], "About");
    EXPECT_EQ(scene->interface->pageTitles[2], "About the Creator");

    const auto& dock = scene->interface->topDock;
    ASSERT_EQ(dock.size(), 3u);
    EXPECT_EQ(dock[0]->id, "MUSIC_VOLUME_DN");
    EXPECT_EQ(dock[0]->text, "  Vol -  ");
    EXPECT_EQ(dock[1]->id, "MUSIC_PLAY_PAUSE");
    EXPECT_EQ(dock[1]->text, "Play/Pause");
    EXPECT_EQ(dock[2]->id, "MUSIC_VOLUME_UP");
    EXPECT_EQ(dock[2]->text, "  Vol +  ");
    EXPECT_LT(dock[0]->x, dock[1]->x);

    ASSERT_NE(music, nullptr);
    EXPECT_EQ(music->openedPath, workingDirectoryPaths().music);
    EXPECT_EQ(music->current, MusicStream::Status::Playing);
    EXPECT_FLOAT_EQ(scene->musicVolume, 80);
    EXPECT_FLOAT_EQ(music->volume, 80);
    EXPECT_TRUE(music->loop);
}

// Each click sends a press and a release through the callback; only the
// press moves the volume or the play state.
TEST_F(SceneTest, MusicButtonsActOnceAClickWithinTheirBounds) {
    const float up[] = {85, 90, 95, 100, 100};
    for (float expected : up) {
        clickDock(2);
        EXPECT_FLOAT_EQ(scene->musicVolume, expected);
    }
    for (int i = 0; i < 18; ++i)
        clickDock(0);
    EXPECT_FLOAT_EQ(scene->musicVolume, 10);
    for (int i = 0; i < 3; ++i)
        clickDock(0);
    EXPECT_FLOAT_EQ(scene->musicVolume, 0);
    EXPECT_FLOAT_EQ(music->volume, 0);

    clickDock(1);
    EXPECT_EQ(music->current, MusicStream::Status::Paused);
    EXPECT_EQ(music->pauses, 1);
    clickDock(1);
    EXPECT_EQ(music->current, MusicStream::Status::Playing);
}

// The editor hears every hit the callback gets, on press and on release.
TEST_F(SceneTest, EditorHearsTheHitsTheGuiPassesOn) {
    Button rotate("MAIN_AXIS_INCR", "+");
    rotate.state = Button::STATE_PRESSED;
    scene->handleCommand(&rotate);
    EXPECT_TRUE(scene->editor->heldChange().rotating);
    rotate.state = Button::STATE_IDLE;
    scene->handleCommand(&rotate);
    EXPECT_FALSE(scene->editor->heldChange().rotating);
    EXPECT_FLOAT_EQ(scene->musicVolume, 80);
    scene->handleCommand(nullptr); // nothing to hand on
}

} // namespace

// The text cache must not change a single pixel: the program's editor
// screen (and its menu) is drawn with the cache switched off and on, and
// the back buffers are compared byte for byte, also after a text is set
// and after typing, which must show at once.
#include "app/Application.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/KeyCodes.h"
#include "gui/TextField.h"
#include "tests/support/FrameReadback.h"
#include "tests/support/ProgramSuite.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;
using Screen = std::vector<uint8_t>;

class GlTextCacheTest : public ProgramSuite<WIDTH, HEIGHT> {
protected:
    void SetUp() override {
        ASSERT_TRUE(app->ok());
        SkeletonEditor& editor = *app->scene().editor;
        // Every window open and the ghost drawn: all the editor's text.
        editor.components().loadWindow->visible = true;
        editor.components().saveWindow->visible = true;
        editor.setGhostShown(true);
        app->scene().interface->update(0);
    }

    GlTextCache& cache() { return app->guiPainter().textCache(); }

    // One frame as render() draws it, read back before it is presented.
    Screen frame() {
        app->drawFrame();
        return readFrame(WIDTH, HEIGHT);
    }
    Screen throughFonts() {
        cache().setEnabled(false);
        Screen pixels = frame();
        cache().setEnabled(true);
        return pixels;
    }
    // The first pixel that differs, or "" when none does.
    static std::string firstDifference(const Screen& a, const Screen& b) {
        return firstFrameDifference(a, b, WIDTH, "through the fonts", "cached");
    }
    // Draws three cached frames (seen, captured, drawn from the cache) and
    // checks each against the same screen drawn through the fonts.
    void expectSameAsFonts(const char* what) {
        const Screen reference = throughFonts();
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(firstDifference(reference, frame()), "") << what << ", cached frame " << i;
    }
    // With every text on screen already cached, `change` must show in the
    // very next frame and in the two after it, exactly as the fonts draw it.
    void expectChangeShows(const std::function<void()>& change, const std::string& what) {
        frame();
        frame();
        const Screen before = frame();
        change();
        const Screen cached[3] = {frame(), frame(), frame()};
        const Screen reference = throughFonts();
        EXPECT_NE(firstDifference(before, reference), "") << what << " changed nothing";
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(firstDifference(reference, cached[i]), "")
                << what << ", cached frame " << i + 1;
    }
};

TEST_F(GlTextCacheTest, EditorScreenAndMenuAreThePixelsTheFontsDraw) {
    cache().release();
    const GlTextCache::Counts before = cache().counts();
    expectSameAsFonts("editor screen");
    const GlTextCache::Counts after = cache().counts();
    // Nine windows, the dock and the readout: dozens of texts, every one of
    // them captured in the second frame and drawn from the cache in the third.
    EXPECT_GT(after.captured - before.captured, 40u);
    EXPECT_GT(after.drawnFromCache - before.drawnFromCache, 80u);

    InterfaceManager& gui = *app->scene().interface;
    gui.showMenu();
    expectSameAsFonts("main menu with its title");
    gui.goBack();
    ASSERT_FALSE(gui.menuShown);
}

TEST_F(GlTextCacheTest, SetTextAndTypingShowAtOnce) {
    SkeletonEditor& editor = *app->scene().editor;
    InterfaceManager& gui = *app->scene().interface;
    expectChangeShows([&] { editor.components().boneReadout->setText("12.5,  -3.25,  90"); },
                      "setText");
    expectChangeShows([&] { editor.components().motionLabel->setText("Ease In/Out"); },
                      "a label's setText");

    // As the program shows it: the save window alone, not over the load one.
    editor.components().loadWindow->visible = false;
    TextField& field = *editor.components().saveNameField;
    const int32_t cx = field.x + field.width / 2, cy = field.y + field.height / 2;
    gui.handleClick(MouseButton::Left, CLICK_PRESS, cx, cy);
    gui.handleClick(MouseButton::Left, CLICK_RELEASE, cx, cy);
    ASSERT_EQ(gui.focusedField, &field);
    for (int32_t key : {int32_t('r'), int32_t('u'), int32_t('n'), int32_t('s'), Key::BackSpace})
        expectChangeShows([&] { gui.handleKey(key, key == 'r'); },
                          "typing key " + std::to_string(key));
    EXPECT_EQ(field.getText(), "Run");
}

TEST_F(GlTextCacheTest, TextChangingEveryFrameIsNeverCaptured) {
    TextField& readout = *app->scene().editor->components().boneReadout;
    expectSameAsFonts("before counting");
    const uint64_t captured = cache().counts().captured;
    for (int i = 0; i < 6; ++i) {
        readout.setText("12." + std::to_string(i) + ",  0,  " + std::to_string(i * 7));
        frame();
    }
    EXPECT_EQ(cache().counts().captured, captured);
    readout.setText("12.5,  0,  35");
    expectSameAsFonts("the readout at rest again");
}

} // namespace

// The shortcuts overlay on a real editor and manager: hidden until F1, then
// a centred panel listing every key and gesture once, in columns when the
// window is short, taking the clicks on it and no others.
#include "editor/ShortcutsOverlay.h"
#include "editor/InputMap.h"
#include "gui/KeyCodes.h"
#include "tests/editor/EditorFixture.h"
#include "tests/gui/RecordingPainter.h"

#include <algorithm>

namespace {

class ShortcutsOverlayTest : public EditorFixture {
protected:
    ShortcutsOverlay& overlay() { return editor->shortcuts(); }
    std::vector<const RecordingPainter::Call*> drawnTexts() {
        RecordingPainter painter;
        manager->draw(painter);
        calls = std::move(painter.calls);
        std::vector<const RecordingPainter::Call*> texts;
        for (const auto& call : calls)
            if (call.kind == RecordingPainter::Text)
                texts.push_back(&call);
        return texts;
    }
    // Whether every line of the help is drawn once, in order, its keys and
    // its description on one baseline, all inside the panel's body.
    void expectEveryLineInside(const std::vector<const RecordingPainter::Call*>& texts) {
        const auto lines = shortcutLines();
        const Rect2i body = overlay().body();
        auto at = std::find_if(texts.begin(), texts.end(),
                               [&](const auto* t) { return t->text == lines[0].first; });
        ASSERT_EQ(static_cast<size_t>(texts.end() - at), lines.size() * 2);
        for (const auto& line : lines) {
            const auto* keys = *at++;
            const auto* what = *at++;
            EXPECT_EQ(keys->text, line.first);
            EXPECT_EQ(what->text, line.second);
            EXPECT_DOUBLE_EQ(keys->y, what->y);
            EXPECT_LT(keys->x, what->x);
            for (const auto* t : {keys, what}) {
                EXPECT_GE(t->x, body.left);
                EXPECT_LE(t->x + textExtent(t->text).width, body.right) << t->text;
                EXPECT_GE(t->y, body.bottom) << t->text;
                EXPECT_LE(t->y + textExtent(t->text).height, body.top) << t->text;
            }
        }
    }
    std::vector<RecordingPainter::Call> calls;
};

TEST_F(ShortcutsOverlayTest, F1ShowsEveryKeyAndGestureAndF1HidesThem) {
    EXPECT_FALSE(overlay().shown());
    for (const auto* t : drawnTexts())
        EXPECT_NE(t->text, "Ctrl+Z") << "nothing of it at start";

    const KeyBinding* f1 = bindingFor(KeyChord{Key::F1, false, false, false});
    ASSERT_NE(f1, nullptr);
    editor->perform(f1->action);
    EXPECT_TRUE(overlay().shown());
    const auto texts = drawnTexts();
    expectEveryLineInside(texts);
    // Drawn last, over every window, and centred in the 800 x 600 window
    // below the top dock (whose buttons reach down to y 570).
    EXPECT_EQ(calls.back().text, shortcutLines().back().second);
    const Rect2i panel = overlay().panel();
    EXPECT_NEAR((panel.left + panel.right) / 2.0, 400, 1);
    EXPECT_NEAR((panel.bottom + panel.top) / 2.0, (600 - ShortcutsOverlay::DOCK_SPACE) / 2.0, 1);
    EXPECT_LT(panel.top, 570);
    EXPECT_EQ(overlay().columns(), 1);

    editor->perform(EditorAction::ToggleShortcuts);
    EXPECT_FALSE(overlay().shown());
    for (const auto* t : drawnTexts())
        EXPECT_NE(t->text, "Ctrl+Z");
}

TEST_F(ShortcutsOverlayTest, TakesTheClicksOnThePanelOnly) {
    editor->perform(EditorAction::ToggleShortcuts);
    // "New Frame From Current Pose" lies under the panel: the panel takes
    // the click and no frame is made.
    InterfaceComponent* add = find("ADD_NEW_FRAME");
    const Rect2i panel = overlay().panel();
    const int32_t ax = (add->x + add->right) / 2, ay = (add->y + add->top) / 2;
    ASSERT_TRUE(panel.contains(ax, ay));
    EXPECT_TRUE(manager->handleClick(0, CLICK_PRESS, ax, ay));
    manager->handleClick(0, CLICK_RELEASE, ax, ay);
    EXPECT_EQ(animation().frameCount(), 1);
    // Empty sky beside or below it is still the 3-D view's.
    EXPECT_FALSE(manager->handleClick(0, CLICK_PRESS, 560, panel.bottom - 5));
    manager->handleClick(0, CLICK_RELEASE, 560, panel.bottom - 5);

    editor->perform(EditorAction::ToggleShortcuts);
    click("ADD_NEW_FRAME");
    EXPECT_EQ(animation().frameCount(), 2) << "hidden, it takes nothing";
}

TEST_F(ShortcutsOverlayTest, AShortWindowGetsMoreColumns) {
    editor->perform(EditorAction::ToggleShortcuts);
    state.windowWidth = 1800;
    state.windowHeight = 300;
    manager->layout(1800, 300);
    EXPECT_GT(overlay().columns(), 1);
    const Rect2i panel = overlay().panel();
    EXPECT_GE(panel.bottom, 0);
    EXPECT_LT(panel.top, 270);
    expectEveryLineInside(drawnTexts());
}

} // namespace

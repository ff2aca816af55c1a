// The one table of keys: every chord asks for one action only, and the help
// made from it lists every key and gesture once.
#include "editor/InputMap.h"
#include "gui/KeyCodes.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

TEST(InputMap, EveryChordIsBoundOnceAndFoundWithExactModifiers) {
    std::set<std::tuple<int32_t, bool, bool, bool>> seen;
    for (const KeyBinding& b : keyBindings()) {
        EXPECT_TRUE(seen.insert({b.chord.key, b.chord.ctrl, b.chord.alt, b.chord.shift}).second)
            << b.keys;
        EXPECT_EQ(bindingFor(b.chord), &b);
        // Escape keeps the menu; F12 the frame-rate readout; arrows and page
        // keys without Alt stay the camera's and the lights'.
        EXPECT_NE(b.chord.key, Key::Escape) << b.keys;
        EXPECT_NE(b.chord.key, Key::F12) << b.keys;
        if (b.chord.key == Key::Left || b.chord.key == Key::Right || b.chord.key == Key::Up ||
            b.chord.key == Key::Down || b.chord.key == Key::PageUp ||
            b.chord.key == Key::PageDown) {
            EXPECT_TRUE(b.chord.alt) << b.keys;
        }
    }
    EXPECT_EQ(bindingFor(KeyChord{'z', true, false, false})->action, EditorAction::Undo);
    EXPECT_EQ(bindingFor(KeyChord{'z', true, false, true})->action, EditorAction::Redo);
    EXPECT_EQ(bindingFor(KeyChord{'z', false, false, false}), nullptr) << "a plain z types";
    EXPECT_EQ(bindingFor(KeyChord{Key::Left, false, false, false}), nullptr);
    EXPECT_EQ(bindingFor(KeyChord{Key::Left, false, true, true})->action,
              EditorAction::MoveFrameEarlier);
}

TEST(InputMap, HelpListsEachActionOnceWithAllItsKeys) {
    const auto lines = shortcutLines();
    bool redo = false;
    std::set<std::string> descriptions;
    for (const auto& [keys, description] : lines) {
        EXPECT_FALSE(keys.empty());
        EXPECT_TRUE(descriptions.insert(keys).second) << keys;
        if (description == "redo") {
            EXPECT_EQ(keys, "Ctrl+Y, Ctrl+Shift+Z");
            redo = true;
        }
    }
    EXPECT_TRUE(redo);
    EXPECT_EQ(lines.size(), keyBindings().size() - 1 + gestureHelp().size());
}

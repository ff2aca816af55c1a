// The one table of keys: every chord asks for one action only, and the help
// made from it lists every key and gesture once.
#include "editor/InputMap.h"
#include "gui/KeyCodes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
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

// The README's table of keys is the one the program prints, not a copy
// kept by hand.
TEST(InputMap, TheReadmeListsExactlyTheseShortcuts) {
    const char* source = std::getenv("KINEMORPH_SOURCE_DIR");
    std::ifstream in(std::string(source ? source : ".") + "/README.md");
    std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string open = "<!-- shortcuts: printed by build/print_shortcuts";
    const size_t start = readme.find(open);
    ASSERT_NE(start, std::string::npos) << "README.md has no shortcuts table";
    const size_t rows = readme.find('\n', start) + 1;
    const size_t end = readme.find("<!-- /shortcuts -->", rows);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(readme.substr(rows, end - rows), shortcutsMarkdown())
        << "run build/print_shortcuts and paste its rows into README.md";
}

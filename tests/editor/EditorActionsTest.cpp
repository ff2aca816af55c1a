// The added keys of the editor (dialogs, quick save, completion, play), the
// readout that never goes stale, and the autosave.
#include "animation/AnimationFile.h"
#include "editor/InputMap.h"
#include "editor/NameCompletion.h"
#include "gui/KeyCodes.h"
#include "gui/StatusLine.h"
#include "tests/editor/EditorFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

class EditorActions : public EditorFixture {
protected:
    void act(EditorAction action) { editor->perform(action); }
    std::string statusText() { return editor->statusLine().message(); }
    void type(const std::string& letters) {
        for (char c : letters)
            manager->handleKey(c, false);
    }
    static std::string folder() { return ANIMATION_FOLDER; }
    static std::string fileText(const std::string& name) {
        std::ifstream in(folder() + name + ".rgaf", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void writeFile(const std::string& name, const std::string& text) {
        std::ofstream(folder() + name, std::ios::binary) << text;
    }
};

TEST_F(EditorActions, DialogsOpenWithTheFocusInTheirNameField) {
    act(EditorAction::OpenLoad);
    EXPECT_TRUE(window("C_LAD")->visible);
    EXPECT_TRUE(field("T_LFN")->focused) << "it looks focused too";
    EXPECT_EQ(manager->windows.back(), window("C_LAD")) << "and is on top";
    type("walk");
    EXPECT_EQ(text("T_LFN"), "walk");
    // The Save button gives its own field the focus, release included.
    click("SHOW_SAVE");
    EXPECT_FALSE(window("C_LAD")->visible);
    EXPECT_EQ(manager->focusedField, field("T_SFN"));
    EXPECT_FALSE(field("T_LFN")->focused);
    type("run");
    EXPECT_EQ(text("T_SFN"), "run");
    EXPECT_EQ(text("T_LFN"), "walk") << "a field keeps its text";
}

TEST_F(EditorActions, EnterPressesTheFocusedDialogsButton) {
    act(EditorAction::ConfirmDialog); // nothing focused: nothing happens
    EXPECT_FALSE(window("C_SAD")->visible);

    click("ADD_NEW_FRAME");
    click("SHOW_SAVE");
    type("walk");
    act(EditorAction::ConfirmDialog);
    EXPECT_FALSE(window("C_SAD")->visible);
    EXPECT_EQ(statusText(), "Saved walk");
    EXPECT_EQ(fileText("walk"), animationText(animation()));

    click("SHOW_LOAD");
    type("nosuch");
    testing::internal::CaptureStdout();
    act(EditorAction::ConfirmDialog);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error in reading animation file!\n");
    EXPECT_EQ(text("T_LFN"), "nosuchLoad Failed! Please verify name!");
    EXPECT_TRUE(window("C_LAD")->visible);
}

TEST_F(EditorActions, QuickSaveNeedsAFileNameFirst) {
    act(EditorAction::QuickSave);
    EXPECT_TRUE(window("C_SAD")->visible) << "a new animation asks for a name";
    type("walk");
    act(EditorAction::ConfirmDialog);
    click("ADD_NEW_FRAME");
    act(EditorAction::QuickSave);
    EXPECT_EQ(statusText(), "Saved walk");
    EXPECT_FALSE(window("C_SAD")->visible);
    EXPECT_EQ(fileText("walk"), animationText(animation()));
    EXPECT_FALSE(editor->unsavedChanges());

    // A quick save that fails opens the dialog, which says so.
    fs::remove(folder() + "walk.rgaf");
    fs::create_directory(folder() + "walk.rgaf");
    testing::internal::CaptureStdout();
    act(EditorAction::QuickSave);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error in saving animation data to file!\n");
    EXPECT_TRUE(window("C_SAD")->visible);
    EXPECT_EQ(window("C_SAD")->getText(), "Save current AnimationSave Failed!");
}

TEST_F(EditorActions, TabCompletesToSavedNamesInOrderAndWraps) {
    for (const char* name : {"alps.rgaf", "alpha.rgaf", "Alto.rgaf", "al2.rgaf", "al pha.rgaf"})
        writeFile(name, "RGAF\nx\n0\n0\n");
    const std::vector<std::string> names = savedAnimationNames(folder());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::count(names.begin(), names.end(), "al2"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Alto"), 1);
    act(EditorAction::OpenLoad);
    type("al");
    act(EditorAction::CompleteName);
    EXPECT_EQ(text("T_LFN"), "alpha");
    act(EditorAction::CompleteName);
    EXPECT_EQ(text("T_LFN"), "alps");
    act(EditorAction::CompleteName);
    EXPECT_EQ(text("T_LFN"), "alpha") << "wraps round";
    // Typing starts afresh from the letters now there.
    manager->handleKey(Key::BackSpace, false);
    manager->handleKey('s', false);
    act(EditorAction::CompleteName);
    EXPECT_EQ(text("T_LFN"), "alphs") << "no name starts with it: unchanged";
    // The save dialog's field completes the same way, on its own.
    act(EditorAction::QuickSave); // no file name yet: the Save dialog
    type("alp");
    act(EditorAction::CompleteName);
    EXPECT_EQ(text("T_SFN"), "alpha");
    act(EditorAction::CompleteName);
    EXPECT_EQ(text("T_SFN"), "alps");
    // Without a dialog field in focus, Tab completes nothing.
    manager->focusedField = nullptr;
    act(EditorAction::CompleteName);
    EXPECT_EQ(text("T_LFN"), "alphs");
    EXPECT_EQ(text("T_SFN"), "alps");
}

TEST_F(EditorActions, SpacePlaysAndStops) {
    click("ADD_NEW_FRAME");
    act(EditorAction::PlayOrStop);
    EXPECT_TRUE(editor->player().playing());
    EXPECT_FALSE(window("CC_FSM")->visible);
    frame(0.3);
    act(EditorAction::PlayOrStop);
    EXPECT_FALSE(editor->player().playing());
    EXPECT_TRUE(window("CC_FSM")->visible);
}

TEST_F(EditorActions, TheReadoutFollowsEveryChangeOfTheSelectedBone) {
    skeleton().select(skeleton().boneAt(18));
    press("MAIN_AXIS_INCR");
    frame(0.5);
    frame(0.5);
    release("MAIN_AXIS_INCR");
    click("ADD_NEW_FRAME"); // frame 1 holds the turned arm
    click("NEXT_FRAME");    // back to frame 0, arm at rest
    frame(0.01);
    EXPECT_EQ(text("T_CBRD"), "-50,  0,  0");
    click("PREV_FRAME");
    frame(0.01);
    EXPECT_NE(text("T_CBRD"), "-50,  0,  0");
    click("NEXT_FRAME");
    frame(0.01);
    EXPECT_EQ(text("T_CBRD"), "-50,  0,  0");
    // Stop steps on to the next frame: the turned arm.
    click("STOP_ANIMATION");
    frame(0.01);
    EXPECT_NE(text("T_CBRD"), "-50,  0,  0");
    const std::string turned = text("T_CBRD");
    // A load shows frame 1 of the file; here the arm at rest again.
    click("SHOW_SAVE");
    field("T_SFN")->setText("arm");
    click("SAVE_ANI");
    editor->stepToFrame(0);
    frame(0.01);
    ASSERT_EQ(text("T_CBRD"), "-50,  0,  0");
    skeleton().select(skeleton().boneAt(18));
    click("SHOW_LOAD");
    field("T_LFN")->setText("arm");
    click("LOAD_ANI");
    frame(0.01);
    EXPECT_EQ(text("T_CBRD"), turned);
    act(EditorAction::Undo); // the load
    frame(0.01);
    EXPECT_EQ(text("T_CBRD"), "-50,  0,  0");
}

TEST_F(EditorActions, APickSaysWhichBoneItChose) {
    skeleton().select(skeleton().boneAt(19));
    editor->refreshBoneReadout(); // a release between the pick and the update
    frame(0.01);
    EXPECT_EQ(statusText(), "right forearm");
    skeleton().select(nullptr);
    frame(0.01);
    skeleton().select(skeleton().boneAt(4));
    frame(0.01);
    EXPECT_EQ(statusText(), "head");
}

TEST_F(EditorActions, AutosaveOnlyWhenChangedAndAtMostOncePerMinute) {
    const std::string autosave = folder() + "autosave.rgaf";
    EXPECT_TRUE(editor->autosave());
    EXPECT_FALSE(fs::exists(autosave)) << "nothing changed, nothing written";
    click("ADD_NEW_FRAME");
    editor->advanceAutosave(59);
    EXPECT_FALSE(fs::exists(autosave));
    editor->advanceAutosave(1);
    ASSERT_TRUE(fs::exists(autosave));
    EXPECT_EQ(fileText("autosave"), animationText(animation()));
    fs::remove(autosave);
    editor->advanceAutosave(61);
    EXPECT_FALSE(fs::exists(autosave)) << "no change since the last one";
    click("ADD_NEW_FRAME");
    editor->advanceAutosave(61);
    EXPECT_TRUE(fs::exists(autosave));
    EXPECT_FALSE(fs::exists(autosave + ".bak")) << "autosave keeps no backup";

    // A failing autosave says so on the status line only.
    fs::remove(autosave);
    fs::create_directory(autosave);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(editor->autosave());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(statusText(), "Autosave failed: it is a folder. Save your work");
}

TEST(NameCompletion, OnlyLetterNamesOfAnimationFilesInOrder) {
    EXPECT_TRUE(savedAnimationNames("/nonexistent/folder").empty());
    NameCompletion completion;
    const std::vector<std::string> names = {"jump", "walk", "wave"};
    EXPECT_EQ(completion.complete("T_LFN", "", names), "jump") << "no letters: every name";
    EXPECT_EQ(completion.complete("T_LFN", "jump", names), "walk");
    EXPECT_EQ(completion.complete("T_LFN", "walk", names), "wave");
    EXPECT_EQ(completion.complete("T_SFN", "wave", names), "wave") << "another field starts over";
    EXPECT_EQ(completion.complete("T_LFN", "x", names), "x");
    EXPECT_EQ(completion.complete("T_LFN", "W", names), "W") << "case counts";
}

} // namespace

namespace {
using EditorCommandsAdded = EditorActions;
} // namespace

// Ctrl+N and Ctrl+L are one undo step each and say what they did; leaving
// an unstored pose says how to get it back; the Load dialog says what it
// can load.
TEST_F(EditorCommandsAdded, NewAnimationLoopingAndWhatTheStatusLineSays) {
    click("ADD_NEW_FRAME");
    const std::string before = animationText(animation());
    act(EditorAction::NewAnimation);
    EXPECT_EQ(statusText(), "New animation (Ctrl+Z brings back the unsaved one)");
    EXPECT_EQ(animation().name(), NEW_ANIMATION_NAME);
    EXPECT_EQ(animation().frameCount(), 1);
    act(EditorAction::QuickSave);
    EXPECT_TRUE(window("C_SAD")->visible) << "Ctrl+S asks for a name";
    act(EditorAction::CancelSave);
    act(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Undo: new animation");
    EXPECT_EQ(animationText(animation()), before);

    const struct {
        EditorAction action;
        const char* said;
        bool looping;
    } loops[] = {{EditorAction::ToggleLooping, "Looping off", false},
                 {EditorAction::ToggleLooping, "Looping on", true},
                 {EditorAction::Undo, "Undo: looping on", false}};
    for (const auto& row : loops) {
        act(row.action);
        EXPECT_EQ(statusText(), row.said);
        EXPECT_EQ(animation().looping(), row.looping) << row.said;
    }

    // A turn no frame stores, then a step to frame 0.
    Button turn("MAIN_AXIS_INCR", "");
    turn.state = Button::STATE_PRESSED;
    skeleton().select(skeleton().boneAt(14));
    editor->setClickModifiers(true, false);
    editor->onCommand(&turn);
    editor->setClickModifiers(false, false);
    act(EditorAction::FirstFrame);
    EXPECT_EQ(statusText(), "Pose of frame 1 not stored \xe2\x80\x94 Ctrl+Z brings it back");

    act(EditorAction::OpenLoad);
    EXPECT_EQ(statusText(), "3 animations: jump, walk, wave");
}

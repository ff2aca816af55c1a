// A file named on the command line: opened from any folder, saved back to
// the same path by Ctrl+S with a backup, and refused with its reason.
#include "animation/AnimationFile.h"
#include "editor/InputMap.h"
#include "gui/StatusLine.h"
#include "tests/editor/EditorFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class EditorOpenFile : public EditorFixture {
protected:
    // A folder outside resources/, as a user's documents would be.
    std::string elsewhere() {
        const std::string folder = workDir->path() + "/documents";
        fs::create_directories(folder);
        return folder;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string statusText() { return editor->statusLine().message(); }
};

TEST_F(EditorOpenFile, CtrlSSavesBackToTheOpenedPathUntilADialogNamesAnother) {
    Animation walk("walk", true);
    for (int i = 0; i < 3; ++i)
        walk.addFrameFromPose(&skeleton());
    const std::string path = elsewhere() + "/My Walk.rgaf";
    std::ofstream(path) << animationText(walk);
    const std::string original = read(path);
    // The shipped sample of the same stored name.
    const std::string sample = std::string(ANIMATION_FOLDER) + "walk.rgaf";
    const std::string sampleText = read(sample);

    ASSERT_TRUE(editor->openFile(path));
    EXPECT_EQ(animation().name(), "walk") << "the file keeps the name stored in it";
    EXPECT_EQ(animation().frameCount(), 3);
    EXPECT_EQ(statusText(), "Opened My Walk.rgaf: 3 frames");
    EXPECT_FALSE(editor->unsavedChanges());
    // Undo cannot go back to the empty animation before the file, which
    // Ctrl+S would then write over it.
    editor->perform(EditorAction::Undo);
    EXPECT_EQ(statusText(), "Nothing to undo");

    click("ADD_NEW_FRAME");
    editor->perform(EditorAction::QuickSave);
    EXPECT_EQ(statusText(), "Saved My Walk.rgaf");
    EXPECT_FALSE(window("C_SAD")->visible);
    EXPECT_EQ(read(path), animationText(animation()));
    EXPECT_EQ(read(path).rfind("RGAF\nwalk\n4\n", 0), 0u);
    EXPECT_EQ(read(path + ".bak"), original);
    EXPECT_EQ(read(sample), sampleText) << "nothing written into the animations folder";
    EXPECT_FALSE(fs::exists(sample + ".bak"));
    EXPECT_FALSE(editor->unsavedChanges());

    // A write that fails says why and offers the dialog instead.
    fs::remove(path);
    fs::create_directory(path);
    testing::internal::CaptureStdout();
    editor->perform(EditorAction::QuickSave);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error in saving animation data to file!\n");
    EXPECT_EQ(statusText(), "Save failed: it is a folder");
    EXPECT_TRUE(window("C_SAD")->visible);

    // A name typed in the dialog means the animations folder, and Ctrl+S
    // follows it there from then on.
    for (char c : std::string("run"))
        field("T_SFN")->appendChar(c);
    click("SAVE_ANI");
    click("ADD_NEW_FRAME");
    editor->perform(EditorAction::QuickSave);
    EXPECT_EQ(statusText(), "Saved run");
    EXPECT_EQ(read(std::string(ANIMATION_FOLDER) + "run.rgaf"), animationText(animation()));
}

// The reader's own refusals (not a regular file, too large, ...) are the
// Load dialog's test; here only how openFile reports a cause, and that
// nothing opened is saved back to.
TEST_F(EditorOpenFile, AFileThatCannotBeReadSaysWhyAndChangesNothing) {
    const std::string folder = elsewhere();
    std::ofstream(folder + "/notes.rgaf") << "Dear diary\n";
    const std::pair<std::string, std::string> cases[] = {
        {"missing.rgaf", "No such file or directory"},
        {"notes.rgaf", "not an animation file"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        const std::string path = folder + "/" + name;
        const std::string before = animationText(animation());
        testing::internal::CaptureStdout();
        EXPECT_FALSE(editor->openFile(path));
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_NE(printed.find("Could not open " + path + ": " + reason + "\n"), std::string::npos)
            << printed;
        EXPECT_EQ(statusText(), "Could not open " + name + ": " + reason);
        EXPECT_EQ(animationText(animation()), before);
        // Ctrl+S still asks for a name: nothing was opened to save back to.
        editor->perform(EditorAction::QuickSave);
        EXPECT_TRUE(window("C_SAD")->visible);
        click("CANCEL_SAVE");
    }
}

} // namespace

#include "ImportTestSupport.h"
#include "editor/InputMap.h"
#include "gui/StatusLine.h"
#include "tests/editor/EditorFixture.h"

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class EditorImport : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        const std::string walk =
            importSourceDir() + "/resources/config/skeleton/animations/walk.rgaf";
        std::ofstream(folder() / "cmu-walk_1.bvh", std::ios::binary)
            << bvhText(figureClip(walk, 30));
    }
    fs::path folder() { return fs::path(workDir->path()) / "resources/config/skeleton/animations"; }
    std::string said() { return editor->statusLine().message(); }
    // Ctrl+I, the name typed, then Enter, as the keys do it.
    void importByKeys(const std::string& name) {
        editor->perform(EditorAction::OpenImport);
        ASSERT_TRUE(window("C_IAD")->visible);
        ASSERT_EQ(manager->focusedField, field("T_IFN"));
        field("T_IFN")->setText("");
        for (char c : name)
            field("T_IFN")->appendChar(c);
        editor->perform(EditorAction::ConfirmDialog);
    }
};

} // namespace

TEST_F(EditorImport, ImportsOffTheMainThreadAsOneUndoStep) {
    EXPECT_FALSE(window("C_IAD")->visible) << "hidden at start";
    const std::string before = animation().name();
    const int beforeFrames = animation().frameCount();

    // Tab completes over the clips in the animations folder.
    editor->perform(EditorAction::OpenImport);
    field("T_IFN")->setText("cmu");
    editor->perform(EditorAction::CompleteName);
    EXPECT_EQ(text("T_IFN"), "cmu-walk_1");
    editor->perform(EditorAction::ConfirmDialog);
    EXPECT_FALSE(window("C_IAD")->visible);
    EXPECT_EQ(said().rfind("Importing cmu-walk_1", 0), 0u) << said();
    editor->backgroundTask().wait();
    EXPECT_EQ(animation().name(), "cmu-walk_1");
    EXPECT_LT(animation().frameCount(), 31);
    EXPECT_GT(animation().frameCount(), 2);
    EXPECT_EQ(said().rfind("Imported cmu-walk_1: 31 frames at 30 fps \xe2\x86\x92 " +
                               std::to_string(animation().frameCount()) + " key frames",
                           0),
              0u)
        << said();
    EXPECT_TRUE(editor->unsavedChanges());
    EXPECT_EQ(editor->fileName(), "") << "Ctrl+S asks for a name";

    editor->undo();
    EXPECT_EQ(animation().name(), before);
    EXPECT_EQ(animation().frameCount(), beforeFrames);
    editor->redo();
    EXPECT_EQ(animation().name(), "cmu-walk_1");

    // A clip named on the command line is imported the same way.
    fs::copy_file(folder() / "cmu-walk_1.bvh", folder() / "run.BVH");
    ASSERT_TRUE(editor->openFile((folder() / "run.BVH").string()));
    editor->backgroundTask().wait();
    EXPECT_EQ(animation().name(), "run");
    EXPECT_EQ(said().rfind("Imported run:", 0), 0u) << said();
}

TEST_F(EditorImport, AClipThatCannotBeImportedChangesNothing) {
    std::ofstream(folder() / "broken.bvh") << "HIERARCHY\nROOT Hips\n{\n";
    struct Case {
        std::string name;
        std::string says;
    };
    const Case cases[] = {
        {"missing", "Import failed: No such file or directory"},
        {"broken", "Import failed: line 4: the file ends inside joint 'Hips' (unbalanced braces)"},
        {"../walk", "Import: type the name of a .bvh file in the animations folder"},
    };
    for (const Case& c : cases) {
        const std::size_t steps = editor->history().stepCount();
        importByKeys(c.name);
        editor->backgroundTask().wait();
        EXPECT_EQ(said(), c.says);
        EXPECT_EQ(animation().name(), "temp") << c.name;
        EXPECT_EQ(editor->history().stepCount(), steps) << c.name;
    }
}

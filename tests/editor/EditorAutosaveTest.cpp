// Unsaved work survives every way out and every other session: each running
// session has an autosave of its own, an earlier session's work is kept
// until it is recovered, a link planted at the autosave's name is replaced
// and never followed, and a quit that would lose work is asked once more.
#include "animation/AnimationFile.h"
#include "editor/AutosaveFiles.h"
#include "editor/InputMap.h"
#include "gui/StatusLine.h"
#include "tests/editor/EditorFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <ctime>

namespace fs = std::filesystem;

namespace {

class EditorAutosave : public EditorFixture {
protected:
    std::string statusText() { return editor->statusLine().message(); }
    static std::string path(const std::string& name) { return ANIMATION_FOLDER + name; }
    static std::string read(const std::string& name) {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const std::string& name, const std::string& text) {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    void loadByName(const std::string& name) {
        editor->perform(EditorAction::OpenLoad);
        field("T_LFN")->setText(name);
        editor->perform(EditorAction::ConfirmDialog);
    }
};

} // namespace

TEST_F(EditorAutosave, AnEarlierSessionsWorkIsKeptUntilRecovered) {
    // What a session killed with unsaved work left: "walk" with two frames.
    Animation walk("walk", true);
    walk.addFrameFromPose(&editor->skeleton());
    walk.addFrameFromPose(&editor->skeleton());
    write("autosave.rgaf", animationText(walk));
    build();
    const std::vector<std::string> kept = AutosaveFiles(ANIMATION_FOLDER).kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(AutosaveFiles::isKeptName(kept[0])) << kept[0];
    EXPECT_EQ(read(kept[0] + ".rgaf"), animationText(walk));
    EXPECT_FALSE(fs::exists(path("autosave.rgaf")));
    EXPECT_EQ(statusText(), "Unsaved work from last run: load autosave");

    // This session's autosave, through a link someone planted at its name:
    // the link is replaced, the file it pointed at stays as it was.
    write("precious.txt", "precious\n");
    fs::create_symlink("precious.txt", path("autosave.rgaf"));
    editor->perform(EditorAction::InsertFrame);
    ASSERT_TRUE(editor->autosave());
    EXPECT_FALSE(fs::is_symlink(path("autosave.rgaf")));
    EXPECT_EQ(read("precious.txt"), "precious\n");
    EXPECT_EQ(read(kept[0] + ".rgaf"), animationText(walk)) << "never overwritten";

    // A second session running at the same time writes beside it.
    AutosaveFiles second(ANIMATION_FOLDER);
    EXPECT_EQ(fs::path(second.path()).filename(), "autosave-2.rgaf");

    // "autosave" loads the kept work, under its own name, still unsaved.
    loadByName("autosave");
    EXPECT_EQ(statusText(), "Recovered walk from " + kept[0] + ": 2 frames");
    EXPECT_EQ(editor->animation().name(), "walk");
    EXPECT_EQ(editor->fileName(), "walk");
    EXPECT_TRUE(editor->unsavedChanges());
    // Saved under that name, the work is safe: both autosaves go.
    editor->perform(EditorAction::QuickSave);
    EXPECT_EQ(statusText(), "Saved walk");
    EXPECT_EQ(read("walk.rgaf"), animationText(editor->animation()));
    EXPECT_FALSE(fs::exists(path(kept[0] + ".rgaf")));
    EXPECT_FALSE(fs::exists(path("autosave.rgaf")));
}

TEST_F(EditorAutosave, WorkThatCannotBeMovedAsideIsLeftWhereItIs) {
    // Every name the earlier work could be kept under is taken.
    write("autosave.rgaf", "an earlier session's work\n");
    struct stat info;
    ASSERT_EQ(::stat(path("autosave.rgaf").c_str(), &info), 0);
    std::tm local{};
    ::localtime_r(&info.st_mtime, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "autosave-%Y%m%d-%H%M%S", &local);
    for (int n = 1; n < 100; ++n)
        write(stamp + (n == 1 ? "" : "-" + std::to_string(n)) + ".rgaf", "taken\n");
    build();
    EXPECT_EQ(statusText(), "Unsaved work from last run: load autosave");
    editor->perform(EditorAction::InsertFrame);
    ASSERT_TRUE(editor->autosave());
    EXPECT_EQ(read("autosave.rgaf"), "an earlier session's work\n");
    EXPECT_TRUE(fs::exists(path("autosave-2.rgaf")));
}

TEST_F(EditorAutosave, WorkThatCannotBeKeptIsSaidUntilSafeAndAQuitAskedOnce) {
    fs::create_directory(path("autosave.rgaf"));
    editor->perform(EditorAction::InsertFrame);
    EXPECT_FALSE(editor->readyToQuit());
    const std::string warning = statusText();
    EXPECT_EQ(warning.rfind("Autosave failed: it is a folder.", 0), 0u) << warning;
    // Other messages come and go; the warning comes back.
    editor->perform(EditorAction::CopyPose);
    EXPECT_EQ(statusText(), "Pose copied");
    editor->statusLine().update(StatusLine::SHOW_SECONDS);
    EXPECT_EQ(statusText(), warning);
    EXPECT_TRUE(editor->readyToQuit()) << "asked again: the user means it";

    fs::remove(path("autosave.rgaf"));
    EXPECT_TRUE(editor->autosave());
    editor->statusLine().update(StatusLine::SHOW_SECONDS);
    EXPECT_EQ(statusText(), "") << "said until the work is safe, no longer";
}

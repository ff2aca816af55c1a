#include "animation/AnimationFile.h"
#include "editor/NameCompletion.h"
#include "gui/StatusLine.h"
#include "tests/editor/EditorFixture.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

class EditorDialogs : public EditorFixture {
protected:
    fs::path folder() { return fs::path(workDir->path()) / "resources/config/skeleton/animations"; }
    // Types a name into a letters-only field the way the keyboard does.
    void type(const std::string& id, const std::string& letters) {
        TextField* f = field(id);
        f->setText("");
        for (char c : letters)
            f->appendChar(c);
    }
    std::string readFile(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    void writeFile(const fs::path& p, const std::string& text) {
        std::ofstream out(p, std::ios::binary);
        out << text;
    }
    // Writes an animation whose frame i bends the shin (bone 7) to
    // shinAngles[i] degrees, from the editor's loaded pose.
    void writeShinAnimation(const std::string& name, std::vector<double> shinAngles, bool looping) {
        Animation a(name, looping);
        for (double angle : shinAngles)
            a.addFrameFromPose(&skeleton())->boneAngles[7].x = angle;
        writeFile(folder() / (name + ".rgaf"), animationText(a));
    }
    void load(const std::string& name) {
        click("SHOW_LOAD");
        type("T_LFN", name);
        click("LOAD_ANI");
        ASSERT_FALSE(window("C_LAD")->visible) << name;
    }
    double shin() { return skeleton().boneAt(7)->mainAngle(); }
    double ghostShin() { return editor->ghostSkeleton().boneAt(7)->mainAngle(); }
};

TEST_F(EditorDialogs, ShowAndCancelKeepOneDialogAtATime) {
    click("SHOW_LOAD");
    EXPECT_TRUE(window("C_LAD")->visible);
    EXPECT_FALSE(window("C_SAD")->visible);
    click("SHOW_SAVE");
    EXPECT_FALSE(window("C_LAD")->visible);
    EXPECT_TRUE(window("C_SAD")->visible);
    click("CANCEL_SAVE");
    EXPECT_FALSE(window("C_SAD")->visible);
    click("SHOW_LOAD");
    click("CANCEL_LOAD");
    EXPECT_FALSE(window("C_LAD")->visible);
}

TEST_F(EditorDialogs, SaveThenLoadGivesAnEqualAnimation) {
    click("ADD_NEW_FRAME");
    skeleton().boneAt(7)->rotateBy(33.333333, 0, 0);
    click("SAVE_FRAME");
    field("TF_FWD")->setText("250");
    click("APPLY_FRAME");
    click("SHOW_SAVE");
    type("T_SFN", "walk");
    testing::internal::CaptureStdout();
    click("SAVE_ANI");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(window("C_SAD")->visible);
    EXPECT_EQ(animation().name(), "walk");
    std::string saved = readFile(folder() / "walk.rgaf");
    EXPECT_EQ(saved.rfind("RGAF\nwalk\n2\n1\n", 0), 0u) << saved;

    build(); // a fresh start, as after quitting
    click("SHOW_LOAD");
    type("T_LFN", "walk");
    click("LOAD_ANI");
    EXPECT_FALSE(window("C_LAD")->visible);
    ASSERT_EQ(animation().frameCount(), 2);
    EXPECT_EQ(animation().name(), "walk");
    // Loading shows frame 1 with frame 0 as the ghost.
    EXPECT_EQ(currentIndex(), 1);
    EXPECT_EQ(text("TF_CFS"), "1");
    EXPECT_TRUE(editor->ghostShown());
    EXPECT_NEAR(skeleton().boneAt(7)->mainAngle(), 33.3333, 1e-9);
    EXPECT_EQ(text("TF_FWD"), "250");
    EXPECT_EQ(readFile(folder() / "walk.rgaf"), saved);
}

TEST_F(EditorDialogs, FailedLoadNamesTheProblemInTheField) {
    click("SHOW_LOAD");
    type("T_LFN", "abc");
    testing::internal::CaptureStdout();
    click("LOAD_ANI");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error in reading animation file!\n");
    EXPECT_EQ(text("T_LFN"), "abcLoad Failed! Please verify name!");
    EXPECT_TRUE(window("C_LAD")->visible);
    EXPECT_EQ(animation().name(), "temp");

    writeFile(folder() / "bad.rgaf", "RGAF \nbad\n0\n0\n");
    type("T_LFN", "bad");
    testing::internal::CaptureStdout();
    click("LOAD_ANI");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unexpected header, 'RGAF' expected!\n");
    EXPECT_EQ(text("T_LFN"), "badLoad Failed! Please verify name!");
}

TEST_F(EditorDialogs, FailedSaveKeepsTheOldFileAndSaysSoInTheTitle) {
    click("SHOW_SAVE");
    type("T_SFN", "keep");
    click("SAVE_ANI");
    std::string first = readFile(folder() / "keep.rgaf");
    ASSERT_FALSE(first.empty());

    // The folder gone: the save must fail and report it.
    fs::rename(folder(), folder().string() + ".away");
    click("SHOW_SAVE");
    testing::internal::CaptureStdout();
    click("SAVE_ANI");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error in saving animation data to file!\n");
    EXPECT_EQ(window("C_SAD")->getText(), "Save current AnimationSave Failed!");
    EXPECT_TRUE(window("C_SAD")->visible);
    fs::rename(folder().string() + ".away", folder());
    EXPECT_EQ(readFile(folder() / "keep.rgaf"), first);
}

// Each failed load or save says its cause on the status line; a pipe or a
// device named like an animation is refused at once, never waited on.
TEST_F(EditorDialogs, FailuresSayTheirCause) {
    writeFile(folder() / "locked.rgaf", "old\n");
    fs::permissions(folder() / "locked.rgaf", fs::perms::owner_read);
    fs::create_directory(folder() / "dir.rgaf");
    ::mkfifo((folder() / "pipe.rgaf").c_str(), 0644);
    fs::create_symlink("/dev/zero", folder() / "zero.rgaf");
    writeFile(folder() / "million.rgaf", "RGAF\nmillion\n300000\n0\n" + std::string(600000, '\n'));
    writeFile(folder() / "huge.rgaf", "RGAF\n");
    fs::resize_file(folder() / "huge.rgaf", MAX_ANIMATION_FILE_BYTES + 1);
    const std::vector<std::string> offered = {"huge", "jump", "locked", "million", "walk", "wave"};
    EXPECT_EQ(savedAnimationNames(folder().string()), offered) << "no pipe, device or folder";
    struct Row {
        bool save;
        std::string name;
        std::string said;
    };
    const Row rows[] = {
        {true, "locked", "Save failed: the file is read-only"},
        {true, "dir", "Save failed: it is a folder"},
        {true, std::string(300, 'a'), "Save failed: the name is too long"},
        {false, "nosuch", "Load failed: no animation named nosuch"},
        {false, "pipe", "Load failed: not a regular file"},
        {false, "zero", "Load failed: not a regular file"},
        {false, "million", "Load failed: more than 200000 frames"},
        {false, "huge", "Load failed: larger than 128 MB"},
    };
    for (const Row& row : rows) {
        click(row.save ? "SHOW_SAVE" : "SHOW_LOAD");
        field(row.save ? "T_SFN" : "T_LFN")->setText(row.name);
        testing::internal::CaptureStdout();
        click(row.save ? "SAVE_ANI" : "LOAD_ANI");
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(editor->statusLine().message(), row.said) << row.name.substr(0, 20);
    }
    EXPECT_EQ(readFile(folder() / "locked.rgaf"), "old\n");
    EXPECT_EQ(animation().name(), "temp") << "a failed save gives no name";
    // Typing stops where the folder could no longer hold the file.
    type("T_SFN", std::string(300, 'b'));
    EXPECT_EQ(text("T_SFN"), std::string(250, 'b'));
}

TEST_F(EditorDialogs, LoadingWhilePlayingStopsThePlayerSafely) {
    click("ADD_NEW_FRAME");
    click("ADD_NEW_FRAME");
    click("SHOW_SAVE");
    type("T_SFN", "three");
    click("SAVE_ANI");
    click("PLAY_ANIMATION");
    for (int i = 0; i < 5; ++i)
        frame(0.1);
    ASSERT_TRUE(editor->player().playing());

    click("SHOW_LOAD");
    type("T_LFN", "three");
    click("LOAD_ANI"); // deletes the animation the player was in
    EXPECT_FALSE(editor->player().playing());
    EXPECT_TRUE(window("CC_FSM")->visible);
    for (int i = 0; i < 5; ++i)
        frame(0.1); // must not touch the deleted frames (the sanitizer build checks)
    click("PLAY_ANIMATION");
    for (int i = 0; i < 30; ++i)
        frame(0.1);
    EXPECT_TRUE(editor->player().playing());
    EXPECT_EQ(editor->player().animation(), &animation());
}

TEST_F(EditorDialogs, ShortFilesLeaveThePoseAsItWas) {
    writeFile(folder() / "empty.rgaf", "RGAF\nempty\n0\n0\n");
    Bone* shin = skeleton().boneAt(7);
    shin->rotateBy(20, 0, 0);
    click("SHOW_LOAD");
    type("T_LFN", "empty");
    click("LOAD_ANI");
    EXPECT_EQ(animation().name(), "empty");
    EXPECT_EQ(animation().frameCount(), 0);
    EXPECT_NEAR(shin->mainAngle(), 20, 1e-9);
    click("NEXT_FRAME");
    click("PREV_FRAME");
    click("SAVE_FRAME");
    click("APPLY_FRAME"); // nothing to act on; nothing breaks
    EXPECT_EQ(editor->currentFrame(), nullptr);
    click("ADD_NEW_FRAME");
    EXPECT_EQ(currentIndex(), 0);
}

TEST_F(EditorDialogs, EmptyNameSavesAndLoadsTheDotFile) {
    click("SHOW_SAVE");
    click("SAVE_ANI");
    EXPECT_TRUE(fs::exists(folder() / ".rgaf"));
    EXPECT_EQ(animation().name(), "");
    click("SHOW_LOAD");
    click("LOAD_ANI");
    EXPECT_FALSE(window("C_LAD")->visible);
}

TEST_F(EditorDialogs, ABrokenSkeletonLeavesAUsableEditor) {
    const fs::path skeletonFile =
        fs::path(workDir->path()) / "resources/config/skeleton/default.rgcf";
    struct Broken {
        const char* what;
        const char* text; // nullptr: no skeleton file at all
        const char* message;
    } broken[] = {
        {"one bone", "RGCF\n0 0.45 0 0 0 0 -90 90 -360 360 -90 90 10\n0.25 0 0 0\n",
         "Error: skeleton config file"},
        {"no file", nullptr, "Could not read skeleton config file\n"},
    };
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.what);
        if (b.text)
            std::ofstream(skeletonFile) << b.text;
        else
            fs::remove(skeletonFile);
        build();
        EXPECT_NE(startOutput.find(b.message), std::string::npos) << startOutput;
        EXPECT_FALSE(skeleton().complete());
        EXPECT_EQ(animation().frameCount(), 0);
        for (const char* id : {"ADD_NEW_FRAME", "SAVE_FRAME", "NEXT_FRAME", "PREV_FRAME",
                               "PLAY_ANIMATION", "STOP_ANIMATION", "APPLY_FRAME", "CHANGE_MOTION"})
            click(id);
        press("MOVE_SKELETON_UP");
        frame(0.5);
        release("MOVE_SKELETON_UP");
        press("MAIN_AXIS_INCR");
        frame(0.5);
        release("MAIN_AXIS_INCR");
        EXPECT_EQ(animation().frameCount(), 0);
        click("SHOW_SAVE");
        type("T_SFN", "nobody");
        click("SAVE_ANI"); // an animation without frames saves fine
        EXPECT_TRUE(fs::exists(folder() / "nobody.rgaf"));

        // A full animation loads, but neither stepping nor playing poses
        // a skeleton that lacks bones.
        Animation three("three", true);
        for (int i = 0; i < 3; ++i)
            three.addFrameFromPose(nullptr)->rootPosition = Vec3(i, 9, 0);
        writeFile(folder() / "three.rgaf", animationText(three));
        load("three");
        EXPECT_EQ(currentIndex(), 1);
        for (const char* id : {"NEXT_FRAME", "PREV_FRAME", "SAVE_FRAME", "PLAY_ANIMATION"})
            click(id);
        for (int i = 0; i < 20; ++i)
            frame(0.1);
        click("STOP_ANIMATION");
        if (Vec3* root = skeleton().rootPosition()) {
            EXPECT_NE(root->y, 9);
        }
    }
}

TEST_F(EditorDialogs, SteppingANonLoopingAnimationStopsAtBothEnds) {
    writeShinAnimation("steps", {10, 20, 30}, false);
    load("steps");
    // Loading shows frame 1, with frame 0 as the ghost.
    EXPECT_EQ(currentIndex(), 1);
    EXPECT_EQ(text("TF_CFS"), "1");
    EXPECT_DOUBLE_EQ(shin(), 20);
    EXPECT_TRUE(editor->ghostShown());
    EXPECT_DOUBLE_EQ(ghostShin(), 10);

    click("NEXT_FRAME");
    EXPECT_EQ(currentIndex(), 2);
    EXPECT_DOUBLE_EQ(shin(), 30);
    EXPECT_DOUBLE_EQ(ghostShin(), 20);
    // Next on the last frame of a non-looping animation does nothing, not
    // even restore the stored pose.
    skeleton().boneAt(7)->setAngles(35, 0, 0);
    click("NEXT_FRAME");
    EXPECT_EQ(currentIndex(), 2);
    EXPECT_DOUBLE_EQ(shin(), 35);

    click("PREV_FRAME");
    EXPECT_EQ(currentIndex(), 1);
    EXPECT_EQ(text("TF_CFS"), "1");
    EXPECT_DOUBLE_EQ(shin(), 20);
    EXPECT_DOUBLE_EQ(ghostShin(), 10);
    EXPECT_TRUE(editor->ghostShown());
    click("PREV_FRAME"); // frame 0 has no frame before it: no ghost
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_DOUBLE_EQ(shin(), 10);
    EXPECT_FALSE(editor->ghostShown());
    skeleton().boneAt(7)->setAngles(15, 0, 0);
    click("PREV_FRAME");
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_EQ(text("TF_CFS"), "0");
    EXPECT_DOUBLE_EQ(shin(), 15);
    EXPECT_FALSE(editor->ghostShown());

    // Looping, the same file wraps at both ends.
    writeShinAnimation("ring", {10, 20, 30}, true);
    load("ring");
    click("PREV_FRAME");
    click("PREV_FRAME"); // frame 0 back to frame 2, the ghost on frame 1
    EXPECT_EQ(currentIndex(), 2);
    EXPECT_DOUBLE_EQ(shin(), 30);
    EXPECT_DOUBLE_EQ(ghostShin(), 20);
    click("NEXT_FRAME"); // frame 2 on to frame 0, the ghost on frame 2
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_DOUBLE_EQ(ghostShin(), 30);
}

TEST_F(EditorDialogs, OneFrameFiles) {
    // Looping: frame 0 is current and its own ghost.
    writeShinAnimation("pose", {40}, true);
    load("pose");
    EXPECT_EQ(currentIndex(), 0);
    EXPECT_DOUBLE_EQ(shin(), 40);
    EXPECT_TRUE(editor->ghostShown());
    EXPECT_DOUBLE_EQ(ghostShin(), 40);

    // Not looping: the pose, counter and properties stay as they were, yet
    // the editor works on the new animation.
    writeShinAnimation("still", {70}, false);
    field("TF_FWD")->setText("999");
    load("still");
    EXPECT_EQ(animation().name(), "still");
    EXPECT_EQ(editor->currentFrame(), animation().frameAt(0));
    EXPECT_DOUBLE_EQ(shin(), 40);
    EXPECT_EQ(text("TF_CFS"), "0");
    EXPECT_EQ(text("TF_FWD"), "999");
}

} // namespace

// The editor's render keys, in the real program with its window: the render
// runs on a thread of its own (an EGL context beside the window's GLX one),
// the status line follows it, and the file lands in the animations folder.
#include "app/AnimationRender.h"

#include "animation/Animation.h"
#include "app/Application.h"
#include "app/Scene.h"
#include "editor/InputMap.h"
#include "editor/SkeletonEditor.h"
#include "gui/StatusLine.h"
#include "tests/render/MediaReader.h"
#include "tests/support/ScopedWorkDir.h"

#include <gtest/gtest.h>

namespace {

TEST(AnimationRender, CtrlRRendersTheAnimationBesideTheWindow) {
    ScopedWorkDir workDir(640, 480);
    testing::internal::CaptureStdout();
    Application app;
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(app.ok());
    // The animation a new editor starts with: one frame, one second.
    SkeletonEditor& editor = *app.scene().editor;
    const std::string name = editor.animation().name();

    app.scene().handleAction(bindingFor(KeyChord{'r', true, false, false})->action);
    EXPECT_TRUE(editor.backgroundTask().busy());
    EXPECT_EQ(editor.statusLine().message().rfind("Rendering renders/" + name + ".mp4", 0), 0u)
        << editor.statusLine().message();
    // The window goes on drawing while the render runs.
    app.update();
    app.drawFrame();
    editor.backgroundTask().wait();
    EXPECT_EQ(editor.statusLine().message(), "Rendered renders/" + name + ".mp4");

    MediaInfo info;
    std::string error;
    ASSERT_TRUE(readMedia(editorRenderPath(ANIMATION_FOLDER, name, EditorRender::Video), false, info, error))
        << error;
    EXPECT_EQ(info.codec, "h264");
    EXPECT_EQ(info.width, EDITOR_VIDEO_WIDTH);
    EXPECT_EQ(info.height, EDITOR_VIDEO_HEIGHT);
    EXPECT_EQ(info.times.size(), static_cast<std::size_t>(EDITOR_VIDEO_FPS));
}

TEST(AnimationRender, NamesCannotLeadOutOfTheRendersFolder) {
    const std::string folder = std::string(ANIMATION_FOLDER) + "renders/";
    const std::pair<const char*, const char*> cases[] = {
        {"walk", "walk.mp4"},      {"../../etc/x", "etcx.mp4"}, {"a/b", "ab.mp4"},
        {".hidden", "hidden.mp4"}, {"", "animation.mp4"},       {"..", "animation.mp4"},
    };
    for (const auto& [name, file] : cases)
        EXPECT_EQ(editorRenderPath(ANIMATION_FOLDER, name, EditorRender::Video), folder + file) << name;
    EXPECT_EQ(editorRenderPath(ANIMATION_FOLDER, "walk", EditorRender::Gif), folder + "walk.gif");
}

} // namespace

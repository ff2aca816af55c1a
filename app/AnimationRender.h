#pragma once

#include <string>

class Scene;

// The editor's renders (Ctrl+R, Ctrl+Shift+R): the animation as it stands,
// from the scene's present camera and lights, drawn offscreen on a thread of
// its own while the window stays responsive, with the progress and the
// outcome on the status line.

// What the editor renders to.
enum class EditorRender {
    // renders/NAME.mp4: EDITOR_VIDEO_WIDTH x EDITOR_VIDEO_HEIGHT at
    // EDITOR_VIDEO_FPS.
    Video,
    // renders/NAME.gif: smaller and slower, to share.
    Gif,
};

constexpr int EDITOR_VIDEO_WIDTH = 1280, EDITOR_VIDEO_HEIGHT = 720;
constexpr double EDITOR_VIDEO_FPS = 30;
constexpr int EDITOR_GIF_WIDTH = 480, EDITOR_GIF_HEIGHT = 270;
constexpr double EDITOR_GIF_FPS = 20;

// The file a render of the animation `name` goes to, in the animations
// folder `animations` (ending in "/"): "renders/NAME.mp4" or ".gif". A name
// that could lead elsewhere ("../x", "a/b", ".hidden") keeps only its
// letters, digits, '-' and '_'.
std::string editorRenderPath(const std::string& animations, const std::string& name,
                             EditorRender kind);

// Starts rendering the editor's animation with `samples` samples per pixel
// (the window's antialiasing). Says on the status line why it cannot (no
// frames, an animation that never ends, another task running, the figure
// unreadable); otherwise the status line follows the render, and its end
// says where the file went or why it failed. An exit during the render
// stops it and writes nothing.
void startEditorRender(Scene& scene, EditorRender kind, int samples);

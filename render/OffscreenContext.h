#pragma once

#include "render/RgbaImage.h"

#include <memory>
#include <string>

// An OpenGL context with no window and no display server: EGL on Mesa's
// surfaceless platform, desktop OpenGL (a compatibility context, so the
// scene's immediate-mode drawing works unchanged), drawing into a
// framebuffer object of its own size. With samples > 0 it draws into a
// multisampled buffer and resolves it before each read. It works whether
// or not DISPLAY or WAYLAND_DISPLAY is set, and never talks to either.
//
// GLEW is not initialised here: Debian's GLEW is built for GLX, and its
// glewInit answers GLEW_ERROR_NO_GLX_DISPLAY under EGL. The scene's drawing
// needs only what the GL library exports; the few framebuffer calls this
// class makes are resolved through eglGetProcAddress.
//
// A context is current on the thread that made it; another thread must call
// makeCurrent() first. Each thread that renders needs a context of its own.
class OffscreenContext {
public:
    // Makes the context and its width x height framebuffer, current on the
    // calling thread with the framebuffer bound and the viewport covering
    // it. `samples` is clamped to what the driver offers (0: no
    // multisampling). Returns nullptr with a one-line `error` when EGL, the
    // surfaceless platform, desktop OpenGL or a framebuffer of that size is
    // not to be had.
    static std::unique_ptr<OffscreenContext> create(int width, int height, int samples,
                                                    std::string& error);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // The samples per pixel actually drawn with (0 without multisampling).
    int samples() const { return samples_; }
    // Makes the context current on the calling thread, framebuffer bound.
    // False when EGL refuses.
    bool makeCurrent();
    // Waits for the drawing, resolves the samples and reads the frame, top
    // row first, RGBA. Leaves the drawing framebuffer bound.
    void readFrame(RgbaImage& image);

private:
    struct Parts;
    explicit OffscreenContext(std::unique_ptr<Parts> parts);

    std::unique_ptr<Parts> parts_;
    int width_ = 0, height_ = 0, samples_ = 0;
};

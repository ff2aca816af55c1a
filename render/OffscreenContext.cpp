#include "render/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The framebuffer calls, resolved through EGL (GLEW would go through GLX).
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLFRAMEBUFFERPARAMETERIPROC framebufferParameteri = nullptr;

    bool resolve() {
        // Not needed to draw, only to match the window to the last bit.
        get(framebufferParameteri, "glFramebufferParameteri");
        return get(genFramebuffers, "glGenFramebuffers") &&
               get(deleteFramebuffers, "glDeleteFramebuffers") &&
               get(bindFramebuffer, "glBindFramebuffer") &&
               get(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               get(checkFramebufferStatus, "glCheckFramebufferStatus") &&
               get(genRenderbuffers, "glGenRenderbuffers") &&
               get(deleteRenderbuffers, "glDeleteRenderbuffers") &&
               get(bindRenderbuffer, "glBindRenderbuffer") &&
               get(renderbufferStorageMultisample, "glRenderbufferStorageMultisample") &&
               get(blitFramebuffer, "glBlitFramebuffer");
    }

private:
    template <typename Call> bool get(Call& call, const char* name) {
        call = reinterpret_cast<Call>(eglGetProcAddress(name));
        return call != nullptr;
    }
};

// One colour and one depth-and-stencil buffer with `samples` samples.
struct Framebuffer {
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
};

bool makeFramebuffer(const FramebufferCalls& gl, int width, int height, int samples, bool withDepth,
                     Framebuffer& out) {
    gl.genFramebuffers(1, &out.framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, out.framebuffer);
    gl.genRenderbuffers(1, &out.colour);
    gl.bindRenderbuffer(GL_RENDERBUFFER, out.colour);
    gl.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, out.colour);
    if (withDepth) {
        // The window asks for 24 depth bits and 8 stencil bits too, so depth
        // ties resolve the same way in both.
        gl.genRenderbuffers(1, &out.depth);
        gl.bindRenderbuffer(GL_RENDERBUFFER, out.depth);
        gl.renderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH24_STENCIL8, width,
                                          height);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                   out.depth);
    }
    // A window's framebuffer is stored top row first, and the rasteriser
    // works from that corner; a framebuffer object stored the same way
    // rounds every fragment exactly as the editor's window does (without
    // it, a few pixels in a million come out one step apart).
    if (gl.framebufferParameteri)
        gl.framebufferParameteri(GL_FRAMEBUFFER, GL_FRAMEBUFFER_FLIP_Y_MESA, GL_TRUE);
    return gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
           glGetError() == GL_NO_ERROR;
}

void freeFramebuffer(const FramebufferCalls& gl, Framebuffer& fb) {
    if (fb.depth) {
        gl.deleteRenderbuffers(1, &fb.depth);
    }
    if (fb.colour) {
        gl.deleteRenderbuffers(1, &fb.colour);
    }
    if (fb.framebuffer) {
        gl.deleteFramebuffers(1, &fb.framebuffer);
    }
    fb = Framebuffer();
}

bool hasExtension(const char* list, const char* name) {
    if (!list) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == '\0' || at[length] == ' ';
        if (starts && ends) {
            return true;
        }
    }
    return false;
}

} // namespace

struct OffscreenContext::Parts {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    FramebufferCalls gl;
    // Drawn into; with multisampling, `resolved` is read from.
    Framebuffer drawn;
    Framebuffer resolved;
    bool multisampled = false;
    // One row, for turning the read frame upside down.
    std::vector<uint8_t> row;

    ~Parts() {
        if (context == EGL_NO_CONTEXT) {
            return;
        }
        if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
            freeFramebuffer(gl, resolved);
            freeFramebuffer(gl, drawn);
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
        // The display stays initialised: other contexts of this process
        // (another render thread) may still use it, and eglTerminate would
        // take theirs away too.
    }
};

OffscreenContext::OffscreenContext(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
OffscreenContext::~OffscreenContext() = default;

std::unique_ptr<OffscreenContext> OffscreenContext::create(int width, int height, int samples,
                                                           std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "a render needs a size of at least 1 x 1";
        return nullptr;
    }
    if (!hasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS),
                      "EGL_MESA_platform_surfaceless")) {
        error = "EGL offers no surfaceless platform (Mesa's libegl-mesa0 is needed)";
        return nullptr;
    }
    auto p = std::make_unique<Parts>();
    p->display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (p->display == EGL_NO_DISPLAY || !eglInitialize(p->display, &major, &minor)) {
        error = "cannot open EGL's surfaceless display";
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL offers no desktop OpenGL";
        return nullptr;
    }
    // No surface is ever made, so no config is needed where the driver
    // allows that; otherwise any config that can draw with desktop GL.
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!hasExtension(eglQueryString(p->display, EGL_EXTENSIONS), "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint found = 0;
        if (!eglChooseConfig(p->display, wanted, &config, 1, &found) || found < 1) {
            error = "EGL has no configuration for desktop OpenGL";
            return nullptr;
        }
    }
    // No version asked for: the driver's highest compatibility context,
    // which keeps every immediate-mode call.
    p->context = eglCreateContext(p->display, config, EGL_NO_CONTEXT, nullptr);
    if (p->context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(p->display, EGL_NO_SURFACE, EGL_NO_SURFACE, p->context)) {
        error = "cannot make a surfaceless OpenGL context";
        return nullptr;
    }
    if (!p->gl.resolve()) {
        error = "the OpenGL driver offers no framebuffer objects";
        return nullptr;
    }
    GLint maxSamples = 0;
    if (samples > 0) {
        glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    }
    const int used = samples > 0 ? std::min(samples, static_cast<int>(maxSamples)) : 0;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width > maxSize || height > maxSize) {
        error = "the render size is beyond the driver's limit of " + std::to_string(maxSize) +
                " pixels a side";
        return nullptr;
    }
    p->multisampled = used > 0;
    if ((p->multisampled && !makeFramebuffer(p->gl, width, height, 0, false, p->resolved)) ||
        !makeFramebuffer(p->gl, width, height, used, true, p->drawn)) {
        error = "cannot make a " + std::to_string(width) + " x " + std::to_string(height) +
                " framebuffer";
        return nullptr;
    }
    glViewport(0, 0, width, height);
    std::unique_ptr<OffscreenContext> made(new OffscreenContext(std::move(p)));
    made->width_ = width;
    made->height_ = height;
    made->samples_ = used;
    return made;
}

bool OffscreenContext::makeCurrent() {
    Parts& p = *parts_;
    if (!eglMakeCurrent(p.display, EGL_NO_SURFACE, EGL_NO_SURFACE, p.context)) {
        return false;
    }
    p.gl.bindFramebuffer(GL_FRAMEBUFFER, p.drawn.framebuffer);
    return true;
}

void OffscreenContext::readFrame(RgbaImage& image) {
    Parts& p = *parts_;
    if (p.multisampled) {
        p.gl.bindFramebuffer(GL_READ_FRAMEBUFFER, p.drawn.framebuffer);
        p.gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, p.resolved.framebuffer);
        p.gl.blitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                             GL_NEAREST);
        p.gl.bindFramebuffer(GL_READ_FRAMEBUFFER, p.resolved.framebuffer);
    }
    // The buffer of the last frame is reused: a render reads hundreds.
    image.width = width_;
    image.height = height_;
    image.pixels.resize(static_cast<std::size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    // GL counts rows from the bottom; pictures from the top.
    const std::size_t stride = static_cast<std::size_t>(image.stride());
    std::vector<uint8_t>& row = parts_->row;
    row.resize(stride);
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = image.pixels.data() + top * stride;
        uint8_t* b = image.pixels.data() + bottom * stride;
        std::memcpy(row.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, row.data(), stride);
    }
    p.gl.bindFramebuffer(GL_FRAMEBUFFER, p.drawn.framebuffer);
}

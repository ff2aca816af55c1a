// Frames that need not be drawn: when everything a frame is drawn from is
// what the frame on screen was drawn from, the loop leaves the picture as it
// is and only waits out the frame's time.
#include "app/Application.h"

#include "app/ExposeWatch.h"
#include "app/Scene.h"
#include "gui/InterfaceManager.h"
#include "scene/Camera.h"
#include "scene/Lighting.h"
#include "scene/SceneDrawing.h"
#include "skeleton/Skeleton.h"

#include <GL/glew.h>
#include <SFML/System/Sleep.hpp>

void Application::signFrame(const FrameContent& content, FrameSignature& signature) {
    signature.clear();
    signature.add(content.width);
    signature.add(content.height);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (GLint v : viewport)
        signature.add(v);
    double matrix[16];
    glGetDoublev(GL_PROJECTION_MATRIX, matrix);
    signature.add(matrix, 16);
    glPushMatrix();
    applyCamera(*content.camera);
    glGetDoublev(GL_MODELVIEW_MATRIX, matrix);
    glPopMatrix();
    signature.add(matrix, 16);
    const Vec3& eye = content.camera->eye;
    for (double v : {eye.x, eye.y, eye.z})
        signature.add(v);
    signature.add(content.lighting->light0On);
    signature.add(content.lighting->light1On);
    signature.add(content.figures.size());
    for (const FigureInView& figure : content.figures)
        signature.addSkeleton(*figure.skeleton, figure.alpha);
    signature.add(content.fpsReadout);
    SignaturePainter recorder(signature);
    content.interface->draw(recorder);
}

bool Application::mustDraw(const FrameContent& content) {
    // Another frame must be drawn before the first one, while a pick waits
    // for it, and when the window was uncovered, mapped or resized.
    bool must = !frameOnScreen || exposeWatch->takeRequest();
    for (const FigureInView& figure : content.figures)
        if (figure.skeleton->pickRequested)
            must = true;
    signFrame(content, nextFrame);
    return must || nextFrame != shownFrame;
}

void Application::renderChanged() {
    // Without a frame limit there is no time to wait out instead, and
    // without the server's requests an uncovered window could stay wrong:
    // then every pass draws and nothing is written down.
    const bool skipping = skipUnchanged && display.framerateLimit > 0 && exposeWatch;
    const FrameContent content = frameContent();
    if (!skipping || mustDraw(content)) {
        render(content);
        std::swap(shownFrame, nextFrame);
        frameOnScreen = skipping;
        // The window's limit waited out this frame's time.
        sinceLastFrame.restart();
        return;
    }
    // The frame on screen is this frame: count it for the frame rate and
    // wait as the window's own limit would have.
    ++frameCount;
    const sf::Time period = sf::seconds(1.0f / static_cast<float>(display.framerateLimit));
    sf::sleep(period - sinceLastFrame.getElapsedTime());
    sinceLastFrame.restart();
}

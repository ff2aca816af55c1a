// Frames that need not be drawn: when everything a frame is drawn from is
// what the frame on screen was drawn from, the loop leaves the picture as it
// is and only waits out the frame's time.
#include "app/Application.h"

#include "app/ExposeWatch.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "gui/InterfaceManager.h"
#include "scene/SceneDrawing.h"
#include "skeleton/Skeleton.h"

#include <GL/glew.h>
#include <SFML/System/Sleep.hpp>

void Application::signFrame(FrameSignature& signature) {
    signature.clear();
    Scene& scene = *scenePtr;
    const sf::Vector2u size = win->getSize();
    signature.add(size.x);
    signature.add(size.y);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (GLint v : viewport)
        signature.add(v);
    double matrix[16];
    glGetDoublev(GL_PROJECTION_MATRIX, matrix);
    signature.add(matrix, 16);
    glPushMatrix();
    applyCamera(scene.camera);
    glGetDoublev(GL_MODELVIEW_MATRIX, matrix);
    glPopMatrix();
    signature.add(matrix, 16);
    for (double v : {scene.camera.eye.x, scene.camera.eye.y, scene.camera.eye.z})
        signature.add(v);
    signature.add(glIsEnabled(GL_LIGHT0));
    signature.add(glIsEnabled(GL_LIGHT1));
    if (SkeletonEditor* editor = scene.editor.get()) {
        signature.addSkeleton(editor->skeleton(), 1.0);
        signature.add(editor->ghostShown());
        if (editor->ghostShown())
            signature.addSkeleton(editor->ghostSkeleton(), 0.2);
    }
    signature.add(fpsShown);
    if (fpsShown)
        signature.add(readoutFor(fps));
    SignaturePainter recorder(signature);
    scene.interface->draw(recorder);
}

bool Application::mustDraw() {
    // Another frame must be drawn before the first one, while a pick waits
    // for it, and when the window was uncovered, mapped or resized.
    bool must = !frameOnScreen || exposeWatch->takeRequest();
    if (SkeletonEditor* editor = scenePtr->editor.get())
        for (Skeleton* skeleton : {&editor->skeleton(), &editor->ghostSkeleton()})
            if (skeleton->pickRequested)
                must = true;
    signFrame(nextFrame);
    return must || nextFrame != shownFrame;
}

void Application::renderChanged() {
    // Without a frame limit there is no time to wait out instead, and
    // without the server's requests an uncovered window could stay wrong:
    // then every pass draws and nothing is written down.
    const bool skipping = skipUnchanged && display.framerateLimit > 0 && exposeWatch;
    if (!skipping || mustDraw()) {
        render();
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

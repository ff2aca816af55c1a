#include "render/SceneViewDrawing.h"

#include "scene/Camera.h"
#include "scene/SceneDrawing.h"
#include "skeleton/SkeletonDrawing.h"

#include <GL/gl.h>

void setSceneGlState() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glPolygonMode(GL_FRONT, GL_FILL);
    glPolygonMode(GL_BACK, GL_FILL);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void drawScene(const SceneView& view, bool quick) {
    // The sky box covers the whole frame; the clear colour only shows
    // without it, where it must be transparent and add no colour to
    // the edges of what is drawn.
    if (view.sky)
        glClearColor(0.1f, 0.8f, 0.1f, 1.0f);
    else
        glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    // The scene has no textures; the overlay of the last frame may have
    // left its text's texture bound, which would take part in every
    // fragment (unchanged colours, but rounded through other arithmetic).
    glBindTexture(GL_TEXTURE_2D, 0);

    glPushMatrix();
    applyCamera(*view.camera);
    if (view.sky)
        drawSkyBox(view.camera->eye, quick);
    drawFloor(quick);
    for (const FigureInView& figure : view.figures)
        drawSkeleton(*figure.skeleton, figure.alpha, view.width, view.height, quick);
    glPopMatrix();
}

#include "scene/SceneDrawing.h"

#include "scene/Camera.h"
#include "scene/Lighting.h"

#include <GL/glew.h>
#include <GL/glu.h>

void applyLights(const Lighting& l) {
    glEnable(GL_LIGHTING);
    glLightfv(GL_LIGHT0, GL_AMBIENT, l.ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, l.diffuse0);
    glLightfv(GL_LIGHT0, GL_SPECULAR, l.specular0);
    glLightfv(GL_LIGHT0, GL_POSITION, l.position0);
    glLightfv(GL_LIGHT1, GL_AMBIENT, l.ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, l.diffuse1);
    glLightfv(GL_LIGHT1, GL_SPECULAR, l.specular1);
    glLightfv(GL_LIGHT1, GL_POSITION, l.position1);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
}

void switchLight(const Lighting& l, int which) {
    if (which != 0 && which != 1)
        return;
    GLenum light = which == 0 ? GL_LIGHT0 : GL_LIGHT1;
    bool on = which == 0 ? l.light0On : l.light1On;
    if (on)
        glEnable(light);
    else
        glDisable(light);
}

void applyProjection(const Camera& camera) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(camera.fieldOfView, camera.aspect, camera.nearPlane, camera.farPlane);
    glMatrixMode(GL_MODELVIEW);
}

void applyCamera(const Camera& camera) {
    Vec3 eye, centre, up;
    if (camera.lookAt(eye, centre, up))
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

namespace {
struct SkyFace {
    float v[4][3];
};

// Each face is wound so its front faces the inside of the cube, since back
// faces are culled.
const SkyFace skyFaces[6] = {
    {{{1, 1, -1}, {1, 1, 1}, {-1, 1, 1}, {-1, 1, -1}}},     // top
    {{{-1, -1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, -1, -1}}}, // bottom
    {{{-1, 1, 1}, {-1, -1, 1}, {-1, -1, -1}, {-1, 1, -1}}}, // x = -1
    {{{1, -1, 1}, {1, 1, 1}, {1, 1, -1}, {1, -1, -1}}},     // x = 1
    {{{1, 1, 1}, {1, -1, 1}, {-1, -1, 1}, {-1, 1, 1}}},     // z = 1
    {{{1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, -1}}}, // z = -1
};
} // namespace

void drawSkyBox(const Vec3& eye, bool unblended) {
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    // Every colour is opaque, so blending gives the colour itself; without
    // it the software renderer writes the pixels without reading them.
    if (unblended)
        glDisable(GL_BLEND);
    glTranslated(eye.x, eye.y, eye.z);
    glScaled(5, 5, 5);
    glBegin(GL_QUADS);
    for (const SkyFace& face : skyFaces) {
        for (const auto& v : face.v) {
            if (v[1] > 0)
                glColor3d(0.8, 0.8, 0.9);
            else
                glColor3d(0.01, 0.01, 0.02);
            glVertex3f(v[0], v[1], v[2]);
        }
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glPopMatrix();
}

void drawFloor(bool unblended) {
    // Opaque and lit with opaque materials: as the sky box.
    if (unblended)
        glDisable(GL_BLEND);
    glNormal3d(0, 1, 0);
    glBegin(GL_QUADS);
    glColor3d(0, 0.9, 0.9);
    glVertex3i(-2, 0, -2);
    glColor3d(0.2, 0.2, 0.9);
    glVertex3i(-2, 0, 2);
    glColor3d(0, 0.7, 0.9);
    glVertex3i(2, 0, 2);
    glColor3d(0, 0.2, 0.9);
    glVertex3i(2, 0, -2);
    glEnd();
    glEnable(GL_BLEND);
}

void beginOverlay(int windowWidth, int windowHeight) {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, windowWidth, 0, windowHeight);
    glDisable(GL_LIGHTING);
}

void endOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
}

#include "tests/support/GlProjection.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

bool projectToWindow(const Vec3& point, int& x, int& y) {
    GLdouble model[16], projection[16], wx, wy, wz;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (gluProject(point.x, point.y, point.z, model, projection, viewport, &wx, &wy, &wz) !=
        GL_TRUE)
        return false;
    x = static_cast<int>(std::lround(wx));
    y = static_cast<int>(std::lround(wy));
    return true;
}

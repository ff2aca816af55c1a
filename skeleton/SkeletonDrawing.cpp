#include "skeleton/SkeletonDrawing.h"

#include "skeleton/SinglePrecision.h"
#include "skeleton/Skeleton.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <limits>
#include <vector>

namespace {

// The fractional constants are single-precision values widened to double
// (0.3f, not 0.3), matching the float colours used everywhere else.
constexpr double BONE_HALF_WIDTH = 0.03f;
constexpr double BASE_RED = 0.9f, BASE_GREEN = 0.9f, BASE_BLUE = 0.0;
constexpr double SELECTED_RED = 0.3f, SELECTED_GREEN = 1.0, SELECTED_BLUE = 1.0;
constexpr double FRONT_RED = 0.6f;
constexpr double MARKER_RED = 0.3f;
constexpr double MARKER_HALF_SIZE = 0.5;

constexpr double PICK_FIELD_OF_VIEW = 45;
constexpr double PICK_NEAR = 0.5;
constexpr double PICK_FAR = 10000;
// One hit record (name count, minimum depth, maximum depth, name) per bone:
// each bone loads its own name, so no bone can leave more than one.
constexpr int SELECT_ENTRIES_PER_BONE = 4;

void vertex(const Vec3& v) {
    glVertex3d(v.x, v.y, v.z);
}
void normal(const Vec3& v) {
    glNormal3d(v.x, v.y, v.z);
}

// Draws the bones under their selection names. Lighting is irrelevant in
// selection mode, so every bone is drawn fully opaque.
void drawForPicking(const Skeleton& skeleton) {
    for (int i = 0; i < skeleton.boneCount(); ++i) {
        const Bone* bone = skeleton.boneAt(i);
        glLoadName(static_cast<GLuint>(bone->index()));
        drawBone(*bone, 1.0);
    }
}

void drawOriginMarker(const Vec3& origin) {
    const double x = origin.x, y = origin.y, z = origin.z, h = MARKER_HALF_SIZE;
    glBegin(GL_QUADS);
    glNormal3d(0, 1, 0);
    glColor3d(MARKER_RED, 0, 0);
    glVertex3d(x - h, y, z - h);
    glVertex3d(x - h, y, z + h);
    glVertex3d(x + h, y, z + h);
    glVertex3d(x + h, y, z - h);
    glEnd();
}

} // namespace

// The hit record the pick settles on: smallest minimum depth, then smallest
// maximum depth, the earlier record on a full tie. Only the first `size`
// entries belong to the selection buffer. Returns the chosen record's name,
// or -1 if the buffer holds no complete record.
long nearestHitName(const std::vector<unsigned int>& buffer, std::size_t size, int hits) {
    GLuint bestMin = std::numeric_limits<GLuint>::max();
    GLuint bestMax = std::numeric_limits<GLuint>::max();
    long chosen = -1;
    size_t at = 0;
    for (int h = 0; h < hits; ++h) {
        if (at + 3 > size)
            break;
        const GLuint names = buffer[at];
        const GLuint minDepth = buffer[at + 1];
        const GLuint maxDepth = buffer[at + 2];
        const size_t next = at + 3 + names;
        if (names == 0 || next > size)
            break;
        // The first record is taken even at the far plane's depth, where it
        // would tie with the starting values and leave nothing chosen.
        if (chosen < 0 || minDepth < bestMin || (minDepth == bestMin && maxDepth < bestMax)) {
            bestMin = minDepth;
            bestMax = maxDepth;
            chosen = buffer[next - 1]; // the bone's name is the top of the stack
        }
        at = next;
    }
    return chosen;
}

namespace {
// The bone's three fins as triangles, inside a glBegin(GL_TRIANGLES).
void emitBone(const Bone& bone, double alpha) {
    if (!bone.parent())
        return;
    const bool selected = bone.selected();
    const double r = selected ? SELECTED_RED : BASE_RED;
    const double g = selected ? SELECTED_GREEN : BASE_GREEN;
    const double b = selected ? SELECTED_BLUE : BASE_BLUE;

    const AxisFrame& frame = bone.frame();
    const Vec3& p = bone.position();
    const Vec3 x = frame.axisX * BONE_HALF_WIDTH;
    const Vec3 z = frame.axisZ * BONE_HALF_WIDTH;
    // The drawn tip uses the stored length as it is, so a bone too short to
    // have an endPoint still draws its (degenerate) triangles.
    const Vec3 tip = p + frame.axisY * toSinglePrecision(bone.length());

    normal(frame.axisZ);
    glColor4d(r, g, b, alpha);
    vertex(p + x);
    vertex(p - x);
    glColor4d(r / 3, g / 3, b / 3, alpha);
    vertex(tip);

    normal(frame.axisX);
    glColor4d(r, g, b, alpha);
    vertex(p - z);
    vertex(p);
    glColor4d(r / 3, g / 3, b / 3, alpha);
    vertex(tip);

    // The +Z half of the cross fin has a red base so the twist shows.
    glColor4d(FRONT_RED, 0, 0, alpha);
    vertex(p);
    vertex(p + z);
    glColor4d(r / 3, g / 3, b / 3, alpha);
    vertex(tip);
}

// Lit, both sides of the fins showing.
void beginBones() {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glEnable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glBegin(GL_TRIANGLES);
}

void endBones() {
    glEnd();
    glPopAttrib();
}
} // namespace

void drawBone(const Bone& bone, double alpha) {
    if (!bone.parent())
        return;
    beginBones();
    emitBone(bone, alpha);
    endBones();
}

void drawSkeleton(Skeleton& skeleton, double alpha, int windowWidth, int windowHeight,
                  bool together) {
    if (together) {
        // One call for all the bones, in the same order with the same state:
        // the same pixels. Opaque bones blend to their own colour, so they
        // are drawn unblended.
        glPushAttrib(GL_COLOR_BUFFER_BIT);
        if (alpha >= 1)
            glDisable(GL_BLEND);
        beginBones();
        for (int i = 0; i < skeleton.boneCount(); ++i)
            emitBone(*skeleton.boneAt(i), alpha);
        endBones();
        glPopAttrib();
    } else {
        for (int i = 0; i < skeleton.boneCount(); ++i)
            drawBone(*skeleton.boneAt(i), alpha);
    }
    if (skeleton.pickRequested)
        pickBone(skeleton, windowWidth, windowHeight);
    if (alpha >= 1) {
        glPushAttrib(GL_CURRENT_BIT);
        drawOriginMarker(skeleton.origin());
        glPopAttrib();
    }
}

void pickBone(Skeleton& skeleton, int windowWidth, int windowHeight) {
    // The old highlight goes at once, even if the pick itself must wait.
    if (Bone* old = skeleton.selectedBone())
        old->setSelected(false);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // A viewport other than the whole window (or a window with no area)
    // would map the pointer wrongly; try again at the next draw.
    if (viewport[2] != windowWidth || viewport[3] != windowHeight || windowWidth <= 0 ||
        windowHeight <= 0)
        return;

    const size_t size = static_cast<size_t>(SELECT_ENTRIES_PER_BONE) * skeleton.boneCount();
    // One spare entry keeps data() valid for a skeleton without bones.
    std::vector<GLuint> buffer(size + 1);
    GLint matrixMode;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glSelectBuffer(static_cast<GLsizei>(size), buffer.data());
    glRenderMode(GL_SELECT);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(skeleton.pickX, skeleton.pickY, 1, 1, viewport);
    gluPerspective(PICK_FIELD_OF_VIEW,
                   static_cast<double>(windowWidth) / static_cast<double>(windowHeight), PICK_NEAR,
                   PICK_FAR);
    glMatrixMode(GL_MODELVIEW);

    glInitNames();
    glPushName(0);
    drawForPicking(skeleton);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    const GLint hits = glRenderMode(GL_RENDER);
    glPopAttrib();
    glMatrixMode(static_cast<GLenum>(matrixMode));

    skeleton.pickRequested = false;
    // No hit, or an overflow (negative count), deselects.
    const long name = hits > 0 ? nearestHitName(buffer, size, hits) : -1;
    skeleton.select(name >= 0 ? skeleton.boneAt(static_cast<int>(name)) : nullptr);
}

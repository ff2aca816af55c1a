// Prints where a bone's midpoint appears in the program's window at start,
// as "x y" in window pixels from the top-left (what xdotool expects).
// Usage: project_bone <bone index> <window width> <window height>
// [orbit yaw] [orbit pitch] [distance]. Uses the program's own skeleton
// file, camera and projection, so end-to-end tests never hard-code where
// the figure stands.
#include "scene/Camera.h"
#include "skeleton/Skeleton.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr const char* SKELETON_FILE = "resources/config/skeleton/default.rgcf";

// gluLookAt followed by gluPerspective, applied to one point.
bool project(const Camera& camera, const Vec3& p, int width, int height, double& wx, double& wy) {
    Vec3 eye, centre, up;
    if (!camera.lookAt(eye, centre, up))
        return false;
    Vec3 f = (centre - eye).normalized();
    Vec3 s = f.cross(up).normalized();
    Vec3 u = s.cross(f);
    Vec3 d = p - eye;
    double xe = s.dot(d), ye = u.dot(d), ze = -f.dot(d);
    double t = 1.0 / std::tan(degreesToRadians(camera.fieldOfView) / 2);
    if (ze >= 0)
        return false; // behind the eye
    double xn = (t / camera.aspect) * xe / -ze;
    double yn = t * ye / -ze;
    wx = (xn + 1) / 2 * width;
    wy = (1 - (yn + 1) / 2) * height;
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: project_bone <bone> <width> <height> [yaw pitch distance]\n");
        return 2;
    }
    int index = std::atoi(argv[1]);
    int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
    Skeleton skeleton(SKELETON_FILE, 0, 0.5, 0);
    const Bone* bone = skeleton.boneAt(index);
    if (!bone || !skeleton.rootPosition()) {
        std::fprintf(stderr, "project_bone: no bone %d\n", index);
        return 1;
    }
    Camera camera;
    camera.mode = CAMERA_ORBIT;
    camera.target = skeleton.rootPosition();
    // The projection keeps its constructed aspect until the first resize.
    if (argc >= 7) {
        camera.orbitYaw = std::atof(argv[4]);
        camera.orbitPitch = std::atof(argv[5]);
        camera.distance = std::atof(argv[6]);
    }
    camera.update(0);
    Vec3 mid = (bone->position() + bone->endPoint()) * 0.5;
    double x, y;
    if (!project(camera, mid, width, height, x, y))
        return 1;
    std::printf("%d %d\n", static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
    return 0;
}

// How long one full-skeleton rebuild takes (rotateBy on the root of the
// default figure rebuilds every bone's frame and joint point), and one mouse
// move of each pose-by-dragging gesture from the start camera.
#include "scene/Camera.h"
#include "scene/CameraProjection.h"
#include "skeleton/BoneAim.h"
#include "skeleton/ChainIk.h"
#include "skeleton/ChainKinematics.h"
#include "skeleton/Skeleton.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int RIGHT_FOREARM = 19, LEFT_HAND = 16;

std::string defaultSkeletonPath() {
    const char* dir = std::getenv("KINEMORPH_SOURCE_DIR");
    return std::string(dir ? dir : KINEMORPH_SOURCE_DIR_DEFAULT) +
           "/resources/config/skeleton/default.rgcf";
}

void rootRotation(benchmark::State& state) {
    Skeleton skeleton(defaultSkeletonPath(), 0, 0.5, 0);
    Bone* root = skeleton.rootBone();
    if (!skeleton.complete() || !root) {
        state.SkipWithError("default skeleton did not load");
        return;
    }
    // Alternate the sign so the angle stays inside the root's limits and
    // every step really turns the figure.
    double step = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(root->rotateBy(step, step, 0));
        step = -step;
    }
    benchmark::DoNotOptimize(skeleton.boneAt(POSE_BONE_COUNT - 1)->position());
}

// The program's start view of the figure: orbit around the root at
// distance 10, yaw 0, pitch 45, aspect 4/3, in an 800 x 600 window.
ScreenProjection startView(const Skeleton& skeleton) {
    Camera camera;
    camera.mode = CAMERA_ORBIT;
    camera.target = skeleton.rootPosition();
    camera.update(0);
    return cameraProjection(camera, 800, 600);
}

struct Pixel {
    double x, y;
};

// One mouse move of a drag on `bone`: the pointer swings between the tip's
// pixels for two poses (trial angles of `model`), so every move asks the
// gesture for real work. Counts the moves that ended within `reach` of the
// pointer (in the gesture's unit).
template <class Move>
void dragMoves(benchmark::State& state, int bone, const std::vector<int>& movers,
               const double (&poseA)[6], const double (&poseB)[6], double reach, Move move) {
    Skeleton skeleton(defaultSkeletonPath(), 0, 0.5, 0);
    if (!skeleton.complete()) {
        state.SkipWithError("default skeleton did not load");
        return;
    }
    const ScreenProjection view = startView(skeleton);
    Bone& b = *skeleton.boneAt(bone);
    std::vector<Bone*> chain;
    for (int m : movers)
        chain.push_back(skeleton.boneAt(m));
    const ChainKinematics model(chain, b);
    Vec3 a, c;
    if (!model.valid() || !view.projectInFront(model.tip(poseA), a) ||
        !view.projectInFront(model.tip(poseB), c)) {
        state.SkipWithError("the tip is out of view");
        return;
    }
    const Pixel pixels[2] = {{a.x, a.y}, {c.x, c.y}};
    int side = 0, reached = 0;
    for (auto _ : state) {
        const SolveReport r = move(b, view, pixels[side].x, pixels[side].y);
        reached += r.error >= 0 && r.error <= reach;
        side = 1 - side;
    }
    state.counters["reached"] = benchmark::Counter(reached, benchmark::Counter::kAvgIterations);
}

// Two nearby arm poses (forearm, upper arm, shoulder: main and secondary),
// a few pixels apart on the screen, and one far out of reach.
const double ARM_A[6] = {-20, 0, 55, 5, 90, 0};
const double ARM_B[6] = {-26, 2, 60, 3, 92, 1};

// A Ctrl-drag move on the left hand: a 3-bone chain (forearm, upper arm,
// shoulder) solved toward the pointer's point on the drag plane.
void ikStep(benchmark::State& state) {
    dragMoves(state, LEFT_HAND, {15, 14, 13}, ARM_A, ARM_B, 1e-4,
              [](Bone& hand, const ScreenProjection& view, double x, double y) {
                  return dragChain(hand, view, x, y);
              });
}

// The same with the pointer far out of the hand's reach, on the far side
// of the window: the solve stalls at the nearest pose and looks for
// another way every move, the slowest kind of move.
void ikStepOutOfReach(benchmark::State& state) {
    dragMoves(state, LEFT_HAND, {15, 14, 13}, ARM_A, ARM_B, -1,
              [](Bone& hand, const ScreenProjection& view, double x, double) {
                  return dragChain(hand, view, 800 - x * 0.2, 590);
              });
}

// A plain drag move on the right forearm: its main and secondary angles
// aimed at the pointer.
void aimStep(benchmark::State& state) {
    const double a[6] = {-20, 2}, b[6] = {-28, -1};
    dragMoves(state, RIGHT_FOREARM, {RIGHT_FOREARM}, a, b, 1,
              [](Bone& forearm, const ScreenProjection& view, double x, double y) {
                  return aimBone(forearm, view, x, y);
              });
}

} // namespace

BENCHMARK(rootRotation);
BENCHMARK(ikStep);
BENCHMARK(ikStepOutOfReach);
BENCHMARK(aimStep);
BENCHMARK_MAIN();

// How long one full-skeleton rebuild takes: rotateBy on the root of the
// default figure rebuilds every bone's frame and joint point.
#include "skeleton/Skeleton.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

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

} // namespace

BENCHMARK(rootRotation);
BENCHMARK_MAIN();

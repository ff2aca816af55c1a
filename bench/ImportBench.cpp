// The whole import of the shared clip (CMU 131_02: start, walk, stop; 1,247
// frames at 120 fps) onto the figure at the default tolerance: map,
// retarget, reduce, check on the timeline. Counters give, from the same
// run, the source frames, the key frames kept, the keys a greedy reducer
// keeps on the same dense import (keys on source frames, linear only, same
// tolerance and the same stand keys) and the largest error.

#include "import/BvhReader.h"
#include "import/MotionImport.h"
#include "skeleton/DefaultFigure.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

std::string sourceDir() {
    const char* dir = std::getenv("KINEMORPH_SOURCE_DIR");
    return dir ? dir : ".";
}

void ImportCapturedWalk(benchmark::State& state) {
    BvhClip clip;
    std::string error;
    if (!readBvhFile(sourceDir() + "/tests/data/mocap/cmu-131_02.bvh", clip, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Skeleton figure(sourceDir() + "/" + SKELETON_PATH, 0, SKELETON_ORIGIN_Y, 0);
    MotionImportOptions options;
    options.name = "walk";
    MotionImport result;
    for (auto _ : state) {
        if (!importMotion(clip, figure, options, result, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.animation.frameCount());
    }
    // The baseline is reduced from the very dense import the keys replay.
    const DenseTrack track(result.retarget.poses, clip.frameTime, figure,
                           ReplayTolerance{options.tolerance});
    const auto greedy = greedyKeys(track, contactChanges(result.retarget.contact));
    state.counters["frames"] = clip.frameCount;
    state.counters["keys"] = result.animation.frameCount();
    state.counters["greedy_keys"] = static_cast<double>(greedy.size());
    state.counters["largest_degrees"] = result.largestDegrees;
}
BENCHMARK(ImportCapturedWalk)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

BENCHMARK_MAIN();

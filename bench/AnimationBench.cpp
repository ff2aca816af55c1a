// The reader and writer of animation files next to baselines that do only
// the unavoidable work on the same text: split it and convert its numbers
// with strtod (reading) or format them with snprintf("%g") (writing). The
// ratio reader/baseline shows what the file format costs over the bare
// conversion. Then one player update posing 21 bones mid-transition.

#include "animation/AnimationFile.h"
#include "animation/AnimationPlayer.h"

#include "tests/animation/TestSkeleton.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int FRAMES = 10000;

const Animation& bigAnimation() {
    static Animation animation = [] {
        Animation a("benchmark take", true);
        std::mt19937_64 random(1);
        std::uniform_real_distribution<double> angle(-180, 180);
        std::uniform_real_distribution<double> seconds(0, 3);
        for (int f = 0; f < FRAMES; ++f) {
            KeyFrame* frame = a.addFrameFromPose(nullptr);
            frame->rootPosition = Vec3(angle(random) / 100, 0.5 + angle(random) / 1000, 0);
            for (BonePose& pose : frame->boneAngles) {
                pose = BonePose(angle(random), angle(random) / 4, angle(random) / 2);
            }
            frame->waitTime = seconds(random);
            frame->transitionTime = seconds(random);
            frame->motionType = 3 + 10 * static_cast<int>(random() % 4);
        }
        return a;
    }();
    return animation;
}

const std::string& bigText() {
    static std::string text = animationText(bigAnimation());
    return text;
}

void ReadAnimation(benchmark::State& state) {
    const std::string& text = bigText();
    for (auto _ : state) {
        std::istringstream in(text);
        Animation animation = readAnimation(in);
        benchmark::DoNotOptimize(animation.lastFrame());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadAnimation)->Unit(benchmark::kMillisecond);

void ReadBaselineStrtod(benchmark::State& state) {
    const std::string& text = bigText();
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(FRAMES) * FRAME_LINE_VALUES);
    for (auto _ : state) {
        values.clear();
        const char* p = text.c_str();
        for (int line = 0; line < 4; ++line) {
            p = std::strchr(p, '\n') + 1;
        }
        // strtod stops at the tab or line end that ends each number.
        while (*p != '\0') {
            char* end = nullptr;
            values.push_back(std::strtod(p, &end));
            p = *end == '\0' ? end : end + 1;
        }
        benchmark::DoNotOptimize(values.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadBaselineStrtod)->Unit(benchmark::kMillisecond);

void WriteAnimation(benchmark::State& state) {
    const Animation& animation = bigAnimation();
    for (auto _ : state) {
        std::string text = animationText(animation);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bigText().size()));
}
BENCHMARK(WriteAnimation)->Unit(benchmark::kMillisecond);

void WriteBaselineSnprintf(benchmark::State& state) {
    const Animation& animation = bigAnimation();
    std::vector<double> values;
    for (int f = 0; f < animation.frameCount(); ++f) {
        const KeyFrame& frame = *animation.frameAt(f);
        values.insert(values.end(),
                      {frame.rootPosition.x, frame.rootPosition.y, frame.rootPosition.z});
        for (const BonePose& pose : frame.boneAngles) {
            values.insert(values.end(), {pose.x, pose.y, pose.z});
        }
        values.insert(values.end(), {frame.waitTime, frame.transitionTime,
                                     static_cast<double>(frame.motionType)});
    }
    for (auto _ : state) {
        std::string text;
        text.reserve(bigText().size());
        char buffer[32];
        for (std::size_t i = 0; i < values.size(); ++i) {
            int n = std::snprintf(buffer, sizeof buffer, "%g", values[i]);
            text.append(buffer, static_cast<std::size_t>(n));
            text.push_back((i + 1) % FRAME_LINE_VALUES == 0 ? '\n' : '\t');
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bigText().size()));
}
BENCHMARK(WriteBaselineSnprintf)->Unit(benchmark::kMillisecond);

// The whole save and load through the file system, for scale: the save
// includes the fsync that makes the replacement safe.
void SaveAndLoadFile(benchmark::State& state) {
    char pattern[] = "/tmp/kinemorph-bench-XXXXXX";
    std::string folder = ::mkdtemp(pattern);
    const Animation& animation = bigAnimation();
    std::string path = animationPath(folder, animation.name());
    for (auto _ : state) {
        bool saved = saveAnimation(folder, animation);
        Animation loaded(path);
        benchmark::DoNotOptimize(saved);
        benchmark::DoNotOptimize(loaded.lastFrame());
    }
    ::unlink(path.c_str());
    ::rmdir(folder.c_str());
}
BENCHMARK(SaveAndLoadFile)->Unit(benchmark::kMillisecond);

void PlayerUpdate(benchmark::State& state) {
    std::unique_ptr<Skeleton> skeleton = makeTestSkeleton();
    ManualPlayerClock clock;
    AnimationPlayer player(clock);
    player.setSkeleton(skeleton.get());
    Animation walk("walk", true);
    for (int i = 0; i < 2; ++i) {
        KeyFrame* frame = walk.addFrameFromPose(skeleton.get());
        for (BonePose& pose : frame->boneAngles) {
            pose += BonePose(5.0 * i, 2.0 * i, 1.0 * i);
        }
        frame->motionType = MotionType::EaseInOut;
    }
    player.addAnimation(&walk);
    player.play("walk");
    player.update();
    // Stay a little way into the snapshot's transition, so every update
    // poses all 21 bones.
    clock.advance(0.05);
    for (auto _ : state) {
        player.update();
        benchmark::DoNotOptimize(skeleton->boneAt(20)->position());
    }
}
BENCHMARK(PlayerUpdate);

} // namespace

BENCHMARK_MAIN();

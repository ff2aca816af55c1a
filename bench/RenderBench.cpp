// Rendering and encoding against the animation's own time: the walk, four
// seconds of it at 30 frames per second, drawn offscreen through EGL and
// encoded to H.264 in memory, at 640 x 480 and at 1280 x 720. Each
// iteration is one whole render as kinemorph-render does it (a fresh
// context included). Needs no display. Run from the folder that holds
// resources/.
#include "animation/Timeline.h"
#include "render/CameraShot.h"
#include "render/RenderJob.h"
#include "render/VideoEncoder.h"
#include "skeleton/DefaultFigure.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>

namespace {

constexpr double FPS = 30;

// Seconds of CPU the whole process has used, every thread (Mesa's and the
// encoder's) included.
double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
constexpr double CLIP_SECONDS = 4;

// Encodes as the MP4 sink does and keeps the file in memory.
class EncodeOnly : public FrameSink {
public:
    explicit EncodeOnly(std::unique_ptr<VideoEncoder> encoder) : encoder_(std::move(encoder)) {}
    bool addFrame(const RgbaImage& image, std::string& error) override {
        return encoder_->addFrame(image, error);
    }
    bool finish(std::string& error) override {
        std::string bytes;
        return encoder_->finish(bytes, error);
    }

private:
    std::unique_ptr<VideoEncoder> encoder_;
};

void RenderMp4(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    ClipRequest clip;
    clip.fps = FPS;
    clip.hasTo = true;
    clip.to = CLIP_SECONDS;
    double perFrame = 0, cpuPerFrame = 0;
    int frames = 0;
    for (auto _ : state) {
        RenderScene scene;
        scene.skeleton = std::make_unique<Skeleton>(SKELETON_PATH, 0, SKELETON_ORIGIN_Y, 0);
        scene.animation = std::make_unique<Animation>(std::string(ANIMATION_FOLDER) + "walk.rgaf");
        scene.camera =
            cameraForShot(CameraShot::Editor, scene.skeleton->rootPosition(), width, height);
        scene.width = width;
        scene.height = height;
        FramePlan plan;
        std::string error;
        if (!planFrames(timelineDuration(*scene.animation), scene.animation->looping(), clip, plan,
                        error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        VideoSettings video{width, height, FPS, false};
        auto encoder = VideoEncoder::open(VideoFormat::Mp4, video, error);
        if (!encoder) {
            state.SkipWithError(error.c_str());
            return;
        }
        EncodeOnly sink(std::move(encoder));
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = processCpuSeconds();
        if (!renderClip(scene, plan, sink, {}, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        perFrame += took.count() / plan.count;
        cpuPerFrame += (processCpuSeconds() - cpuStart) / plan.count;
        frames = plan.count;
    }
    const double iterations = static_cast<double>(state.iterations());
    // Microseconds per frame, wall and CPU of all threads, and the wall time
    // against a frame's own 1 / FPS.
    state.counters["frame_us"] = perFrame / iterations * 1e6;
    state.counters["frame_cpu_us"] = cpuPerFrame / iterations * 1e6;
    state.counters["of_real_time"] = perFrame / iterations * FPS;
    state.counters["frames"] = frames;
}

} // namespace

BENCHMARK(RenderMp4)
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

BENCHMARK_MAIN();

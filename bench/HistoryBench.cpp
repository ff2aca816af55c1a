// The undo history against its budget: the memory a history of 1,000 edits
// on a 1,000-frame animation holds, and the time of one undo or redo of an
// edit in a 10,000-frame animation, both through the real editor (state
// restored on screen included). Run from the folder that holds resources/.
#include "animation/Animation.h"
#include "animation/KeyFrame.h"
#include "editor/EditHistory.h"
#include "editor/InputMap.h"
#include "editor/SkeletonEditor.h"
#include "gui/Button.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"
#include "skeleton/Skeleton.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <random>

namespace {

// A headless editor whose animation has `frames` frames of varied poses,
// with an empty history.
struct Bench {
    ProgramState state;
    InterfaceManager manager{state};
    std::unique_ptr<SkeletonEditor> editor;

    explicit Bench(int frames) {
        manager.init();
        editor = std::make_unique<SkeletonEditor>(manager);
        std::mt19937 random(7);
        for (int f = 1; f < frames; ++f) {
            KeyFrame* frame = editor->animation().addFrameFromPose(&editor->skeleton());
            for (BonePose& pose : frame->boneAngles)
                pose += BonePose(random() % 7, random() % 5, random() % 3);
            frame->waitTime = (random() % 1000) / 1000.0;
        }
        editor->restartHistory();
    }
    void press(const char* id) {
        Button button(id, "");
        button.state = Button::STATE_PRESSED;
        editor->onCommand(&button);
    }
    // One user edit of a kind chosen by `n`: a turn of a bone by an exact
    // step, new times applied to some frame, a frame inserted or deleted.
    void edit(int n, std::mt19937& random) {
        const int frames = editor->animation().frameCount();
        switch (n % 4) {
        case 0:
            editor->skeleton().select(
                editor->skeleton().boneAt(1 + static_cast<int>(random() % 20)));
            editor->setClickModifiers(false, true);
            press(random() % 2 ? "MAIN_AXIS_INCR" : "MAIN_AXIS_DECR");
            editor->setClickModifiers(false, false);
            break;
        case 1:
            editor->stepToFrame(static_cast<int>(random() % static_cast<unsigned>(frames)));
            editor->components().waitField->setText(std::to_string(random() % 3000));
            press("APPLY_FRAME");
            break;
        case 2:
            editor->perform(EditorAction::InsertFrame);
            break;
        default:
            editor->perform(EditorAction::DeleteFrame);
            break;
        }
    }
};

size_t heapInUse() {
    return mallinfo2().uordblks;
}

void HistoryOf1000EditsOn1000Frames(benchmark::State& state) {
    for (auto _ : state) {
        Bench bench(1000);
        std::mt19937 random(3);
        const size_t heapBefore = heapInUse();
        for (int n = 0; n < 1000; ++n)
            bench.edit(n, random);
        state.counters["steps"] = static_cast<double>(bench.editor->history().stepCount());
        state.counters["history_mb"] = bench.editor->history().memoryBytes() / 1e6;
        state.counters["heap_growth_mb"] = (static_cast<double>(heapInUse()) - heapBefore) / 1e6;
    }
}
BENCHMARK(HistoryOf1000EditsOn1000Frames)->Iterations(1)->Unit(benchmark::kMillisecond);

// One undo and one redo per iteration of the last of 200 edits on a
// 10,000-frame animation; `kind` picks the edit (1 new times on a middle
// frame, 3 a frame deleted from the middle, which renumbers half the frames).
void UndoRedoOn10000Frames(benchmark::State& state) {
    Bench bench(10000);
    std::mt19937 random(5);
    for (int n = 0; n < 200; ++n)
        bench.edit(n % 2 ? 0 : 1, random);
    bench.editor->stepToFrame(5000);
    bench.edit(static_cast<int>(state.range(0)), random);
    for (auto _ : state) {
        bench.editor->undo();
        bench.editor->redo();
    }
    // Per undo or redo, in microseconds.
    state.counters["per_step_us"] =
        benchmark::Counter(2.0 * static_cast<double>(state.iterations()) / 1e6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(UndoRedoOn10000Frames)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// What one frame of the editor costs next to a bare frame on the same
// window and GL driver. The editor frame is the program's own render():
// sky box, floor, both skeletons with the ghost, the nine windows with all
// their text, the top dock and the frame-rate readout, then the present.
// The bare frame only clears and presents. A third kind of frame carries a
// bone pick, to show what a click costs on top of a frame, and another shows
// the timeline strip (F2) over an animation of a few frames.
//
// Needs a display (tools/bench.sh starts its own Xvfb) and runs the program
// in a private copy of resources/ with an 800 x 600 window and no frame
// limit.

#include "animation/Animation.h"
#include "app/Application.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "editor/TimelineStrip.h"
#include "gui/ComponentContainer.h"
#include "scene/SceneDrawing.h"
#include "skeleton/Skeleton.h"
#include "skeleton/SkeletonDrawing.h"
#include "tests/support/GlProjection.h"
#include "tests/support/ScopedWorkDir.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The bone the pick case aims at: one of the spine's, large on screen.
constexpr int PICK_BONE = 1;
// Frames of the animation the timeline case shows.
constexpr int TIMELINE_FRAMES = 5;

struct Program {
    std::unique_ptr<ScopedWorkDir> workDir;
    std::unique_ptr<Application> app;
    int pickX = 0, pickY = 0;
};

Program* program = nullptr;

// Where the middle of a bone lands in window pixels (origin bottom-left),
// through the camera the scene uses.
bool projectBone(Application& app, int index, int& x, int& y) {
    const Bone* bone = app.scene().editor->skeleton().boneAt(index);
    if (!bone)
        return false;
    glPushMatrix();
    applyCamera(app.scene().camera);
    const bool projected = projectToWindow((bone->position() + bone->endPoint()) * 0.5, x, y);
    glPopMatrix();
    return projected;
}

// Puts the editor in the state the frame case draws: every window shown,
// the ghost on, and one pass of the loop so the layout is in place.
bool prepare(Program& p) {
    p.workDir = std::make_unique<ScopedWorkDir>(800, 600);
    std::ostringstream startOutput;
    std::streambuf* saved = std::cout.rdbuf(startOutput.rdbuf());
    p.app = std::make_unique<Application>();
    std::cout.rdbuf(saved);
    if (!p.app->ok()) {
        std::cerr << "frame bench: the program did not start:\n" << startOutput.str();
        return false;
    }
    SkeletonEditor& editor = *p.app->scene().editor;
    editor.components().loadWindow->visible = true;
    editor.components().saveWindow->visible = true;
    editor.setGhostShown(true);
    // Frames of different lengths, some with a wait, for the timeline case;
    // nothing else on screen shows them.
    for (int i = 1; i < TIMELINE_FRAMES; ++i) {
        KeyFrame* frame = editor.animation().addFrameFromPose(&editor.skeleton());
        frame->waitTime = 0.25 * (i % 2);
        frame->transitionTime = 0.5 + 0.25 * i;
    }
    p.app->update();
    // Shown for two frames running, the strip's numbers are captured by the
    // text cache, as they are from the second frame on while the strip stays
    // up; drawn only every few frames here, they would never be.
    editor.timeline().setShown(true);
    p.app->render();
    p.app->render();
    editor.timeline().setShown(false);
    p.app->render();
    return projectBone(*p.app, PICK_BONE, p.pickX, p.pickY);
}

void bareFrame(Application& app) {
    glClearColor(0.1f, 0.8f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    app.window().display();
}

// Parts of the frame on their own, to show where its time goes: the 3-D
// part (sky box, floor, both skeletons) or the sky box alone, between the
// bare frame's clear and present.
void sceneOnlyFrame(Application& app, bool skyOnly) {
    Scene& scene = app.scene();
    glClearColor(0.1f, 0.8f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glPushMatrix();
    applyCamera(scene.camera);
    drawSkyBox(scene.camera.eye, true);
    if (!skyOnly) {
        drawFloor(true);
        const int w = app.state().windowWidth, h = app.state().windowHeight;
        drawSkeleton(scene.editor->skeleton(), 1.0, w, h, true);
        drawSkeleton(scene.editor->ghostSkeleton(), 0.2, w, h, true);
    }
    glPopMatrix();
    app.window().display();
}

// A click's pick runs inside the next frame's skeleton drawing; false when
// the request is still pending or another bone came out selected.
bool frameWithPick(Application& app, int x, int y) {
    Skeleton& skeleton = app.scene().editor->skeleton();
    skeleton.pickX = x;
    skeleton.pickY = y;
    skeleton.pickRequested = true;
    app.render();
    return !skeleton.pickRequested && skeleton.selectedBone() == skeleton.boneAt(PICK_BONE);
}

// The kinds of frame one after the other, in turn, each timed on its own:
// load from elsewhere on the machine then falls on all of them alike, and
// the medians compare frames drawn within milliseconds of each other.
// Besides the bare, editor and pick frames: the editor frame drawn the
// straightforward way (one call per primitive, blending everywhere, each
// cached label drawn on its own), as the program drew before the quicker
// drawing, the 3-D part and
// the sky box alone, and the editor frame with the timeline shown (its
// geometry worked out again, as every update does while it shows).
// Counters: median wall and process CPU microseconds per kind.
void InterleavedFrames(benchmark::State& state) {
    Application& app = *program->app;
    using Clock = std::chrono::steady_clock;
    constexpr int KINDS = 7;
    TimelineStrip& timeline = app.scene().editor->timeline();
    std::vector<double> wall[KINDS], cpu[KINDS];
    auto cpuNow = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
    };
    int round = 0;
    bool picked = true;
    for (auto _ : state) {
        for (int k = 0; k < KINDS; ++k) {
            const int kind = (round + k) % KINDS;
            const double cpuStart = cpuNow();
            const Clock::time_point start = Clock::now();
            if (kind == 0)
                bareFrame(app);
            else if (kind == 1)
                app.render();
            else if (kind == 2)
                picked = frameWithPick(app, program->pickX, program->pickY) && picked;
            else if (kind == 3) {
                app.setStraightforwardDrawing(true);
                app.render();
                app.setStraightforwardDrawing(false);
            } else if (kind == 6) {
                timeline.setShown(true);
                app.render();
                timeline.setShown(false);
            } else {
                sceneOnlyFrame(app, kind == 5);
            }
            wall[kind].push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            cpu[kind].push_back(cpuNow() - cpuStart);
        }
        ++round;
    }
    if (!picked) {
        state.SkipWithError("the pick did not complete within the frame");
        return;
    }
    auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    const char* names[KINDS] = {"bare", "frame", "pick", "plain", "scene", "sky", "timeline"};
    for (int kind = 0; kind < KINDS; ++kind) {
        state.counters[std::string(names[kind]) + "_us"] = median(wall[kind]);
        state.counters[std::string(names[kind]) + "_cpu_us"] = median(cpu[kind]);
    }
}
BENCHMARK(InterleavedFrames)->Iterations(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Program p;
    if (!prepare(p)) {
        std::cerr << "frame bench: could not set up the editor frame\n";
        return 1;
    }
    program = &p;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    program = nullptr;
    return 0;
}

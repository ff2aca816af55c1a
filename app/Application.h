#pragma once

#include "app/DisplaySettings.h"
#include "app/FrameContent.h"
#include "app/FrameSignature.h"
#include "gui/Fonts.h"
#include "gui/GlPainter.h"
#include "gui/ProgramState.h"

#include <SFML/System/Clock.hpp>
#include <SFML/Window/Window.hpp>

#include <cstdint>
#include <memory>
#include <string>

class Scene;
class ExposeWatch;
class InputDispatcher;
class WindowSide;

// The program: one window with its GL context, the clocks, the fonts and
// the Scene with everything drawn and updated. The constructor reads the
// display settings, opens the window, checks the GL extension loader, the
// driver and the fonts, sets the fixed GL state and builds the scene; a
// failed check prints its reason and leaves the application not ok, in
// which case run() returns 1 at once. Everything runs on one thread.
class Application {
public:
    // Never throws for an expected failure; clears ok() instead. Prints the
    // "OpenGL Ver.: " line whatever happened. Reads its settings, fonts,
    // skeleton and music from `paths`, and keeps animations where they say.
    explicit Application(const ProgramPaths& paths = workingDirectoryPaths());
    ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // 1 at once when not ok; otherwise runs the main loop until `running`
    // is cleared, tears the scene down, closes the window and returns 0.
    int run();

    // The three steps of one pass of the main loop, in this order.
    void handleEvents();
    void update();
    void render();
    // render() without presenting: tests read the back buffer after it.
    void drawFrame() { drawFrame(frameContent()); }
    // What the next frame shows, as the scene stands now.
    FrameContent frameContent();
    // render(), unless the frame would be the very frame on screen: then
    // it only waits out the frame's time (the loop's way to draw).
    void renderChanged();
    // Leaves every frame to render() when false; on by default.
    void setSkipUnchangedFrames(bool skip) { skipUnchanged = skip; }
    // Frames render() drew and presented so far.
    uint64_t framesDrawn() const { return drawnFrames; }

    bool ok() const { return ready; }
    ProgramState& state() { return programState; }
    Scene& scene() { return *scenePtr; }
    // The window; only valid once a display was found (ok() implies it).
    sf::Window& window() { return *win; }
    // The painter the overlay is drawn with (tests switch its text cache).
    GlPainter& guiPainter() { return painter; }
    // Draws every frame the straightforward way (true): immediate mode, one
    // call per primitive, blending everywhere, as tests compare the quicker
    // drawing against. The quicker drawing (false, the default) gives the
    // same pixels; the very first frame is always drawn straightforwardly,
    // as its text goes through the fonts anyway and the driver then prepares
    // only what that needs.
    void setStraightforwardDrawing(bool plain) { plainDrawing = plain; }
    bool showFps() const { return fpsShown; }
    const std::string& fpsText() const { return fpsReadout; }
    double fpsValue() const { return fps; }

private:
    void createWindow();
    void setFixedGlState();
    // The frame-rate readout's text.
    static std::string readoutFor(double framesPerSecond);
    void render(const FrameContent& content);
    void drawFrame(const FrameContent& content);
    // Everything a frame of `content` is drawn from.
    void signFrame(const FrameContent& content, FrameSignature& signature);
    // Whether a frame of `content` must be drawn; fills nextFrame.
    bool mustDraw(const FrameContent& content);
    void tearDown();

    ProgramState programState;
    // The fonts exist before anything is measured or drawn.
    Fonts fonts{programState.paths.lacunaFont, programState.paths.echolotFont};
    GlPainter painter{fonts};
    DisplaySettings display;
    sf::ContextSettings contextSettings;
    // Made only once a display is known to exist: any SFML window object,
    // even an unopened one, sets up a GL context and aborts the process
    // without an X server.
    std::unique_ptr<sf::Window> win;
    sf::Clock fpsClock;
    sf::Clock frameClock;
    std::unique_ptr<Scene> scenePtr;
    std::unique_ptr<WindowSide> windowSide;
    std::unique_ptr<InputDispatcher> input;
    std::string fpsReadout;
    double fps = 0;
    uint32_t frameCount = 1;
    bool fpsShown = true;
    bool plainDrawing = false;
    bool skipUnchanged = true;
    bool frameOnScreen = false;
    uint64_t drawnFrames = 0;
    FrameSignature shownFrame, nextFrame;
    std::unique_ptr<ExposeWatch> exposeWatch;
    sf::Clock sinceLastFrame;
    bool drewFirstFrame = false;
    bool ready = true;
};

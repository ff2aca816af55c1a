#include "app/Application.h"

#include "app/AnimationRender.h"
#include "app/ExitSignals.h"
#include "app/ExposeWatch.h"
#include "app/InputDispatch.h"
#include "app/Scene.h"
#include "editor/InputMap.h"
#include "editor/SkeletonEditor.h"
#include "gui/InterfaceManager.h"
#include "gui/TextMetrics.h"
#include "render/SceneViewDrawing.h"
#include "scene/SceneDrawing.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <ctime>
#include <future>
#include <iostream>
#include <sstream>

namespace {
const char* const WINDOW_TITLE = "Kinemorph - Orrowen";

// The window's half of the input dispatch: cursor and GL state changes.
class ApplicationWindowSide : public WindowSide {
public:
    ApplicationWindowSide(sf::Window& window, Scene& scene) : window(window), scene(scene) {}
    void setCursorPosition(int x, int y) override {
        sf::Mouse::setPosition(sf::Vector2i(x, y), window);
    }
    void setCursorVisible(bool visible) override { window.setMouseCursorVisible(visible); }
    void lightSwitched(int which) override { switchLight(scene.lighting, which); }
    void resized(int width, int height) override {
        applyProjection(scene.camera);
        glLoadIdentity();
        glViewport(0, 0, width, height);
    }
    bool shiftHeld() const override {
        return sf::Keyboard::isKeyPressed(sf::Keyboard::LShift) ||
               sf::Keyboard::isKeyPressed(sf::Keyboard::RShift);
    }
    bool controlHeld() const override {
        return sf::Keyboard::isKeyPressed(sf::Keyboard::LControl) ||
               sf::Keyboard::isKeyPressed(sf::Keyboard::RControl);
    }

private:
    sf::Window& window;
    Scene& scene;
};

// SFML gives up the whole process when it cannot reach an X server, so ask
// for one ourselves first and turn its absence into a failed start. The
// connection stays open until the window exists: an X server resets when
// its last client leaves and refuses connections while it does.
struct DisplayProbe {
    Display* display = XOpenDisplay(nullptr);
    ~DisplayProbe() {
        if (display)
            XCloseDisplay(display);
    }
    bool available() const { return display != nullptr; }
};

ProgramState stateFor(const ProgramPaths& paths) {
    ProgramState state;
    state.paths = paths;
    return state;
}

} // namespace

std::string Application::readoutFor(double framesPerSecond) {
    std::ostringstream out;
    out << "FPS: " << framesPerSecond;
    return out.str();
}

Application::Application(const ProgramPaths& paths) : programState{stateFor(paths)} {
    contextSettings = sf::ContextSettings(0, 0, 0);
    fpsClock.restart();

    scenePtr = std::make_unique<Scene>(programState, makeSfmlMusic);

    contextSettings.depthBits = 32;
    contextSettings.stencilBits = 8;
    display = readDisplaySettingsFile(programState.paths.settings);

    bool windowOpen = false;
    DisplayProbe probe;
    // Making the window and its GL context is the slowest part of a start,
    // and all the driver's. Meanwhile a second thread makes the fonts'
    // glyphs and builds the GUI and the editor, which need no GL; the lights
    // and the music follow once the window is there.
    std::future<void> building;
    if (probe.available() && fonts.loaded()) {
        fonts.setFaceSizes();
        installTextMetrics(&fonts);
        building = std::async(std::launch::async, [this] {
            fonts.prepareGlyphs();
            scenePtr->buildInterface();
        });
    }
    if (probe.available()) {
        win = std::make_unique<sf::Window>();
        createWindow();
        windowOpen = win->isOpen() && win->setActive(true);
    }
    if (!windowOpen)
        std::cout << "Error: Could not open a window (is a display available?)\n";

    GLenum glewStatus =
        windowOpen ? (glewExperimental = GL_TRUE, glewInit()) : GLEW_ERROR_NO_GL_VERSION;
    if (glewStatus != GLEW_OK) {
        std::cout << "Error Initializing GLEW!\n";
        std::cerr << "Error: " << glewGetErrorString(glewStatus) << "\n" << std::flush;
        ready = false;
    }
    if (glewStatus != GLEW_OK || !GLEW_ARB_vertex_buffer_object) {
        std::cout << "Error: This program requires graphics card support for "
                     "ARB_vertex_buffer_object\n";
        ready = false;
    }
    if (!fonts.loaded()) {
        std::cout << "Error: Could not initialize fonts!\n";
        ready = false;
    }

    if (building.valid())
        building.get();
    if (ready) {
        setFixedGlState();
        scenePtr->finishSetUp();
        Scene* scene = scenePtr.get();
        scene->interface->commandCallback = [scene](InterfaceComponent* hit, int32_t, int32_t) {
            scene->handleCommand(hit);
        };
        const int samples = display.antialiasingLevel;
        scene->startRender = [scene, samples](EditorAction action) {
            startEditorRender(
                *scene, action == EditorAction::RenderGif ? EditorRender::Gif : EditorRender::Video,
                samples);
        };
        windowSide = std::make_unique<ApplicationWindowSide>(*win, *scenePtr);
        input = std::make_unique<InputDispatcher>(programState, *scenePtr, *windowSide, fpsShown);
        exposeWatch = std::make_unique<ExposeWatch>(win->getSystemHandle());
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        frameClock.restart();
    }

    const GLubyte* version = windowOpen ? glGetString(GL_VERSION) : nullptr;
    std::cout << "OpenGL Ver.: " << (version ? reinterpret_cast<const char*>(version) : "") << "\n"
              << std::flush;
}

Application::~Application() {
    // Components measure text through the fonts; never leave the measurer
    // pointing at fonts that are gone.
    installTextMetrics(nullptr);
}

void Application::createWindow() {
    DisplaySettings s = display;
    if (s.fullscreen) {
        // The file gave no full-screen size of its own: use the desktop's.
        sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
        if (s.fullscreenWidth <= 0)
            s.fullscreenWidth = static_cast<int>(desktop.width);
        if (s.fullscreenHeight <= 0)
            s.fullscreenHeight = static_cast<int>(desktop.height);
    }
    s = sanitizeDisplaySettings(s);
    display = s;
    contextSettings.antialiasingLevel = static_cast<unsigned>(s.antialiasingLevel);
    programState.windowWidth = s.windowedWidth;
    programState.windowHeight = s.windowedHeight;

    if (s.fullscreen) {
        win->create(sf::VideoMode(s.fullscreenWidth, s.fullscreenHeight, 32), WINDOW_TITLE,
                    sf::Style::Fullscreen, contextSettings);
        win->setPosition(sf::Vector2i(0, 0));
    } else {
        win->create(sf::VideoMode(s.windowedWidth, s.windowedHeight, 32), WINDOW_TITLE,
                    sf::Style::Titlebar | sf::Style::Close, contextSettings);
    }
    if (!win->isOpen())
        return;
    win->setFramerateLimit(static_cast<unsigned>(s.framerateLimit));
    sf::Vector2u size = win->getSize();
    programState.windowWidth = static_cast<int>(size.x);
    programState.windowHeight = static_cast<int>(size.y);
}

void Application::setFixedGlState() {
    setSceneGlState();
    applyProjection(scenePtr->camera);
    glLoadIdentity();
    glViewport(0, 0, programState.windowWidth, programState.windowHeight);
    glClearColor(1, 1, 1, 1);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
}

int Application::run() {
    if (!ready)
        return 1;
    programState.running = true;
    frameClock.restart();
    installExitSignals();
    for (;;) {
        while (programState.running) {
            handleEvents();
            update();
            renderChanged();
            if (exitSignalled())
                programState.running = false;
        }
        // Every way out (the menu's exit, the window's close box, a signal)
        // comes here: keep unsaved work before anything is torn down. A
        // signal cannot be asked back; the user can, once, when the work
        // could not be kept.
        SkeletonEditor* editor = scenePtr->editor.get();
        if (!editor)
            break;
        if (exitSignalled()) {
            editor->autosave();
            break;
        }
        if (editor->readyToQuit())
            break;
        // The status line says why; the menu would hide it.
        scenePtr->interface->menuShown = false;
        programState.running = true;
    }
    removeExitSignals();
    tearDown();
    return 0;
}

void Application::tearDown() {
    input.reset();
    scenePtr.reset();
    installTextMetrics(nullptr);
    // The cached text's textures belong to the window's context.
    painter.textCache().release();
    win->close();
}

void Application::handleEvents() {
    sf::Event event;
    while (win->pollEvent(event)) {
        if (input)
            input->handle(event);
        else if (event.type == sf::Event::Closed)
            programState.running = false;
    }
}

void Application::update() {
    double dt = frameClock.getElapsedTime().asSeconds();
    Scene& scene = *scenePtr;
    // Autosave time runs with the menu open too.
    if (scene.editor)
        scene.editor->advanceAutosave(dt);
    bool menu = scene.interface->update(dt);
    if (!menu) {
        scene.camera.update(dt);
        if (scene.editor)
            scene.editor->editorUpdate(dt);
    }
    double sampled = fpsClock.getElapsedTime().asSeconds();
    if (sampled > 1) {
        fps = frameCount / sampled;
        frameCount = 0;
        fpsClock.restart();
    }
    frameClock.restart();
}

FrameContent Application::frameContent() {
    Scene& scene = *scenePtr;
    FrameContent content;
    const sf::Vector2u size = win->getSize();
    content.width = static_cast<int>(size.x);
    content.height = static_cast<int>(size.y);
    content.camera = &scene.camera;
    content.lighting = &scene.lighting;
    if (SkeletonEditor* editor = scene.editor.get()) {
        content.figures.push_back({&editor->skeleton(), 1.0});
        if (editor->ghostShown())
            content.figures.push_back({&editor->ghostSkeleton(), 0.2});
    }
    if (fpsShown)
        content.fpsReadout = readoutFor(fps);
    content.interface = scene.interface.get();
    return content;
}

void Application::drawFrame(const FrameContent& content) {
    const bool quick = !plainDrawing && drewFirstFrame;
    drewFirstFrame = true;
    SceneView view;
    view.camera = content.camera;
    view.figures = content.figures;
    // Figures are placed by the program's window size, the pick included.
    view.width = programState.windowWidth;
    view.height = programState.windowHeight;
    drawScene(view, quick);

    beginOverlay(content.width, content.height);
    painter.setBatching(quick);
    painter.beginFrame(content.width, content.height);
    ++frameCount;
    if (!content.fpsReadout.empty()) {
        fpsReadout = content.fpsReadout;
        painter.text(fpsReadout, 10, 10, Rgba{1, 1, 1, 1});
    }
    content.interface->draw(painter);
    painter.endFrame();
    endOverlay();
}

void Application::render() {
    render(frameContent());
}

void Application::render(const FrameContent& content) {
    ++drawnFrames;
    drawFrame(content);
    win->display();
}

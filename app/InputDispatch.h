#pragma once

#include <SFML/Window/Event.hpp>

#include <cstdint>

class Scene;
struct ProgramState;

// What input does to the window and the GL state, kept behind an interface
// so the routing can be driven by synthetic events in tests.
class WindowSide {
public:
    virtual ~WindowSide() = default;
    // Moves the mouse cursor to window pixel (x, y), origin top-left.
    virtual void setCursorPosition(int x, int y) = 0;
    virtual void setCursorVisible(bool visible) = 0;
    // Light `which` (0 or 1) was switched: make GL follow its flag.
    virtual void lightSwitched(int which) = 0;
    // The window has a new size: reset the projection and viewport.
    virtual void resized(int width, int height) = 0;
    // Whether Shift, or Control, is held on the keyboard now (mouse events
    // do not say).
    virtual bool shiftHeld() const { return false; }
    virtual bool controlHeld() const { return false; }
};

// Routes the window's events. The GUI gets the first look at keys and
// clicks; what it does not take flies a Free camera (arrow keys), switches
// the lights (Page Up / Page Down), zooms an Orbit camera (wheel), turns the
// camera (right-button drag with the cursor hidden and pinned to the window
// centre) or asks the edited skeleton to pick the bone under the cursor
// (left press), and a left drag from a picked bone turns that bone (Ctrl on
// a hand, foot or the head: the chain above it). Keys of the input map
// reach the scene's actions. F12 toggles the frame-rate readout whatever the
// GUI did.
// Positions reach the GUI and picking with y counted from the bottom.
class InputDispatcher {
public:
    InputDispatcher(ProgramState& state, Scene& scene, WindowSide& window, bool& showFps);

    // Handles one event.
    void handle(const sf::Event& event);

    // Mouse state, window pixels from the top-left as the window reports.
    bool leftHeld = false;
    bool rightHeld = false;
    bool ignoreNextMove = false;
    int dragX = 0, dragY = 0;
    int savedX = 0, savedY = 0;

private:
    void keyPressed(const sf::Event::KeyEvent& key);
    void keyReleased(const sf::Event::KeyEvent& key);
    void mouseButton(int button, bool press, int x, int y);
    void mouseMoved(int x, int y);
    void resize(int width, int height);
    void centreCursor();
    int32_t flipY(int y) const;

    ProgramState& state;
    Scene& scene;
    WindowSide& window;
    bool& showFps;
};

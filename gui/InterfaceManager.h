#pragma once

#include "gui/InterfaceComponent.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Button;
class ComponentContainer;
class Painter;
class TextField;
struct ProgramState;

// The one object through which the program uses its GUI. It keeps every
// registered component and shows them in two modes: with the menu closed, a
// row docked at the top edge and floating windows over the 3-D view; with
// the menu open, a full-window animated background with one page at a time
// (a big title over a centred column; the first component is the lowest).
// Pages form a tree: each page but page 0 is reached by a button on its
// parent and has a "Back" button first.
//
// Button hits become commands: ids beginning with "SC_" are carried out
// here on release (leave, close the menu, go to a page); every other hit,
// on press and on release, and the presses of "SC_" buttons, go to
// `commandCallback`. Escape opens the menu and steps back through it; typed
// keys go to the focused text field.
//
// The lists hold plain pointers: components registered here are owned by
// whoever made them and must outlive the manager. The manager owns only the
// buttons it makes itself (exit, return, page and "Back" buttons).
class InterfaceManager {
public:
    static constexpr int32_t MAX_PAGES = 50;
    using CommandCallback = std::function<void(InterfaceComponent*, int32_t x, int32_t y)>;
    using ComponentList = std::deque<InterfaceComponent*>;

    // Every registered component, in registration order: receives hover,
    // update and the colour scheme.
    ComponentList allComponents;
    ComponentList topDock;
    // Floating windows in drawing order: the first is drawn first, the last
    // on top. A press on a window moves it to the end (raiseWindow).
    std::deque<ComponentContainer*> windows;
    // Components drawn over the windows while the menu is closed (the
    // editor's timeline and shortcuts panel), in drawing order.
    ComponentList overlays;
    // Components drawn under the windows while the menu is closed and never
    // offered a click (the status line), so no panel is ever covered.
    ComponentList underlays;
    std::array<ComponentList, MAX_PAGES> pages;
    int32_t pageCount = 0;
    std::array<std::string, MAX_PAGES> pageTitles;
    // (0, 0) until the first layout.
    std::array<Point2i, MAX_PAGES> titlePositions{};
    int32_t currentPage = 0;
    Button* exitButton = nullptr;
    Button* returnButton = nullptr;
    TextField* focusedField = nullptr;
    bool menuShown = false;
    // Layout and colour scheme are redone at the next update.
    bool layoutDirty = false;
    Rgb menuColor;
    // Per channel r, g, b: true while the channel rises.
    std::array<bool, 3> colorRising{{true, true, true}};
    CommandCallback commandCallback;

    // An empty manager: no pages, menu closed, no callback. `state` gives
    // the window size for layouts and the running flag the exit button
    // clears; it must outlive the manager.
    explicit InterfaceManager(ProgramState& state);
    ~InterfaceManager();
    InterfaceManager(const InterfaceManager&) = delete;
    InterfaceManager& operator=(const InterfaceManager&) = delete;

    // Seeds rand(), makes page 0 "Main Menu K.M.P." with the return button
    // and then the exit button (page 0 then reads exit, return), picks a
    // random menu colour and applies the colour scheme. Call once.
    void init();

    // False for ids beginning with "SC_" and for ids some registered
    // component already has (components inside containers are not searched).
    bool isIdFree(const std::string& id) const;
    // Puts a component on a page (on page 0 before its last component) and
    // registers it. Returns false and changes nothing for nullptr, a taken
    // or "SC_" id, or a page that was not made.
    bool addToPage(InterfaceComponent* component, int32_t page);
    // addToPage for the manager's own "SC_" buttons: shrinks the component
    // to its text first and skips the id test. False for nullptr or a page
    // that was not made (the component stays shrunk).
    bool addSystem(InterfaceComponent* component, int32_t page);
    // Shrinks the component to its text and adds it to the top row. False
    // for nullptr or an id that is not free (the component stays shrunk).
    bool addToTopDock(InterfaceComponent* component);
    // Registers a floating window on top of the others and gives it a title
    // bar; its owner places it. False and no change for nullptr or an id
    // that is not free.
    bool addWindow(ComponentContainer* window);
    // Registers a component that lies over the working screen: while the
    // menu is closed it is offered clicks before the dock and the windows
    // (topmost first) and is drawn after them; every layout gives it the
    // whole window as its rectangle, so it places its own contents. Hover,
    // update and the colour scheme reach it like any other. False and no
    // change for nullptr or an id that is not free.
    bool addOverlay(InterfaceComponent* overlay);
    // Registers a component drawn after the dock and before the windows
    // while the menu is closed; it sees no clicks, and every layout gives it
    // the whole window. False and no change for nullptr or an id that is not
    // free.
    bool addUnderlay(InterfaceComponent* underlay);
    // Moves a registered window to the top of the drawing order, where it
    // also gets the clicks first. False and no change for a window that is
    // not registered.
    bool raiseWindow(ComponentContainer* window);
    // Makes a page titled `title` under `parent`, with a button to it on the
    // parent and a "Back" button first on it. The first page made is page 0
    // (parent ignored). Returns the new index, or -1 for an unmade parent or
    // when all 50 pages exist.
    int32_t addPage(int32_t parent, const std::string& title);

    // A click in overlay coordinates (y up). With the menu closed the click
    // belongs to the topmost window drawn at that point, which a press also
    // raises; windows beneath it hear only releases, and a left release ends
    // every window's drag. Returns true when the GUI took the click: always
    // while the menu is open, else when a dock component or a window was hit.
    bool handleClick(int32_t button, int32_t clickKind, int32_t x, int32_t y);
    // Carries out an "SC_" id on release; hands everything else to the
    // callback. Returns true.
    bool dispatchCommand(Button* button, int32_t x, int32_t y);
    // Hover for every registered component. Returns menuShown.
    bool handleMouseMove(int32_t x, int32_t y);
    // A drag for every floating window, after which every window's title
    // bar is kept in view of the current window size. Returns menuShown.
    bool handleMouseDrag(int32_t x, int32_t y);
    // Escape opens the menu or steps back; letters (upper case with shift),
    // digits, keypad digits, space and backspace type into the focused field,
    // unless that field sits in a hidden window. Returns menuShown.
    bool handleKey(int32_t key, bool shift);
    // Gives `field` (registered, or inside a registered window; nullptr for
    // none) the keyboard focus, as a press on it does, and takes the look of
    // focus from the field that had it.
    void focus(TextField* field);
    // Whether `key` would be typed into the focused text field now: the menu
    // is closed, a field that can take typing has the focus, and its filter
    // takes the key's character (BackSpace always counts). Keys it takes
    // keep their typing meaning over any shortcut.
    bool typingTakes(int32_t key);
    // Whether the focused field keeps `key`, pressed without Ctrl or Alt,
    // from the shortcuts and the camera: every key it types, and the keys a
    // text box is expected to swallow (Space, Delete, Insert, Home, End and
    // the arrows), so none of them edits the animation behind the field.
    bool fieldKeeps(int32_t key);
    // Back to the parent page, or closes the menu on page 0.
    void goBack();
    // Opens the menu on the current page with a new random background, and
    // ends any window drag (its release will not reach the window).
    void showMenu();

    // Lays out when dirty, animates the menu background while it is shown,
    // and updates every component. Returns menuShown.
    bool update(double seconds);
    // Grey components with a light blue highlight.
    void applyColorScheme();
    // Places the top dock, every page's column and every title for a
    // W x H window. Floating windows, hidden ones included, move only as far
    // as their title bars need to stay in view (keepTitleBarsInside).
    void layout(int32_t width, int32_t height);
    // Moves each window only as far as needed for its title bar to keep 40
    // pixels of its width and its whole height inside a W x H window, so
    // that no panel can be lost off the edge.
    void keepTitleBarsInside(int32_t width, int32_t height);
    // The menu and its current page while it is open, else the top dock and
    // the windows.
    void draw(Painter& painter) const;

private:
    // handleClick without the focus bookkeeping around it.
    bool routeClick(int32_t button, int32_t clickKind, int32_t x, int32_t y);
    // Whether `field` is registered or inside a registered container;
    // compares pointers only, so a stale pointer is safe.
    bool registered(const TextField* field) const;
    void insertOnPage(InterfaceComponent* component, int32_t page);
    // Offers a click to the windows from the top down; see handleClick.
    // Returns the hit that counts, or nullptr.
    InterfaceComponent* clickWindows(int32_t button, int32_t clickKind, int32_t x, int32_t y);
    Button* makeButton(const std::string& id, const std::string& label);
    // The page an "SC_GOTO_PAGE_" id names, or -1 when it names no made page.
    int32_t pageFromId(const std::string& id) const;
    // Whether the focused field still belongs to something registered and
    // is not inside a hidden container; forgets the focus when the field is
    // no longer anywhere in the GUI.
    bool focusedFieldTakesTyping();

    ProgramState& state;
    std::vector<std::unique_ptr<Button>> ownButtons;
};

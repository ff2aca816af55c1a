#include "gui/InterfaceManager.h"

#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/KeyCodes.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>

namespace {
const std::string SYSTEM_PREFIX = "SC_";
const std::string GOTO_PAGE_PREFIX = "SC_GOTO_PAGE_";
const std::string MAIN_MENU_TITLE = "Main Menu K.M.P.";
const std::string EXIT_ID = "SC_EXIT_BUTTON";
const std::string RETURN_ID = "SC_RETURN_BUTTON";

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// The character a typed key stands for (upper case with shift), or 0 for a
// key that types nothing.
char typedCharacter(int32_t key, bool shift) {
    if (key >= 'a' && key <= 'z')
        return static_cast<char>(shift ? std::toupper(static_cast<unsigned char>(key)) : key);
    if (key >= '0' && key <= '9')
        return static_cast<char>(key);
    if (key >= Key::Numpad0 && key <= Key::Numpad9)
        return static_cast<char>('0' + (key - Key::Numpad0));
    if (key == Key::Space)
        return ' ';
    return 0;
}
} // namespace

InterfaceManager::InterfaceManager(ProgramState& state_) : state(state_) {}

InterfaceManager::~InterfaceManager() = default;

Button* InterfaceManager::makeButton(const std::string& id, const std::string& label) {
    ownButtons.push_back(std::make_unique<Button>(id, label));
    return ownButtons.back().get();
}

void InterfaceManager::init() {
    std::srand(static_cast<unsigned>(std::clock()));
    menuShown = false;
    focusedField = nullptr;
    commandCallback = nullptr;
    pageCount = 0;
    currentPage = addPage(0, MAIN_MENU_TITLE);
    returnButton = makeButton(RETURN_ID, "Return to Program");
    exitButton = makeButton(EXIT_ID, "Exit Program");
    addSystem(returnButton, 0);
    addSystem(exitButton, 0);
    menuColor = {(std::rand() % 100) / 255.0, (std::rand() % 100) / 255.0,
                 (std::rand() % 100) / 255.0};
    colorRising = {true, true, true};
    applyColorScheme();
}

bool InterfaceManager::isIdFree(const std::string& id) const {
    if (startsWith(id, SYSTEM_PREFIX))
        return false;
    for (const InterfaceComponent* c : allComponents)
        if (c->id == id)
            return false;
    return true;
}

void InterfaceManager::insertOnPage(InterfaceComponent* component, int32_t page) {
    ComponentList& list = pages[static_cast<size_t>(page)];
    // Page 0 keeps its last component (the return button) last, so it
    // stays at the top of the column.
    if (page == 0 && !list.empty())
        list.insert(list.end() - 1, component);
    else
        list.push_back(component);
    allComponents.push_back(component);
    layoutDirty = true;
}

bool InterfaceManager::addToPage(InterfaceComponent* component, int32_t page) {
    if (!component || !isIdFree(component->id) || page < 0 || page >= pageCount)
        return false;
    insertOnPage(component, page);
    return true;
}

bool InterfaceManager::addSystem(InterfaceComponent* component, int32_t page) {
    if (!component)
        return false;
    component->setSize(0, 0);
    if (page < 0 || page >= pageCount)
        return false;
    insertOnPage(component, page);
    return true;
}

bool InterfaceManager::addToTopDock(InterfaceComponent* component) {
    if (!component)
        return false;
    component->setSize(0, 0);
    if (!isIdFree(component->id))
        return false;
    allComponents.push_back(component);
    topDock.push_back(component);
    layoutDirty = true;
    return true;
}

bool InterfaceManager::addWindow(ComponentContainer* window) {
    if (!window || !isIdFree(window->id))
        return false;
    windows.push_back(window);
    allComponents.push_back(window);
    window->titleBar = true;
    return true;
}

bool InterfaceManager::addOverlay(InterfaceComponent* overlay) {
    if (!overlay || !isIdFree(overlay->id))
        return false;
    overlays.push_back(overlay);
    allComponents.push_back(overlay);
    layoutDirty = true;
    return true;
}

bool InterfaceManager::addUnderlay(InterfaceComponent* underlay) {
    if (!underlay || !isIdFree(underlay->id))
        return false;
    underlays.push_back(underlay);
    allComponents.push_back(underlay);
    layoutDirty = true;
    return true;
}

bool InterfaceManager::raiseWindow(ComponentContainer* window) {
    const auto at = std::find(windows.begin(), windows.end(), window);
    if (!window || at == windows.end())
        return false;
    windows.erase(at);
    windows.push_back(window);
    return true;
}

int32_t InterfaceManager::addPage(int32_t parent, const std::string& title) {
    if (pageCount >= MAX_PAGES)
        return -1;
    if (pageCount == 0) {
        pageTitles[0] = title;
        pageCount = 1;
        return 0;
    }
    if (parent < 0 || parent >= pageCount)
        return -1;
    const int32_t n = pageCount;
    pageTitles[static_cast<size_t>(n)] = title;
    addSystem(makeButton(GOTO_PAGE_PREFIX + std::to_string(n), title), parent);
    Button* back = makeButton(GOTO_PAGE_PREFIX + std::to_string(parent), "Back");
    pageCount = n + 1;
    addSystem(back, n);
    layoutDirty = true;
    return n;
}

bool InterfaceManager::handleClick(int32_t button, int32_t clickKind, int32_t x, int32_t y) {
    TextField* const focusedBefore = focusedField;
    const bool taken = routeClick(button, clickKind, x, y);
    // A field that lost the focus to a press it never saw (it lay under
    // another window) must not go on looking focused.
    if (focusedField != focusedBefore && registered(focusedBefore))
        focusedBefore->focused = false;
    return taken;
}

bool InterfaceManager::routeClick(int32_t button, int32_t clickKind, int32_t x, int32_t y) {
    const bool menuWasOpen = menuShown;
    // Any left release ends every drag, wherever it lands: the dragged
    // window may have been hidden meanwhile and then hears no clicks, and a
    // drag left running would glue it to every later drag.
    if (button == MouseButton::Left && clickKind == CLICK_RELEASE)
        for (ComponentContainer* w : windows)
            w->dragging = false;
    InterfaceComponent* hit = nullptr;
    if (menuWasOpen) {
        if (pageCount > 0)
            for (InterfaceComponent* c : pages[static_cast<size_t>(currentPage)])
                if ((hit = c->handleClick(button, clickKind, x, y)))
                    break;
    } else {
        for (auto it = overlays.rbegin(); it != overlays.rend() && !hit; ++it)
            hit = (*it)->handleClick(button, clickKind, x, y);
    }
    // A release reaches the dock and the windows even when an overlay took
    // it, so nothing pressed there stays pressed.
    if (!menuWasOpen && (!hit || clickKind == CLICK_RELEASE)) {
        // Both the dock and the windows see the event; a window's hit wins.
        InterfaceComponent* dockHit = nullptr;
        for (InterfaceComponent* c : topDock)
            if ((dockHit = c->handleClick(button, clickKind, x, y)))
                break;
        InterfaceComponent* windowHit = clickWindows(button, clickKind, x, y);
        if (!hit)
            hit = windowHit ? windowHit : dockHit;
    }
    if (hit) {
        if (hit->kind == KIND_BUTTON) {
            // A button takes the focus from any field; cleared before the
            // command runs, so a command may hand it to a field of its own.
            focusedField = nullptr;
            dispatchCommand(static_cast<Button*>(hit), x, y);
        } else if (hit->kind == KIND_TEXT_FIELD) {
            focusedField = static_cast<TextField*>(hit);
        }
        return true;
    }
    if (clickKind == CLICK_PRESS)
        focusedField = nullptr;
    return menuWasOpen;
}

InterfaceComponent* InterfaceManager::clickWindows(int32_t button, int32_t clickKind, int32_t x,
                                                   int32_t y) {
    InterfaceComponent* hit = nullptr;
    // The window the click belongs to: the first, from the top, that takes
    // it or is drawn at the point.
    ComponentContainer* owner = nullptr;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        ComponentContainer* w = *it;
        if (owner) {
            // Beneath the owner: a press must not reach it, but a release
            // must, so that a button pressed or a scroll square held there
            // lets go. What it answers does not count.
            if (clickKind == CLICK_RELEASE)
                w->handleClick(button, clickKind, x, y);
            continue;
        }
        hit = w->handleClick(button, clickKind, x, y);
        if (hit || w->covers(x, y))
            owner = w;
    }
    if (owner && clickKind == CLICK_PRESS)
        raiseWindow(owner);
    return hit;
}

int32_t InterfaceManager::pageFromId(const std::string& id) const {
    // At most two digits follow the prefix; 50 pages need no more.
    const std::string digits = id.substr(GOTO_PAGE_PREFIX.size(), 2);
    int32_t page = 0;
    size_t read = 0;
    while (read < digits.size() && std::isdigit(static_cast<unsigned char>(digits[read])))
        page = page * 10 + (digits[read++] - '0');
    if (read == 0 || page >= pageCount)
        return -1;
    return page;
}

bool InterfaceManager::dispatchCommand(Button* button, int32_t x, int32_t y) {
    if (!button)
        return true;
    if (startsWith(button->id, SYSTEM_PREFIX) && button->state == Button::STATE_IDLE) {
        if (exitButton && button->id == exitButton->id) {
            state.running = false;
        } else if (returnButton && button->id == returnButton->id) {
            menuShown = false;
        } else if (startsWith(button->id, GOTO_PAGE_PREFIX)) {
            const int32_t page = pageFromId(button->id);
            if (page >= 0)
                currentPage = page;
        }
        return true;
    }
    if (commandCallback)
        commandCallback(button, x, y);
    return true;
}

bool InterfaceManager::handleMouseMove(int32_t x, int32_t y) {
    for (InterfaceComponent* c : allComponents)
        c->handleMouseMove(x, y);
    return menuShown;
}

bool InterfaceManager::handleMouseDrag(int32_t x, int32_t y) {
    for (ComponentContainer* w : windows)
        w->handleMouseDrag(x, y);
    keepTitleBarsInside(state.windowWidth, state.windowHeight);
    return menuShown;
}

bool InterfaceManager::registered(const TextField* field) const {
    if (!field)
        return false;
    for (const InterfaceComponent* c : allComponents) {
        if (c == field)
            return true;
        if (c->kind == KIND_CONTAINER && static_cast<const ComponentContainer*>(c)->holds(field))
            return true;
    }
    return false;
}

void InterfaceManager::focus(TextField* field) {
    if (focusedField && focusedField != field && registered(focusedField))
        focusedField->focused = false;
    focusedField = field;
    if (field) {
        field->focused = true;
        field->scrollToEnd();
    }
}

bool InterfaceManager::focusedFieldTakesTyping() {
    for (InterfaceComponent* c : allComponents) {
        // Compare against live components only: the focused field may have
        // been destroyed by a container that replaced it.
        if (c->kind == KIND_TEXT_FIELD && static_cast<TextField*>(c) == focusedField)
            return true;
        if (c->kind != KIND_CONTAINER)
            continue;
        auto* container = static_cast<ComponentContainer*>(c);
        if (container->holds(focusedField))
            return container->shows(focusedField);
    }
    focusedField = nullptr;
    return false;
}

bool InterfaceManager::handleKey(int32_t key, bool shift) {
    if (key == Key::Escape) {
        if (menuShown)
            goBack();
        else
            showMenu();
        return menuShown;
    }
    if (!focusedField || !focusedFieldTakesTyping())
        return menuShown;
    if (const char c = typedCharacter(key, shift))
        focusedField->appendChar(c);
    else if (key == Key::BackSpace)
        focusedField->deleteLastChar();
    return menuShown;
}

bool InterfaceManager::typingTakes(int32_t key) {
    if (menuShown || !focusedField || !focusedFieldTakesTyping())
        return false;
    if (key == Key::BackSpace)
        return true;
    const char c = typedCharacter(key, false);
    return c != 0 && focusedField->accepts(c);
}

bool InterfaceManager::fieldKeeps(int32_t key) {
    if (typingTakes(key))
        return true;
    if (menuShown || !focusedField || !focusedFieldTakesTyping())
        return false;
    switch (key) {
    case Key::Space:
    case Key::Delete:
    case Key::Insert:
    case Key::Home:
    case Key::End:
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down:
        return true;
    default:
        return false;
    }
}

void InterfaceManager::goBack() {
    if (currentPage == 0) {
        menuShown = false;
        currentPage = 0;
        return;
    }
    if (currentPage < 0 || currentPage >= pageCount)
        return;
    for (InterfaceComponent* c : pages[static_cast<size_t>(currentPage)]) {
        if (c->kind == KIND_BUTTON && startsWith(c->id, GOTO_PAGE_PREFIX)) {
            dispatchCommand(static_cast<Button*>(c), 0, 0);
            return;
        }
    }
}

void InterfaceManager::showMenu() {
    menuShown = true;
    // The release that would end a title-bar drag goes to the menu page, not
    // to the windows; a drag left running would glue the window to every
    // later drag, the camera's included, once the menu closes.
    for (ComponentContainer* w : windows)
        w->dragging = false;
    menuColor = {(std::rand() % 100) / 255.0, (std::rand() % 100) / 255.0,
                 (std::rand() % 100) / 255.0};
}

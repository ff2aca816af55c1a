#include "app/KeyTranslation.h"

#include "gui/KeyCodes.h"

int32_t translateKey(sf::Keyboard::Key key) {
    if (key >= sf::Keyboard::A && key <= sf::Keyboard::Z)
        return 'a' + (key - sf::Keyboard::A);
    if (key >= sf::Keyboard::Num0 && key <= sf::Keyboard::Num9)
        return '0' + (key - sf::Keyboard::Num0);
    if (key >= sf::Keyboard::Numpad0 && key <= sf::Keyboard::Numpad9)
        return Key::Numpad0 + (key - sf::Keyboard::Numpad0);
    switch (key) {
    case sf::Keyboard::Escape:
        return Key::Escape;
    case sf::Keyboard::Space:
        return Key::Space;
    case sf::Keyboard::Enter:
        return Key::Return;
    case sf::Keyboard::BackSpace:
        return Key::BackSpace;
    case sf::Keyboard::Tab:
        return Key::Tab;
    case sf::Keyboard::End:
        return Key::End;
    case sf::Keyboard::Home:
        return Key::Home;
    case sf::Keyboard::Insert:
        return Key::Insert;
    case sf::Keyboard::Delete:
        return Key::Delete;
    case sf::Keyboard::F1:
        return Key::F1;
    case sf::Keyboard::F2:
        return Key::F2;
    case sf::Keyboard::PageUp:
        return Key::PageUp;
    case sf::Keyboard::PageDown:
        return Key::PageDown;
    case sf::Keyboard::Left:
        return Key::Left;
    case sf::Keyboard::Right:
        return Key::Right;
    case sf::Keyboard::Up:
        return Key::Up;
    case sf::Keyboard::Down:
        return Key::Down;
    case sf::Keyboard::F12:
        return Key::F12;
    default:
        return Key::Unknown;
    }
}

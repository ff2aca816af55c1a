#pragma once

#include <SFML/Window/Keyboard.hpp>

#include <cstdint>

// The program's key code (gui/KeyCodes.h) for a window-library key, or
// Key::Unknown for a key the program has no use for.
int32_t translateKey(sf::Keyboard::Key key);

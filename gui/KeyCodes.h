#pragma once

#include <cstdint>

// The program's own key codes. The GUI and the input dispatch speak in these
// numbers; the window layer translates its library's key events into them.
// Letters are their lower-case ASCII codes ('a' .. 'z'), the digit row is
// '0' .. '9'.
namespace Key {
constexpr int32_t Escape = 256;
constexpr int32_t Space = 277;
constexpr int32_t Return = 278;
constexpr int32_t BackSpace = 279;
constexpr int32_t Tab = 280;
constexpr int32_t PageUp = 281;
constexpr int32_t PageDown = 282;
constexpr int32_t End = 283;
constexpr int32_t Home = 284;
constexpr int32_t Insert = 285;
constexpr int32_t Delete = 286;
constexpr int32_t Left = 291;
constexpr int32_t Right = 292;
constexpr int32_t Up = 293;
constexpr int32_t Down = 294;
constexpr int32_t Numpad0 = 295; // Numpad0 .. Numpad9 are 295 .. 304
constexpr int32_t Numpad9 = 304;
constexpr int32_t F1 = 305;
constexpr int32_t F2 = 306;
constexpr int32_t F12 = 316;
// A key the program has no use for.
constexpr int32_t Unknown = -1;
} // namespace Key

// Mouse button codes as the window library reports them.
namespace MouseButton {
constexpr int32_t Left = 0;
constexpr int32_t Right = 1;
constexpr int32_t Middle = 2;
} // namespace MouseButton

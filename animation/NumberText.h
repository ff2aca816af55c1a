#pragma once

#include <string>
#include <string_view>

// Number texts as the animation file and the editor's fields use them:
// written like a default-formatted output stream (general notation, six
// significant digits, "." as the decimal point) and read like stream
// extraction of a double. Both are done by hand because the stream versions
// cost several times the conversion itself; the results are byte for byte
// and value for value the same.

// The value a text reads as when nothing can be read from it.
constexpr double UNREADABLE_NUMBER = 2147483647.0;

// What extracting a double from `text` with a classic-locale input stream
// gives: leading white space skipped, reading stops at the first character
// that cannot continue the number. Returns UNREADABLE_NUMBER when the stream
// would fail (no number, an incomplete exponent such as "1e", or a value
// beyond the range of a double).
double readNumber(std::string_view text);

// Appends `value` as a default-formatted output stream writes it
// (0, 0.5, 12.3457, 1e-05, 2.14748e+09).
void appendNumber(std::string& out, double value);
// `value` as a default-formatted output stream writes it.
std::string numberText(double value);

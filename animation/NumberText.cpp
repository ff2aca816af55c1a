#include "animation/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace {

// White space as the classic locale's ctype sees it.
bool isStreamSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The characters a stream would gather for a double, from `from`: an
// optional sign, digits with at most one decimal point, then at most one
// exponent mark (only after a digit) with an optional sign right behind it.
// Returns the end of what it gathered.
const char* gatherNumber(const char* from, const char* end) {
    const char* p = from;
    if (p != end && (*p == '+' || *p == '-')) {
        ++p;
    }
    bool digits = false, point = false, exponent = false;
    while (p != end) {
        char c = *p;
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point && !exponent) {
            point = true;
        } else if ((c == 'e' || c == 'E') && !exponent && digits) {
            exponent = true;
            if (p + 1 != end && (p[1] == '+' || p[1] == '-')) {
                ++p;
            }
        } else {
            break;
        }
        ++p;
    }
    return p;
}

} // namespace

double readNumber(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end && isStreamSpace(*p)) {
        ++p;
    }
    const char* stop = gatherNumber(p, end);
    // The stream converts what it gathered and fails unless all of it is a
    // number: "1e", "-" and "." all fail. from_chars knows no leading "+".
    const char* first = (p != stop && *p == '+') ? p + 1 : p;
    double value = 0;
    std::from_chars_result r = std::from_chars(first, stop, value, std::chars_format::general);
    if (r.ptr != stop || r.ec == std::errc::invalid_argument) {
        return UNREADABLE_NUMBER;
    }
    if (r.ec == std::errc::result_out_of_range) {
        // from_chars refuses underflow too, where the stream takes strtod's
        // tiny or zero result; only overflow fails there.
        std::string gathered(first, stop);
        value = std::strtod(gathered.c_str(), nullptr);
        if (std::isinf(value)) {
            return UNREADABLE_NUMBER;
        }
    }
    return value;
}

void appendNumber(std::string& out, double value) {
    // Wide enough for "-1.23457e+308" and "-nan".
    char buffer[32];
    std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    out.append(buffer, r.ptr);
}

std::string numberText(double value) {
    std::string text;
    appendNumber(text, value);
    return text;
}

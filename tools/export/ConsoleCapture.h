#pragma once

#include <sstream>
#include <string>

// Collects what the program's model code prints on standard output while it
// lives, and restores standard output when it ends. The readers and the axis
// frames report there in the program's own words; the exporter's standard
// output is no place for them, so it passes them on as part of its one
// error line on standard error.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Everything printed so far.
    std::string text() const { return buffer_.str(); }

private:
    std::ostringstream buffer_;
    std::streambuf* previous_;
};

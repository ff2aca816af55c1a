#pragma once

#include <chrono>
#include <ostream>
#include <string>

// A progress bar for a command-line tool, drawn on one line of a terminal
// and redrawn in place:
//   kinemorph-render: [##########..........]  50 %
// Work that ends within its first second shows nothing, and a stream that
// is not a terminal (a pipe, a log file) never gets a bar, so scripts see
// only the tool's real output.
class TerminalProgress {
public:
    // Draws on `out` under `prefix` ("kinemorph-render: ") when
    // `isTerminal`.
    TerminalProgress(std::ostream& out, std::string prefix, bool isTerminal);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // Records that `fraction` (0 to 1) of the work is done; redraws at most
    // a few times a second.
    void update(double fraction);
    // Clears the bar's line, so what is printed next starts on a clean one.
    void finish();

    // Whether standard error is a terminal.
    static bool standardErrorIsTerminal();

private:
    using Clock = std::chrono::steady_clock;

    std::ostream& out_;
    std::string prefix_;
    bool enabled_;
    bool drawn_ = false;
    int lastPercent_ = -1;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDraw_;
};

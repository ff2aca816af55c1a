#include "tools/common/TerminalProgress.h"

#include <algorithm>
#include <unistd.h>

namespace {
constexpr int BAR_WIDTH = 30;
constexpr auto QUIET_START = std::chrono::seconds(1);
constexpr auto REDRAW_EVERY = std::chrono::milliseconds(100);
} // namespace

TerminalProgress::TerminalProgress(std::ostream& out, std::string prefix, bool isTerminal)
    : out_(out), prefix_(std::move(prefix)), enabled_(isTerminal) {}

TerminalProgress::~TerminalProgress() {
    finish();
}

bool TerminalProgress::standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void TerminalProgress::update(double fraction) {
    const Clock::time_point now = Clock::now();
    if (!enabled_ || now - start_ < QUIET_START || (drawn_ && now - lastDraw_ < REDRAW_EVERY)) {
        return;
    }
    const double done = std::clamp(fraction, 0.0, 1.0);
    const int percent = static_cast<int>(done * 100);
    if (percent == lastPercent_) {
        return;
    }
    const int filled = static_cast<int>(done * BAR_WIDTH);
    out_ << "\r" << prefix_ << "[" << std::string(filled, '#')
         << std::string(BAR_WIDTH - filled, '.') << "] "
         << (percent < 10    ? "  "
             : percent < 100 ? " "
                             : "")
         << percent << " %" << std::flush;
    drawn_ = true;
    lastPercent_ = percent;
    lastDraw_ = now;
}

void TerminalProgress::finish() {
    if (drawn_) {
        // Erase to the end of the line, then back to its start.
        out_ << "\r\x1b[K" << std::flush;
        drawn_ = false;
    }
}

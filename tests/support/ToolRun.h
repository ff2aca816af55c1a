#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

// One in-process run of a command-line tool's entry point: its exit status
// and what it printed on standard output and standard error.
struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `entry(out, err)`, which returns the exit status.
template <typename Entry> ToolRun runTool(Entry entry) {
    std::ostringstream out, err;
    ToolRun r;
    r.status = entry(out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// Fails unless the run ended with `status` after exactly one line on
// standard error, starting "<tool>: " and holding `fragment`, and printed
// nothing else.
inline void expectOneErrorLine(const ToolRun& r, const std::string& tool, int status,
                               const std::string& fragment) {
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(tool + ": ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
}

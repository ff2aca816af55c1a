// The program's command line: one file to open, --help and --version, and
// a clear refusal (status 2) of anything else, so a mistyped option never
// starts the editor on a file named like an option.
#include "app/ProgramArguments.h"

#include <gtest/gtest.h>

TEST(ProgramArguments, ReadsTheCommandLine) {
    struct Case {
        std::vector<std::string> args;
        StartRequest request;
        const char* file;
        // A part of the error, for BadUsage.
        const char* error;
    };
    const Case cases[] = {
        {{}, StartRequest::Editor, "", ""},
        {{"walk.rgaf"}, StartRequest::Editor, "walk.rgaf", ""},
        {{"/tmp/My Walk.rgaf"}, StartRequest::Editor, "/tmp/My Walk.rgaf", ""},
        {{"--help"}, StartRequest::Help, "", ""},
        {{"-h"}, StartRequest::Help, "", ""},
        {{"--version"}, StartRequest::Version, "", ""},
        {{"walk.rgaf", "--version"}, StartRequest::Version, "", ""},
        {{"--help", "--bogus"}, StartRequest::Help, "", ""},
        {{"--bogus", "--help"}, StartRequest::BadUsage, "", "unknown option '--bogus'"},
        {{"-v"}, StartRequest::BadUsage, "", "unknown option '-v'"},
        {{"--help=1"}, StartRequest::BadUsage, "", "unknown option '--help=1'"},
        {{"a.rgaf", "b.rgaf"}, StartRequest::BadUsage, "", "one file at a time"},
        {{""}, StartRequest::BadUsage, "", "an empty file name"},
        // "--" lets a file named like an option be opened.
        {{"--", "--help"}, StartRequest::Editor, "--help", ""},
        {{"--", "-"}, StartRequest::Editor, "-", ""},
        // A lone "-" is a name, not an option.
        {{"-"}, StartRequest::Editor, "-", ""},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args)
            joined += "[" + arg + "]";
        SCOPED_TRACE(joined);
        const ProgramArguments parsed = parseProgramArguments(c.args);
        EXPECT_EQ(parsed.request, c.request);
        EXPECT_EQ(parsed.file, c.request == StartRequest::Editor ? c.file : parsed.file);
        if (c.request == StartRequest::BadUsage) {
            EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
        }
    }
}

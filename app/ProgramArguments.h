#pragma once

#include <string>
#include <vector>

// What the command line asks the program to do.
enum class StartRequest {
    // Start the editor, with `file` opened when one was named.
    Editor,
    // Print the usage, or the version, and exit with status 0.
    Help,
    Version,
    // A bad command line: print `error` and exit with status 2.
    BadUsage,
};

struct ProgramArguments {
    StartRequest request = StartRequest::Editor;
    std::string file;
    std::string error;
};

// Exit status for a command line the program cannot follow.
constexpr int BAD_USAGE_STATUS = 2;

// Reads the arguments after the program's name: at most one FILE, and the
// options --help (-h) and --version; "--" ends the options, so a file whose
// name starts with "-" can still be opened. The first of --help, --version
// or a bad argument decides. A bad argument gives BadUsage with a one-line
// `error`: an unknown option, a second file, an empty file name.
ProgramArguments parseProgramArguments(const std::vector<std::string>& args);

// The --help text, several lines ending in "\n".
std::string programUsage();

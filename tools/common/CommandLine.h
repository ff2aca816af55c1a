#pragma once

#include <map>
#include <string>
#include <vector>

// The command lines of the command-line tools, read one way: options in any
// order, those with a value as "--name VALUE" or "--name=VALUE", "--" ending
// the options, every other word (and "-" alone) a positional argument.

// One option a tool takes: its name, another spelling or nullptr, and
// whether a value follows it.
struct CommandOption {
    const char* name;
    const char* alias;
    bool takesValue;
};

// What a command line said.
struct CommandLine {
    std::vector<std::string> positional;
    // By the option's name (not its alias); "" for an option without value.
    std::map<std::string, std::string> values;

    bool given(const std::string& name) const { return values.count(name) > 0; }
    // The option's value, or "" when it was not given.
    std::string value(const std::string& name) const;
};

// Reads `args` (without the program name) against `options`. Returns false
// with a one-line `error` for an unknown option ("unknown option '--x' (try
// --help)"), one given twice, one whose value is missing, and a value given
// to an option that takes none.
bool scanCommandLine(const std::vector<std::string>& args,
                     const std::vector<CommandOption>& options, CommandLine& line,
                     std::string& error);

// Whether "--help" or "-h" is among `args`, wherever.
bool asksForHelp(const std::vector<std::string>& args);

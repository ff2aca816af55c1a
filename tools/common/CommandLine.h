#pragma once

#include <map>
#include <string>
#include <vector>

// A command-line tool's arguments (without the program name), split the way
// every Kinemorph tool reads them: options take one value, as "--name VALUE"
// or "--name=VALUE"; "--" ends the options; "-" and any word not starting
// with "-" is an operand. "--help" or "-h" anywhere asks for the usage and
// nothing else.
struct CommandLine {
    // Each option given, by its first spelling in the list of names.
    std::map<std::string, std::string> values;
    std::vector<std::string> operands;
    bool help = false;

    bool given(const std::string& name) const { return values.count(name) > 0; }
};

// Splits `args`. `options` lists the options the tool knows, each with its
// spellings joined by "|" ("-o|--output"); `flags` those that take no value
// (given, their value is ""). Returns false with a one-line `error` for an
// unknown option, one given twice, one without its value and a flag given
// one ("--loop=yes").
bool splitCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& options,
                      CommandLine& line, std::string& error,
                      const std::vector<std::string>& flags = {});

// The tool's one INPUT operand and its "-o" OUTPUT (listed as "-o|..."),
// in `input` and `output`. False with a one-line `error` for a second
// operand, no operand, or no (or an empty) output; `what` names the input
// in those messages.
bool inputAndOutput(const CommandLine& line, std::string& input, std::string& output,
                    std::string& error, const std::string& what = "input animation file");

// A decimal number filling the whole text and finite ("30", "0.5", "1e2");
// false for anything else ("30abc", " 30", "nan", "inf", "").
bool parseDecimal(const std::string& text, double& value);

#include "tools/common/CommandLine.h"

#include <algorithm>

std::string CommandLine::value(const std::string& name) const {
    const auto at = values.find(name);
    return at == values.end() ? std::string() : at->second;
}

bool scanCommandLine(const std::vector<std::string>& args,
                     const std::vector<CommandOption>& options, CommandLine& line,
                     std::string& error) {
    line = CommandLine();
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            line.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg, value;
        const std::size_t equals = arg.find('=');
        const bool inlineValue = arg.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const auto option =
            std::find_if(options.begin(), options.end(), [&](const CommandOption& o) {
                return name == o.name || (o.alias && name == o.alias);
            });
        if (option == options.end()) {
            error = "unknown option '" + arg + "' (try --help)";
            return false;
        }
        if (line.given(option->name)) {
            error = "option " + name + " is given twice";
            return false;
        }
        if (!option->takesValue && inlineValue) {
            error = "option " + name + " takes no value";
            return false;
        }
        if (option->takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        line.values[option->name] = value;
    }
    return true;
}

bool asksForHelp(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--help") != args.end() ||
           std::find(args.begin(), args.end(), "-h") != args.end();
}

#include "tools/common/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

// The option's first spelling when `word` is one of its spellings, else "".
std::string canonicalName(const std::vector<std::string>& options, const std::string& word) {
    for (const std::string& spellings : options) {
        std::istringstream in(spellings);
        std::string first, spelling;
        while (std::getline(in, spelling, '|')) {
            if (first.empty()) {
                first = spelling;
            }
            if (spelling == word) {
                return first;
            }
        }
    }
    return "";
}

} // namespace

bool splitCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& options,
                      CommandLine& line, std::string& error,
                      const std::vector<std::string>& flags) {
    line = CommandLine();
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        line.help = true;
        return true;
    }
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            line.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string word = arg, value;
        bool inlineValue = false;
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            word = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            inlineValue = true;
        }
        const std::string flag = canonicalName(flags, word);
        const std::string name = flag.empty() ? canonicalName(options, word) : flag;
        if (name.empty()) {
            error = "unknown option '" + arg + "' (try --help)";
            return false;
        }
        if (line.given(name)) {
            error = "option " + word + " is given twice";
            return false;
        }
        if (!flag.empty() && inlineValue) {
            error = "option " + word + " takes no value";
            return false;
        }
        if (flag.empty() && !inlineValue) {
            if (i + 1 >= args.size()) {
                error = "option " + word + " needs a value";
                return false;
            }
            value = args[++i];
        }
        line.values[name] = value;
    }
    return true;
}

bool inputAndOutput(const CommandLine& line, std::string& input, std::string& output,
                    std::string& error, const std::string& what) {
    if (line.operands.size() > 1) {
        error = "only one input file may be given (found '" + line.operands[0] + "' and '" +
                line.operands[1] + "')";
        return false;
    }
    if (line.operands.empty()) {
        error = "no " + what + " given (try --help)";
        return false;
    }
    input = line.operands[0];
    const auto given = line.values.find("-o");
    output = given == line.values.end() ? "" : given->second;
    if (output.empty()) {
        error = "no output file given; use -o OUTPUT";
        return false;
    }
    return true;
}

bool parseDecimal(const std::string& text, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    const bool numeric = std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isdigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    });
    if (!numeric) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

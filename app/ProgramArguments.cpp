#include "app/ProgramArguments.h"

namespace {

ProgramArguments badUsage(const std::string& error) {
    ProgramArguments result;
    result.request = StartRequest::BadUsage;
    result.error = error;
    return result;
}

} // namespace

ProgramArguments parseProgramArguments(const std::vector<std::string>& args) {
    ProgramArguments result;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (option && arg == "--") {
            optionsEnded = true;
        } else if (option && (arg == "--help" || arg == "-h")) {
            result.request = StartRequest::Help;
            return result;
        } else if (option && arg == "--version") {
            result.request = StartRequest::Version;
            return result;
        } else if (option) {
            return badUsage("unknown option '" + arg + "'");
        } else if (arg.empty()) {
            return badUsage("an empty file name");
        } else if (!result.file.empty()) {
            return badUsage("one file at a time ('" + result.file + "', then '" + arg + "')");
        } else {
            result.file = arg;
        }
    }
    return result;
}

std::string programUsage() {
    return "Usage: kinemorph [FILE]\n"
           "Poses a 21-bone figure and builds key-frame animations in one window.\n"
           "\n"
           "  FILE        an animation (.rgaf) to open, from any folder; Ctrl+S saves\n"
           "              it back to the same file, keeping the old one as FILE.bak;\n"
           "              a motion-capture clip (.bvh) is imported as an animation\n"
           "  --help      print this help and exit\n"
           "  --version   print the version and exit\n"
           "\n"
           "Without FILE the editor starts with a new animation. Started in a folder\n"
           "holding resources/ (a clone of the sources), Kinemorph works from there;\n"
           "installed, it keeps your animations in ~/.local/share/kinemorph/animations\n"
           "($XDG_DATA_HOME) and reads ~/.config/kinemorph/settings.ini\n"
           "($XDG_CONFIG_HOME) when you write one. See kinemorph(1).\n";
}

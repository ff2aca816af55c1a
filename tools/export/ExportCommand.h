#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses of kinemorph-export.
constexpr int EXPORT_OK = 0;
constexpr int EXPORT_FAILED = 1;
constexpr int EXPORT_BAD_USAGE = 2;

// One whole run of kinemorph-export on `args` (without the program name):
// parse the options, read the skeleton and the animation, sample the motion
// on the animation's exact timeline and write the output file. The usage goes to
// `out` for --help; anything else the user must see, a failure included, is
// one line "kinemorph-export: ..." on `err`. Returns EXPORT_OK,
// EXPORT_BAD_USAGE for a bad command line or EXPORT_FAILED; on failure the
// output file is left as it was.
int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

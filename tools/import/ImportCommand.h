#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses of kinemorph-import.
constexpr int IMPORT_OK = 0;
constexpr int IMPORT_FAILED = 1;
constexpr int IMPORT_BAD_USAGE = 2;

// Map files larger than this are refused unread: a full map is 21 lines.
constexpr long long MAX_MAP_FILE_BYTES = 1024 * 1024;

// One whole run of kinemorph-import on `args` (without the program name):
// parse the options, read the figure, the clip and the map, import, write
// the animation through the safe write and print the summary line (and
// with --verbose the mapping first) on `out`. Anything else the user must
// see, a failure included, is one line "kinemorph-import: ..." on `err`
// (a bone left unmapped is a warning line there). With `progressBar` a bar
// is drawn on `err` while the work lasts over a second. Returns IMPORT_OK,
// IMPORT_BAD_USAGE for a bad command line or IMPORT_FAILED; on failure the
// output file is left as it was.
int runImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool progressBar = false);

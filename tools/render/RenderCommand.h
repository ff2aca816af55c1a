#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses of kinemorph-render, as every Kinemorph tool has them.
constexpr int RENDER_OK = 0;
constexpr int RENDER_FAILED = 1;
constexpr int RENDER_BAD_USAGE = 2;

// One whole run of kinemorph-render on `args` (without the program name):
// parse the options, read the skeleton and the animation, render the frames
// offscreen and write the output. The usage goes to `out` for --help;
// anything else the user must see, a failure included, is one line
// "kinemorph-render: ..." on `err`, and with `showProgress` a progress bar
// on `err` for a render of more than a second. SIGINT and SIGTERM stop the
// render between frames. Returns RENDER_OK, RENDER_BAD_USAGE for a bad
// command line (or an output that cannot hold the clip), or RENDER_FAILED;
// on failure and on interruption the output is left as it was.
int runRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool showProgress);

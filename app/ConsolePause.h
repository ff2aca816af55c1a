#pragma once

#include <cstdio>

// After a failed start the program waits for a key so a console user can
// read why. Waits for Enter when `in` is a terminal; returns at once when it
// is not (a pipe, a file, CI), so scripted runs never hang.
void pauseIfInteractive(std::FILE* in = stdin);

#pragma once

// SIGINT and SIGTERM from the console, and SIGHUP when the terminal it runs
// in is closed, end the program through its normal teardown (which keeps
// unsaved work) instead of killing it on the spot.
// While installed, the first such signal only raises a flag the main loop
// looks at; a second one, for a program that does not end, kills it as
// usual.

// Installs the handlers and clears the flag.
void installExitSignals();
// Puts the default handlers back.
void removeExitSignals();
// Whether SIGINT, SIGTERM or SIGHUP arrived since installExitSignals().
bool exitSignalled();

#pragma once

// The version every program of Kinemorph reports: the project's version,
// followed by what `git describe` said at build time when the build was
// made from a clone, as in "1.0.0 (git 1095a9a)".
const char* kinemorphVersion();

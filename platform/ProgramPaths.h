#pragma once

#include "platform/UserFolders.h"

#include <string>

// Where the files of one run are. Kinemorph runs in one of two layouts:
//   - from a folder holding resources/ (a clone, `make run`, every test):
//     everything relative to the working directory, the saved animations
//     inside resources/ too, exactly as the program has always worked;
//   - installed (`cmake --install`, the .deb): the shipped resources in
//     <prefix>/share/kinemorph, found from the executable's own place so a
//     moved prefix still works; the user's settings in the XDG config home
//     and the animations in the XDG data home.
// The program and every tool resolve this once at start and pass the
// paths to what needs them.
struct ProgramPaths {
    // The folder of the shipped resources.
    std::string resources;
    std::string settings;
    std::string skeleton;
    std::string lacunaFont;
    std::string echolotFont;
    std::string music;
    // The animations folder: the dialogs' names, the autosave and the
    // renders live here. Ends in "/".
    std::string animations;
    // Installed only: the shipped sample animations, copied into the
    // animations folder when that is made ("" otherwise).
    std::string samples;
    bool installed = false;
    // False when neither layout was found; the paths are then the working
    // directory's, which the start will find missing.
    bool found = true;
};

// The paths inside a resources folder, the same in both layouts.
inline const char* const SETTINGS_FILE = "config/settings.ini";
inline const char* const SKELETON_FILE = "config/skeleton/default.rgcf";
inline const char* const LACUNA_FONT_FILE = "fonts/lacuna/LACURG__.TTF";
inline const char* const ECHOLOT_FONT_FILE = "fonts/echolot/ECHOLOT_.TTF";
inline const char* const MUSIC_FILE = "music/mainmusic.ogg";
inline const char* const ANIMATIONS_SUBFOLDER = "config/skeleton/animations/";
// The working directory's resources folder.
inline const char* const WORKING_RESOURCES = "resources";

// What the choice depends on besides the files themselves.
struct PathInputs {
    // The folder the working layout is looked for in (the process's own
    // working directory for a real run); the paths it gives stay relative.
    std::string workingDirectory = ".";
    // The running program, links resolved ("" when unknown).
    std::string executable;
    // From the executable's folder to the installed resources.
    std::string installedFromExecutable = "../share/kinemorph";
    UserEnvironment environment;
};

// The working layout: every path under "resources/", relative.
ProgramPaths workingDirectoryPaths();
// The layout of this run: the working one when `workingDirectory` holds
// resources/config (a folder named resources without Kinemorph's config in
// it, such as one in a home folder, does not count); otherwise the
// installed one when the resources are found from the executable; otherwise
// the working one, marked not found. The settings of an installed run come
// from the user's config home when a settings.ini is there.
ProgramPaths resolveProgramPaths(const PathInputs& inputs);
// resolveProgramPaths for this process: ".", /proc/self/exe, the real
// environment and the install's own relative place of the resources.
ProgramPaths currentProgramPaths();

// Installed runs: makes the animations folder when it is missing, and then
// (the first time only) copies the shipped samples into it. True when the
// folder is there afterwards; false with one line `error` saying why not.
// Does nothing for the working layout.
bool prepareAnimationFolder(const ProgramPaths& paths, std::string& error);

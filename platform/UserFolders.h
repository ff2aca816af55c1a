#pragma once

#include <string>

// The user's own folders, as the XDG base directory rules place them: the
// settings a user writes under the config home, the files the program keeps
// for the user under the data home. Only absolute values of the variables
// count (the rules call relative ones invalid).
struct UserEnvironment {
    // $HOME, or the password database's home folder when it is unset.
    std::string home;
    // $XDG_CONFIG_HOME and $XDG_DATA_HOME as set ("" when unset).
    std::string configHome;
    std::string dataHome;
};

// The environment of this process.
UserEnvironment currentUserEnvironment();

// $XDG_CONFIG_HOME when absolute, else $HOME/.config; "" without either.
std::string userConfigHome(const UserEnvironment& environment);
// $XDG_DATA_HOME when absolute, else $HOME/.local/share; "" without either.
std::string userDataHome(const UserEnvironment& environment);

// Makes `folder` and every missing folder above it, each readable by its
// owner only, as the XDG rules ask of folders a program creates. True when
// the folder exists afterwards (also when it was there); false with a short
// `reason` (the system's error text) otherwise.
bool makeUserFolder(const std::string& folder, std::string& reason);

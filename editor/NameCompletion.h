#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The names of the saved animations in `folder`: every regular file (or link
// to one) "<name>.rgaf" whose
// name is letters only (the names the dialogs can type), in alphabetical
// order. Empty when the folder cannot be read.
std::vector<std::string> savedAnimationNames(const std::string& folder);
// The names of the motion-capture clips in `folder`: every "<name>.bvh"
// (any name a file can have), in alphabetical order. Empty when the folder
// cannot be read.
std::vector<std::string> savedClipNames(const std::string& folder);
// What a dialog says of the names it can take: "3 animations: jump, walk,
// wave", the first five and "and N more" past them, or "No animations in
// the folder yet". `noun` is the singular ("animation", "clip").
std::string namesListing(const std::vector<std::string>& names, const std::string& noun);

// Tab completion of a dialog's name field. The first Tab completes the
// typed letters to the first name that starts with them; each further Tab,
// while the field still shows the last completion, moves on to the next
// such name, wrapping round. Anything typed in between starts afresh.
class NameCompletion {
public:
    // The text the field `field` should show after a Tab, given what it
    // shows now and the names to choose from (sorted). Returns `shown`
    // unchanged when no name starts with the letters.
    std::string complete(const std::string& field, const std::string& shown,
                         const std::vector<std::string>& names);

private:
    std::string field_;
    std::string typed_;
    std::string last_;
    std::size_t index_ = 0;
};

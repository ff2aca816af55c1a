#include "editor/NameCompletion.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The sorted names of the files "<name><extension>" in `folder`, only
// letters in them when `lettersOnly`.
std::vector<std::string> fileNames(const std::string& folder, const std::string& extension,
                                   bool lettersOnly) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        // Only files a read can take: a pipe or a device named like one is
        // never offered.
        std::error_code typeError;
        if (path.extension() != extension || !it->is_regular_file(typeError))
            continue;
        const std::string name = path.stem().string();
        const bool letters = std::all_of(name.begin(), name.end(), [](unsigned char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        });
        if (!name.empty() && (letters || !lettersOnly))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::vector<std::string> savedAnimationNames(const std::string& folder) {
    return fileNames(folder, ".rgaf", true);
}

std::vector<std::string> savedClipNames(const std::string& folder) {
    return fileNames(folder, ".bvh", false);
}

std::string namesListing(const std::vector<std::string>& names, const std::string& noun) {
    constexpr std::size_t SHOWN = 5;
    if (names.empty())
        return "No " + noun + "s in the folder yet";
    std::string text = std::to_string(names.size()) + " " + noun + (names.size() == 1 ? "" : "s");
    for (std::size_t i = 0; i < names.size() && i < SHOWN; ++i)
        text += (i == 0 ? ": " : ", ") + names[i];
    if (names.size() > SHOWN)
        text += " and " + std::to_string(names.size() - SHOWN) + " more";
    return text;
}

std::string NameCompletion::complete(const std::string& field, const std::string& shown,
                                     const std::vector<std::string>& names) {
    const bool again = field == field_ && !last_.empty() && shown == last_;
    if (!again) {
        field_ = field;
        typed_ = shown;
        index_ = 0;
    }
    std::vector<std::string> matches;
    for (const std::string& name : names)
        if (name.compare(0, typed_.size(), typed_) == 0)
            matches.push_back(name);
    if (matches.empty()) {
        last_.clear();
        return shown;
    }
    if (again) {
        // Continue after the name shown now, wherever it stands in the list.
        const auto at = std::find(matches.begin(), matches.end(), last_);
        index_ = at == matches.end() ? 0 : (static_cast<std::size_t>(at - matches.begin()) + 1);
    }
    last_ = matches[index_ % matches.size()];
    return last_;
}

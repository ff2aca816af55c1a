#pragma once

#include <string>
#include <vector>

// A fresh folder under /tmp for one test, removed with everything in it at
// the end (write permission given back first, so a test that took it away
// leaves nothing behind).
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // path()/name.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return file(name); }
    // The names of the entries in the folder, sorted.
    std::vector<std::string> entries() const;

private:
    std::string path_;
};

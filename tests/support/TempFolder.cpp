#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    char pattern[] = "/tmp/kinemorph-test.XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
    EXPECT_FALSE(path_.empty());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

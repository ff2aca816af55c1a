#include "tests/support/ScopedWorkDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

ScopedWorkDir::ScopedWorkDir(int windowWidth, int windowHeight, int framerateLimit) {
    previous = fs::current_path().string();
    const char* source = std::getenv("KINEMORPH_SOURCE_DIR");
    fs::path resources = fs::path(source ? source : previous) / "resources";
    char pattern[] = "/tmp/kinemorph-test.XXXXXX";
    dir = mkdtemp(pattern) ? pattern : "";
    fs::copy(resources, fs::path(dir) / "resources", fs::copy_options::recursive);
    std::ofstream settings(fs::path(dir) / "resources/config/settings.ini");
    settings << "[settings]\nfullscreen false\nwindowed_width " << windowWidth
             << "\nwindowed_height " << windowHeight << "\nAA_level 0\nframerate_limit " << framerateLimit << "\n";
    settings.close();
    fs::current_path(dir);
}

ScopedWorkDir::~ScopedWorkDir() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(dir, ignored);
}

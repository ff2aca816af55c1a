#include "platform/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool absolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

std::string below(const std::string& base, const char* relative) {
    if (base.empty())
        return "";
    return base.back() == '/' ? base + relative : base + "/" + relative;
}

} // namespace

UserEnvironment currentUserEnvironment() {
    UserEnvironment environment;
    environment.home = variable("HOME");
    if (environment.home.empty()) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir)
            environment.home = found->pw_dir;
    }
    environment.configHome = variable("XDG_CONFIG_HOME");
    environment.dataHome = variable("XDG_DATA_HOME");
    return environment;
}

std::string userConfigHome(const UserEnvironment& environment) {
    if (absolute(environment.configHome))
        return environment.configHome;
    return absolute(environment.home) ? below(environment.home, ".config") : "";
}

std::string userDataHome(const UserEnvironment& environment) {
    if (absolute(environment.dataHome))
        return environment.dataHome;
    return absolute(environment.home) ? below(environment.home, ".local/share") : "";
}

bool makeUserFolder(const std::string& folder, std::string& reason) {
    if (folder.empty()) {
        reason = "no folder given";
        return false;
    }
    // Each prefix ending before a '/', then the whole: an existing folder is
    // left as it is (its owner chose its mode), a missing one made 0700.
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = std::strerror(errno);
            return false;
        }
        if (end == std::string::npos)
            break;
    }
    struct stat info;
    if (::stat(folder.c_str(), &info) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        reason = "it is not a folder";
        return false;
    }
    return true;
}

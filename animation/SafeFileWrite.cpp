#include "animation/SafeFileWrite.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Links followed before giving up, as the kernel does.
constexpr int MAX_LINK_HOPS = 40;
constexpr const char* TEMPORARY_NAME = ".kinemorph-save.XXXXXX";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

bool fail(std::string* reason, const std::string& why) {
    if (reason)
        *reason = why;
    return false;
}

// The file `path` finally names once every symbolic link on its last part
// is followed; a dangling link names the file it would point at.
bool followLinks(std::string path, std::string& target, std::string* reason) {
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size())
            return fail(reason, "the link cannot be followed");
        link.resize(static_cast<std::size_t>(n));
        path = link[0] == '/' ? link : folderOf(path) + link;
    }
    return fail(reason, "too many links");
}

bool writeAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t size = text.size();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool readAll(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    char buffer[65536];
    ssize_t n;
    text.clear();
    while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return ::close(fd) == 0;
}

// Writes `text` into a new, synced temporary file in `folder` with `mode`.
// Returns its path, or "" (nothing left behind) on failure.
std::string writeTemporary(const std::string& folder, const std::string& text, mode_t mode,
                           std::string* reason) {
    std::string temporary = folder + TEMPORARY_NAME;
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        fail(reason, writeFailureCause(errno));
        return "";
    }
    bool ok = writeAll(fd, text);
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ok && ::fsync(fd) == 0;
    const int error = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(temporary.c_str());
        fail(reason, writeFailureCause(error));
        return "";
    }
    return temporary;
}

// Makes the renames in `folder` last through a power cut.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string writeFailureCause(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "the folder does not exist";
    case EACCES:
    case EPERM:
    case EROFS:
        return "the folder is read-only";
    case ENOSPC:
    case EDQUOT:
        return "disk full";
    case ENAMETOOLONG:
        return "the name is too long";
    case EFBIG:
        return "the file would pass the size limit";
    case EISDIR:
        return "it is a folder";
    default:
        return std::strerror(error);
    }
}

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

std::string backupPathFor(const std::string& path, long nameMax) {
    const std::string folder = path.rfind('/') == std::string::npos ? "" : folderOf(path);
    std::string name = path.substr(folder.size());
    const std::size_t limit = nameMax > 4 ? static_cast<std::size_t>(nameMax) - 4 : 0;
    if (name.size() > limit)
        name.resize(limit);
    return folder + name + ".bak";
}

bool writeFileSafely(const std::string& path, const std::string& text, bool keepBackup,
                     std::string* reason, AtLink links) {
    std::string target = path;
    if (links == AtLink::Follow && !followLinks(path, target, reason))
        return false;

    struct stat old;
    // Replacing a link: the link itself is what is there.
    const bool exists = (links == AtLink::Follow ? ::stat(target.c_str(), &old)
                                                 : ::lstat(target.c_str(), &old)) == 0;
    const bool isLink = exists && S_ISLNK(old.st_mode);
    if (exists && S_ISDIR(old.st_mode))
        return fail(reason, "it is a folder");
    if (exists && !isLink && !S_ISREG(old.st_mode))
        return fail(reason, "it is not a regular file");
    // Permission bits, not access(): a save run as root must respect a file
    // the user made read-only just as much.
    if (exists && !isLink && ((old.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0))
        return fail(reason, "the file is read-only");

    mode_t mode = 0;
    if (exists && !isLink) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const std::string folder = folderOf(target);
    const std::string temporary = writeTemporary(folder, text, mode, reason);
    if (temporary.empty())
        return false;

    if (keepBackup && exists && !isLink) {
        // The backup sits beside the name the user saved under, even when
        // that name is a link to a file elsewhere.
        const long nameMax = ::pathconf(folderOf(path).c_str(), _PC_NAME_MAX);
        const std::string backup = backupPathFor(path, nameMax > 0 ? nameMax : NAME_MAX);
        std::string previous;
        std::string backupTemporary;
        if (!readAll(target, previous)) {
            fail(reason, "the old file cannot be read to keep it: " + writeFailureCause(errno));
        } else {
            backupTemporary = writeTemporary(folderOf(backup), previous, mode, reason);
        }
        if (backupTemporary.empty() || std::rename(backupTemporary.c_str(), backup.c_str()) != 0) {
            if (!backupTemporary.empty()) {
                fail(reason,
                     "the old file cannot be kept as a backup: " + writeFailureCause(errno));
                ::unlink(backupTemporary.c_str());
            }
            ::unlink(temporary.c_str());
            return false;
        }
    }

    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        fail(reason, writeFailureCause(errno));
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

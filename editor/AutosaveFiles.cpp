#include "editor/AutosaveFiles.h"

#include "animation/AnimationFile.h"
#include "animation/SafeFileWrite.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string slotName(int slot) {
    return slot == 1 ? std::string(AutosaveFiles::LOAD_NAME)
                     : std::string(AutosaveFiles::LOAD_NAME) + "-" + std::to_string(slot);
}

bool isRegular(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Opens (making it when missing) the lock file of a slot, never through a
// link and never anything but a regular file; -1 when it cannot.
int openLock(const std::string& path) {
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool digits(const std::string& text, std::size_t from, std::size_t count) {
    if (text.size() < from + count)
        return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from),
                       text.begin() + static_cast<std::ptrdiff_t>(from + count),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

} // namespace

AutosaveFiles::AutosaveFiles(std::string folder) : folder_(std::move(folder)) {
    reason_ = "no slot for an autosave in " + folder_;
    for (int slot = 1; slot <= MAX_SLOTS; ++slot) {
        const std::string file = folder_ + slotName(slot) + ".rgaf";
        struct stat info;
        // Once this session has its slot, only slots with a file left in
        // them are worth a look.
        if (ready() && ::lstat(file.c_str(), &info) != 0)
            continue;
        const int fd = openLock(folder_ + "." + slotName(slot) + ".lock");
        if (fd < 0) {
            if (!ready())
                reason_ = writeFailureCause(errno);
            continue;
        }
        // A lock held elsewhere is a session running now: its slot and its
        // file are its own.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        // A slot whose earlier work could not be moved aside is left to it.
        const bool free = !isRegular(file) || keep(file);
        leftBehind_ = leftBehind_ || !free;
        if (ready() || !free) {
            ::close(fd);
        } else {
            lockFd_ = fd;
            path_ = file;
            reason_.clear();
        }
    }
}

AutosaveFiles::~AutosaveFiles() {
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool AutosaveFiles::keep(const std::string& file) {
    struct stat info;
    if (::lstat(file.c_str(), &info) != 0)
        return true;
    std::tm local{};
    const std::time_t written = info.st_mtime;
    ::localtime_r(&written, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = folder_ + LOAD_NAME + "-" + stamp;
    // link() never replaces a file another session kept under the same
    // second; the slot's name goes only once the kept one stands. Where
    // the folder has no hard links (a FAT stick), a rename that refuses to
    // replace does the same in one step.
    for (int n = 1; n < 100; ++n) {
        const std::string kept = base + (n == 1 ? "" : "-" + std::to_string(n)) + ".rgaf";
        if (::link(file.c_str(), kept.c_str()) == 0) {
            ::unlink(file.c_str());
            return true;
        }
        if (errno != EEXIST &&
            ::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool AutosaveFiles::write(const Animation& animation, std::string& reason) {
    if (!ready()) {
        reason = reason_;
        return false;
    }
    return writeFileSafely(path_, animationText(animation), false, &reason, AtLink::Replace);
}

void AutosaveFiles::discard() {
    if (ready() && isRegular(path_))
        ::unlink(path_.c_str());
}

bool AutosaveFiles::isKeptName(const std::string& name) {
    // "autosave-YYYYMMDD-HHMMSS", then maybe "-N".
    const std::string prefix = std::string(LOAD_NAME) + "-";
    const std::size_t date = prefix.size();
    if (name.compare(0, prefix.size(), prefix) != 0 || !digits(name, date, 8) ||
        name.size() < date + 15 || name[date + 8] != '-' || !digits(name, date + 9, 6))
        return false;
    const std::size_t end = date + 15;
    return name.size() == end || (name.size() > end + 1 && name[end] == '-' &&
                                  digits(name, end + 1, name.size() - end - 1));
}

std::vector<std::string> AutosaveFiles::kept() const {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder_.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() <= 5 || name.compare(name.size() - 5, 5, ".rgaf") != 0)
            continue;
        name.resize(name.size() - 5);
        if (isKeptName(name) && isRegular(folder_ + name + ".rgaf"))
            names.push_back(name);
    }
    ::closedir(dir);
    // The stamp sorts by time; a "-N" of the same second after its base.
    std::sort(names.begin(), names.end(), std::greater<std::string>());
    return names;
}

void AutosaveFiles::forget(const std::string& name) {
    const std::string file = folder_ + name + ".rgaf";
    if (isKeptName(name) && isRegular(file))
        ::unlink(file.c_str());
}

#include "animation/FileRead.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string causeOf(int error) {
    return std::strerror(error);
}

} // namespace

std::string sizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024)
        return std::to_string(bytes / (1024 * 1024)) + " MB";
    if (bytes >= 1024)
        return std::to_string(bytes / 1024) + " kB";
    return std::to_string(bytes) + " bytes";
}

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& reason) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = causeOf(errno);
        return FileRead::CannotOpen;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        reason = causeOf(errno);
        ::close(fd);
        return FileRead::CannotOpen;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = "not a regular file";
        ::close(fd);
        return FileRead::Refused;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        reason = "larger than " + sizeText(maxBytes);
        ::close(fd);
        return FileRead::Refused;
    }
    text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0) {
            reason = causeOf(errno);
            text.clear();
            ::close(fd);
            return FileRead::CannotOpen;
        }
        if (n == 0)
            break;
        // A file that grows while it is read is held to the same limit.
        if (text.size() + static_cast<std::size_t>(n) > maxBytes) {
            reason = "larger than " + sizeText(maxBytes);
            text.clear();
            ::close(fd);
            return FileRead::Refused;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return FileRead::Done;
}

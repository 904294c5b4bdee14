#include "platform/TextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vexa {
namespace {

std::string Reason(int err) {
    return std::strerror(err);
}

bool WriteAll(int fd, std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

}  // namespace

bool TextFiles::Exists(const std::string& path) {
    // Anything at the path counts, even what cannot be examined or read: only a path that
    // plainly leads nowhere is "no file", so an unreadable file is never taken for a missing one.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

FileResult TextFiles::ReadAll(const std::string& path, std::string& contents) {
    contents.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileResult::Fail(Reason(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        contents.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            contents.clear();
            return FileResult::Fail(Reason(err));
        }
        contents.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return FileResult::Ok();
}

FileResult TextFiles::WriteAtomic(const std::string& path, std::string_view contents) {
    std::string dir = DirOf(path);
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return FileResult::Fail(Reason(errno));
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return FileResult::Fail(Reason(err));
    };
    // The new file gets the old file's permissions, or the usual ones for a new file.
    struct stat old {};
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        return fail(errno);
    if (!WriteAll(fd, contents))
        return fail(errno);
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return FileResult::Fail(Reason(err));
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return FileResult::Fail(Reason(err));
    }
    // Make the rename itself durable.
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return FileResult::Ok();
}

FileResult TextFiles::MakeDirs(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec)
        return FileResult::Fail(ec.message());
    return FileResult::Ok();
}

}  // namespace vexa

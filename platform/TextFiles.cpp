#include "platform/TextFiles.h"

#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "platform/SystemError.h"

namespace vexa {
namespace {

std::string Reason(int err) {
    return SystemError::Text(err);
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

FileResult TextFiles::ReadAll(const std::string& path, std::unique_ptr<char[]>& bytes,
                              std::size_t& size) {
    bytes.reset();
    size = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileResult::Fail(Reason(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return FileResult::Fail(Reason(err));
    }
    // Room for the file as it is, and more when it grows while it is read.
    std::size_t room = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
    bytes = std::make_unique_for_overwrite<char[]>(room + 1);
    ++room;
#if defined(MADV_HUGEPAGE)
    // A large file is read into large pages where the system offers them: a hundred megabytes
    // in 4 KiB pages costs tens of thousands of page faults.
    constexpr std::uintptr_t kHuge = std::uintptr_t{1} << 21;
    const auto from = (reinterpret_cast<std::uintptr_t>(bytes.get()) + kHuge - 1) & ~(kHuge - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(bytes.get()) + room) & ~(kHuge - 1);
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#endif
    for (;;) {
        if (size == room) {
            auto larger = std::make_unique_for_overwrite<char[]>(room * 2);
            std::memcpy(larger.get(), bytes.get(), size);
            bytes = std::move(larger);
            room *= 2;
        }
        const ssize_t n = ::read(fd, bytes.get() + size, room - size);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            bytes.reset();
            size = 0;
            return FileResult::Fail(Reason(err));
        }
        size += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return FileResult::Ok();
}

FileResult TextFiles::WriteAtomic(const std::string& path, std::string_view contents) {
    AtomicFile file;
    FileResult r = file.Open(path);
    if (r.ok)
        r = file.Write(contents);
    return r.ok ? file.Commit() : r;
}

FileResult TextFiles::MakeDirs(const std::string& path, const NewFiles& how) {
    if (how.dirMode < 0) {
        std::error_code ec;
        std::filesystem::create_directories(path, ec);
        if (ec)
            return FileResult::Fail(Reason(ec.value()));
        return FileResult::Ok();
    }
    // Each missing folder from the top down, given its mode exactly (whatever the umask).
    std::size_t at = 0;
    while (at < path.size()) {
        std::size_t slash = path.find('/', at + 1);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string part = path.substr(0, slash);
        at = slash;
        if (part.empty() || part.back() == '/')
            continue;
        if (::mkdir(part.c_str(), static_cast<mode_t>(how.dirMode)) == 0) {
            ::chmod(part.c_str(), static_cast<mode_t>(how.dirMode));
            continue;
        }
        const int err = errno;
        struct stat st {};
        if (err == EEXIST && ::stat(part.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            continue;
        return FileResult::Fail(Reason(err == EEXIST ? ENOTDIR : err));
    }
    return FileResult::Ok();
}

FileResult TextFiles::SetUpNewFile(int fd, const std::string& path, const NewFiles& how) {
    mode_t mode;
    if (how.fileMode >= 0) {
        mode = static_cast<mode_t>(how.fileMode);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0)
        return FileResult::Fail(Reason(errno));
    struct stat dir {};
    if (how.directoryGroup && ::stat(DirOf(path).c_str(), &dir) == 0) {
        // Only a member of the group (or root) may give it; otherwise the file keeps the
        // user's group, and its mode still keeps everybody else out.
        const int given = ::fchown(fd, static_cast<uid_t>(-1), dir.st_gid);
        static_cast<void>(given);
    }
    return FileResult::Ok();
}

std::string TextFiles::DirOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace vexa

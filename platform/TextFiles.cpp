#include "platform/TextFiles.h"

#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

FileResult TextFiles::WriteAtomic(const std::string& path, std::string_view contents) {
    AtomicFile file;
    FileResult r = file.Open(path);
    if (r.ok)
        r = file.Write(contents);
    return r.ok ? file.Commit() : r;
}

FileResult TextFiles::MakeDirs(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec)
        return FileResult::Fail(Reason(ec.value()));
    return FileResult::Ok();
}

}  // namespace vexa

#include "app/ArchiveLock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <cerrno>

#include "platform/Cp1250.h"
#include "platform/SystemError.h"
#include "platform/TextFiles.h"
#include "platform/ui/UiText.h"

namespace vexa {
namespace {

// The lock is as private as the archive beside it. In a directory of the user's own that its
// group cannot write (the user's data directory) it is the user's alone; in one that others
// share (a directory the installation names) it is for that directory's group, whose clerks
// read from it who holds the archive.
NewFiles LockFiles(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & S_IWGRP) == 0)
        return NewFiles::Private();
    return NewFiles::Shared();
}

}  // namespace

ArchiveLock::ArchiveLock(const std::string& archivePath) : m_file(archivePath + ".lock") {
    const auto slash = archivePath.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const FileResult dir =
            TextFiles::MakeDirs(archivePath.substr(0, slash), NewFiles::Private());
        if (!dir.ok) {
            m_reason = dir.error;
            return;
        }
    }
    m_lock = std::make_unique<QLockFile>(QString::fromLocal8Bit(m_file.c_str()));
    // A lock is stale only when its process is gone from this host, never because it is old:
    // a copy may run all day.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_state = State::Held;
        // Qt makes the file with the usual mode; it is given its own at once.
        const int fd = ::open(m_file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0) {
            TextFiles::SetUpNewFile(fd, m_file, LockFiles(TextFiles::DirOf(m_file)));
            ::close(fd);
        }
        return;
    }
    switch (m_lock->error()) {
        case QLockFile::LockFailedError: {
            m_state = State::HeldByOther;
            qint64 pid = 0;
            QString host, program;
            m_lock->getLockInfo(&pid, &host, &program);
            m_host = UiText::FromQt(host);
            struct stat st {};
            if (::stat(m_file.c_str(), &st) == 0) {
                const passwd* owner = ::getpwuid(st.st_uid);
                m_user = owner != nullptr ? UiText::FromQt(QString::fromLocal8Bit(owner->pw_name))
                                          : std::to_string(st.st_uid);
                const QDateTime since = QDateTime::fromSecsSinceEpoch(st.st_mtime);
                m_since = UiText::FromQt(since.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
            }
            break;
        }
        case QLockFile::PermissionError:
            m_reason = SystemError::Text(EACCES);
            break;
        default:
            m_reason = Cs("zámek nelze vytvořit");
            break;
    }
}

}  // namespace vexa

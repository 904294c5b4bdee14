#include "app/ArchiveLock.h"

#include <pwd.h>
#include <sys/stat.h>

#include <QDateTime>
#include <cerrno>

#include "platform/Cp1250.h"
#include "platform/SystemError.h"
#include "platform/TextFiles.h"
#include "platform/ui/UiText.h"

namespace vexa {

ArchiveLock::ArchiveLock(const std::string& archivePath) : m_file(archivePath + ".lock") {
    const auto slash = archivePath.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        const FileResult dir = TextFiles::MakeDirs(archivePath.substr(0, slash));
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

// The lock beside the archive is as private as the archive: the user's alone in the user's own
// directory (and the folders it makes for it), for the directory's group in a shared one.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include "app/ArchiveLock.h"
#include "support/TestSupport.h"

using namespace vexa;

class ArchiveLockTest : public QObject {
    Q_OBJECT
  private slots:
    void TheLockHasTheModeOfItsDirectory() {
        test::TempDir dir;
        const bool root = ::geteuid() == 0;
        ::mkdir((dir / "shared").c_str(), 0770);
        ::chmod((dir / "shared").c_str(), 0770);  // the clerks of its group write there
        if (root)
            QCOMPARE(::chown((dir / "shared").c_str(), static_cast<uid_t>(-1), 65534), 0);
        struct stat shared {};
        ::stat((dir / "shared").c_str(), &shared);
        const struct {
            std::string archive;
            unsigned mode;
            gid_t group;
        } cases[] = {{dir / "data/Lomar/Vexa/Archive.db", 0600, ::getegid()},
                     {dir / "shared/Archive.db", 0660, shared.st_gid}};
        for (const auto& c : cases) {
            ArchiveLock lock(c.archive);
            QCOMPARE(lock.Result(), ArchiveLock::State::Held);
            struct stat st {};
            QCOMPARE(::stat(lock.File().c_str(), &st), 0);
            QCOMPARE(st.st_mode & 07777, c.mode);
            QCOMPARE(st.st_gid, c.group);
        }
        struct stat made {};
        ::stat((dir / "data/Lomar").c_str(), &made);
        QCOMPARE(made.st_mode & 07777, 0700u);
    }
};

QTEST_GUILESS_MAIN(ArchiveLockTest)
#include "ArchiveLockTest.moc"

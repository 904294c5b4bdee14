// Times the archive in a database on a PostgreSQL server of its own (started here, durable:
// every commit flushed to the disk, as on a real server), next to the file archive:
//   - the start: SharedArchive::Load of N records (100,000 by default, two children each), the
//     window's own load, and ArchiveCls::Load of the same records from Archive.db; best of five;
//   - one save: the mean of 200 DatabaseStore::Add and of 200 Update;
//   - vexa-archiv import: DatabaseStore::Import of M records (1,000,000 by default), once.
// Usage: database_bench [N [M]]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "platform/Cp1250.h"
#include "platform/TextFiles.h"
#include "records/ArchiveCls.h"
#include "records/DatabaseStore.h"
#include "records/SharedArchive.h"
#include "support/PgServer.h"
#include "support/TestSupport.h"

using namespace vexa;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double BestMs(const std::function<void()>& run) {
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        const auto t = Clock::now();
        run();
        best = std::min(best, Ms(t));
    }
    return best;
}

std::string Archive(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        ClientsDataCls r;
        r.CisloPasu = std::to_string(40000000 + i);
        r.Prijmeni = Cs("ŠŤASTNÝ-ŽĎÁRSKÝ");
        r.Jmeno = Cs("JIŘÍ");
        r.rc = "850612/1239";
        r.MistoNarozeni = Cs("ŽĎÁR NAD SÁZAVOU");
        r.DatumVydani = "05.12.2026";
        r.Platnost = "05.12.2027";
        r.Vydavatel = Cs("MěÚ Žďár nad Sázavou");
        r.DetiAdd(Cs("PETR ŠŤASTNÝ"), "01.02.2010", "M");
        r.DetiAdd(Cs("ŽOFIE ŠŤASTNÁ"), "03.04.2012", "F");
        r.AppendDataAsLine(bytes);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int imported = argc > 2 ? std::atoi(argv[2]) : 1000000;
    test::PgServer server(true);
    test::TempDir dir;
    const std::string bytes = Archive(count);
    if (!TextFiles::WriteAtomic(dir / "Archive.db", bytes).ok)
        return 1;
    RegistryRoot reg(std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir / "lm.reg"}});
    bool ok = true;
    const double fileMs = BestMs([&] {
        ArchiveCls archive(reg, dir.Path());
        ok = ok && archive.Load().ok && archive.Pocet() == count;
    });

    const std::string conninfo = server.ConnInfo(server.NewDatabase());
    DatabaseStore store(conninfo);
    ok = ok && store.Import(bytes, false).ok;
    const double dbMs = BestMs([&] {
        // The window's own load: the rows into records held for the database.
        DatabaseStore fresh(conninfo);
        ArchiveCls records{ArchiveCls::HeldElsewhere{}};
        SharedArchive shared(fresh, records);
        ok = ok && shared.Load().ok && records.Pocet() == count;
    });

    ClientsDataCls r = test::SampleHolder();
    std::vector<DatabaseStore::Row> rows;
    auto t = Clock::now();
    for (int i = 0; i < 200; ++i) {
        r.CisloPasu = "N" + std::to_string(i);
        auto w = store.Add(r);
        ok = ok && w.What == DatabaseStore::Outcome::Done;
        rows.push_back(w.Now);
    }
    const double addMs = Ms(t) / 200;
    t = Clock::now();
    for (const auto& row : rows) {
        r.Prijmeni = Cs("ZMĚNĚNÝ");
        ok = ok && store.Update(row.Id, row.Version, r).What == DatabaseStore::Outcome::Done;
    }
    const double updateMs = Ms(t) / 200;

    const std::string big = Archive(imported);
    DatabaseStore target(server.ConnInfo(server.NewDatabase()));
    t = Clock::now();
    ok = ok && target.Import(big, false).ok;
    const double importMs = Ms(t);
    if (!ok) {
        std::fprintf(stderr, "database_bench: a step failed\n");
        return 1;
    }
    std::printf("start, %d records: Archive.db %.1f ms, database %.1f ms (%.2fx)\n", count, fileMs,
                dbMs, dbMs / fileMs);
    std::printf("one save: Add %.2f ms, Update %.2f ms\n", addMs, updateMs);
    std::printf("import, %d records: %.1f s\n", imported, importMs / 1000);
    return 0;
}

// Times the archive's Load, Save and FindItem on 100,000 records with two children each, next
// to the plainest way of doing the same with the file: one read() of the whole file split at
// line ends with memchr, and one write() of the same bytes followed by fsync. Every figure is
// the best of five runs on a warm cache.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Cp1250.h"
#include "records/ArchiveCls.h"

using namespace vexa;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 5;

// The best of kRuns runs of `run`, in milliseconds; `before` runs untimed before each.
double BestMs(
    const std::function<void()>& run, const std::function<void()>& before = [] {}) {
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        before();
        const auto t = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t).count());
    }
    return best;
}

// One read() of the whole file, then the lines found with memchr.
std::size_t PlainRead(const std::string& path, std::string& bytes,
                      std::vector<std::string_view>& lines) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    ::fstat(fd, &st);
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    lines.clear();
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        const char* stop = nl != nullptr ? nl : end;
        lines.emplace_back(p, std::size_t(stop - p) - (stop > p && stop[-1] == '\r'));
        p = stop + 1;
    }
    return lines.size();
}

// One write() of the bytes, then fsync.
void PlainWrite(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::size_t put = 0;
    while (put < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + put, bytes.size() - put);
        if (n <= 0)
            break;
        put += static_cast<std::size_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string tmpl = (std::filesystem::temp_directory_path() / "vexa-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        return 1;
    const std::string dir = tmpl;

    RegistryRoot reg(std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir + "/lm.reg"}});
    {
        ArchiveCls source(reg, dir);
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
            source.Add(std::move(r));
        }
        if (!source.Save().ok)
            return 1;
    }

    bool ok = true;
    std::unique_ptr<ArchiveCls> archive;
    const double loadMs =
        BestMs([&] { ok = ok && archive->Load().ok && archive->Pocet() == count; },
               [&] { archive = std::make_unique<ArchiveCls>(reg, dir); });
    // Nothing written back earlier may land in a timed save.
    const double saveMs = BestMs([&] { ok = ok && archive->Save().ok; }, [] { ::sync(); });
    if (!ok)
        return 1;

    const auto t = Clock::now();
    int found = 0;
    for (int i = 0; i < 1000; ++i) {
        ClientsDataCls key;
        key.CisloPasu = std::to_string(40000000 + (i * 7919) % count);
        found += archive->FindItem(key) != nullptr;
    }
    const double findMs = std::chrono::duration<double, std::milli>(Clock::now() - t).count();

    std::string bytes;
    std::vector<std::string_view> lines;
    const double plainReadMs = BestMs([&] { PlainRead(archive->FileName, bytes, lines); });
    const double plainWriteMs =
        BestMs([&] { PlainWrite(dir + "/plain.db", bytes); }, [] { ::sync(); });

    std::printf("records: %d, file: %.1f MB, lines: %zu; best of %d runs, warm cache\n", count,
                static_cast<double>(bytes.size()) / 1e6, lines.size(), kRuns);
    std::printf("Load:             %8.1f ms   (one read() + memchr split: %.1f ms; %.1fx)\n",
                loadMs, plainReadMs, loadMs / plainReadMs);
    std::printf("Save:             %8.1f ms   (one write() + fsync: %.1f ms; %.1fx)\n", saveMs,
                plainWriteMs, saveMs / plainWriteMs);
    std::printf("1,000 FindItem:   %8.1f ms   (%d found)\n", findMs, found);

    std::filesystem::remove_all(dir);
    return 0;
}

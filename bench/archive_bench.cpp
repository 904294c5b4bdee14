// Times the archive on an office-shaped Archive.db (bench/BenchArchive.h) next to the plainest
// way of doing the same with the file: Load against one read() of the whole file split at line
// ends with memchr, a whole save against one write() of the same bytes followed by fsync; then
// one added holder saved through the journal (the median of many), 1,000 look-ups by document
// number, and the peak memory of a load (VmHWM over what the process held before it).
//   build-release/bench/archive_bench [records]     (default 100000)
// Load and the whole save are the best of five runs on a warm cache.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchArchive.h"
#include "records/ArchiveCls.h"

using namespace vexa;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 5;

double MsSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The best of kRuns runs of `run`, in milliseconds; `before` runs untimed before each.
double BestMs(
    const std::function<void()>& run, const std::function<void()>& before = [] {}) {
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        before();
        const auto t = Clock::now();
        run();
        best = std::min(best, MsSince(t));
    }
    return best;
}

// A "VmHWM:" or "VmRSS:" figure of /proc/self/status, in kB.
long StatusKb(const char* name) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with(name))
            return std::atol(line.c_str() + std::strlen(name));
    }
    return -1;
}

// Starts the peak (VmHWM) afresh from what the process holds now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
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
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
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
    const long long fileSize = bench::BenchArchive::Write(dir + "/Archive.db", count);
    if (fileSize < 0)
        return 1;

    RegistryRoot reg(std::map<std::string, std::string>{{"HKEY_LOCAL_MACHINE", dir + "/lm.reg"}});
    bool ok = true;

    // The peak of the first load, over what the process held before it.
    ResetPeak();
    const long baseKb = StatusKb("VmHWM:");
    auto archive = std::make_unique<ArchiveCls>(reg, dir);
    ok = archive->Load().ok && archive->Pocet() == count;
    const long peakKb = StatusKb("VmHWM:") - baseKb;
    const long heldKb = StatusKb("VmRSS:") - baseKb;

    const double loadMs =
        BestMs([&] { ok = ok && archive->Load().ok && archive->Pocet() == count; },
               [&] {
                   archive.reset();
                   archive = std::make_unique<ArchiveCls>(reg, dir);
               });
    // Nothing written back earlier may land in a timed save.
    const double saveMs = BestMs([&] { ok = ok && archive->SaveWhole().ok; }, [] { ::sync(); });
    if (!ok)
        return 1;

    std::string bytes;
    std::vector<std::string_view> lines;
    const double plainReadMs = BestMs([&] { PlainRead(dir + "/Archive.db", bytes, lines); });
    const double plainWriteMs =
        BestMs([&] { PlainWrite(dir + "/plain.db", bytes); }, [] { ::sync(); });

    // One holder added and saved, as "Uložit" does it: the median of many, with at most
    // about twenty seconds spent.
    std::vector<double> adds;
    const auto addsStart = Clock::now();
    for (int k = 0; k < 101 && (k < 5 || MsSince(addsStart) < 20000); ++k) {
        const ClientsDataCls holder = bench::BenchArchive::Holder(count + k);
        const auto t = Clock::now();
        archive->Add(holder);
        ok = ok && archive->Save().ok;
        adds.push_back(MsSince(t));
    }
    std::sort(adds.begin(), adds.end());
    if (!ok)
        return 1;

    const auto t = Clock::now();
    int found = 0;
    for (int i = 0; i < 1000; ++i) {
        ClientsDataCls key;
        key.CisloPasu = bench::BenchArchive::DocumentNumber((i * 7919) % count);
        found += archive->FindItem(key) >= 0;
    }
    const double findMs = MsSince(t);

    std::printf("records: %d, file: %.1f MB, lines: %zu; best of %d runs, warm cache\n", count,
                static_cast<double>(fileSize) / 1e6, lines.size(), kRuns);
    std::printf("Load:             %8.1f ms   (one read() + memchr split: %.1f ms; %.1fx)\n",
                loadMs, plainReadMs, loadMs / plainReadMs);
    std::printf("Save (whole):     %8.1f ms   (one write() + fsync: %.1f ms; %.1fx)\n", saveMs,
                plainWriteMs, saveMs / plainWriteMs);
    std::printf("Add + Save:       %8.2f ms   (median of %zu; slowest %.2f ms)\n",
                adds[adds.size() / 2], adds.size(), adds.back());
    std::printf("1,000 FindItem:   %8.2f ms   (%d found)\n", findMs, found);
    std::printf("memory of a load: %8.1f MB peak (VmHWM), %.1f MB held; %.2fx the file\n",
                peakKb * 1024.0 / 1e6, heldKb * 1024.0 / 1e6,
                peakKb * 1024.0 / static_cast<double>(fileSize));

    archive.reset();
    std::filesystem::remove_all(dir);
    return 0;
}

// Times the archive's Load, Save and FindItem on 100,000 records with two children each, next
// to a plain read of the same file split at line ends and a plain write of the same bytes.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/Cp1250.h"
#include "records/ArchiveCls.h"

using namespace vexa;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
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

    ArchiveCls archive(reg, dir);
    ::sync();
    auto t = Clock::now();
    FileResult loaded = archive.Load();
    double loadMs = Ms(t);
    if (!loaded.ok || archive.Pocet() != count)
        return 1;

    ::sync();  // no earlier write-back may land in the timed part
    t = Clock::now();
    FileResult saved = archive.Save();
    double saveMs = Ms(t);
    if (!saved.ok)
        return 1;

    t = Clock::now();
    int found = 0;
    for (int i = 0; i < 1000; ++i) {
        ClientsDataCls key;
        key.CisloPasu = std::to_string(40000000 + (i * 7919) % count);
        found += archive.FindItem(key) != nullptr;
    }
    double findMs = Ms(t);

    // The plain equivalents of the same file.
    t = Clock::now();
    std::vector<std::string> lines;
    std::string bytes;
    {
        std::ifstream in(archive.FileName, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            std::size_t end = bytes.find('\n', pos);
            if (end == std::string::npos)
                end = bytes.size();
            lines.emplace_back(bytes, pos, end - pos - (end > pos && bytes[end - 1] == '\r'));
            pos = end + 1;
        }
    }
    double plainReadMs = Ms(t);

    ::sync();
    t = Clock::now();
    {
        std::ofstream out(dir + "/plain.db", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    double plainWriteMs = Ms(t);

    ::sync();
    t = Clock::now();
    {
        FILE* f = std::fopen((dir + "/plain-sync.db").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fflush(f);
        ::fsync(fileno(f));
        std::fclose(f);
    }
    double plainWriteSyncMs = Ms(t);

    std::printf("records: %d, file: %.1f MB, lines read plainly: %zu\n", count,
                static_cast<double>(bytes.size()) / 1e6, lines.size());
    std::printf("Load:                    %8.1f ms   (plain read + split: %.1f ms, %.2fx)\n",
                loadMs, plainReadMs, loadMs / plainReadMs);
    std::printf(
        "Save:                    %8.1f ms   (plain write: %.1f ms, %.2fx; plain write "
        "+ fsync: %.1f ms, %.2fx)\n",
        saveMs, plainWriteMs, saveMs / plainWriteMs, plainWriteSyncMs, saveMs / plainWriteSyncMs);
    std::printf("1,000 FindItem:          %8.1f ms   (%d found)\n", findMs, found);

    std::filesystem::remove_all(dir);
    return 0;
}

// Writes the files the renderer's tests read: the data page printed with the factory settings
// and the port set to a file (as a clerk would capture a job), and three inputs that are not
// print jobs: an empty file, the job cut inside a positioning command, and random bytes.
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "platform/Cp1250.h"
#include "platform/Registry.h"
#include "platform/port/DevicePortOpener.h"
#include "printing/DataPageJob.h"
#include "records/ClientsDataCls.h"
#include "settings/Config.h"
#include "support/TestSupport.h"

namespace {

class Complaints : public vexa::Notifier {
  public:
    void Warn(const std::string& message) override {
        std::fprintf(stderr, "%s\n", vexa::Cp1250::ToUtf8(message).c_str());
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: capture_jobs DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    vexa::RegistryRoot registry(std::map<std::string, std::string>{});
    vexa::Config config(registry);
    const std::string job = dir + "/data-page.prn";
    config.Set(vexa::cfg::Port, job);

    const vexa::ClientsDataCls holder = vexa::test::SampleHolder();
    vexa::DevicePortOpener ports;
    Complaints complaints;
    if (!vexa::DataPageJob(config, ports, complaints).PrintDataPage(holder)) {
        return 1;
    }

    const std::string bytes = vexa::test::ReadFile(job);
    vexa::test::WriteFile(dir + "/empty.prn", "");
    vexa::test::WriteFile(dir + "/cut.prn", bytes.substr(0, 25 + 4));  // inside the first ESC ( V
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random() % 256);
    }
    vexa::test::WriteFile(dir + "/random.bin", noise);
    return 0;
}

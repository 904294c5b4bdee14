// Print queues on a print service of the test's own.
#include "platform/port/QueuePortOpener.h"

#include <gtest/gtest.h>

#include "support/CupsServer.h"

namespace vexa::test {
namespace {

using namespace std::chrono_literals;

// Sends `bytes` as one job to the port `name` and closes it; the sink's fault after the close.
PortFault Print(QueuePortOpener& queues, const std::string& name, const std::string& bytes) {
    PortOpening opening = queues.Open(name, W("Vexa: strana dětí"));
    if (!opening.Sink)
        return opening.Fault;
    const std::size_t half = bytes.size() / 2;  // in two writes, as a job sends them
    EXPECT_TRUE(opening.Sink->Write(bytes.substr(0, half)) &&
                opening.Sink->Write(bytes.substr(half)));
    const bool closed = opening.Sink->Close();
    EXPECT_EQ(closed, opening.Sink->Fault() == PortFault::None);
    return opening.Sink->Fault();
}

TEST(QueuePortOpenerTest, QueuesAreListedAndEachPrintIsOneRawJobOfTheExactBytes) {
    CupsServer cups;
    EXPECT_TRUE(QueuePortOpener::QueuePorts().empty());
    cups.AddQueue("vexa_a");
    cups.AddQueue("vexa_b");
    EXPECT_EQ(QueuePortOpener::QueuePorts(),
              (std::vector<std::string>{W("tiskárna:vexa_a"), W("tiskárna:vexa_b")}));

    MemoryPortOpener devices;
    QueuePortOpener queues(devices);
    EXPECT_EQ(Print(queues, W("TISKÁRNA:vexa_b"), AllBytes()), PortFault::None);
    EXPECT_EQ(ReadFile(cups.Output("vexa_b")), AllBytes());
    cups_job_t* jobs = nullptr;
    ASSERT_EQ(cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "vexa_b", 0, CUPS_WHICHJOBS_ALL), 1);
    EXPECT_EQ(std::string(jobs[0].title), "Vexa: strana dětí");
    EXPECT_EQ(std::string(jobs[0].format), "application/vnd.cups-raw");
    cupsFreeJobs(1, jobs);
    // Other names are the wrapped opener's.
    queues.Open(W("tiskárna"), {});
    EXPECT_EQ(devices.LastPortName(), W("tiskárna"));
}

// A stopped queue keeps the job waiting: at the bound it is cancelled and nothing is left to
// print later. A queue that takes no jobs refuses at once. (The messages: the window's tests.)
TEST(QueuePortOpenerTest, AJobNotPrintedWithinTheBoundIsCancelledARefusedOneNeverQueued) {
    CupsServer cups;
    cups.AddQueue("vexa");
    MemoryPortOpener devices;
    QueuePortOpener queues(devices);
    queues.SetStallTimeout(1000ms);
    cups.Run("cupsdisable vexa");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Print(queues, W("tiskárna:vexa"), AllBytes()), PortFault::NotPrinted);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(cups.Run("lpstat -o vexa"), "");
    cups.Run("cupsenable vexa");
    cups.Run("cupsreject vexa");
    EXPECT_EQ(Print(queues, W("tiskárna:vexa"), AllBytes()), PortFault::Refused);
    cups.Run("cupsaccept vexa");
    EXPECT_EQ(Print(queues, W("tiskárna:vexa"), "page"), PortFault::None);
    EXPECT_EQ(ReadFile(cups.Output("vexa")), "page");  // only the last job ever printed
}

}  // namespace
}  // namespace vexa::test

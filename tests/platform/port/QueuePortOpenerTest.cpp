// Print queues on a print service of the test's own.
#include "platform/port/QueuePortOpener.h"

#include <gtest/gtest.h>

#include "platform/port/PortWait.h"
#include "support/CupsServer.h"

namespace vexa::test {
namespace {

using namespace std::chrono_literals;

// Sends `bytes` as one job to the port `name` and closes it; the sink's fault after the close.
PortFault Print(QueuePortOpener& queues, const std::string& name, const std::string& bytes) {
    PortOpening opening = queues.Open(name, W("Vexa: strana dětí"));
    if (!opening.Sink)
        return opening.Fault;
    EXPECT_TRUE(opening.Sink->Write(bytes.substr(0, 100)) &&
                opening.Sink->Write(bytes.substr(100)));
    EXPECT_EQ(opening.Sink->Close(), opening.Sink->Fault() == PortFault::None);
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

// A stopped queue keeps the job waiting: at the bound it is cancelled, nothing is left to
// print later, and the window's hook has run all along.
TEST(QueuePortOpenerTest, AJobNotPrintedWithinTheBoundIsCancelled) {
    CupsServer cups;
    cups.AddQueue("vexa");
    cups.Run("cupsdisable vexa");
    MemoryPortOpener devices;
    QueuePortOpener queues(devices);
    queues.SetStallTimeout(1000ms);
    std::vector<PortWait::Step> steps;
    PortWait::SetHook([&](PortWait::Step step) {
        if (steps.empty() || steps.back() != step)
            steps.push_back(step);
    });
    PortOpening opening = queues.Open(W("tiskárna:vexa"), {});
    ASSERT_TRUE(opening.Sink);
    opening.Sink->Write("page");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(opening.Sink->Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    PortWait::SetHook(nullptr);
    EXPECT_EQ(opening.Sink->Fault(), PortFault::NotPrinted);
    EXPECT_EQ(opening.Sink->Error(), W("úloha čekala ve frontě 1 s; fronta je zastavená"));
    EXPECT_EQ(steps,
              (std::vector{PortWait::Step::Begin, PortWait::Step::Pump, PortWait::Step::End}));
    EXPECT_EQ(cups.Run("lpstat -o vexa"), "");
    cups.Run("cupsenable vexa");
    EXPECT_EQ(Print(queues, W("tiskárna:vexa"), AllBytes()), PortFault::None);
    EXPECT_EQ(ReadFile(cups.Output("vexa")), AllBytes());  // the cancelled page never came
}

TEST(QueuePortOpenerTest, RefusedGoneAndNoServiceEachHaveTheirFaultAndPrintNothing) {
    CupsServer cups;
    cups.AddQueue("vexa");
    MemoryPortOpener devices;
    QueuePortOpener queues(devices);
    cups.Run("cupsreject vexa");
    PortOpening refused = queues.Open(W("tiskárna:vexa"), {});
    ASSERT_TRUE(refused.Sink);
    EXPECT_FALSE(refused.Sink->Close());
    EXPECT_EQ(std::pair(refused.Sink->Fault(), refused.Sink->Error()),
              std::pair(PortFault::Refused, W("fronta nepřijímá úlohy")));
    cups.Run("lpadmin -x vexa");
    EXPECT_EQ(queues.Open(W("tiskárna:vexa"), {}).Fault, PortFault::QueueMissing);
    cups.Stop();
    EXPECT_EQ(queues.Open(W("tiskárna:vexa"), {}).Fault, PortFault::ServiceDown);
    EXPECT_TRUE(QueuePortOpener::QueuePorts().empty());
    EXPECT_FALSE(std::filesystem::exists(cups.Output("vexa")));
    EXPECT_EQ(devices.OpenCount(), 0);
}

}  // namespace
}  // namespace vexa::test

#include "platform/port/PortWait.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace vexa {
namespace {

PortWait::Hook& TheHook() {
    static PortWait::Hook hook;
    return hook;
}

void Call(PortWait::Step step) {
    if (TheHook()) {
        TheHook()(step);
    }
}

}  // namespace

void PortWait::SetHook(Hook hook) {
    TheHook() = std::move(hook);
}

PortWait::PortWait() {
    Call(Step::Begin);
}

PortWait::~PortWait() {
    Call(Step::End);
}

void PortWait::Pause(std::chrono::milliseconds pause) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + pause;
    for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
        Call(Step::Pump);
        std::this_thread::sleep_for(
            std::min<Clock::duration>(std::chrono::milliseconds(50), until - Clock::now()));
    }
}

}  // namespace vexa

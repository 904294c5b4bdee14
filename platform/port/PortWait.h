#pragma once

#include <chrono>
#include <functional>

namespace vexa {

// A port that waits (a print queue finishing its job) keeps the program responsive: the window
// sets a hook, which each wait calls when it begins, about every 50 ms while it lasts, and when
// it ends. Without a hook a wait only sleeps. One thread, the window's, prints.
class PortWait {
  public:
    enum class Step { Begin, Pump, End };
    using Hook = std::function<void(Step)>;
    // An empty hook removes the one set.
    static void SetHook(Hook hook);

    PortWait();
    ~PortWait();
    PortWait(const PortWait&) = delete;
    PortWait& operator=(const PortWait&) = delete;

    // Lets `pause` pass, calling the hook in between.
    void Pause(std::chrono::milliseconds pause);
};

}  // namespace vexa

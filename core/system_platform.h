#pragma once

#include <chrono>
#include <csignal>
#include <thread>

#include "core/platform.h"

namespace chanwright {

// The real clock: steady time and blocking pauses.
class SteadyClock : public Clock {
  public:
    double Seconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void Pause(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

// For runs without a window: no events to let through, nothing to show busy.
class NoEventPump : public EventPump {
  public:
    void ProcessEvents() override {}
};

class NoBusyView : public BusyView {
  public:
    void SetBusy(bool) override {}
};

// A reader that goes away (a trace piped into `head`) would otherwise end the program in the
// middle of a transfer, a radio half written; the write fails instead and is told like any other.
inline void IgnoreBrokenPipes() {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace chanwright

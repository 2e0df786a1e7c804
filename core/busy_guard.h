#pragma once

#include "core/platform.h"

namespace chanwright {

// Busy for as long as the guard lives, however the work ends: the shared flag, which keeps the
// window's handlers from writing back what is being shown, and, when given, the busy pointer.
// The flag gets back what it held, so guards nest.
class BusyGuard {
  public:
    explicit BusyGuard(bool& busy, BusyView* view = nullptr)
        : busy_(&busy), saved_(busy), view_(view) {
        busy = true;
        Show();
    }
    // The busy pointer alone.
    explicit BusyGuard(BusyView& view) : view_(&view) { Show(); }
    ~BusyGuard() {
        if (busy_)
            *busy_ = saved_;
        if (view_)
            view_->SetBusy(false);
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    void Show() {
        if (view_)
            view_->SetBusy(true);
    }

    bool* busy_ = nullptr;
    bool saved_ = false;
    BusyView* view_ = nullptr;
};

}  // namespace chanwright

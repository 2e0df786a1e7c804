#pragma once

#include "core/radio_data.h"

namespace chanwright {

// Holds Busy while a page loads its controls, so that no handler writes back what is being
// shown; the caller's own Busy survives.
class BusyScope {
  public:
    explicit BusyScope(Bool16& busy) : busy_(busy), saved_(busy) { busy_ = kTrue; }
    ~BusyScope() { busy_ = saved_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Bool16& busy_;
    Bool16 saved_;
};

}  // namespace chanwright

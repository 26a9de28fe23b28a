// Avahi's client on the Qt event loop: an AvahiPoll whose watches are QSocketNotifiers and whose
// timeouts are single-shot QTimers, so that every Avahi callback (the D-Bus traffic with
// avahi-daemon, the entry group's state) runs on the window's thread between its events, like
// the remote servers, and needs no lock. (Avahi's threaded poll would run them on a thread of its
// own, beside the panels that the announced identity is read from.)
#pragma once

#include <avahi-common/watch.h>

namespace korvel::remote {

class QtAvahiPoll {
  public:
    QtAvahiPoll();
    QtAvahiPoll(const QtAvahiPoll&) = delete;
    QtAvahiPoll& operator=(const QtAvahiPoll&) = delete;

    // Valid as long as this object; every watch and timeout Avahi makes must be freed before.
    const AvahiPoll* api() const { return &api_; }

  private:
    AvahiPoll api_;
};

}  // namespace korvel::remote

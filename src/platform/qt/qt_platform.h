// Everything the Qt view adds to the user-interface model, installed in one go: the Qt host
// services, the windows that follow the model, and the driver of timers and deferred calls.
// Needs a QApplication; undoes its installation when destroyed.
#pragma once

#include <memory>

namespace korvel::qtview {

class LoopDriver;
class QtHost;
class QtView;

class QtPlatform {
  public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    QtHost& host() { return *host_; }
    QtView& view() { return *view_; }
    LoopDriver& driver() { return *driver_; }

  private:
    std::unique_ptr<QtHost> host_;
    std::unique_ptr<QtView> view_;
    std::unique_ptr<LoopDriver> driver_;
};

}  // namespace korvel::qtview

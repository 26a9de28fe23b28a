// A fresh UI model with the Qt view installed for every test, a virtual clock (nothing waits on
// the wall clock), and a spy that can stand in for any callback by its resource name.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "platform/callback_registry.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/control_view.h"
#include "platform/qt/panel_window.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_view.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

struct Delivered {
    int panel, control, event, data1;
    bool operator==(const Delivered&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Delivered& d) {
    return os << "(panel " << d.panel << ", control " << d.control << ", event " << d.event
              << ", datum " << d.data1 << ")";
}

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        korvel::platform::reset_user_interface();
        korvel::platform::set_clock(&clock_);
        qt_ = std::make_unique<korvel::qtview::QtPlatform>();
    }
    void TearDown() override {
        qt_.reset();
        korvel::platform::reset_user_interface();
        korvel::platform::set_clock(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Registers a recording callback under `name`; it returns `result` (1 consumes a key).
    void spy(const std::string& name, int result = 0) {
        RegisterCallback(name,
                         [this, result](int panel, int control, int event, void*, int d1, int) {
                             delivered.push_back({panel, control, event, d1});
                             return result;
                         });
    }

    int load(int resource_panel) {
        const int handle = LoadPanel(0, "main.uir", resource_panel);
        DisplayPanel(handle);
        return handle;
    }

    korvel::qtview::PanelWindow* window(int panel) { return qt_->view().window(panel); }

    template <class View>
    View* view(int panel, int control) {
        auto* w = window(panel);
        return w == nullptr ? nullptr : dynamic_cast<View*>(w->view(control));
    }

    // Lets queued deletions and posted events run (no waiting).
    static void settle() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    korvel::platform::VirtualClock clock_;
    std::unique_ptr<korvel::qtview::QtPlatform> qt_;
    std::vector<Delivered> delivered;
};

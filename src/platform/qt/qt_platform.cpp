#include "platform/qt/qt_platform.h"

#include <QApplication>

#include "platform/host_services.h"
#include "platform/qt/loop_driver.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_view.h"

namespace korvel::qtview {

QtPlatform::QtPlatform()
    : host_(std::make_unique<QtHost>()),
      view_(std::make_unique<QtView>()),
      driver_(std::make_unique<LoopDriver>()) {
    // The program ends through its exit paths, not when the operator closes the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::set_host(host_.get());
}

QtPlatform::~QtPlatform() {
    if (&platform::host() == host_.get()) platform::set_host(nullptr);
    driver_.reset();
    view_.reset();
    host_.reset();
}

}  // namespace korvel::qtview

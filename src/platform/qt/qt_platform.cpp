#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QPixmapCache>

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
    // No pixmap cache. The style caches its pictures of drawn widgets (a drop-down list's frame
    // and arrow) under the palette they were drawn with, and every palette set is a new one: the
    // pattern list turning pink and white with error injection would add entries for ever, and
    // Qt 6.4 keeps the name of every entry dropped from the cache. The widgets are few and
    // small; drawing them afresh costs little.
    QPixmapCache::setCacheLimit(0);
    platform::set_host(host_.get());
}

QtPlatform::~QtPlatform() {
    if (&platform::host() == host_.get()) platform::set_host(nullptr);
    driver_.reset();
    view_.reset();
    host_.reset();
}

}  // namespace korvel::qtview

#include "tour.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/calibration_window.h"
#include "app/state.h"
#include "link/usb_link.h"
#include "message_box_dismiss.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/panel_window.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_view.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::gui {
namespace {

// Each step runs on a later turn of the event loop, so that the previous step's windows are laid
// out and the program's deferred work has run; grab() paints a window whatever the window
// system has shown of it yet.
constexpr int kStepDelayMs = 0;

// The panel opened most recently from resource panel `panel_id`, or 0.
int latest(int panel_id) {
    int found = 0;
    for (int p : platform::loaded_panels())
        if (platform::panel_resource_id(p) == panel_id) found = p;
    return found;
}

}  // namespace

Tour::Tour(qtview::QtPlatform& qt, QWidget* extra, QString screenshot_dir)
    : qt_(qt), extra_(extra), dir_(std::move(screenshot_dir)) {
    using namespace korvel::app;
    steps_ = {
        [this] { showPanel(QStringLiteral("main"), main_panel); },
        [] { platform::choose_menu_item(app::main_panel, MENUBAR_MOREFEATURES); },
        [this] { showPanel(QStringLiteral("more"), latest(PANELMORE)); },
        [] { platform::operate_ctrl(latest(PANELMORE), PANELMORE_ERROR_INJECTION, EVENT_COMMIT); },
        [this] {
            // Without a unit the button rightly opens nothing.
            if (latest(PANELERR) != 0 || korvel::usb_aliveQ() != 0)
                showPanel(QStringLiteral("err"), latest(PANELERR));
        },
        [] { platform::press_key(app::main_panel, VAL_F9_VKEY); },
        [this] { showPanel(QStringLiteral("debug"), latest(PANELDEBUG)); },
        [] { platform::choose_menu_item(app::main_panel, MENUBAR_HELP); },
        [this] { showPanel(QStringLiteral("help"), latest(PANELHELP)); },
        // Choosing Custom Data opens the Custom Test Pattern panel (with a unit attached).
        [] { platform::operate_ctrl(app::main_panel, PANELMAIN_DATA_SELECT, 11, EVENT_COMMIT); },
        [this] {
            if (latest(PANELDATA) != 0 || korvel::usb_aliveQ() != 0)
                showPanel(QStringLiteral("data"), latest(PANELDATA));
        },
        // Nothing in the program's windows opens the calibration window; only the tour does.
        [] { app::calibrate(); },
        [this] { showPanel(QStringLiteral("cal"), latest(PANELCAL)); },
        [] {
            StdioPrintf("KORVEL control software %s: every window opened.\n", "V 1.4.0");
            StdioPuts("The program's service output (dumps, calibration lines) appears here.\n");
        },
        [this] { show(QStringLiteral("console"), qt_.host().console()); },
        [this] {
            if (extra_) show(QStringLiteral("sim_unit"), extra_);
        },
        [this] {
            // A secondary window's close box presses its panel's CLOSE button.
            for (int p : platform::loaded_panels())
                if (QWidget* w = qt_.view().window(p); w != nullptr && p != app::main_panel)
                    w->close();
        },
        [] { platform::choose_menu_item(app::main_panel, MENUBAR_MENU1_QUITNOSAVE); },
    };
}

void Tour::start() {
    QTimer::singleShot(0, this, &Tour::next);
}

void Tour::next() {
    if (step_ >= steps_.size()) return;
    when_no_message_box([this] {
        steps_[step_++]();
        if (step_ < steps_.size()) QTimer::singleShot(kStepDelayMs, this, &Tour::next);
    });
}

void Tour::showPanel(const QString& name, int panel) {
    QWidget* w = qt_.view().window(panel);
    if (w == nullptr) {
        problems_.push_back(QStringLiteral("no window for %1").arg(name));
        return;
    }
    show(name, w);
}

void Tour::show(const QString& name, QWidget* w) {
    if (w == nullptr) return;
    w->show();
    w->raise();
    if (dir_.isEmpty()) return;
    QDir().mkpath(dir_);
    const QString path = QDir(dir_).filePath(name + QStringLiteral(".png"));
    if (w->grab().save(path)) {
        saved_.push_back(path);
    } else {
        problems_.push_back(QStringLiteral("could not save %1").arg(path));
    }
}

}  // namespace korvel::gui

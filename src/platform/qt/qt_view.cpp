#include "platform/qt/qt_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <string_view>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/control_view.h"
#include "platform/qt/key_codes_qt.h"
#include "platform/qt/loop_driver.h"
#include "platform/qt/panel_window.h"
#include "platform/user_interface.h"
#include "resource/catalogue.h"

namespace korvel::qtview {
namespace {

// The control that closes a secondary panel (its CLOSE button), or 0.
int close_control(const resource::PanelDef& def) {
    for (const auto& c : def.controls)
        if (c.kind == resource::ControlKind::CommandButton &&
            c.constant.starts_with(std::string_view("CLOSEPANEL")))
            return c.id;
    return 0;
}

// The menu entry that leaves the program through its normal exit (File > Exit).
constexpr int kExitMenuItem = resource::menu_id_of("FILEEXIT");

}  // namespace

QtView::QtView(QObject* parent) : QObject(parent) {
    platform::add_view_observer(this);
    qApp->installEventFilter(this);
}

QtView::~QtView() {
    platform::remove_view_observer(this);
    if (qApp != nullptr) qApp->removeEventFilter(this);
    for (const auto& w : std::as_const(windows_))
        if (w) delete w.data();
}

PanelWindow* QtView::window(int panel) const {
    return windows_.value(panel).data();
}

QList<PanelWindow*> QtView::windows() const {
    QList<PanelWindow*> out;
    for (const auto& w : windows_)
        if (w) out.append(w.data());
    return out;
}

void QtView::panel_loaded(int panel, int panel_id, int /*parent*/) {
    const resource::PanelDef* def = resource::find_panel(panel_id);
    if (def == nullptr) return;
    auto* w = new PanelWindow(panel, *def);
    windows_.insert(panel, w);
    connect(w, &PanelWindow::closeRequested, this, &QtView::closeRequested);
    w->refreshAll();
}

void QtView::panel_discarded(int panel) {
    QPointer<PanelWindow> w = windows_.take(panel);
    if (!w) return;
    // The discard may come from a callback of one of this window's own widgets.
    w->hide();
    w->deleteLater();
}

void QtView::panel_displayed(int panel) {
    PanelWindow* w = window(panel);
    if (w == nullptr) return;
    w->show();
    w->raise();
    w->activateWindow();
    emit panelDisplayed(panel);
}

void QtView::panel_hidden(int panel) {
    if (PanelWindow* w = window(panel)) w->hide();
}

void QtView::panel_title_changed(int panel) {
    std::string title;
    if (PanelWindow* w = window(panel);
        w != nullptr && GetPanelAttribute(panel, ATTR_TITLE, &title) >= 0)
        w->setWindowTitle(QString::fromStdString(title));
}

void QtView::value_changed(int panel, int control) {
    if (PanelWindow* w = window(panel))
        if (ControlView* v = w->view(control)) v->refreshValue();
}

void QtView::attribute_changed(int panel, int control, int attribute) {
    if (PanelWindow* w = window(panel))
        if (ControlView* v = w->view(control)) v->refreshAttribute(attribute);
}

void QtView::active_control_changed(int panel, int control) {
    PanelWindow* w = window(panel);
    if (w == nullptr) return;
    ControlView* v = w->view(control);
    if (v == nullptr || v->focusTarget() == nullptr) return;
    if (!v->focusTarget()->hasFocus()) v->focusTarget()->setFocus(Qt::OtherFocusReason);
}

void QtView::active_panel_changed(int panel) {
    // A change that the window system reported is not pushed back to it: activation requests
    // are delivered later, and answering each one with another would pass the activation
    // between two windows for ever.
    if (following_focus_) return;
    if (PanelWindow* w = window(panel)) {
        w->raise();
        w->activateWindow();
    }
}

void QtView::closeRequested(int panel) {
    PanelWindow* w = window(panel);
    if (w == nullptr) return;
    if (w->def().has_menu_bar) {
        // The main window's close box leaves the way File > Exit does.
        platform::choose_menu_item(panel, kExitMenuItem);
    } else if (const int close = close_control(w->def())) {
        platform::operate_ctrl(panel, close, EVENT_COMMIT);
    }
    LoopDriver::kick();
}

bool QtView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        routed_key_ = nullptr;  // the press it belongs to has been handled
    } else if ((event->type() == QEvent::FocusIn || event->type() == QEvent::WindowActivate) &&
               watched->isWidgetType()) {
        followFocus(static_cast<QWidget*>(watched));
    } else if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        if (event == routed_key_) return false;  // passed on to a parent: already routed
        routed_key_ = event;
        return routeKey(static_cast<QWidget*>(watched), event);
    }
    return QObject::eventFilter(watched, event);
}

void QtView::followFocus(QWidget* w) {
    // The model keeps the active panel and control; the operator moves them with the mouse and
    // the Tab key.
    auto* window = qobject_cast<PanelWindow*>(w->window());
    if (window == nullptr || !windows_.contains(window->handle())) return;
    const int panel = window->handle();
    if (GetActivePanel() != panel) {
        const QScopedValueRollback following(following_focus_, true);
        SetActivePanel(panel);
    }
    const int control = window->controlOf(w);
    if (control > 0 && GetActiveCtrl(panel) != control) SetActiveCtrl(panel, control);
}

bool QtView::routeKey(QWidget* receiver, QEvent* event) {
    auto* w = qobject_cast<PanelWindow*>(receiver->window());
    if (w == nullptr || !windows_.contains(w->handle())) return false;

    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    const int code =
        platform_key_code(key->key(), key->modifiers(), text.isEmpty() ? 0 : text.at(0).unicode());
    if (code == 0) return false;

    const int panel = w->handle();
    const int control = w->controlOf(receiver);
    if (control > 0 && GetActiveCtrl(panel) != control) SetActiveCtrl(panel, control);
    const int taken = platform::press_key(panel, code);
    LoopDriver::kick();
    return taken > 0;
}

}  // namespace korvel::qtview

// The Qt picture of the user-interface model: one PanelWindow per loaded panel, kept in step with
// the model's notifications, and the keyboard routed to the model so that keypress callbacks and
// shortcut keys (F9, F12) work whichever widget has the focus.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include "platform/view_observer.h"

namespace korvel::qtview {

class PanelWindow;

class QtView : public QObject, public platform::ViewObserver {
    Q_OBJECT
  public:
    explicit QtView(QObject* parent = nullptr);
    ~QtView() override;

    // The window of a loaded panel, or nullptr.
    PanelWindow* window(int panel) const;
    QList<PanelWindow*> windows() const;

    void panel_loaded(int panel, int panel_id, int parent) override;
    void panel_discarded(int panel) override;
    void panel_displayed(int panel) override;
    void panel_hidden(int panel) override;
    void panel_title_changed(int panel) override;
    void value_changed(int panel, int control) override;
    void attribute_changed(int panel, int control, int attribute) override;
    void active_control_changed(int panel, int control) override;
    void active_panel_changed(int panel) override;

  signals:
    void panelDisplayed(int panel);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void closeRequested(int panel);
    bool routeKey(QWidget* receiver, QEvent* event);
    void followFocus(QWidget* w);

    QHash<int, QPointer<PanelWindow>> windows_;
    // The key press being routed: Qt hands an unaccepted key event on to the parents of the
    // widget it was meant for, and the program must see it once.
    const QEvent* routed_key_ = nullptr;
    // Set while the model takes over the active window from the window system.
    bool following_focus_ = false;
};

}  // namespace korvel::qtview

// One loaded panel as a top-level window: its controls laid out on the catalogue's grid of
// groups, the menu bar on the panel that carries it, and the window's close box turned into the
// panel's own way out.
#pragma once

#include <QHash>
#include <QWidget>

#include "resource/control_def.h"

class QMenuBar;

namespace korvel::qtview {

class ControlView;

class PanelWindow : public QWidget {
    Q_OBJECT
  public:
    PanelWindow(int handle, const resource::PanelDef& def, QWidget* parent = nullptr);

    int handle() const { return handle_; }
    const resource::PanelDef& def() const { return def_; }
    ControlView* view(int control) const { return views_.value(control, nullptr); }
    const QHash<int, ControlView*>& views() const { return views_; }
    QMenuBar* menuBar() const { return menu_bar_; }

    // The control whose widgets contain `w`, or 0.
    int controlOf(const QWidget* w) const;

    // Shows the model's title, values and attributes.
    void refreshAll();

  signals:
    // The operator asked the window manager to close the window.
    void closeRequested(int handle);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    QWidget* buildGroup(const resource::GroupDef& group);
    void styleControl(ControlView* view, bool heading_position);

    int handle_;
    const resource::PanelDef& def_;
    QHash<int, ControlView*> views_;
    QMenuBar* menu_bar_ = nullptr;
};

}  // namespace korvel::qtview

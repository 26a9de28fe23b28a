// Makes the view of one control from its catalogue record.
#pragma once

#include <memory>

#include "platform/qt/control_view.h"

class QFrame;

namespace korvel::qtview {

// The widget a user expects for the control's kind; widgets are created as children of
// `parent_widget`, the view object as a child of `owner`. Timers get a view without widgets.
ControlView* make_control_view(int panel, const resource::ControlDef& def, QWidget* parent_widget,
                               QObject* owner);

// The frame drawn around a group: a decoration control. Hiding it removes the border only.
class DecorationView : public ControlView {
    Q_OBJECT
  public:
    DecorationView(int panel, const resource::ControlDef& def, QFrame* frame, QObject* owner);
    void refreshAttribute(int attribute) override;

  private:
    QFrame* frame_;
};

}  // namespace korvel::qtview

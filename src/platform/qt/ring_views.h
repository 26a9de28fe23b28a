// Ring controls: the drop-down list, and the ring slide (a slider whose stops are the items).
// Both select an item by its list position; the model answers with the item's value.
#pragma once

#include "platform/qt/control_view.h"

class QComboBox;
class QSlider;

namespace korvel::qtview {

// Drop-down list; choosing an item commits it.
class RingView : public ControlView {
    Q_OBJECT
  public:
    RingView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    QComboBox* combo() const { return combo_; }

  private:
    QComboBox* combo_;
};

// Slider over the items with their labels beneath. Dragging sends EVENT_VAL_CHANGED, releasing
// EVENT_COMMIT; keyboard steps and groove clicks send both.
class RingSlideView : public ControlView {
    Q_OBJECT
  public:
    RingSlideView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    QWidget* focusTarget() const override;
    QSlider* slider() const { return slider_; }

  private:
    void select(int index, bool moved, bool completed);

    QSlider* slider_;
};

}  // namespace korvel::qtview

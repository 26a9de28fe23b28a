// Numeric controls: the number field, and the slide (a slider with a field beside it that can be
// typed into).
#pragma once

#include "platform/qt/control_view.h"

class QLabel;
class QSlider;

namespace korvel::qtview {

class NumberSpinBox;

// Number field. Arrows and typed values go to the model with EVENT_COMMIT.
class NumericView : public ControlView {
    Q_OBJECT
  public:
    NumericView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    void refreshAttribute(int attribute) override;
    NumberSpinBox* field() const { return field_; }

  private:
    NumberSpinBox* field_;
};

// Numeric slide. Dragging sends EVENT_VAL_CHANGED at every position and EVENT_COMMIT on release;
// a step by keyboard, a click in the groove or a value typed into the field is a completed move
// (EVENT_VAL_CHANGED, then EVENT_COMMIT). The mouse wheel is left to the callback
// (EVENT_MOUSE_WHEEL_SCROLL, one page step per notch).
class NumericSlideView : public ControlView {
    Q_OBJECT
  public:
    NumericSlideView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    void refreshAttribute(int attribute) override;
    QWidget* focusTarget() const override;
    QSlider* slider() const { return slider_; }
    NumberSpinBox* field() const { return field_; }

  private:
    void applyRange();
    // Sends the value: EVENT_VAL_CHANGED when the slide `moved`, EVENT_COMMIT when the move is
    // `completed`.
    void deliver(double value, bool moved, bool completed);

    QSlider* slider_;
    NumberSpinBox* field_;
    QLabel* low_label_;
    QLabel* high_label_;
    double lo_ = 0.0;
    double hi_ = 0.0;
    int positions_ = 0;
};

}  // namespace korvel::qtview

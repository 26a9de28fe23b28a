// Controls operated by a click: command buttons, toggle buttons, check boxes, and the LED
// indicator that shares their on/off value.
#pragma once

#include "platform/qt/control_view.h"

class QAbstractButton;
class QCheckBox;
class QPushButton;

namespace korvel::qtview {

class LedWidget;

// Push button: EVENT_COMMIT when clicked.
class CommandButtonView : public ControlView {
    Q_OBJECT
  public:
    CommandButtonView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    QPushButton* button() const { return button_; }

  protected:
    void showLabelText(const QString& text) override;

  private:
    QPushButton* button_;
};

// Two-state button showing its on or off text; the caption (if any) sits above it. Clicking puts
// the other value into the model with EVENT_COMMIT.
class ToggleButtonView : public ControlView {
    Q_OBJECT
  public:
    ToggleButtonView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    QWidget* focusTarget() const override;
    QPushButton* button() const { return button_; }

  protected:
    QList<QWidget*> colourTargets() const override;
    void showLabelText(const QString& text) override;

  private:
    QPushButton* button_;
    QLabel* caption_ = nullptr;
};

// Check box: its text is the label; clicking commits the new value.
class CheckBoxView : public ControlView {
    Q_OBJECT
  public:
    CheckBoxView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    QCheckBox* box() const { return box_; }

  protected:
    void showLabelText(const QString& text) override;

  private:
    QCheckBox* box_;
};

// Indicator lamp with its label to the right; the operator cannot change it.
class LedView : public ControlView {
    Q_OBJECT
  public:
    LedView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    LedWidget* lamp() const { return lamp_; }

  protected:
    QList<QWidget*> colourTargets() const override;
    void showLabelText(const QString& text) override;

  private:
    LedWidget* lamp_;
    QLabel* caption_;
};

}  // namespace korvel::qtview

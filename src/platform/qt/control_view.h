// One control of a loaded panel as widgets: the picture of the model's control, and the path by
// which the operator's actions on those widgets reach the model (operator_input.h) and so the
// program's callbacks.
//
// A view never changes a value on its own authority: operator input goes to the model, and the
// model's notification brings the new value back (refreshValue). Values set from code arrive the
// same way and are shown with the widgets' signals blocked, so they never look like input.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "resource/control_def.h"

#include <QLabel>

namespace korvel::qtview {

class ControlView : public QObject {
    Q_OBJECT
  public:
    ControlView(int panel, const resource::ControlDef& def, QObject* parent = nullptr);
    ~ControlView() override;

    int panel() const { return panel_; }
    int control() const { return def_.id; }
    const resource::ControlDef& def() const { return def_; }

    // The caption shown in the form column to the left of the editor, or nullptr when the control
    // shows its label itself (buttons, check boxes) or has none.
    QLabel* label() const { return label_; }
    // The widget placed in the panel (may hold several widgets); nullptr for timers.
    QWidget* editor() const { return editor_; }
    // The widget that holds the keyboard focus for this control.
    virtual QWidget* focusTarget() const { return editor_; }

    // Shows the model's current value.
    virtual void refreshValue() {}
    // Shows one changed attribute (ATTR_*).
    virtual void refreshAttribute(int attribute);
    // Shows every value and attribute, e.g. right after the panel was built.
    void refreshAll();

  protected:
    void setWidgets(QLabel* label, QWidget* editor);
    // A caption showing the control's label, for the form column; nullptr when it has none.
    QLabel* formLabel(QWidget* parent_widget) const;
    // Widgets whose text and background colours follow ATTR_TEXT_COLOR / ATTR_TEXT_BGCOLOR.
    virtual QList<QWidget*> colourTargets() const { return {editor_}; }
    // Sets the text of whatever shows the control's label.
    virtual void showLabelText(const QString& text);
    // Call after every operator input the view delivered: lets deferred work run and puts the
    // widgets back in step with the model when the model refused or changed the input.
    void inputDelivered();
    // The colour an attribute holds, or an invalid colour when unset or transparent.
    QColor attributeColour(int attribute) const;

    // The mouse wheel over `w` turns into EVENT_MOUSE_WHEEL_SCROLL notches for this control;
    // `swallow` keeps the widget from acting on the wheel itself.
    void routeWheel(QWidget* w, bool swallow);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyColours();

    int panel_;
    const resource::ControlDef& def_;
    QPointer<QLabel> label_;
    QPointer<QWidget> editor_;
    QList<QWidget*> wheel_swallowed_;
    int wheel_accumulator_ = 0;
};

}  // namespace korvel::qtview

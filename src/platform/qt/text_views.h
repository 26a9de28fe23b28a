// Text-valued controls: the one-line string field, the multi-line text box and the text message.
#pragma once

#include "platform/qt/control_view.h"

class QLineEdit;
class QPlainTextEdit;

namespace korvel::qtview {

// One-line field. The model follows every edit without an event; the edited text is committed
// with Enter or by leaving the field.
class StringView : public ControlView {
    Q_OBJECT
  public:
    StringView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    QLineEdit* field() const { return field_; }

  private:
    QLineEdit* field_;
    bool edited_ = false;
};

// Multi-line area. Every edit puts the text into the model with EVENT_VAL_CHANGED; leaving the
// area after editing commits it.
class TextBoxView : public ControlView {
    Q_OBJECT
  public:
    TextBoxView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    QPlainTextEdit* area() const { return area_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPlainTextEdit* area_;
    bool edited_ = false;
};

// Fixed text the program may change, show or hide.
class TextMessageView : public ControlView {
    Q_OBJECT
  public:
    TextMessageView(int panel, const resource::ControlDef& def, QWidget* parent_widget);
    void refreshValue() override;
    QLabel* text() const { return text_; }

  private:
    QLabel* text_;
};

}  // namespace korvel::qtview

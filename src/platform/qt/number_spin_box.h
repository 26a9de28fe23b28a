// A number field for numeric controls: fixed or scientific notation, the control's decimals, and
// a width sized for the numbers it will show rather than for the extremes of "no limit" ranges.
#pragma once

#include <QDoubleSpinBox>

namespace korvel::qtview {

class NumberSpinBox : public QDoubleSpinBox {
    Q_OBJECT
  public:
    explicit NumberSpinBox(QWidget* parent = nullptr);

    void setScientific(bool on) { scientific_ = on; }
    // Width of the text part in characters.
    void setDisplayChars(int chars) { display_chars_ = chars; }

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  private:
    bool scientific_ = false;
    int display_chars_ = 10;
};

}  // namespace korvel::qtview

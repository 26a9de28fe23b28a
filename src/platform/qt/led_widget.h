// A round on/off lamp, sized from the font so it scales with the desktop's text size.
#pragma once

#include <QColor>
#include <QWidget>

namespace korvel::qtview {

class LedWidget : public QWidget {
    Q_OBJECT
  public:
    explicit LedWidget(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    void setOnColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool on_ = false;
    QColor on_color_{0x20, 0xc0, 0x30};
};

}  // namespace korvel::qtview

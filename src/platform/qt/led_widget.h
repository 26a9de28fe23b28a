// A round on/off lamp, sized from the font so it scales with the desktop's text size.
#pragma once

#include <QWidget>

namespace korvel::qtview {

class LedWidget : public QWidget {
    Q_OBJECT
  public:
    explicit LedWidget(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool on_ = false;
};

}  // namespace korvel::qtview

#include "platform/qt/led_widget.h"

#include <QPainter>

namespace korvel::qtview {
namespace {

constexpr QRgb kOnColour = 0x20c030;  // green

}  // namespace

LedWidget::LedWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LedWidget::setOn(bool on) {
    if (on == on_) return;
    on_ = on;
    update();
}

QSize LedWidget::sizeHint() const {
    const int d = fontMetrics().height();
    return {d, d};
}

void LedWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(width(), height()) - 2;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    const QColor fill = on_ ? QColor(kOnColour) : palette().color(QPalette::Mid).darker(150);
    QRadialGradient g(r.center() - QPointF(d / 5.0, d / 5.0), d * 0.7);
    g.setColorAt(0, fill.lighter(on_ ? 160 : 120));
    g.setColorAt(1, fill);
    p.setBrush(g);
    p.setPen(QPen(palette().color(QPalette::Dark), 1));
    p.drawEllipse(r);
}

}  // namespace korvel::qtview

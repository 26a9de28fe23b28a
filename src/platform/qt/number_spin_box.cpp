#include "platform/qt/number_spin_box.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace korvel::qtview {

NumberSpinBox::NumberSpinBox(QWidget* parent) : QDoubleSpinBox(parent) {
    // A value is entered with Enter or by leaving the field, not at every keystroke.
    setKeyboardTracking(false);
    setAccelerated(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QString NumberSpinBox::textFromValue(double value) const {
    if (scientific_) return QString::number(value, 'e', 3);
    return QDoubleSpinBox::textFromValue(value);
}

double NumberSpinBox::valueFromText(const QString& text) const {
    if (!scientific_) return QDoubleSpinBox::valueFromText(text);
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : value();
}

QValidator::State NumberSpinBox::validate(QString& text, int& pos) const {
    if (!scientific_) return QDoubleSpinBox::validate(text, pos);
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("+") ||
        t.endsWith(QLatin1Char('e'), Qt::CaseInsensitive) || t.endsWith(QLatin1String("e-")) ||
        t.endsWith(QLatin1String("e+")))
        return QValidator::Intermediate;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok) return QValidator::Invalid;
    return (v >= minimum() && v <= maximum()) ? QValidator::Acceptable : QValidator::Intermediate;
}

QSize NumberSpinBox::sizeHint() const {
    ensurePolished();
    const QFontMetrics fm(font());
    QStyleOptionSpinBox opt;
    initStyleOption(&opt);
    const QSize text(fm.horizontalAdvance(QString(display_chars_, QLatin1Char('8'))) + 4,
                     lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &opt, text, this);
}

QSize NumberSpinBox::minimumSizeHint() const {
    return sizeHint();
}

}  // namespace korvel::qtview

#include "platform/qt/control_view.h"

#include <QApplication>
#include <QLabel>
#include <QWheelEvent>
#include <cstdlib>
#include <string>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/loop_driver.h"
#include "platform/qt/qt_text.h"
#include "platform/user_interface.h"

namespace korvel::qtview {
namespace {

constexpr int kWheelNotch = 120;

int read_int_attribute(int panel, int control, int attribute, int fallback) {
    int v = fallback;
    if (GetCtrlAttribute(panel, control, attribute, &v) < 0) return fallback;
    return v;
}

}  // namespace

ControlView::ControlView(int panel, const resource::ControlDef& def, QObject* parent)
    : QObject(parent), panel_(panel), def_(def) {}

ControlView::~ControlView() = default;

void ControlView::setWidgets(QLabel* label, QWidget* editor) {
    label_ = label;
    editor_ = editor;
    if (editor_ != nullptr) editor_->setObjectName(to_qstring(def_.constant));
    if (label_ != nullptr && editor_ != nullptr) label_->setBuddy(focusTarget());
}

QLabel* ControlView::formLabel(QWidget* parent_widget) const {
    return def_.label.empty() ? nullptr : new QLabel(to_qstring(def_.label), parent_widget);
}

void ControlView::refreshAll() {
    refreshValue();
    for (int attribute : {ATTR_DIMMED, ATTR_VISIBLE, ATTR_TOOLTIP_TEXT, ATTR_LABEL_TEXT})
        refreshAttribute(attribute);
}

void ControlView::refreshAttribute(int attribute) {
    switch (attribute) {
        case ATTR_DIMMED: {
            const bool dimmed = read_int_attribute(panel_, control(), ATTR_DIMMED, 0) != 0;
            if (editor_ != nullptr) editor_->setEnabled(!dimmed);
            if (label_ != nullptr) label_->setEnabled(!dimmed);
            break;
        }
        case ATTR_VISIBLE: {
            const bool visible = read_int_attribute(panel_, control(), ATTR_VISIBLE, 1) != 0;
            // setHidden keeps widgets of a window that is not shown yet from becoming windows.
            if (editor_ != nullptr) editor_->setHidden(!visible);
            if (label_ != nullptr) label_->setHidden(!visible);
            break;
        }
        case ATTR_TOOLTIP_TEXT: {
            std::string tip;
            if (GetCtrlAttribute(panel_, control(), ATTR_TOOLTIP_TEXT, &tip) < 0) break;
            const QString text = QString::fromStdString(tip);
            if (editor_ != nullptr) editor_->setToolTip(text);
            if (label_ != nullptr) label_->setToolTip(text);
            break;
        }
        case ATTR_LABEL_TEXT: {
            std::string text;
            if (GetCtrlAttribute(panel_, control(), ATTR_LABEL_TEXT, &text) < 0) break;
            showLabelText(QString::fromStdString(text));
            break;
        }
        case ATTR_TEXT_COLOR:
        case ATTR_TEXT_BGCOLOR:
            applyColours();
            break;
        default:
            break;
    }
}

void ControlView::showLabelText(const QString& text) {
    if (label_ != nullptr) label_->setText(text);
}

QColor ControlView::attributeColour(int attribute) const {
    int rgb = 0;
    if (GetCtrlAttribute(panel_, control(), attribute, &rgb) < 0) return {};
    if (rgb < 0 || rgb > 0xFFFFFF) return {};  // transparent or not a colour
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

void ControlView::applyColours() {
    const QColor fg = attributeColour(ATTR_TEXT_COLOR);
    const QColor bg = attributeColour(ATTR_TEXT_BGCOLOR);
    for (QWidget* w : colourTargets()) {
        if (w == nullptr) continue;
        QPalette p = QApplication::palette(w);
        if (fg.isValid())
            for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
                p.setColor(role, fg);
        if (bg.isValid())
            for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
                p.setColor(role, bg);
        w->setPalette(p);
        if (qobject_cast<QLabel*>(w) != nullptr) w->setAutoFillBackground(bg.isValid());
    }
}

void ControlView::inputDelivered() {
    LoopDriver::kick();
    // The model may have clamped or refused the input, or a callback may have set the value back;
    // show what the model holds now (a no-op when the widget already shows it).
    if (korvel::platform::panel_loaded(panel_)) refreshValue();
}

void ControlView::routeWheel(QWidget* w, bool swallow) {
    if (w == nullptr) return;
    w->installEventFilter(this);
    if (swallow) wheel_swallowed_.append(w);
}

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
    auto* wheel = static_cast<QWheelEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool swallow = wheel_swallowed_.contains(widget);
    if (widget == nullptr || !widget->isEnabled()) return swallow;
    wheel_accumulator_ += wheel->angleDelta().y();
    const bool fine = wheel->modifiers().testFlag(Qt::ShiftModifier);
    while (std::abs(wheel_accumulator_) >= kWheelNotch) {
        const bool up = wheel_accumulator_ > 0;
        wheel_accumulator_ += up ? -kWheelNotch : kWheelNotch;
        const int kind = fine ? (up ? MOUSE_WHEEL_SCROLL_UP : MOUSE_WHEEL_SCROLL_DOWN)
                              : (up ? MOUSE_WHEEL_PAGE_UP : MOUSE_WHEEL_PAGE_DOWN);
        korvel::platform::scroll_wheel(panel_, control(), kind);
        if (!korvel::platform::panel_loaded(panel_)) return true;
    }
    inputDelivered();
    if (swallow) {
        wheel->accept();
        return true;
    }
    return false;
}

}  // namespace korvel::qtview

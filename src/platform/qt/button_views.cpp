#include "platform/qt/button_views.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/operator_input.h"
#include "platform/qt/led_widget.h"
#include "platform/qt/qt_text.h"
#include "platform/user_interface.h"

namespace korvel::qtview {
namespace {

bool read_binary(int panel, int control, bool* on) {
    int v = 0;
    if (GetCtrlVal(panel, control, &v) < 0) return false;
    *on = v != 0;
    return true;
}

}  // namespace

CommandButtonView::CommandButtonView(int panel, const resource::ControlDef& def,
                                     QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    button_ = new QPushButton(to_qstring(def.label), parent_widget);
    button_->setAutoDefault(false);
    connect(button_, &QPushButton::clicked, this, [this] {
        korvel::platform::operate_ctrl(this->panel(), control(), EVENT_COMMIT);
        inputDelivered();
    });
    setWidgets(nullptr, button_);
}

void CommandButtonView::showLabelText(const QString& text) {
    button_->setText(text);
}

ToggleButtonView::ToggleButtonView(int panel, const resource::ControlDef& def,
                                   QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    auto* cell = new QWidget(parent_widget);
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (!def.label.empty()) {
        caption_ = new QLabel(to_qstring(def.label), cell);
        caption_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        layout->addWidget(caption_);
    }
    button_ = new QPushButton(cell);
    button_->setCheckable(true);
    button_->setAutoDefault(false);
    // Wide enough for the longer of the two texts, so the button does not jump when toggled.
    const QFontMetrics fm(button_->font());
    const int text_width = std::max(fm.horizontalAdvance(to_qstring(def.on_text)),
                                    fm.horizontalAdvance(to_qstring(def.off_text)));
    button_->setFixedWidth(std::max(text_width + fm.averageCharWidth() * 4, fm.height() * 2));
    layout->addWidget(button_, 0, Qt::AlignHCenter);
    connect(button_, &QPushButton::clicked, this, [this](bool checked) {
        korvel::platform::operate_ctrl(this->panel(), control(), checked ? 1.0 : 0.0, EVENT_COMMIT);
        inputDelivered();
    });
    setWidgets(nullptr, cell);
}

QWidget* ToggleButtonView::focusTarget() const {
    return button_;
}

void ToggleButtonView::refreshValue() {
    bool on = false;
    if (!read_binary(panel(), control(), &on)) return;
    const QSignalBlocker block(button_);
    button_->setChecked(on);
    button_->setText(to_qstring(on ? def().on_text : def().off_text));
}

QList<QWidget*> ToggleButtonView::colourTargets() const {
    return {button_};
}

void ToggleButtonView::showLabelText(const QString& text) {
    if (caption_ != nullptr) caption_->setText(text);
}

CheckBoxView::CheckBoxView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    box_ = new QCheckBox(to_qstring(def.label), parent_widget);
    connect(box_, &QCheckBox::clicked, this, [this](bool checked) {
        korvel::platform::operate_ctrl(this->panel(), control(), checked ? 1.0 : 0.0, EVENT_COMMIT);
        inputDelivered();
    });
    setWidgets(nullptr, box_);
}

void CheckBoxView::refreshValue() {
    bool on = false;
    if (!read_binary(panel(), control(), &on)) return;
    const QSignalBlocker block(box_);
    box_->setChecked(on);
}

void CheckBoxView::showLabelText(const QString& text) {
    box_->setText(text);
}

LedView::LedView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    auto* cell = new QWidget(parent_widget);
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    lamp_ = new LedWidget(cell);
    caption_ = new QLabel(to_qstring(def.label), cell);
    layout->addWidget(lamp_);
    layout->addWidget(caption_, 1);
    setWidgets(nullptr, cell);
}

void LedView::refreshValue() {
    bool on = false;
    if (read_binary(panel(), control(), &on)) lamp_->setOn(on);
}

QList<QWidget*> LedView::colourTargets() const {
    return {caption_};
}

void LedView::showLabelText(const QString& text) {
    caption_->setText(text);
}

}  // namespace korvel::qtview

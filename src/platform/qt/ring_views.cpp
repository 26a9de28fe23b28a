#include "platform/qt/ring_views.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/qt_text.h"
#include "platform/user_interface.h"

namespace korvel::qtview {

RingView::RingView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    combo_ = new QComboBox(parent_widget);
    for (const auto& item : def.items) combo_->addItem(to_qstring(item.label), item.value);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(combo_, &QComboBox::activated, this, [this](int index) {
        korvel::platform::operate_ring_index(this->panel(), control(), index, EVENT_COMMIT);
        inputDelivered();
    });
    routeWheel(combo_, true);
    setWidgets(formLabel(parent_widget), combo_);
}

void RingView::refreshValue() {
    int index = 0;
    if (GetCtrlIndex(panel(), control(), &index) < 0) return;
    const QSignalBlocker block(combo_);
    combo_->setCurrentIndex(index);
}

RingSlideView::RingSlideView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    auto* cell = new QWidget(parent_widget);
    auto* grid = new QGridLayout(cell);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    const int count = static_cast<int>(def.items.size());
    slider_ = new QSlider(Qt::Horizontal, cell);
    slider_->setRange(0, std::max(0, count - 1));
    slider_->setPageStep(1);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(1);
    // The stops divide the slider into count-1 equal stretches of two grid columns each; a
    // label centred over the boundary of two columns sits under its stop.
    const int columns = std::max(2, 2 * (count - 1));
    grid->addWidget(slider_, 0, 0, 1, columns);
    for (int i = 0; i < count; ++i) {
        auto* l = new QLabel(to_qstring(def.items[static_cast<std::size_t>(i)].label), cell);
        const bool first = i == 0, last = i == count - 1;
        l->setAlignment(first ? Qt::AlignLeft : last ? Qt::AlignRight : Qt::AlignHCenter);
        grid->addWidget(l, 1, first ? 0 : last ? columns - 1 : 2 * i - 1, 1, first || last ? 1 : 2);
    }
    for (int c = 0; c < columns; ++c) grid->setColumnStretch(c, 1);
    slider_->setMinimumWidth(cell->fontMetrics().averageCharWidth() * 4 * std::max(2, count));
    connect(slider_, &QSlider::valueChanged, this,
            [this](int index) { select(index, true, !slider_->isSliderDown()); });
    connect(slider_, &QSlider::sliderReleased, this,
            [this] { select(slider_->value(), false, true); });
    routeWheel(slider_, true);
    setWidgets(formLabel(parent_widget), cell);
}

QWidget* RingSlideView::focusTarget() const {
    return slider_;
}

void RingSlideView::select(int index, bool moved, bool completed) {
    if (moved) korvel::platform::operate_ring_index(panel(), control(), index, EVENT_VAL_CHANGED);
    if (completed && korvel::platform::panel_loaded(panel()))
        korvel::platform::operate_ring_index(panel(), control(), index, EVENT_COMMIT);
    inputDelivered();
}

void RingSlideView::refreshValue() {
    int index = 0;
    if (GetCtrlIndex(panel(), control(), &index) < 0) return;
    if (slider_->isSliderDown()) return;
    const QSignalBlocker block(slider_);
    slider_->setValue(index);
}

}  // namespace korvel::qtview

#include "platform/qt/number_views.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <cmath>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/number_format.h"
#include "platform/qt/number_spin_box.h"
#include "platform/user_interface.h"

namespace korvel::qtview {
namespace {

constexpr int kUnrangedChars = 12;
constexpr int kSlideFieldChars = 8;

struct FieldRange {
    double lo = 0.0;
    double hi = 0.0;
    double step = 0.0;
};

// The range and increment the model holds now (the program may change the maximum and the
// increment at run time).
FieldRange read_range(int panel, const resource::ControlDef& def) {
    FieldRange r;
    value_range(def, &r.lo, &r.hi);
    r.step = def.increment;
    double v = 0.0;
    if (GetCtrlAttribute(panel, def.id, ATTR_MIN_VALUE, &v) >= 0) r.lo = v;
    if (GetCtrlAttribute(panel, def.id, ATTR_MAX_VALUE, &v) >= 0) r.hi = v;
    if (GetCtrlAttribute(panel, def.id, ATTR_INCR_VALUE, &v) >= 0) r.step = v;
    return r;
}

// The range, increment and look of a field.
void configure_field(NumberSpinBox* field, const resource::ControlDef& def, const FieldRange& r) {
    const QSignalBlocker block(field);
    field->setScientific(def.scientific);
    field->setDecimals(def.scientific ? 17 : decimals_for(def));
    field->setRange(r.lo, r.hi);
    field->setSingleStep(r.step > 0.0 ? r.step : 1.0);
    int chars = kUnrangedChars;
    if (def.has_range && !def.scientific)
        chars = std::max(format_number(def, r.lo).size(), format_number(def, r.hi).size()) + 1;
    field->setDisplayChars(chars);
    field->updateGeometry();
}

bool read_number(int panel, int control, double* value) {
    return GetCtrlVal(panel, control, value) >= 0;
}

void show_number(NumberSpinBox* field, double value) {
    const QSignalBlocker block(field);
    field->setValue(value);
}

}  // namespace

NumericView::NumericView(int panel, const resource::ControlDef& def, QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    field_ = new NumberSpinBox(parent_widget);
    field_->setAlignment(Qt::AlignRight);
    configure_field(field_, def, read_range(panel, def));
    connect(field_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        korvel::platform::operate_ctrl(this->panel(), control(), value, EVENT_COMMIT);
        inputDelivered();
    });
    routeWheel(field_, false);
    setWidgets(formLabel(parent_widget), field_);
}

void NumericView::refreshValue() {
    double v = 0.0;
    if (read_number(panel(), control(), &v)) show_number(field_, v);
}

void NumericView::refreshAttribute(int attribute) {
    if (attribute == ATTR_MAX_VALUE || attribute == ATTR_MIN_VALUE ||
        attribute == ATTR_INCR_VALUE) {
        configure_field(field_, def(), read_range(panel(), def()));
        refreshValue();
        return;
    }
    ControlView::refreshAttribute(attribute);
}

NumericSlideView::NumericSlideView(int panel, const resource::ControlDef& def,
                                   QWidget* parent_widget)
    : ControlView(panel, def, parent_widget) {
    auto* cell = new QWidget(parent_widget);
    auto* grid = new QGridLayout(cell);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    slider_ = new QSlider(Qt::Horizontal, cell);
    slider_->setMinimumWidth(cell->fontMetrics().averageCharWidth() * 28);
    slider_->setTickPosition(QSlider::TicksBelow);
    field_ = new NumberSpinBox(cell);
    field_->setAlignment(Qt::AlignRight);
    low_label_ = new QLabel(cell);
    high_label_ = new QLabel(cell);
    for (QLabel* l : {low_label_, high_label_}) {
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 0.85);
        l->setFont(f);
        l->setForegroundRole(QPalette::PlaceholderText);
    }
    high_label_->setAlignment(Qt::AlignRight);
    grid->addWidget(slider_, 0, 0, 1, 2);
    grid->addWidget(field_, 0, 2);
    grid->addWidget(low_label_, 1, 0);
    grid->addWidget(high_label_, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    applyRange();

    // While the slide is dragged the callback follows it; the commit comes on release.
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        deliver(slider_value_at(position, lo_, hi_, positions_), true, !slider_->isSliderDown());
    });
    connect(slider_, &QSlider::sliderReleased, this, [this] {
        deliver(slider_value_at(slider_->value(), lo_, hi_, positions_), false, true);
    });
    // A value typed into the slide's field moves the slide there: a completed move.
    connect(field_, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { deliver(value, true, true); });
    routeWheel(slider_, true);
    routeWheel(field_, true);
    setWidgets(formLabel(parent_widget), cell);
}

QWidget* NumericSlideView::focusTarget() const {
    return slider_;
}

void NumericSlideView::applyRange() {
    const FieldRange range = read_range(panel(), def());
    configure_field(field_, def(), range);
    lo_ = range.lo;
    hi_ = range.hi;
    positions_ = slider_positions(lo_, hi_, range.step);
    const QSignalBlocker block(slider_);
    slider_->setRange(0, positions_);
    slider_->setSingleStep(1);
    // A page is a tenth of the travel; the ticks mark the same tenths.
    slider_->setPageStep(std::max(1, positions_ / 10));
    slider_->setTickInterval(std::max(1, positions_ / 10));
    low_label_->setText(format_scale(lo_));
    high_label_->setText(format_scale(hi_));
    // Slides of one panel line up: their fields share one width.
    field_->setDisplayChars(kSlideFieldChars);
}

void NumericSlideView::deliver(double value, bool moved, bool completed) {
    if (moved) korvel::platform::operate_ctrl(panel(), control(), value, EVENT_VAL_CHANGED);
    if (completed && korvel::platform::panel_loaded(panel()))
        korvel::platform::operate_ctrl(panel(), control(), value, EVENT_COMMIT);
    inputDelivered();
}

void NumericSlideView::refreshValue() {
    double v = 0.0;
    if (!read_number(panel(), control(), &v)) return;
    show_number(field_, v);
    // While the operator drags, the knob stays under the mouse.
    if (slider_->isSliderDown()) return;
    const QSignalBlocker block(slider_);
    slider_->setValue(slider_position_of(v, lo_, hi_, positions_));
}

void NumericSlideView::refreshAttribute(int attribute) {
    if (attribute == ATTR_MAX_VALUE || attribute == ATTR_MIN_VALUE ||
        attribute == ATTR_INCR_VALUE) {
        applyRange();
        refreshValue();
        return;
    }
    ControlView::refreshAttribute(attribute);
}

}  // namespace korvel::qtview

// Control attributes: colours, dimming, visibility, tooltip and label, numeric limits and
// increment, timer enable and interval, ring index.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/clock.h"
#include "platform/ui_model.h"
#include "platform/user_interface.h"

using korvel::platform::detail::ControlState;
using korvel::platform::detail::find_control;
using korvel::platform::detail::notify;
using korvel::resource::ControlKind;
using korvel::resource::DataType;

namespace {

bool is_numeric(const ControlState& c) {
    return korvel::resource::is_numeric_kind(c.def->kind);
}
bool is_timer(const ControlState& c) {
    return c.def->kind == ControlKind::Timer;
}

// A limit or increment in the control's data type, within the type's range.
double to_control_type(const ControlState& c, double v) {
    double lo = 0.0;
    double hi = 0.0;
    korvel::platform::detail::type_limits(c.def->type, &lo, &hi);
    const DataType t = c.def->type;
    if (t == DataType::Int || t == DataType::UnsignedInt) v = std::nearbyint(v);
    v = std::clamp(v, lo, hi);
    if (t == DataType::Float) v = static_cast<double>(static_cast<float>(v));
    return v;
}

// After a range change the value must lie inside again; no callback runs.
void reclamp_value(int panel, int control, ControlState& c) {
    const double v = std::clamp(c.number, c.min, c.max);
    if (v != c.number) korvel::platform::detail::store_number(panel, control, c, v);
}

int set_number_attribute(int panel, int control, ControlState& c, int attribute, double v) {
    if (std::isnan(v)) return UIEBadArgument;
    switch (attribute) {
        case ATTR_TEXT_COLOR:
            c.text_color = korvel::platform::number_to<int>(v);
            return 0;
        case ATTR_TEXT_BGCOLOR:
            c.bg_color = korvel::platform::number_to<int>(v);
            return 0;
        case ATTR_DIMMED:
            c.dimmed = v != 0.0;
            return 0;
        case ATTR_VISIBLE:
            c.visible = v != 0.0;
            return 0;
        case ATTR_MAX_VALUE:
        case ATTR_MIN_VALUE: {
            if (!is_numeric(c)) return UIEInvalidAttribute;
            const double limit = to_control_type(c, v);
            if (attribute == ATTR_MAX_VALUE ? limit < c.min : limit > c.max) return UIEBadArgument;
            (attribute == ATTR_MAX_VALUE ? c.max : c.min) = limit;
            reclamp_value(panel, control, c);
            return 0;
        }
        case ATTR_INCR_VALUE:
            if (!is_numeric(c)) return UIEInvalidAttribute;
            if (v < 0.0) return UIEBadArgument;
            c.increment = to_control_type(c, v);
            return 0;
        case ATTR_ENABLED:
            if (!is_timer(c)) return UIEInvalidAttribute;
            if (!c.enabled && v != 0.0) c.next_due = korvel::platform::clock().now() + c.interval;
            c.enabled = v != 0.0;
            return 0;
        case ATTR_INTERVAL:
            if (!is_timer(c)) return UIEInvalidAttribute;
            if (!(v > 0.0) || std::isinf(v)) return UIEBadArgument;
            c.interval = v;
            c.next_due = korvel::platform::clock().now() + v;
            return 0;
        case ATTR_CTRL_INDEX:
            return SetCtrlIndex(panel, control, korvel::platform::number_to<int>(v));
        case ATTR_TOOLTIP_TEXT:
        case ATTR_LABEL_TEXT:
            return UIETypeMismatch;
        default:
            return UIEInvalidAttribute;
    }
}

// Where a text attribute (tooltip, label) is kept; nullptr with the reason in `error` for any
// other attribute: a number attribute asked for as text, or no attribute at all.
std::string* text_attribute(ControlState& c, int attribute, int* error) {
    if (attribute == ATTR_TOOLTIP_TEXT) return &c.tooltip;
    if (attribute == ATTR_LABEL_TEXT) return &c.label;
    *error = attribute >= ATTR_TEXT_COLOR && attribute <= ATTR_CTRL_INDEX ? UIETypeMismatch
                                                                          : UIEInvalidAttribute;
    return nullptr;
}

}  // namespace

namespace korvel::platform {

int set_ctrl_attribute_number(int panel, int control, int attribute, double value) {
    int error = 0;
    ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    const int r = set_number_attribute(panel, control, *c, attribute, value);
    if (r == 0 && attribute != ATTR_CTRL_INDEX)
        notify([&](ViewObserver& o) { o.attribute_changed(panel, control, attribute); });
    return r;
}

int get_ctrl_attribute_number(int panel, int control, int attribute, double* value) {
    int error = 0;
    const ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    double v = 0.0;
    switch (attribute) {
        case ATTR_TEXT_COLOR:
            v = c->text_color;
            break;
        case ATTR_TEXT_BGCOLOR:
            v = c->bg_color;
            break;
        case ATTR_DIMMED:
            v = c->dimmed ? 1 : 0;
            break;
        case ATTR_VISIBLE:
            v = c->visible ? 1 : 0;
            break;
        case ATTR_MAX_VALUE:
        case ATTR_MIN_VALUE:
        case ATTR_INCR_VALUE:
            if (!is_numeric(*c)) return UIEInvalidAttribute;
            v = attribute == ATTR_MAX_VALUE   ? c->max
                : attribute == ATTR_MIN_VALUE ? c->min
                                              : c->increment;
            break;
        case ATTR_ENABLED:
            if (!is_timer(*c)) return UIEInvalidAttribute;
            v = c->enabled ? 1 : 0;
            break;
        case ATTR_INTERVAL:
            if (!is_timer(*c)) return UIEInvalidAttribute;
            v = c->interval;
            break;
        case ATTR_CTRL_INDEX:
            if (!resource::is_ring_kind(c->def->kind)) return UIEInvalidAttribute;
            v = c->ring_index;
            break;
        case ATTR_TOOLTIP_TEXT:
        case ATTR_LABEL_TEXT:
            return UIETypeMismatch;
        default:
            return UIEInvalidAttribute;
    }
    if (value == nullptr) return UIEBadArgument;
    *value = v;
    return 0;
}

}  // namespace korvel::platform

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
    int error = 0;
    ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    std::string* text = text_attribute(*c, attribute, &error);
    if (text == nullptr) return error;
    if (value == nullptr) return UIEBadArgument;
    *text = value;
    notify(
        [&](korvel::platform::ViewObserver& o) { o.attribute_changed(panel, control, attribute); });
    return 0;
}

int GetCtrlAttribute(int panel, int control, int attribute, std::string* value) {
    int error = 0;
    ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    const std::string* text = text_attribute(*c, attribute, &error);
    if (text == nullptr) return error;
    if (value == nullptr) return UIEBadArgument;
    *value = *text;
    return 0;
}

int GetCtrlAttribute(int panel, int control, int attribute, char* buffer, std::size_t size) {
    std::string text;
    const int r = GetCtrlAttribute(panel, control, attribute, &text);
    if (r < 0) return r;
    return korvel::platform::detail::copy_to_buffer(text, buffer, size);
}

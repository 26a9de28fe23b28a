// Control values: numbers kept within type and range, ring items, text.
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "platform/ui_model.h"
#include "platform/user_interface.h"

namespace korvel::platform::detail {

using resource::ControlKind;
using resource::DataType;

namespace {

// Selects ring item `index` (a valid list position) and tells the observers.
void select_ring_item(int panel, int control, ControlState& c, std::size_t index) {
    c.ring_index = static_cast<int>(index);
    c.number = c.def->items[index].value;
    notify([&](ViewObserver& o) { o.value_changed(panel, control); });
}

}  // namespace

void type_limits(DataType type, double* lo, double* hi) {
    switch (type) {
        case DataType::Int:
            *lo = INT_MIN;
            *hi = INT_MAX;
            return;
        case DataType::UnsignedInt:
            *lo = 0.0;
            *hi = UINT_MAX;
            return;
        case DataType::Float:
            *lo = -FLT_MAX;
            *hi = FLT_MAX;
            return;
        default:
            *lo = -DBL_MAX;
            *hi = DBL_MAX;
            return;
    }
}

bool coerce_number(const ControlState& c, double v, double* out) {
    if (std::isnan(v)) return false;
    if (resource::is_binary_kind(c.def->kind)) {
        *out = v != 0.0 ? 1.0 : 0.0;
        return true;
    }
    const DataType type = c.def->type;
    if (type == DataType::Int || type == DataType::UnsignedInt) v = std::nearbyint(v);
    v = std::fmin(std::fmax(v, c.min), c.max);
    if (type == DataType::Float) v = static_cast<double>(static_cast<float>(v));
    *out = v;
    return true;
}

int store_number(int panel, int control, ControlState& c, double v) {
    const auto kind = c.def->kind;
    if (resource::is_text_kind(kind) || resource::is_valueless_kind(kind)) return UIETypeMismatch;
    if (resource::is_ring_kind(kind)) {
        if (std::isnan(v)) return UIEBadArgument;
        const DataType type = c.def->type;
        const double want =
            (type == DataType::Int || type == DataType::UnsignedInt) ? std::nearbyint(v) : v;
        const auto& items = c.def->items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].value == want) {
                select_ring_item(panel, control, c, i);
                return 0;
            }
        }
        return UIEItemNotFound;
    }
    double stored = 0.0;
    if (!coerce_number(c, v, &stored)) return UIEBadArgument;
    c.number = stored;
    notify([&](ViewObserver& o) { o.value_changed(panel, control); });
    return 0;
}

int copy_to_buffer(const std::string& text, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return UIEBadArgument;
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return 0;
}

}  // namespace korvel::platform::detail

using korvel::platform::detail::ControlState;
using korvel::platform::detail::find_control;
using korvel::platform::detail::notify;
using korvel::platform::detail::store_number;

namespace korvel::platform {

int get_ctrl_number(int panel, int control, double* value) {
    int error = 0;
    const ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    const auto kind = c->def->kind;
    if (resource::is_text_kind(kind) || resource::is_valueless_kind(kind)) return UIETypeMismatch;
    if (value == nullptr) return UIEBadArgument;
    *value = c->number;
    return 0;
}

int set_ctrl_number(int panel, int control, double value) {
    int error = 0;
    ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    return store_number(panel, control, *c, value);
}

int get_ctrl_text(int panel, int control, std::string* value) {
    int error = 0;
    const ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    if (!resource::is_text_kind(c->def->kind)) return UIETypeMismatch;
    if (value == nullptr) return UIEBadArgument;
    *value = c->text;
    return 0;
}

int set_ctrl_text(int panel, int control, std::string_view value) {
    int error = 0;
    ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    if (!resource::is_text_kind(c->def->kind)) return UIETypeMismatch;
    c->text = std::string(value);
    notify([&](ViewObserver& o) { o.value_changed(panel, control); });
    return 0;
}

}  // namespace korvel::platform

int GetCtrlVal(int panel, int control, char* buffer, std::size_t size) {
    std::string text;
    const int r = korvel::platform::get_ctrl_text(panel, control, &text);
    if (r < 0) return r;
    return korvel::platform::detail::copy_to_buffer(text, buffer, size);
}

int GetCtrlVal(int panel, int control, std::string* value) {
    return korvel::platform::get_ctrl_text(panel, control, value);
}

int SetCtrlVal(int panel, int control, const char* value) {
    if (value == nullptr) return UIEBadArgument;
    return korvel::platform::set_ctrl_text(panel, control, value);
}

int SetCtrlVal(int panel, int control, const std::string& value) {
    return korvel::platform::set_ctrl_text(panel, control, value);
}

int SetCtrlVal(int panel, int control, std::string_view value) {
    return korvel::platform::set_ctrl_text(panel, control, value);
}

int ResetTextBox(int panel, int control, const char* text) {
    int error = 0;
    const ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    if (c->def->kind != korvel::resource::ControlKind::TextBox) return UIENotAllowed;
    return SetCtrlVal(panel, control, text == nullptr ? "" : text);
}

int GetCtrlIndex(int panel, int control, int* index) {
    int error = 0;
    const ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    if (!korvel::resource::is_ring_kind(c->def->kind)) return UIENotAllowed;
    if (index == nullptr) return UIEBadArgument;
    *index = c->ring_index;
    return 0;
}

int SetCtrlIndex(int panel, int control, int index) {
    int error = 0;
    ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    if (!korvel::resource::is_ring_kind(c->def->kind)) return UIENotAllowed;
    if (index < 0 || static_cast<std::size_t>(index) >= c->def->items.size())
        return UIEItemNotFound;
    korvel::platform::detail::select_ring_item(panel, control, *c, static_cast<std::size_t>(index));
    return 0;
}

int GetNumListItems(int panel, int control, int* count) {
    int error = 0;
    const ControlState* c = find_control(panel, control, &error);
    if (c == nullptr) return error;
    if (!korvel::resource::is_ring_kind(c->def->kind)) return UIENotAllowed;
    if (count == nullptr) return UIEBadArgument;
    *count = static_cast<int>(c->def->items.size());
    return 0;
}

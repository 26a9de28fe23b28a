#include "platform/qt/number_format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvel::qtview {
namespace {

using resource::DataType;

constexpr int kMaxDecimals = 6;
constexpr int kMaxSliderPositions = 100000;

// Smallest number of decimals that shows `v` exactly, up to kMaxDecimals.
int decimals_of(double v) {
    if (!std::isfinite(v)) return 0;
    double scaled = std::fabs(v);
    for (int d = 0; d < kMaxDecimals; ++d) {
        if (std::fabs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, scaled)) return d;
        scaled *= 10.0;
    }
    return kMaxDecimals;
}

bool is_integer_type(DataType t) {
    return t == DataType::Int || t == DataType::UnsignedInt;
}

}  // namespace

int decimals_for(const resource::ControlDef& def) {
    if (is_integer_type(def.type)) return 0;
    // The field shows every decimal of the increment, so that arrow steps add up exactly: a
    // field rounded to fewer decimals would hand a rounded value back at its next refresh (the
    // amplitude's 0.0128 mV steps need four).
    int d = std::max({2, decimals_of(def.increment), decimals_of(def.value)});
    if (def.has_range) d = std::max(d, decimals_of(def.min));
    return std::min(d, kMaxDecimals);
}

void value_range(const resource::ControlDef& def, double* lo, double* hi) {
    if (def.has_range) {
        *lo = def.min;
        *hi = def.max;
        return;
    }
    switch (def.type) {
        case DataType::Int:
            *lo = std::numeric_limits<int>::min();
            *hi = std::numeric_limits<int>::max();
            break;
        case DataType::UnsignedInt:
            *lo = 0.0;
            *hi = std::numeric_limits<unsigned>::max();
            break;
        case DataType::Float:
            *lo = -std::numeric_limits<float>::max();
            *hi = std::numeric_limits<float>::max();
            break;
        default:
            *lo = -std::numeric_limits<double>::max();
            *hi = std::numeric_limits<double>::max();
            break;
    }
}

QString format_number(const resource::ControlDef& def, double value) {
    if (def.scientific) return QString::number(value, 'e', 3);
    return QString::number(value, 'f', decimals_for(def));
}

QString format_scale(double value) {
    return QString::number(value, 'g', 10);
}

int slider_positions(double lo, double hi, double increment) {
    if (!(hi > lo)) return 0;
    if (!(increment > 0.0) || !std::isfinite(increment)) return kMaxSliderPositions;
    const double n = std::round((hi - lo) / increment);
    if (!std::isfinite(n) || n > kMaxSliderPositions) return kMaxSliderPositions;
    return std::max(1, static_cast<int>(n));
}

int slider_position_of(double value, double lo, double hi, int positions) {
    if (positions <= 0 || !(hi > lo) || !std::isfinite(value)) return 0;
    const double p = std::round((value - lo) / (hi - lo) * positions);
    return static_cast<int>(std::clamp(p, 0.0, static_cast<double>(positions)));
}

double slider_value_at(int position, double lo, double hi, int positions) {
    if (positions <= 0) return lo;
    const int p = std::clamp(position, 0, positions);
    if (p == positions) return hi;  // exact end, free of rounding
    return lo + (hi - lo) * p / positions;
}

}  // namespace korvel::qtview

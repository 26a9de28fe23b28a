#include "app/analog_controls.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/state.h"
#include "mcp4728/mcp4728.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"
#include "unit/unit_map.h"

namespace korvel::app {

namespace {

constexpr double kDutyCentreVolts = 2.8;
constexpr double kDutyCentrePercent = 50.0;
constexpr double kDutyPercentPerVolt = 2.0 * 0.06 * 100.0;  // 12 % per volt
constexpr double kAmplitudeBaseVolts = 1.8;
constexpr double kAmplitudeSpanVolts = 0.8;
constexpr double kAmplitudeSpanMillivolts = 600.0;
constexpr int kDeferredStoreTicks = 10;
constexpr double kWheelPage = 1.0;
constexpr int kTableTopMegahertz = 26000;

constexpr int kMostShownDecimals = 6;

// The slide value of `volts` by `from_volts`, at the fewest decimals that `to_volts` takes back
// to the same single-precision level as the slide's float of the exact value does.
double shown_slide_value(float volts, double (*from_volts)(double), double (*to_volts)(double)) {
    const double exact = from_volts(volts);
    // Beyond a float (or not a number) the slide refuses or clamps the value as it is.
    if (!(std::fabs(exact) <= std::numeric_limits<float>::max())) return exact;
    auto level_of = [to_volts](double slide) {
        return static_cast<float>(to_volts(static_cast<float>(slide)));
    };
    const float level = level_of(exact);
    double scale = 1.0;
    for (int places = 0; places <= kMostShownDecimals; ++places, scale *= 10.0) {
        const double candidate = std::round(exact * scale) / scale;
        if (level_of(candidate) == level) return candidate;
    }
    return exact;
}

// Every level write marks the settings changed and (re)starts the deferred store.
void level_changed() {
    dac_store_countdown = kDeferredStoreTicks;
    settings_changed |= 1;
}

}  // namespace

double duty_volts_from_percent(double percent) {
    return ((percent - kDutyCentrePercent) / 100.0 / 0.06) * 0.5 + kDutyCentreVolts;
}

double duty_percent_from_volts(double volts) {
    return (volts - kDutyCentreVolts) * kDutyPercentPerVolt + kDutyCentrePercent;
}

double amplitude_volts_from_mv(double millivolts) {
    return millivolts / kAmplitudeSpanMillivolts * kAmplitudeSpanVolts + kAmplitudeBaseVolts;
}

double amplitude_mv_from_volts(double volts) {
    return (volts - kAmplitudeBaseVolts) / kAmplitudeSpanVolts * kAmplitudeSpanMillivolts;
}

double duty_percent_shown(float volts) {
    return shown_slide_value(volts, duty_percent_from_volts, duty_volts_from_percent);
}

double amplitude_mv_shown(float volts) {
    return shown_slide_value(volts, amplitude_mv_from_volts, amplitude_volts_from_mv);
}

const std::array<float, 28> duty_freq_table = {
    2.959f, 2.959f, 2.959f, 2.863f, 2.817f, 2.771f, 2.850f, 2.817f, 2.718f, 2.750f,
    2.700f, 2.748f, 2.771f, 2.371f, 2.300f, 2.300f, 2.300f, 2.633f, 2.300f, 2.399f,
    2.709f, 3.086f, 2.777f, 3.021f, 2.777f, 2.777f, 2.839f, 2.839f,
};

double duty_volts_at(int megahertz) {
    const int f = std::clamp(megahertz, 0, kTableTopMegahertz);
    const int q = f / 1000;
    const int r = f % 1000;
    const double low = duty_freq_table[static_cast<std::size_t>(q)];
    const double high = duty_freq_table[static_cast<std::size_t>(q) + 1];
    return low + (high - low) / 1000.0 * r;
}

int CVICALLBACK CB_DAC(int panel, int control, int event, void* callbackData, int eventData1,
                       int /*eventData2*/) {
    if (event == EVENT_MOUSE_WHEEL_SCROLL) {
        if (eventData1 == MOUSE_WHEEL_PAGE_UP || eventData1 == MOUSE_WHEEL_PAGE_DOWN) {
            float value = 0.0f;
            if (GetCtrlVal(panel, control, &value) == 0) {
                const double step = eventData1 == MOUSE_WHEEL_PAGE_UP ? kWheelPage : -kWheelPage;
                SetCtrlVal(panel, control, value + step);  // the slide keeps itself in range
            }
        }
        return CB_DAC(panel, control, EVENT_VAL_CHANGED, callbackData, 0, 0);
    }
    if (event != EVENT_VAL_CHANGED) return 0;

    float value = 0.0f;
    if (GetCtrlVal(panel, control, &value) < 0) return 0;
    if (control == PANELMAIN_DUTY_CYCLE) {
        const float volts = static_cast<float>(duty_volts_from_percent(value));
        if (debug_panel_open) SetCtrlVal(debug_panel, PANELDEBUG_TEST_DAC, volts);
        settings.DutyCycleControl = volts;
        dac_write(unit::kDutyCycleChannel, volts, unit::kVolatileWrite);
    } else if (control == PANELMAIN_MUX_AMP) {
        const float volts = static_cast<float>(amplitude_volts_from_mv(value));
        settings.DataAmplitudeControl = volts;
        dac_write(unit::kAmplitudeChannel, volts, unit::kVolatileWrite);
    } else {
        return 0;
    }
    level_changed();
    return 0;
}

void updateDuty() {
    if (!debug_panel_open) return;
    int use_table = 0;
    GetCtrlVal(debug_panel, PANELDEBUG_USE_FREQ, &use_table);
    if (!use_table) return;
    int megahertz = 0;
    GetCtrlVal(debug_panel, PANELDEBUG_FREQUENCY_SCANNED, &megahertz);
    const double volts = duty_volts_at(megahertz);
    dac_write(unit::kDutyCycleChannel, static_cast<float>(volts), unit::kVolatileWrite);
    SetCtrlVal(debug_panel, PANELDEBUG_TEST_DAC, volts);
}

void apply_amplitude_from_slide() {
    float millivolts = 0.0f;
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &millivolts);
    settings.DataAmplitudeControl = static_cast<float>(amplitude_volts_from_mv(millivolts));
    dac_write(unit::kAmplitudeChannel, settings.DataAmplitudeControl, unit::kVolatileWrite);
    level_changed();
}

}  // namespace korvel::app

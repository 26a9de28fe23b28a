#include "platform/qt/panel_style.h"

namespace korvel::qtview {
namespace {

struct Rule {
    std::string_view panel;
    std::string_view control;
    Emphasis emphasis;
};

constexpr Rule kRules[] = {
    {"PANELMAIN", "TEXT_KORVEL", Emphasis::Title},
    {"PANELMAIN", "NOTIFY_USER", Emphasis::Status},
    {"PANELMAIN", "DEVICE_SN", Emphasis::Indicator},
    {"PANELMAIN", "SETUP_LOADED", Emphasis::Indicator},
    {"PANELMAIN", "INVERTED_DATA_ALERT", Emphasis::Alert},
    {"PANELMAIN", "ERROR_ALERT", Emphasis::Alert},
    {"PANELHELP", "TEXTMSG", Emphasis::Title},
    {"PANELHELP", "TEXTMSG_3", Emphasis::Subtitle},
    {"PANELHELP", "VER", Emphasis::Subtitle},
    {"PANELERR", "TEXTMSG_6", Emphasis::Heading},
    {"PANELERR", "TEXTMSG_FILE_PATH", Emphasis::Note},
    {"PANELDATA", "TEXTMSG_FILE_PATH", Emphasis::Note},
    {"PANELDEBUG", "TEXTMSG_2", Emphasis::Alert},
    {"PANELDEBUG", "CAL_RESULTS", Emphasis::Columns},
};

struct Fitted {
    std::string_view panel;
    std::string_view control;
    int chars;
};

constexpr Fitted kFitted[] = {
    {"PANELMAIN", "DEVICE_SN", 16},
};

struct Caption {
    std::string_view panel;
    std::string_view group;
    std::string_view caption;
};

constexpr Caption kCaptions[] = {
    {"PANELMAIN", "pattern", "Pattern"},
    {"PANELMAIN", "analog", "Output Levels"},
    {"PANELDEBUG", "pins", "Generator Pins"},
    {"PANELDEBUG", "diagnostics", "Diagnostics"},
    {"PANELDEBUG", "calibration", "Calibration Entry"},
    {"PANELDATA", "file", "Pattern File"},
    {"PANELDATA", "editor", "Bit Editor"},
    {"PANELDATA", "pulse", "Pulse"},
    {"PANELERR", "file", "Error Pattern File"},
    {"PANELERR", "rate", "Error Rate"},
    {"PANELCAL", "measure", "Measurements"},
    {"PANELCAL", "run", "Run"},
};

// Groups headed by their own text message that still want a frame.
constexpr Caption kFramedWithHeading[] = {
    {"PANELMAIN", "clock", ""},
};

}  // namespace

bool group_framed(std::string_view panel, std::string_view group) {
    if (!group_caption(panel, group).empty()) return true;
    for (const Caption& c : kFramedWithHeading)
        if (c.panel == panel && c.group == group) return true;
    return false;
}

std::string_view group_caption(std::string_view panel, std::string_view group) {
    for (const Caption& c : kCaptions)
        if (c.panel == panel && c.group == group) return c.caption;
    return {};
}

int fitted_width_chars(std::string_view panel, std::string_view control) {
    for (const Fitted& f : kFitted)
        if (f.panel == panel && f.control == control) return f.chars;
    return 0;
}

Emphasis emphasis_of(std::string_view panel, std::string_view control, bool heading_position) {
    for (const Rule& r : kRules)
        if (r.panel == panel && r.control == control) return r.emphasis;
    return heading_position ? Emphasis::Heading : Emphasis::None;
}

}  // namespace korvel::qtview

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
};

}  // namespace

Emphasis emphasis_of(std::string_view panel, std::string_view control, bool heading_position) {
    for (const Rule& r : kRules)
        if (r.panel == panel && r.control == control) return r.emphasis;
    return heading_position ? Emphasis::Heading : Emphasis::None;
}

}  // namespace korvel::qtview

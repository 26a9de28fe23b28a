#include "resource/catalogue.h"

namespace korvel::resource {

static_assert(total_control_count() == kControlCount, "main.uir holds 147 controls");
static_assert(panels().size() == kPanelCount);

std::string_view kind_name(ControlKind kind) {
    switch (kind) {
        case ControlKind::CommandButton:
            return "command button";
        case ControlKind::ToggleButton:
            return "toggle button";
        case ControlKind::CheckBox:
            return "check box";
        case ControlKind::Led:
            return "LED";
        case ControlKind::Numeric:
            return "numeric";
        case ControlKind::NumericSlide:
            return "numeric slide";
        case ControlKind::Ring:
            return "ring";
        case ControlKind::RingSlide:
            return "ring slide";
        case ControlKind::String:
            return "string";
        case ControlKind::TextBox:
            return "text box";
        case ControlKind::TextMessage:
            return "text message";
        case ControlKind::Decoration:
            return "decoration";
        case ControlKind::Timer:
            return "timer";
    }
    return "unknown";
}

std::string_view data_type_name(DataType type) {
    switch (type) {
        case DataType::None:
            return "none";
        case DataType::Int:
            return "int";
        case DataType::UnsignedInt:
            return "unsigned int";
        case DataType::Float:
            return "float";
        case DataType::Double:
            return "double";
        case DataType::String:
            return "string";
    }
    return "unknown";
}

}  // namespace korvel::resource

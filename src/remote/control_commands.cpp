#include "remote/control_commands.h"

#include "remote/operator_steps.h"

namespace korvel::remote {

scpi::Fault set_control_number(CommandCall& call, int panel, int control, std::string_view name,
                               std::span<const scpi::Unit> units) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    scpi::NumberRange range = control_range(panel, control, name);
    range.units = units;
    double value = 0.0;
    if (auto f = scpi::read_number(call.parameters[0], range, &value)) return f;
    return type_value(panel, control, value);
}

scpi::Fault query_control_number(CommandCall& call, int panel, int control, std::string_view name) {
    const bool whole = whole_numbers(panel, control);
    if (call.parameters.empty()) {
        call.reply = scpi::format_number(control_value(panel, control), whole);
        return std::nullopt;
    }
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    double limit = 0.0;
    if (auto f = scpi::read_limit(call.parameters[0], control_range(panel, control, name), &limit))
        return f;
    call.reply = scpi::format_number(limit, whole);
    return std::nullopt;
}

scpi::Fault set_control_switch(CommandCall& call, int panel, int control) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    bool on = false;
    if (auto f = scpi::read_boolean(call.parameters[0], &on)) return f;
    return type_value(panel, control, on ? 1.0 : 0.0);
}

void reply_switch(CommandCall& call, bool on) {
    call.reply.assign(1, on ? '1' : '0');
}

scpi::Fault read_path(const CommandCall& call, std::size_t buffer, std::string* path) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    if (auto f = scpi::read_string(call.parameters[0], path)) return f;
    if (path->empty()) return scpi::Error{scpi::kFileNameError, "empty path"};
    if (path->size() >= buffer || path->find('\0') != std::string::npos)
        return scpi::Error{scpi::kFileNameError,
                           "path longer than " + std::to_string(buffer - 1) + " bytes"};
    return std::nullopt;
}

scpi::Fault no_parameters(const CommandCall& call) {
    return scpi::expect_count(call.parameters, 0);
}

}  // namespace korvel::remote

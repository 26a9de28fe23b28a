#include "remote/fpga_memory_commands.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "app/state.h"
#include "fpga/pattern_files.h"
#include "fpga/pattern_memory.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "remote/control_commands.h"
#include "remote/operator_steps.h"
#include "resource/main_uir.h"
#include "unit/unit_map.h"

namespace korvel::remote {
namespace {

constexpr std::string_view kPeriodName = "ERRor:MASK:PERiod";
constexpr std::string_view kWidthName = "ERRor:MASK:WIDTh";
constexpr std::string_view kCountName = "ERRor:MASK:COUNt";

scpi::Fault unit_absent() {
    return scpi::Error{scpi::kHardwareMissing, "the unit is not connected"};
}

scpi::Fault unusable(const std::string& path, const FileProblem& problem) {
    const int code = problem.kind == FileProblem::Kind::NotFound ? scpi::kFileNameNotFound
                                                                 : scpi::kMassStorageError;
    return scpi::Error{code, path + ": " + problem.describe()};
}

// A buffer to read a file into beforehand, with the reader the window uses (128 KiB: not on the
// stack).
struct Scratch {
    PatternColumns columns{};
};

scpi::Fault check_pattern_file(const std::string& path) {
    const auto scratch = std::make_unique<Scratch>();
    const PatternFile file = read_pattern_file(path.c_str(), scratch->columns);
    if (file.problem) return unusable(path, file.problem);
    if (file.words == 0)
        return scpi::Error{scpi::kExecutionError, path + ": no complete 256-bit word (" +
                                                      std::to_string(file.bits) + " bits)"};
    return std::nullopt;
}

scpi::Fault check_mask_file(const std::string& path) {
    const auto scratch = std::make_unique<Scratch>();
    const MaskFile file = read_mask_file(path.c_str(), scratch->columns);
    if (file.problem) return unusable(path, file.problem);
    if (file.outcome == MaskReader::Outcome::NotNumbers)
        return scpi::Error{scpi::kExecutionError,
                           path + ": does not begin with the period and width"};
    if (file.outcome == MaskReader::Outcome::Short)
        return scpi::Error{scpi::kExecutionError, path + ": mask shorter than 256 bits (" +
                                                      std::to_string(file.mask_bits) + ")"};
    return std::nullopt;
}

// Chooses `path` with the window's "Select" button (its dialog answered by typing the path), then
// presses its load button.
scpi::Fault choose_and_load(int panel, int select_button, int load_button,
                            const std::string& path) {
    {
        const platform::TypedFileDialogAnswer typed(path);
        if (auto f = press(panel, select_button)) return f;
    }
    if (path != app::selected_file_path)
        return scpi::Error{scpi::kExecutionError, "the window did not take the path"};
    // The load button's callback says -1 when the file cannot be opened (after the check above,
    // only when it vanished meanwhile).
    if (platform::operate_ctrl(panel, load_button, EVENT_COMMIT) < 0)
        return scpi::Error{scpi::kMassStorageError, path + ": cannot be opened"};
    return std::nullopt;
}

// Error Injection Setup, opened as the operator opens it; -241 without the unit.
scpi::Fault error_window() {
    if (!unit_connected()) return unit_absent();
    if (!open_error_injection_setup())
        return scpi::Error{scpi::kExecutionError, "Error Injection Setup did not open"};
    return std::nullopt;
}

// While the window is closed nobody knows the timing and mask the unit holds: a fresh window
// shows the resource's values, not the unit's.
scpi::Fault query_error_window(CommandCall& call, int control, std::string_view name) {
    if (!app::err_panel_open)
        return scpi::Error{scpi::kSettingsConflict,
                           "Error Injection Setup is closed: what the unit holds is not known"};
    return query_control_number(call, app::err_panel, control, name);
}

}  // namespace

scpi::Fault load_custom_pattern(CommandCall& call) {
    std::string path;
    if (auto f = read_path(call, MAX_PATHNAME_LEN, &path)) return f;
    if (auto f = check_pattern_file(path)) return f;
    if (!unit_connected()) return unit_absent();
    // The window opens when Custom Data is chosen (also when it is chosen already).
    if (!app::data_panel_open) {
        const auto& codes = unit::kPatternCodes;
        const auto custom = std::find_if(codes.begin(), codes.end(), [](const auto& p) {
            return p.code == unit::kCustomDataCode;
        });
        if (auto f = choose_item(app::main_panel, PANELMAIN_DATA_SELECT,
                                 static_cast<int>(custom - codes.begin())))
            return f;
        if (!app::data_panel_open)
            return scpi::Error{scpi::kExecutionError, "Custom Test Pattern did not open"};
    }
    return choose_and_load(app::data_panel, PANELDATA_SELECT_TXT_FILE, PANELDATA_LOAD_FPGA, path);
}

scpi::Fault load_error_mask(CommandCall& call) {
    std::string path;
    if (auto f = read_path(call, MAX_PATHNAME_LEN, &path)) return f;
    if (auto f = check_mask_file(path)) return f;
    if (auto f = error_window()) return f;
    return choose_and_load(app::err_panel, PANELERR_SELECT_ERR_TXT_FILE, PANELERR_LOAD_FPGA, path);
}

scpi::Fault set_mask_period(CommandCall& call) {
    if (auto f = error_window()) return f;
    // A period below the width takes the width down with it, as on the window.
    return set_control_number(call, app::err_panel, PANELERR_PULSE_PERIOD, kPeriodName);
}

scpi::Fault query_mask_period(CommandCall& call) {
    return query_error_window(call, PANELERR_PULSE_PERIOD, kPeriodName);
}

scpi::Fault set_mask_width(CommandCall& call) {
    if (auto f = error_window()) return f;
    // The window would cut a width above the period down to it; here that is out of range.
    scpi::NumberRange range = control_range(app::err_panel, PANELERR_PULSE_WIDTH, kWidthName);
    range.max = std::min(range.max, control_value(app::err_panel, PANELERR_PULSE_PERIOD));
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    double width = 0.0;
    if (auto f = scpi::read_number(call.parameters[0], range, &width)) return f;
    return type_value(app::err_panel, PANELERR_PULSE_WIDTH, width);
}

scpi::Fault query_mask_width(CommandCall& call) {
    return query_error_window(call, PANELERR_PULSE_WIDTH, kWidthName);
}

scpi::Fault set_mask_count(CommandCall& call) {
    if (auto f = error_window()) return f;
    return set_control_number(call, app::err_panel, PANELERR_ERRS_PER_256, kCountName);
}

scpi::Fault query_mask_count(CommandCall& call) {
    return query_error_window(call, PANELERR_ERRS_PER_256, kCountName);
}

}  // namespace korvel::remote

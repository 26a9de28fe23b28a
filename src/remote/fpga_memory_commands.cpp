#include "remote/fpga_memory_commands.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/state.h"
#include "app/text_file_choice.h"
#include "fpga/pattern_files.h"
#include "fpga/pattern_memory.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "remote/control_commands.h"
#include "remote/file_root.h"
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

// A file opened in the remote file folder and read once, with the reader the window uses, into
// columns of its own (128 KiB: not on the stack); the window's load then takes what was read.
struct ReadAhead {
    PatternColumns columns{};
    app::FileAlreadyRead file;
};

scpi::Fault open_text(const std::string& path, std::optional<TextFile>* text) {
    int fd = -1;
    if (auto f = open_in_root(path, &fd)) return f;
    text->emplace(fd);
    return std::nullopt;
}

scpi::Fault read_pattern(const std::string& path, ReadAhead* ahead) {
    std::optional<TextFile> text;
    if (auto f = open_text(path, &text)) return f;
    const PatternFile file = read_pattern_file(*text, ahead->columns);
    if (file.problem) return unusable(path, file.problem);
    if (file.words == 0)
        return scpi::Error{scpi::kExecutionError, path + ": no complete 256-bit word (" +
                                                      std::to_string(file.bits) + " bits)"};
    ahead->file.pattern = file;
    return std::nullopt;
}

scpi::Fault read_mask(const std::string& path, ReadAhead* ahead) {
    std::optional<TextFile> text;
    if (auto f = open_text(path, &text)) return f;
    const MaskFile file = read_mask_file(*text, ahead->columns);
    if (file.problem) return unusable(path, file.problem);
    if (file.outcome == MaskReader::Outcome::NotNumbers)
        return scpi::Error{scpi::kExecutionError,
                           path + ": does not begin with the period and width"};
    if (file.outcome == MaskReader::Outcome::Short)
        return scpi::Error{scpi::kExecutionError, path + ": mask shorter than 256 bits (" +
                                                      std::to_string(file.mask_bits) + ")"};
    ahead->file.mask = file;
    return std::nullopt;
}

// Chooses the file read ahead with the window's "Select" button (its dialog answered by typing
// the file's full path, which the window then shows), then presses its load button, which takes
// what was read instead of opening the path again.
scpi::Fault choose_and_load(int panel, int select_button, int load_button, const std::string& path,
                            ReadAhead* ahead) {
    ahead->file.path = path_in_root(path);
    ahead->file.columns = &ahead->columns;
    if (ahead->file.path.size() >= MAX_PATHNAME_LEN)
        return scpi::Error{scpi::kFileNameError, "path longer than " +
                                                     std::to_string(MAX_PATHNAME_LEN - 1) +
                                                     " bytes in the remote file folder"};
    {
        const platform::TypedFileDialogAnswer typed(ahead->file.path);
        if (auto f = press(panel, select_button)) return f;
    }
    if (ahead->file.path != app::selected_file_path)
        return scpi::Error{scpi::kExecutionError, "the window did not take the path"};
    const app::FileHandedOver handed(ahead->file);
    if (platform::operate_ctrl(panel, load_button, EVENT_COMMIT) < 0)
        return scpi::Error{scpi::kMassStorageError, path + ": cannot be opened"};
    return std::nullopt;
}

// Error Injection Setup, opened as the operator opens it; -241 without the unit.
scpi::Fault error_window(const CommandCall& call) {
    if (!unit_connected(call.main_panel)) return unit_absent();
    if (!open_error_injection_setup(call.main_panel))
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
    const auto ahead = std::make_unique<ReadAhead>();
    if (auto f = read_pattern(path, ahead.get())) return f;
    if (!unit_connected(call.main_panel)) return unit_absent();
    // The window opens when Custom Data is chosen (also when it is chosen already).
    if (!app::data_panel_open) {
        const auto& codes = unit::kPatternCodes;
        const auto custom = std::find_if(codes.begin(), codes.end(), [](const auto& p) {
            return p.code == unit::kCustomDataCode;
        });
        if (auto f = choose_item(call.main_panel, PANELMAIN_DATA_SELECT,
                                 static_cast<int>(custom - codes.begin())))
            return f;
        if (!app::data_panel_open)
            return scpi::Error{scpi::kExecutionError, "Custom Test Pattern did not open"};
    }
    return choose_and_load(app::data_panel, PANELDATA_SELECT_TXT_FILE, PANELDATA_LOAD_FPGA, path,
                           ahead.get());
}

scpi::Fault load_error_mask(CommandCall& call) {
    std::string path;
    if (auto f = read_path(call, MAX_PATHNAME_LEN, &path)) return f;
    const auto ahead = std::make_unique<ReadAhead>();
    if (auto f = read_mask(path, ahead.get())) return f;
    if (auto f = error_window(call)) return f;
    return choose_and_load(app::err_panel, PANELERR_SELECT_ERR_TXT_FILE, PANELERR_LOAD_FPGA, path,
                           ahead.get());
}

scpi::Fault set_mask_period(CommandCall& call) {
    if (auto f = error_window(call)) return f;
    // A period below the width takes the width down with it, as on the window.
    return set_control_number(call, app::err_panel, PANELERR_PULSE_PERIOD, kPeriodName);
}

scpi::Fault query_mask_period(CommandCall& call) {
    return query_error_window(call, PANELERR_PULSE_PERIOD, kPeriodName);
}

scpi::Fault set_mask_width(CommandCall& call) {
    if (auto f = error_window(call)) return f;
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
    if (auto f = error_window(call)) return f;
    return set_control_number(call, app::err_panel, PANELERR_ERRS_PER_256, kCountName);
}

scpi::Fault query_mask_count(CommandCall& call) {
    return query_error_window(call, PANELERR_ERRS_PER_256, kCountName);
}

}  // namespace korvel::remote

#include "remote/command_table.h"

#include "remote/main_panel_commands.h"
#include "remote/more_features_commands.h"
#include "remote/system_commands.h"
#include "scpi/mnemonic.h"

namespace korvel::remote {
namespace {

// Commands whose windows' file loading is still being built.
scpi::Fault not_available_yet(CommandCall&) {
    return scpi::Error{scpi::kUndefinedHeader, "not available yet"};
}

constexpr CommandDef kCommands[] = {
    // common commands and the system
    {"*IDN", nullptr, identify},
    {"*RST", reset, nullptr},
    {"*OPC", nullptr, operation_complete},
    {"*CLS", clear_status, nullptr},
    {"SYSTem:ERRor[:NEXT]", nullptr, next_error},
    {"SYSTem:CONNected", nullptr, query_connected},
    // the main panel
    {"[SOURce:]PATTern", set_pattern, query_pattern},
    {"[SOURce:]DCYCle", set_duty_cycle, query_duty_cycle},
    {"[SOURce:]AMPLitude", set_amplitude, query_amplitude},
    {"OUTPut:CLOCk1", set_clock_output, query_clock_output},
    {"FPGA:RESet", reset_fpga, nullptr},
    // the sync output's trigger and More Features
    {"TRIGger:MODE", set_trigger_mode, query_trigger_mode},
    {"TRIGger:DIVide", set_divide_ratio, query_divide_ratio},
    {"[SOURce:]POLarity", set_polarity, query_polarity},
    {"ERRor:STATe", set_error_state, query_error_state},
    // files: custom pattern, error mask, configurations
    {"PATTern:CUSTom:LOAD", not_available_yet, nullptr},
    {"ERRor:MASK:LOAD", not_available_yet, nullptr},
    {"ERRor:MASK:PERiod", not_available_yet, not_available_yet},
    {"ERRor:MASK:WIDTh", not_available_yet, not_available_yet},
    {"ERRor:MASK:COUNt", not_available_yet, not_available_yet},
    {"MMEMory:STORe:CONFig", not_available_yet, nullptr},
    {"MMEMory:LOAD:CONFig", not_available_yet, nullptr},
};

}  // namespace

std::span<const CommandDef> command_table() {
    return kCommands;
}

const CommandDef* find_command(bool common, std::span<const std::string> nodes) {
    for (const CommandDef& c : kCommands) {
        const bool is_common = c.header.front() == '*';
        if (is_common != common) continue;
        if (common ? (nodes.size() == 1 && nodes[0] == c.header.substr(1))
                   : scpi::header_matches(c.header, nodes))
            return &c;
    }
    return nullptr;
}

}  // namespace korvel::remote

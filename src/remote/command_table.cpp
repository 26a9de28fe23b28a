#include "remote/command_table.h"

#include "remote/configuration_commands.h"
#include "remote/fpga_memory_commands.h"
#include "remote/main_panel_commands.h"
#include "remote/more_features_commands.h"
#include "remote/setup_commands.h"
#include "remote/status_commands.h"
#include "remote/system_commands.h"
#include "scpi/mnemonic.h"

namespace korvel::remote {
namespace {

constexpr WhileBoxOpen Both = WhileBoxOpen::Both;
constexpr WhileBoxOpen Neither = WhileBoxOpen::Neither;

constexpr CommandDef kCommands[] = {
    // common commands and the system
    {"*IDN", nullptr, identify},
    {"*RST", reset, nullptr},
    {"*OPC", request_opc, operation_complete, Both},
    {"*WAI", wait_to_continue, nullptr, Both},
    {"*CLS", clear_status, nullptr, Both},
    {"*ESE", set_event_enable, query_event_enable, Both},
    {"*ESR", nullptr, query_event_status, Both},
    {"*SRE", set_request_enable, query_request_enable, Both},
    {"*STB", nullptr, query_status_byte, Both},
    {"*TST", nullptr, query_self_test, Neither},
    {"*OPT", nullptr, query_options},
    {"*SAV", save_setup, nullptr},
    {"*RCL", recall_setup, nullptr},
    {"*LRN", nullptr, query_learn},
    {"SYSTem:ERRor[:NEXT]", nullptr, next_error},
    {"SYSTem:ERRor:COUNt", nullptr, query_error_count},
    {"SYSTem:ERRor:ALL", nullptr, query_all_errors},
    {"SYSTem:VERSion", nullptr, query_version},
    {"SYSTem:CONNected", nullptr, query_connected},
    // status reporting (SCPI-99 ch. 9)
    {"STATus:OPERation[:EVENt]", nullptr, query_operation_event},
    {"STATus:OPERation:CONDition", nullptr, query_operation_condition},
    {"STATus:OPERation:ENABle", set_operation_enable, query_operation_enable, Both},
    {"STATus:OPERation:PTRansition", set_operation_ptr, query_operation_ptr, Both},
    {"STATus:OPERation:NTRansition", set_operation_ntr, query_operation_ntr, Both},
    {"STATus:QUEStionable[:EVENt]", nullptr, query_questionable_event},
    {"STATus:QUEStionable:CONDition", nullptr, query_questionable_condition},
    {"STATus:QUEStionable:ENABle", set_questionable_enable, query_questionable_enable, Both},
    {"STATus:QUEStionable:PTRansition", set_questionable_ptr, query_questionable_ptr, Both},
    {"STATus:QUEStionable:NTRansition", set_questionable_ntr, query_questionable_ntr, Both},
    {"STATus:PRESet", status_preset, nullptr, Both},
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
    {"PATTern:CUSTom:LOAD", load_custom_pattern, nullptr},
    {"ERRor:MASK:LOAD", load_error_mask, nullptr},
    {"ERRor:MASK:PERiod", set_mask_period, query_mask_period},
    {"ERRor:MASK:WIDTh", set_mask_width, query_mask_width},
    {"ERRor:MASK:COUNt", set_mask_count, query_mask_count},
    {"MMEMory:STORe:CONFig", store_configuration, nullptr},
    {"MMEMory:LOAD:CONFig", load_configuration, nullptr},
    {"MMEMory:CDIRectory", set_directory, query_directory},
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

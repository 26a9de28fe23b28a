// IEEE 488.2 status reporting over the session's status registers: *ESE, *ESR?, *SRE, *STB?,
// *OPC, *WAI, the STATus subsystem, SYSTem:VERSion? and the rest of SYSTem:ERRor.
#pragma once

#include "remote/command.h"

namespace korvel::remote {

// Puts the instrument's present conditions into the session's registers: QUEStionable bit 9
// while the main panel shows the unit not connected, OPERation bit 8 while a pattern file load
// keeps the busy cursor on.
void sample_conditions(scpi::StatusRegisters& status, int main_panel);

// Every open session's OPERation bit 8 follows a load as it begins and ends, so that the rising
// edge is latched in STATus:OPERation[:EVENt] although a load completes within one command.
// Installed as the FPGA load listener when a session opens.
void note_load(bool loading);

scpi::Fault set_event_enable(CommandCall& call);      // *ESE 0..255
scpi::Fault query_event_enable(CommandCall& call);    // *ESE?
scpi::Fault query_event_status(CommandCall& call);    // *ESR?  read and clear
scpi::Fault set_request_enable(CommandCall& call);    // *SRE 0..255
scpi::Fault query_request_enable(CommandCall& call);  // *SRE?
scpi::Fault query_status_byte(CommandCall& call);     // *STB?
scpi::Fault request_opc(CommandCall& call);           // *OPC
scpi::Fault wait_to_continue(CommandCall& call);      // *WAI

// STATus:OPERation and STATus:QUEStionable: [:EVENt]?, :CONDition?, :ENABle, :PTRansition,
// :NTRansition (0..32767), and STATus:PRESet.
scpi::Fault query_operation_event(CommandCall& call);
scpi::Fault query_operation_condition(CommandCall& call);
scpi::Fault set_operation_enable(CommandCall& call);
scpi::Fault query_operation_enable(CommandCall& call);
scpi::Fault set_operation_ptr(CommandCall& call);
scpi::Fault query_operation_ptr(CommandCall& call);
scpi::Fault set_operation_ntr(CommandCall& call);
scpi::Fault query_operation_ntr(CommandCall& call);
scpi::Fault query_questionable_event(CommandCall& call);
scpi::Fault query_questionable_condition(CommandCall& call);
scpi::Fault set_questionable_enable(CommandCall& call);
scpi::Fault query_questionable_enable(CommandCall& call);
scpi::Fault set_questionable_ptr(CommandCall& call);
scpi::Fault query_questionable_ptr(CommandCall& call);
scpi::Fault set_questionable_ntr(CommandCall& call);
scpi::Fault query_questionable_ntr(CommandCall& call);
scpi::Fault status_preset(CommandCall& call);  // STATus:PRESet

scpi::Fault query_version(CommandCall& call);      // SYSTem:VERSion?  1999.0
scpi::Fault query_error_count(CommandCall& call);  // SYSTem:ERRor:COUNt?
scpi::Fault query_all_errors(CommandCall& call);   // SYSTem:ERRor:ALL?  every error, then empty

}  // namespace korvel::remote

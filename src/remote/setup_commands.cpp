#include "remote/setup_commands.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "app/settings_files.h"
#include "ds4520/ds4520_bus.h"
#include "link/i2c_engine.h"
#include "link/usb_link.h"
#include "remote/command_table.h"
#include "remote/control_commands.h"
#include "remote/operator_steps.h"
#include "scpi/mnemonic.h"

namespace korvel::remote {
namespace {

constexpr int kSlots = 10;

scpi::Fault read_slot(const CommandCall& call, int* slot) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    scpi::NumberRange range;
    range.max = kSlots - 1;
    range.whole = true;
    range.name = "the setup number";
    double value = 0.0;
    if (auto f = scpi::read_number(call.parameters[0], range, &value)) return f;
    *slot = static_cast<int>(value);
    return std::nullopt;
}

// What *LRN? reads back, in the order its commands must be sent (the divide ratio can be set only
// once the mode is MANual).
constexpr std::array<std::string_view, 8> kLearned = {
    "SOURce:PATTern",  "SOURce:DCYCle", "SOURce:AMPLitude", "OUTPut:CLOCk1",
    "SOURce:POLarity", "ERRor:STATe",   "TRIGger:MODE",     "TRIGger:DIVide",
};

struct Chip {
    std::uint8_t address;                // the write address byte
    std::optional<std::uint8_t> select;  // register to read, for chips with a register pointer
    std::string_view name;
};
constexpr std::array<Chip, 5> kChips = {{
    {0xA4, ds4520_bus::kConfig, "expander 0xA4"},
    {0xA6, ds4520_bus::kConfig, "expander 0xA6"},
    {0xAE, ds4520_bus::kConfig, "expander 0xAE"},
    {0xC0, std::nullopt, "DAC 0xC0"},
    {0xC2, std::nullopt, "DAC 0xC2"},
}};

// START, [address W, register, repeated START,] address R, one byte, NACK, STOP: the chip
// acknowledges its address and gives a register back; nothing is written to it.
bool chip_answers(const Chip& chip) {
    issue_i2c_start(usb_handle);
    bool acked = true;
    if (chip.select) {
        acked = tx_i2c_byte_acked(usb_handle, chip.address) &&
                tx_i2c_byte_acked(usb_handle, *chip.select);
        if (acked) issue_i2c_start(usb_handle);
    }
    acked = acked && tx_i2c_byte_acked(usb_handle, chip.address | 0x01);
    if (acked) rx_i2c_byte(usb_handle, kI2cNack);
    issue_i2c_stop(usb_handle);
    return acked;
}

}  // namespace

std::string setup_file(int slot) {
    return "setup" + std::to_string(slot) + ".cfg";
}

scpi::Fault save_setup(CommandCall& call) {
    int slot = 0;
    if (auto f = read_slot(call, &slot)) return f;
    const std::string path = setup_file(slot);
    if (app::SaveSettings(path.c_str()) != 1)
        return scpi::Error{scpi::kMassStorageError, "cannot write " + path};
    return std::nullopt;
}

scpi::Fault recall_setup(CommandCall& call) {
    int slot = 0;
    if (auto f = read_slot(call, &slot)) return f;
    const std::string path = setup_file(slot);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return scpi::Error{scpi::kDataOutOfRange, "no setup saved as " + path};
    if (app::RestoreSettings(path.c_str()) != 0)
        return scpi::Error{scpi::kMassStorageError, "cannot read " + path};
    return std::nullopt;
}

scpi::Fault query_learn(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    for (std::string_view header : kLearned) {
        std::vector<std::string> nodes;
        std::string shorts;
        for (std::size_t at = 0; at <= header.size();) {
            const std::size_t end = std::min(header.find(':', at), header.size());
            nodes.push_back(scpi::short_form(header.substr(at, end - at)));
            shorts += ":" + nodes.back();
            at = end + 1;
        }
        const CommandDef* command = find_command(false, nodes);
        CommandCall query{{}, {}, call.errors, call.status, false, call.main_panel};
        if (command == nullptr || command->query(query)) continue;
        // A mode no command sets (a configuration that selected none), and the ratio outside
        // MANual, where it cannot be set: left out.
        if (query.reply == "NONE") continue;
        if (header == "TRIGger:DIVide" && call.reply.find("MODE MAN") == std::string::npos)
            continue;
        if (!call.reply.empty()) call.reply += ';';
        call.reply += shorts + " " + query.reply;
    }
    return std::nullopt;
}

scpi::Fault query_self_test(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    unsigned failed = 0;
    if (!unit_connected(call.main_panel) || !usb_handle_usable()) {
        call.status.report(scpi::Error{scpi::kSelfTestFailed, "unit not connected"});
        failed = (1u << kChips.size()) - 1;
    } else {
        for (std::size_t i = 0; i < kChips.size(); ++i) {
            if (chip_answers(kChips[i])) continue;
            failed |= 1u << i;
            call.status.report(scpi::Error{scpi::kSelfTestFailed, std::string(kChips[i].name)});
        }
    }
    call.reply = std::to_string(failed);
    return std::nullopt;
}

scpi::Fault query_options(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.reply = "0";
    return std::nullopt;
}

}  // namespace korvel::remote

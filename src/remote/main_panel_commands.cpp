#include "remote/main_panel_commands.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "app/state.h"
#include "remote/control_commands.h"
#include "remote/operator_steps.h"
#include "resource/main_uir.h"
#include "scpi/mnemonic.h"
#include "unit/unit_map.h"

namespace korvel::remote {
namespace {

// The SCPI word of a pattern's name: its first word, spelled as the command tables spell words. A
// name in capitals (PRBS15) is one form only; in any other the short form is the first four
// letters, or three when the fourth is a vowel (SCPI's rule), and the rest is written small:
// "Clock" is CLOCk, "Custom Data" CUSTom.
struct PatternWord {
    std::array<char, 16> text{};
    std::size_t size = 0;
};

constexpr PatternWord pattern_word(std::string_view name) {
    name = name.substr(0, std::min(name.find(' '), PatternWord{}.text.size()));
    const auto is_small = [](char c) { return c >= 'a' && c <= 'z'; };
    const auto vowel = [](char c) {
        return std::string_view("AEIOUaeiou").find(c) != std::string_view::npos;
    };
    bool capitals = true;
    for (char c : name) capitals = capitals && !is_small(c);
    const std::size_t short_size =
        capitals ? name.size()
                 : (name.size() > 3 && vowel(name[3]) ? 3 : std::min<std::size_t>(4, name.size()));
    PatternWord word;
    for (char c : name) {
        const bool in_short = word.size < short_size;
        if (in_short && is_small(c)) c = static_cast<char>(c - 'a' + 'A');
        if (!in_short && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        word.text[word.size++] = c;
    }
    return word;
}

constexpr auto kPatternWordText = [] {
    std::array<PatternWord, unit::kPatternCodes.size()> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = pattern_word(unit::kPatternCodes[i].name);
    return words;
}();

// The Pattern Select ring's items, in its list order, as SCPI words.
constexpr auto kPatternWords = [] {
    std::array<std::string_view, unit::kPatternCodes.size()> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = {kPatternWordText[i].text.data(), kPatternWordText[i].size};
    return words;
}();
static_assert(kPatternWords[4] == "PRBS15" && kPatternWords[10] == "CLOCk" &&
              kPatternWords[11] == "CUSTom");

// The amplitude is set in millivolts; the duty cycle in percent.
constexpr std::array<scpi::Unit, 3> kAmplitudeUnits = {{{"V", 1000.0}, {"MV", 1.0}, {"UV", 0.001}}};
constexpr std::array<scpi::Unit, 1> kDutyCycleUnits = {{{"PCT", 1.0}}};

}  // namespace

scpi::Fault set_pattern(CommandCall& call) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    std::size_t index = 0;
    if (auto f = scpi::read_choice(call.parameters[0], kPatternWords, &index)) return f;
    return choose_item(call.main_panel, PANELMAIN_DATA_SELECT, static_cast<int>(index));
}

scpi::Fault query_pattern(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    const int code = static_cast<int>(control_value(call.main_panel, PANELMAIN_DATA_SELECT));
    for (std::size_t i = 0; i < unit::kPatternCodes.size(); ++i)
        if (unit::kPatternCodes[i].code == code) call.reply = scpi::short_form(kPatternWords[i]);
    return std::nullopt;
}

scpi::Fault set_duty_cycle(CommandCall& call) {
    return set_control_number(call, call.main_panel, PANELMAIN_DUTY_CYCLE, "SOURce:DCYCle",
                              kDutyCycleUnits);
}

scpi::Fault query_duty_cycle(CommandCall& call) {
    return query_control_number(call, call.main_panel, PANELMAIN_DUTY_CYCLE, "SOURce:DCYCle");
}

scpi::Fault set_amplitude(CommandCall& call) {
    return set_control_number(call, call.main_panel, PANELMAIN_MUX_AMP, "SOURce:AMPLitude",
                              kAmplitudeUnits);
}

scpi::Fault query_amplitude(CommandCall& call) {
    return query_control_number(call, call.main_panel, PANELMAIN_MUX_AMP, "SOURce:AMPLitude");
}

scpi::Fault set_clock_output(CommandCall& call) {
    return set_control_switch(call, call.main_panel, PANELMAIN_CLOCKOUT1_BUTTON);
}

scpi::Fault query_clock_output(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    reply_switch(call, control_value(call.main_panel, PANELMAIN_CLOCKOUT1_BUTTON) != 0.0);
    return std::nullopt;
}

scpi::Fault reset_fpga(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    return press(call.main_panel, PANELMAIN_RST_FPGA);
}

}  // namespace korvel::remote

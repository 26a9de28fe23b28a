// korvelctl run in-process on the simulated unit: exit statuses, output, and what reaches the
// unit's pins.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "exit_codes.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "korvelctl.h"

namespace {

using korvelctl::kExitOk;
using korvelctl::kExitUnavailable;
using korvelctl::kExitUsage;

class Korvelctl : public ::testing::Test {
  protected:
    void SetUp() override { korvel::ftdi::use_fresh_simulated_unit(); }

    int run(std::vector<std::string> args) {
        args.insert(args.begin(), "korvelctl");
        std::vector<const char*> argv;
        for (const auto& a : args) argv.push_back(a.c_str());
        out_.str("");
        err_.str("");
        return korvelctl::run(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    static korvel::sim::Board& board() { return korvel::sim::usb().board(); }
    static int expander_byte(int chip) { return board().expander(chip).pins() & 0xFF; }

    std::ostringstream out_, err_;
};

TEST_F(Korvelctl, SetAppliesEverySettingToTheUnit) {
    ASSERT_EQ(run({"--simulate", "set", "pattern", "PRBS15", "divide", "256", "clock", "on", "duty",
                   "2.5", "amplitude", "2.2"}),
              kExitOk)
        << err_.str();
    EXPECT_EQ(expander_byte(7), 4);
    EXPECT_EQ(expander_byte(2), 0x00);
    EXPECT_EQ(board().expander(3).pins() & 1, 0);
    EXPECT_EQ(board().dac(0).channels[2].code, 3103);
    EXPECT_EQ(board().dac(0).channels[3].code, 2730);
    EXPECT_NE(out_.str().find("pattern PRBS15 (code 4)"), std::string::npos);
}

TEST_F(Korvelctl, SetAppliesSettingsInTheOrderGiven) {
    ASSERT_EQ(run({"set", "pattern", "clock", "pattern", "3", "clock", "off", "clock", "ON"}),
              kExitOk);
    EXPECT_EQ(expander_byte(7), 3);
    EXPECT_EQ(board().expander(3).pins() & 1, 0);
}

TEST_F(Korvelctl, BadArgumentsExit64WithoutTouchingTheDriver) {
    const std::vector<std::vector<std::string>> bad = {{"set", "pattern", "PRBS8"},
                                                       {"set", "pattern", "PRBS6"},
                                                       {"set", "pattern", "11"},
                                                       {"set", "pattern", "0"},
                                                       {"set", "divide", "abc"},
                                                       {"set", "divide", "-5"},
                                                       {"set", "divide", "257"},
                                                       {"set", "divide", "4x"},
                                                       {"set", "duty", "4"},
                                                       {"set", "duty", "50%"},
                                                       {"set", "duty", "nan"},
                                                       {"set", "amplitude", "2.8"},
                                                       {"set", "clock", "maybe"},
                                                       {"set", "pattern", "PRBS7", "divide"},
                                                       {"set", "frequency", "10"},
                                                       {"set"},
                                                       {},
                                                       {"frobnicate"},
                                                       {"--no-such-option", "status"},
                                                       {"status", "extra"},
                                                       {"set", "pattern", "PRBS7", "divide", "0"}};
    for (const auto& args : bad) {
        SCOPED_TRACE(testing::PrintToString(args));
        korvel::sim::usb().reset_counters();
        EXPECT_EQ(run(args), kExitUsage);
        EXPECT_NE(err_.str().find("korvelctl: "), std::string::npos) << err_.str();
        EXPECT_EQ(korvel::sim::usb().total_calls(), 0u);
    }
}

TEST_F(Korvelctl, MissingUnitExits69) {
    board().detach();
    EXPECT_EQ(run({"set", "pattern", "PRBS7"}), kExitUnavailable);
    EXPECT_NE(err_.str().find("unit not found"), std::string::npos);
    EXPECT_EQ(run({"status"}), kExitUnavailable);
}

TEST_F(Korvelctl, AForeignFtdiDeviceIsNeverDriven) {
    board().detach();
    korvel::sim::usb().add_other_device("FT232R USB UART", "A10K");
    EXPECT_EQ(run({"set", "clock", "on"}), kExitUnavailable);
    EXPECT_NE(err_.str().find("none of the 1 FTDI devices"), std::string::npos) << err_.str();
    EXPECT_EQ(korvel::sim::usb().calls(korvel::sim::Call::Open), 0u);
}

TEST_F(Korvelctl, ListShowsEveryDeviceAndMarksTheUnit) {
    korvel::sim::usb().add_other_device("FT232R USB UART", "A10K");
    ASSERT_EQ(run({"list"}), kExitOk);
    const std::string text = out_.str();
    EXPECT_NE(text.find("ZEVA_KORVEL  serial 1042  <- KORVEL unit"), std::string::npos) << text;
    EXPECT_NE(text.find("FT232R USB UART  serial A10K\n"), std::string::npos) << text;

    board().detach();
    korvel::sim::usb().clear_other_devices();
    ASSERT_EQ(run({"list"}), kExitOk);
    EXPECT_EQ(out_.str(), "no FTDI devices attached\n");
}

TEST_F(Korvelctl, StatusJsonReadsBackTheUnit) {
    board().expander(3).control &= ~0x02;  // error injection / polarity pin low
    ASSERT_EQ(run({"set", "pattern", "prbs31", "divide", "4", "clock", "off", "duty", "1.8",
                   "amplitude", "2.7"}),
              kExitOk);
    ASSERT_EQ(run({"status", "--json"}), kExitOk) << err_.str();
    const auto j = nlohmann::json::parse(out_.str());
    EXPECT_EQ(j["pattern"]["name"], "PRBS31");
    EXPECT_EQ(j["pattern"]["code"], 9);
    EXPECT_EQ(j["divide_ratio"]["byte"], 4);
    EXPECT_EQ(j["clock_output1"], false);
    EXPECT_EQ(j["error_injection"], false);
    EXPECT_EQ(j["duty_cycle"]["code"], 2234);
    EXPECT_EQ(j["amplitude"]["code"], 3351);
    EXPECT_NEAR(j["amplitude"]["volts"].get<double>(), 2.7, 0.001);
    EXPECT_EQ(j["raw"]["dacs"]["1"].size(), 24u);
}

TEST_F(Korvelctl, StatusTextNamesTheSettingsInWords) {
    ASSERT_EQ(run({"set", "pattern", "Clock", "clock", "on"}), kExitOk);
    ASSERT_EQ(run({"status"}), kExitOk);
    const std::string text = out_.str();
    EXPECT_NE(text.find("pattern:            Clock (code 10)"), std::string::npos) << text;
    EXPECT_NE(text.find("clock output 1:     on"), std::string::npos) << text;
}

TEST_F(Korvelctl, HelpDocumentsCommandsAndExamples) {
    EXPECT_EQ(run({"--help"}), kExitOk);
    EXPECT_NE(out_.str().find("Examples:"), std::string::npos);
    EXPECT_EQ(run({"set", "--help"}), kExitOk);
    EXPECT_NE(out_.str().find("amplitude VOLTS"), std::string::npos) << out_.str();
}

}  // namespace

// korvelctl run in-process on the simulated unit: exit statuses, output, and what reaches the
// unit's pins.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "exit_codes.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "korvelctl.h"

namespace {

class Korvelctl : public ::testing::Test {
  protected:
    void SetUp() override {
        // --sim-state and --trace are handed to the simulated unit through the environment.
        unsetenv("KORVEL_SIM_STATE");
        unsetenv("KORVEL_SIM_TRACE");
        korvel::ftdi::use_fresh_simulated_unit();
    }
    void TearDown() override { SetUp(); }

    int run(std::vector<std::string> args) {
        args.insert(args.begin(), "korvelctl");
        std::vector<const char*> argv;
        for (const auto& a : args) argv.push_back(a.c_str());
        out_.str("");
        err_.str("");
        return korvelctl::run(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    bool said(const std::string& text) const {
        return (out_.str() + err_.str()).find(text) != std::string::npos;
    }
    static korvel::sim::Usb& usb() { return korvel::sim::usb(); }
    static korvel::sim::Board& board() { return usb().board(); }

    std::ostringstream out_, err_;
};

TEST_F(Korvelctl, SetAppliesEverySettingInTheOrderGiven) {
    ASSERT_EQ(run({"--simulate", "set", "pattern", "PRBS7", "pattern", "prbs15", "divide", "256",
                   "clock", "off", "clock", "ON", "duty", "2.5", "amplitude", "2.2"}),
              korvelctl::kExitOk)
        << err_.str();
    EXPECT_EQ(board().expander(7).pins() & 0xFF, 4);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0x00);
    EXPECT_EQ(board().expander(3).pins() & 1, 0);
    EXPECT_EQ(board().dac(0).channels[2].code, 3103);
    EXPECT_EQ(board().dac(0).channels[3].code, 2730);
    EXPECT_TRUE(said("set pattern PRBS15 (code 4)\n"));
}

TEST_F(Korvelctl, BadArgumentsExit64WithoutTouchingTheDriver) {
    const std::vector<std::vector<std::string>> bad = {{"set", "pattern", "PRBS6"},
                                                       {"set", "pattern", "11"},
                                                       {"set", "divide", "-5"},
                                                       {"set", "divide", "4x"},
                                                       {"set", "duty", "nan"},
                                                       {"set", "amplitude", "2.8"},
                                                       {"set", "clock", "maybe"},
                                                       {"set", "divide"},
                                                       {"set", "frequency", "10"},
                                                       {"set"},
                                                       {"--no-such-option"},
                                                       {"status", "extra"},
                                                       {"lisst"},
                                                       {"set", "divide", "99999999999999999999"}};
    for (const auto& args : bad) {
        SCOPED_TRACE(testing::PrintToString(args));
        usb().reset_counters();
        EXPECT_EQ(run(args), korvelctl::kExitUsage);
        EXPECT_TRUE(said("korvelctl: ")) << err_.str();
        EXPECT_EQ(usb().total_calls(), 0u);
    }
    run({"set", "duty", "50"});
    EXPECT_TRUE(said("1.8 to 3.3 V (DAC volts, not percent)")) << err_.str();
    run({"set", "pattern", "PRBS8"});
    EXPECT_TRUE(said("choose one of PRBS7, PRBS9")) << err_.str();
    run({"--simulate", "lisst"});
    EXPECT_TRUE(said(
        "unknown command 'lisst', the commands are set, list, status, load-pattern and load-mask"));
    run({"set", "pattern", "-99999999999999999999"});
    EXPECT_TRUE(said("out of range, codes are 1 to 10")) << err_.str();
}

// A path the simulated unit cannot keep its files at is refused like any bad argument, before
// anything is sent: the unit would otherwise lose the command's settings after it ran, or (a
// device or FIFO) be read from or written over.
TEST_F(Korvelctl, UnusableSimulatorFilesExit64BeforeAnythingIsSent) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("korvelctl_files_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string fifo = (dir / "fifo").string(), read_only = (dir / "ro.json").string(),
                      state = (dir / "unit.json").string();
    ::mkfifo(fifo.c_str(), 0644);
    std::ofstream(read_only) << "{}";
    ::chmod(read_only.c_str(), 0444);
    std::filesystem::create_symlink("unit.json", dir / "link.json");
    const std::string too_long = (dir / std::string(300, 'a')).string();
    const std::vector<std::vector<std::string>> bad = {
        {"--simulate", "--sim-state", "/nonexistent-korvel-dir/unit.json", "set", "divide", "4"},
        {"--simulate", "--trace", "/nonexistent-korvel-dir/bus.vcd", "status"},
        {"--simulate", "--sim-state", "/", "list"},
        {"--simulate", "--sim-state", "/dev/null", "status"},
        {"--simulate", "--sim-state", fifo, "status"},
        {"--simulate", "--sim-state", read_only, "set", "divide", "4"},
        {"--simulate", "--sim-state", too_long, "set", "divide", "4"},
        {"--simulate", "--trace", "/dev/full", "status"},
        {"--simulate", "--sim-state", state, "--trace", (dir / "link.json").string(), "status"}};
    for (const auto& args : bad) {
        SCOPED_TRACE(testing::PrintToString(args));
        usb().reset_counters();
        EXPECT_EQ(run(args), korvelctl::kExitUsage);
        EXPECT_EQ(usb().total_calls(), 0u);
        SetUp();
    }
    EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
    EXPECT_FALSE(std::filesystem::exists(fifo + ".bad"));
    run({"--simulate", "--sim-state", "/nonexistent-korvel-dir/unit.json", "status"});
    EXPECT_TRUE(
        said("--sim-state /nonexistent-korvel-dir/unit.json: cannot write the simulated "
             "unit's state file there (/nonexistent-korvel-dir: No such file or "
             "directory)"))
        << err_.str();
    SetUp();
    run({"--simulate", "--sim-state", "/dev/null", "status"});
    EXPECT_TRUE(said("(it is a character device)")) << err_.str();
    SetUp();
    run({"--simulate", "--sim-state", read_only, "status"});
    EXPECT_TRUE(said("(it is read-only)")) << err_.str();
    SetUp();
    run({"--simulate", "--sim-state", state, "--trace", state, "status"});
    EXPECT_TRUE(said("--trace " + state +
                     ": cannot write the trace there (it is the simulated unit's state file as "
                     "well)"))
        << err_.str();
    SetUp();
    setenv("KORVEL_SIM_TRACE", "/", 1);
    run({"--simulate", "status"});
    EXPECT_TRUE(said("KORVEL_SIM_TRACE /: cannot write the trace there (it is a folder)"))
        << err_.str();
    std::filesystem::remove_all(dir);
}

// The library's setters report success whatever happens on the cable; korvelctl reads the unit
// back. Whenever the unit is unplugged during the command (before any driver call up to the
// last one, the close), it either exits 0 with every setting on the unit or exits 69.
TEST_F(Korvelctl, SetNeverReportsASettingTheUnitDoesNotHold) {
    const std::vector<std::string> args = {"set",   "pattern", "PRBS23", "divide", "16",
                                           "clock", "on",      "duty",   "2.5"};
    ASSERT_EQ(run(args), korvelctl::kExitOk);
    const std::uint64_t calls = usb().total_calls();
    // Every call while the unit is found and opened, then ever fewer (each I2C edge is a call).
    for (std::uint64_t n = 1; n < calls; n += 1 + n / 40) {
        SCOPED_TRACE("unplugged before driver call " + std::to_string(n));
        SetUp();
        usb().detach_before_call(n);
        const int rc = run(args);
        if (rc == korvelctl::kExitOk) {
            ASSERT_TRUE(board().attached());
            EXPECT_EQ(board().expander(7).pins() & 0xFF, 7);
            EXPECT_EQ(board().expander(2).pins() & 0xFF, 16);
            EXPECT_EQ(board().expander(3).pins() & 1, 0);
            EXPECT_EQ(board().dac(0).channels[2].code, 3103);
        } else {
            EXPECT_EQ(rc, korvelctl::kExitUnavailable);
            EXPECT_TRUE(said("the unit was disconnected") || said("unit not found")) << err_.str();
            EXPECT_FALSE(said("set pattern"));
        }
    }
}

// status reports only what was read from the unit that is still there.
TEST_F(Korvelctl, StatusNeverReportsWhatAVanishedUnitReads) {
    ASSERT_EQ(run({"set", "pattern", "PRBS23", "divide", "16", "duty", "2.5"}), korvelctl::kExitOk);
    usb().reset_counters();
    ASSERT_EQ(run({"status", "--json"}), korvelctl::kExitOk);
    const std::string expected = out_.str();
    const std::uint64_t calls = usb().total_calls();
    for (std::uint64_t n = 1; n < calls; n += 1 + n / 40) {
        SCOPED_TRACE("unplugged before driver call " + std::to_string(n));
        board().attach();
        ASSERT_EQ(run({"set", "pattern", "PRBS23", "divide", "16", "duty", "2.5"}),
                  korvelctl::kExitOk);
        usb().detach_before_call(n);
        const int rc = run({"status", "--json"});
        if (rc == korvelctl::kExitOk) {
            EXPECT_EQ(out_.str(), expected);
        } else {
            EXPECT_EQ(rc, korvelctl::kExitUnavailable);
            EXPECT_EQ(out_.str(), "");
        }
    }
}

TEST_F(Korvelctl, MessagesNameTheBadValueOrOption) {
    EXPECT_EQ(run({"set", "duty", "-inf"}), korvelctl::kExitUsage);
    EXPECT_TRUE(said("korvelctl: duty -inf: not a number in range, give 1.8 to 3.3 V"))
        << err_.str();
    EXPECT_EQ(run({"set", "pattern", "PRBS7", "amplitude", "nan"}), korvelctl::kExitUsage);
    EXPECT_TRUE(said("amplitude nan: not a number in range, give 1.8 to 2.7 V")) << err_.str();
    EXPECT_EQ(run({"set", "divide", "-x"}), korvelctl::kExitUsage);
    EXPECT_TRUE(said("korvelctl: divide -x: not a whole number")) << err_.str();
    EXPECT_EQ(run({"--bogus"}), korvelctl::kExitUsage);
    EXPECT_TRUE(said("korvelctl: unknown option '--bogus'")) << err_.str();
    EXPECT_EQ(run({"status", "--bogus"}), korvelctl::kExitUsage);
    EXPECT_TRUE(said("korvelctl: unknown option '--bogus'")) << err_.str();
    EXPECT_EQ(run({"set", "-x", "4"}), korvelctl::kExitUsage);
    EXPECT_TRUE(said("korvelctl: unknown option '-x'")) << err_.str();
}

TEST_F(Korvelctl, MissingOrForeignUnitExits69WithoutOpeningAnything) {
    board().detach();
    EXPECT_EQ(run({"set", "pattern", "PRBS7"}), korvelctl::kExitUnavailable);
    EXPECT_TRUE(said("unit not found: no FTDI device is attached"));
    usb().add_other_device("FT232R USB UART", "A10K");
    EXPECT_EQ(run({"status"}), korvelctl::kExitUnavailable);
    EXPECT_TRUE(said("unit not found: none of the 1 FTDI devices")) << err_.str();
    EXPECT_EQ(usb().calls(korvel::sim::Call::Open), 0u);
}

TEST_F(Korvelctl, ListShowsEveryDeviceAndMarksTheUnit) {
    usb().add_other_device("USB Serial", "A10K");
    ASSERT_EQ(run({"list"}), korvelctl::kExitOk);
    EXPECT_EQ(out_.str(),
              "0  ZEVA_KORVEL  serial 1042  <- KORVEL unit\n1  USB Serial  serial A10K\n");
}

TEST_F(Korvelctl, ListPointsAtTheRecoveryStepsForADeviceWithTheFt232rDefaultStrings) {
    // A unit whose EEPROM checksum broke comes back as a plain FT232R.
    board().detach();
    usb().add_other_device("FT232R USB UART", "");
    usb().add_other_device("ft232r usb uart", "A10K");
    usb().add_other_device("FT232R USB UART2", "A10L");
    ASSERT_EQ(run({"list"}), korvelctl::kExitOk);
    const std::string note =
        "  <- FTDI's default strings: a KORVEL unit whose EEPROM was damaged looks like this "
        "(README.md, \"Recovering a unit\")\n";
    EXPECT_EQ(out_.str(), "0  FT232R USB UART  serial (none)" + note +
                              "1  ft232r usb uart  serial A10K" + note +
                              "2  FT232R USB UART2  serial A10L\n");
}

TEST_F(Korvelctl, StatusReadsBackTheUnitInWordsAndAsJson) {
    board().expander(3).control &= ~0x02;  // error injection / polarity pin low
    ASSERT_EQ(run({"set", "pattern", "Clock", "divide", "4", "clock", "on", "duty", "1.8",
                   "amplitude", "2.7"}),
              korvelctl::kExitOk);
    ASSERT_EQ(run({"status"}), korvelctl::kExitOk);
    EXPECT_TRUE(said("pattern:            Clock (code 10)\n"));
    EXPECT_TRUE(said("clock output 1:     on\n"));
    EXPECT_TRUE(said("amplitude level:    2.700 V (DAC code 3351)\n"));
    EXPECT_TRUE(said("mode:   on\n                    A unit powers up so until the front-panel"));

    ASSERT_EQ(run({"status", "--json"}), korvelctl::kExitOk) << err_.str();
    const auto j = nlohmann::json::parse(out_.str());
    EXPECT_EQ(j["pattern"]["code"], 10);
    EXPECT_EQ(j["divide_ratio"]["byte"], 4);
    EXPECT_EQ(j["clock_output1"], true);
    EXPECT_EQ(j["error_injection"], false);
    EXPECT_EQ(j["duty_cycle"]["code"], 2234);
    EXPECT_EQ(j["raw"]["dacs"]["1"].size(), 24u);
}

TEST_F(Korvelctl, HelpDocumentsCommandsAndExamples) {
    EXPECT_EQ(run({"--help"}), korvelctl::kExitOk);
    EXPECT_TRUE(said("Examples:"));
    EXPECT_TRUE(said("74  the simulated unit could not save its state file or write its trace"));
    EXPECT_TRUE(said("69  unit not found, in use by another program, or disconnected"));
    EXPECT_EQ(run({"set", "--help"}), korvelctl::kExitOk);
    EXPECT_TRUE(said("amplitude VOLTS"));
    EXPECT_EQ(run({"status", "--help"}), korvelctl::kExitOk);
    EXPECT_TRUE(said("status --json > status.json"));
    EXPECT_FALSE(said("korvelctl set duty"));
    EXPECT_EQ(run({"list", "--help"}), korvelctl::kExitOk);
    EXPECT_TRUE(said("ZEVA~KORVEL"));
}

}  // namespace

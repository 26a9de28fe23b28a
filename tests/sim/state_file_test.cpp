// The state file keeps the unit across program runs, is written safely and never trusted blindly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "korvel/sim/usb.h"
#include "state_dir_fixture.h"
#include "state_startup.h"

namespace korvel::sim {
namespace {

using nlohmann::json;
using StateFileTest = testing::StateDirTest;

TEST_F(StateFileTest, RoundTripKeepsEverythingUnderTheDocumentedKeys) {
    {
        Usb a;
        a.set_state_path(path_);
        Board& b = a.board();
        b.serial = "77";
        b.user_area()[3] = 0xC3;
        b.expander(7).control = 0x0F0;
        b.expander(7).sram[5] = 0x5A;
        b.dac(1).channels[3].code = 4095;
        b.dac(1).channels[3].eeprom_power_down = 2;
        b.fpga().pattern_bits = "0110";
        b.fpga().error_mask_bits = std::string(256, '1');
        b.fpga().error_period = 9;
    }  // saved when the USB side goes away (process exit)
    const auto doc = json::parse(slurp(path_));
    EXPECT_EQ(doc["attached"], true);
    EXPECT_EQ(doc["serial"], "77");
    EXPECT_EQ(doc["user_area"].get<std::string>().substr(6, 2), "c3");
    EXPECT_EQ(doc["expanders"]["7"]["pins"], 0x0F0);
    EXPECT_EQ(doc["expanders"]["7"]["sram"], "00000000005a");
    EXPECT_EQ(doc["dacs"]["1"][3]["eeprom_power_down"], 2);
    EXPECT_EQ(doc["fpga"]["error_period"], 9);

    Usb c;
    std::string error;
    ASSERT_TRUE(c.load_state(path_, &error)) << error;
    Board& b = c.board();
    EXPECT_EQ(b.serial, "77");
    EXPECT_EQ(b.user_area()[3], 0xC3);
    EXPECT_EQ(b.expander(7).pins(), 0x0F0);
    EXPECT_EQ(b.expander(7).sram[5], 0x5A);
    EXPECT_EQ(b.dac(1).channels[3].code, 4095);
    EXPECT_EQ(b.fpga().pattern_bits, "0110");
}

TEST_F(StateFileTest, SavedOnCloseAndOnDetachWhichIsAPowerCycle) {
    Usb a;
    a.set_state_path(path_);
    Handle h = 0;
    ASSERT_EQ(a.open(0, h), kOk);
    a.board().dac(0).channels[2].code = 100;
    ASSERT_EQ(a.close(h), kOk);
    EXPECT_EQ(json::parse(slurp(path_))["dacs"]["0"][2]["code"], 100);

    a.board().fpga().pattern_bits = "1";
    a.board().detach();
    const auto doc = json::parse(slurp(path_));
    EXPECT_EQ(doc["attached"], false);
    EXPECT_EQ(doc["dacs"]["0"][2]["code"], 0);  // back to its EEPROM copy
    EXPECT_EQ(doc["fpga"]["pattern_bits"], "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(StateFileTest, BadFilesAreRefusedWithAReasonAndChangeNothing) {
    for (const char* text :
         {"{not json", "[1, 2]", R"({"attached": "yes"})",
          R"({"expanders": {"2": {"pullup": 1000}}})", R"({"expanders": {"3": {"sram": "12"}}})",
          R"({"dacs": {"0": [{"code": 1}]}})", R"({"dacs": {"1": [{"code": -1}, {}, {}, {}]}})",
          R"({"fpga": {"pattern_bits": "01x"}})", R"({"user_area": "zz"})"}) {
        std::ofstream(path_) << text;
        Usb a;
        std::string error;
        EXPECT_FALSE(a.load_state(path_, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(a.board().dac(1).channels[0].code, 0) << text;
        EXPECT_FALSE(a.save_state());  // a refused file does not become the save target
    }
    std::ofstream(path_) << R"({"attached": false, "serial": "12"})";
    Usb a;
    ASSERT_TRUE(a.load_state(path_));
    EXPECT_FALSE(a.board().attached());
    EXPECT_EQ(slurp(path_), R"({"attached": false, "serial": "12"})");  // loading wrote nothing
}

// The file is refused whole when it holds a unit the hardware could not be: strings the FT232R's
// EEPROM cannot store, FPGA words without the mask clocked in before them, or more after the
// document (the JSON parser takes a NUL byte for the end of its input).
TEST_F(StateFileTest, UnitsTheHardwareCannotBeAreRefused) {
    const std::string bad[] = {
        R"({"fpga": {"error_period": 5}})",
        R"({"fpga": {"error_mask_bits": "0101", "error_width": 1}})",
        R"({"serial": "1234567890123456"})",
        R"({"serial": "12345", "description": ")" + std::string(38, 'A') + R"("})",
        R"({"serial": "12\u00007"})",
        R"({"description": "ZEVA_K\u00d6RVEL"})",
        "{\"description\": \"ZEVA_K\xc3\x96RVEL\"}",
        R"({"description": "ZEVA\nKORVEL"})",
        std::string("{}\0{\"serial\": 7}", 16),
        "{} trailing"};
    for (const std::string& text : bad) {
        write(path_, text);
        Usb a;
        std::string error;
        EXPECT_FALSE(a.load_state(path_, &error)) << text;
        EXPECT_EQ(a.board().serial, "1042") << text;
    }
    const std::string longest = R"({"serial": "123456789012345", "description": ")" +
                                std::string(27, 'A') + R"(", "fpga": {"error_mask_bits": ")" +
                                std::string(256, '0') +
                                R"(", "error_period": 5, "error_width": 1}})";
    write(path_, longest);
    Usb a;
    std::string error;
    EXPECT_TRUE(a.load_state(path_, &error)) << error;
    EXPECT_EQ(a.board().fpga().error_width, 1u);
}

TEST_F(StateFileTest, StartUpMovesBadFilesAsideWithoutOverwritingEarlierOnes) {
    std::FILE* messages = std::tmpfile();
    for (const char* bad : {R"({"serial": 12})", "{not json"}) {
        write(path_, bad);
        Usb a;
        start_from_state_file(a, path_, messages);
        EXPECT_EQ(a.board().serial, "1042");
        Handle h = 0;
        ASSERT_EQ(a.open(0, h), kOk);  // the default unit is kept at the path from then on
        EXPECT_EQ(json::parse(slurp(path_))["serial"], "1042");
    }
    EXPECT_EQ(slurp(path_ + ".bad"), R"({"serial": 12})");
    EXPECT_EQ(slurp(path_ + ".bad.1"), "{not json");
    const std::string said = told(messages);
    EXPECT_NE(said.find("serial must be a string"), std::string::npos) << said;
    EXPECT_NE(said.find("kept as " + path_ + ".bad.\n"), std::string::npos) << said;
    EXPECT_NE(said.find("kept as " + path_ + ".bad.1.\n"), std::string::npos) << said;
    std::fclose(messages);
}

}  // namespace
}  // namespace korvel::sim

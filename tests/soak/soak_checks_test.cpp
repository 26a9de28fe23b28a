// The soak's invariants catch what they are there for: a unit out of step with the controls, a
// closed handle passed again, a settings file that no longer reads.
#include "soak/soak_checks.h"

#include <fstream>

#include "app/app_fixture.h"
#include "app/settings_files.h"
#include "app/supervision.h"
#include "ftdi/ftd2xx.h"

namespace {

using korvel::soak::Excusals;
using korvel::soak::program_faults;
using korvel::soak::unit_differences;

class SoakChecks : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        load_main();
        // The start-up tick opens the unit and sends the main panel's setup.
        korvel::app::CBTimer(korvel::app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0,
                             0);
    }
    // A pin of an expander pulled the other way behind the program's back.
    static void flip_pin(int chip, int pin) {
        board().expander(chip).control ^= static_cast<std::uint16_t>(1u << pin);
    }
};

TEST_F(SoakChecks, AUnitSetFromTheControlsAgreesWithThem) {
    EXPECT_TRUE(unit_differences({}).empty());
    EXPECT_TRUE(program_faults().empty());
}

TEST_F(SoakChecks, EveryComparedFieldIsNamedWhenTheUnitDiffers) {
    flip_pin(2, 0);  // divide-ratio byte
    flip_pin(2, 8);  // FPGA reset
    flip_pin(3, 0);  // clock output 1
    flip_pin(7, 1);  // pattern code
    flip_pin(7, 8);  // calibration mode
    board().dac(0).channels[2].code ^= 1;
    board().dac(0).channels[3].code ^= 1;
    const auto d = unit_differences({});
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[0], "divide-ratio byte (expander 2 IO0-IO7): unit 0xFF, controls 0xFE");
    EXPECT_NE(d[2].find("clock output 1"), std::string::npos);
    EXPECT_NE(d[6].find("amplitude DAC code"), std::string::npos);

    // The Debug panel's raw controls may own every field but the clock output and amplitude.
    const Excusals all{true, true, true, true, true};
    EXPECT_EQ(unit_differences(all).size(), 2u);
}

TEST_F(SoakChecks, TheErrorInjectionPinIsLeftToWhicheverControlSetItLast) {
    flip_pin(3, 1);
    EXPECT_TRUE(unit_differences({}).empty());
}

TEST_F(SoakChecks, AManualRatioIsComparedWithTheSettingsAndNoModeComparesNothing) {
    SetCtrlVal(korvel::app::main_panel, PANELMAIN_PATTERN_BOX, 0);
    korvel::app::settings.Manual = 1;
    korvel::app::settings.DivideBy = 256;  // sent as 0x00
    EXPECT_EQ(unit_differences({}).at(0),
              "divide-ratio byte (expander 2 IO0-IO7): unit 0xFE, controls 0x00");
    korvel::app::settings.Manual = 0;
    EXPECT_TRUE(unit_differences({}).empty());
}

TEST_F(SoakChecks, AClosedHandlePassedAgainIsAFault) {
    const FT_HANDLE h = korvel::usb_handle;
    ASSERT_EQ(FT_Close(h), FT_OK);
    DWORD written = 0;
    UCHAR byte = 0;
    FT_Write(h, &byte, 1, &written);
    const auto faults = program_faults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0], "1 driver call(s) with a closed or unknown handle");
}

TEST_F(SoakChecks, ASettingsFileMustReadAsTwelveSettingsUnderItsHeader) {
    korvel::app::SaveSettings("settings.cfg");
    EXPECT_TRUE(program_faults().empty());
    std::ofstream("settings.cfg") << "ZEVA_KORVELConfigData\n8010 0\nPattern 1\n";
    EXPECT_EQ(program_faults().at(0), "settings.cfg does not parse (2 of 12 settings read)");
    std::ofstream("settings.cfg") << korvel::testing::file_text("/dev/null") << "garbage\n";
    EXPECT_EQ(program_faults().size(), 1u);
}

}  // namespace

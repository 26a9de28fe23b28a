// EEPROM > Write and EEPROM > Read against the simulated FT232R's user area: the round trip, what
// a read applies to the unit, closed panels, a blank area, every failure, and an unplug at each
// EEPROM call.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/analog_controls.h"
#include "app/eeprom_record.h"
#include "app/supervision.h"
#include "app/unit_controls.h"
#include "app_fixture.h"
#include "app_unplug.h"
#include "unit_story.h"

using namespace korvel::app;
namespace platform = korvel::platform;
using korvel::sim::Call;
using korvel::testing::panel_unplug_sweep;
using korvel::testing::run_unplug_sweep;

namespace {

class EepromTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        load_main();
        tick();
        ASSERT_EQ(unit_present, 1);
        auto& area = board().user_area();
        for (std::size_t i = 0; i < area.size(); ++i) area[i] = static_cast<std::uint8_t>(0x40 + i);
        before_ = area;
    }

    static void tick() { CBTimer(main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0); }
    static void write_menu() { platform::choose_menu_item(main_panel, MENUBAR_EEPROM_WriteEEPROM); }
    static void read_menu() { platform::choose_menu_item(main_panel, MENUBAR_EEPROM_ReadEEPROM); }
    static void open_more() { platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES); }
    static void open_debug() { platform::operate_ctrl(main_panel, PANELMAIN_DEBUG); }

    static std::vector<std::uint8_t> record_in_unit() {
        const auto& area = board().user_area();
        return {area.begin(), area.begin() + EEPROM_RECORD_SIZE};
    }
    static void put_record_in_unit(const EepromMirror& m) {
        std::array<std::uint8_t, EEPROM_RECORD_SIZE> bytes{};
        encode_record(m, bytes);
        std::copy(bytes.begin(), bytes.end(), board().user_area().begin());
    }
    static double number(int panel, int control) {
        double v = -1.0;
        GetCtrlVal(panel, control, &v);
        return v;
    }
    static int dac_code(int channel) { return board().dac(channel / 4).channels[channel % 4].code; }
    static int code_for(double volts) {
        return static_cast<int>(std::trunc(static_cast<float>(volts) / 3.3 * 4096));
    }
    std::vector<platform::RecordedPopup> popups() const { return host().popups; }
    static std::vector<platform::RecordedPopup> error(const char* text) {
        return {{"Error", text}};
    }

    // Puts recognisable values into every control of the three panels.
    static void set_controls() {
        SetCtrlVal(main_panel, PANELMAIN_DATA_SELECT, 4);
        SetCtrlVal(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 1);
        SetCtrlVal(main_panel, PANELMAIN_MUX_AMP, 449.99);
        SetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, 50.07);
        SetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, 0);
        SetCtrlVal(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1);
        if (more_panel_open) {
            SetCtrlVal(more_panel, PANELMORE_MANUAL_CTRL_BOX, 1);
            SetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, 256);
            SetCtrlVal(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, 1);
            SetCtrlVal(more_panel, PANELMORE_INV_DATA_BUTTON, 1);
        }
        if (debug_panel_open) {
            for (int c : {PANELDEBUG_GP_0, PANELDEBUG_GP_2, PANELDEBUG_GP_9, PANELDEBUG_USE_FREQ})
                SetCtrlVal(debug_panel, c, 1);
            SetCtrlVal(debug_panel, PANELDEBUG_SCRAMBLE_MODE, 2);
            SetCtrlVal(debug_panel, PANELDEBUG_RINGSLIDE_GP_MPH, 3);
            SetCtrlVal(debug_panel, PANELDEBUG_FREQUENCY_SCANNED, 12300);
        }
    }

    std::vector<std::uint8_t> before_;
};

TEST_F(EepromTest, WriteStoresTheThreePanelsAndKeepsTheRestOfTheUserArea) {
    open_more();
    open_debug();
    set_controls();
    write_menu();
    EXPECT_TRUE(popups().empty());
    EXPECT_EQ(ft_status, 0u);
    const std::vector<std::uint8_t> expected = {
        4, 1, 0xC1, 0x01, 0x8E, 0x13, 0, 1,  // 449 mV, 5006 (50.07 %)
        1, 0, 1,    1,                       // ratio 256 stored as 0
        1, 0, 1,    0,    2,    0,    0, 1, 3, 0, 0, 0, 0, 0, 0, 1, 0x0C, 0x30};
    EXPECT_EQ(record_in_unit(), expected);
    const auto& area = board().user_area();
    EXPECT_EQ(std::vector(area.begin() + EEPROM_RECORD_SIZE, area.end()),
              std::vector(before_.begin() + EEPROM_RECORD_SIZE, before_.end()));
    // One read of the whole area, one write of the whole area.
    EXPECT_EQ(korvel::sim::usb().calls(Call::EeUaWrite), 1u);
}

TEST_F(EepromTest, ReadShowsTheRecordAndAppliesTheMainSettingsToTheUnit) {
    open_more();
    open_debug();
    set_controls();
    write_menu();
    // Everything changed back, then read.
    SetCtrlVal(main_panel, PANELMAIN_DATA_SELECT, 12);
    SetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, 44.0);
    SetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, 3);
    SetCtrlVal(debug_panel, PANELDEBUG_FREQUENCY_SCANNED, 0);
    SetCtrlVal(debug_panel, PANELDEBUG_SCRAMBLE_MODE, 0);
    settings.DivideBy = 3;
    settings.Polarity = 0;
    const int old_scramble = scramble_mode;
    read_menu();
    EXPECT_TRUE(popups().empty());

    EXPECT_EQ(number(main_panel, PANELMAIN_DATA_SELECT), 4);
    EXPECT_FLOAT_EQ(static_cast<float>(number(main_panel, PANELMAIN_DUTY_CYCLE)), 50.06f);
    EXPECT_EQ(number(main_panel, PANELMAIN_MUX_AMP), 449.0);
    EXPECT_EQ(number(debug_panel, PANELDEBUG_FREQUENCY_SCANNED), 12300);
    EXPECT_EQ(number(debug_panel, PANELDEBUG_SCRAMBLE_MODE), 2);
    EXPECT_EQ(scramble_mode, old_scramble);  // until the ring is operated
    // Eye diagram and manual both stored: only the eye diagram is applied, both still shown.
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFC);
    EXPECT_EQ(settings.Eye, 1);
    EXPECT_EQ(number(more_panel, PANELMORE_MANUAL_CTRL_BOX), 1);
    EXPECT_EQ(number(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL), 256);
    // Pattern, levels and polarity reached the unit; the settings carry polarity and ratio.
    EXPECT_EQ(board().expander(7).pins() & 0x0F, 4);
    EXPECT_EQ(dac_code(2), code_for(duty_volts_from_percent(50.06f)));
    EXPECT_EQ(dac_code(3), code_for(amplitude_volts_from_mv(449.0)));
    EXPECT_EQ(board().expander(3).pins() & 0x02, 0x02);
    EXPECT_EQ(settings.Polarity, 1);
    EXPECT_EQ(settings.DivideBy, 256);
}

TEST_F(EepromTest, AManualRecordSendsItsRatioThroughTheMoreFeaturesPanel) {
    open_more();
    EepromMirror m{};
    m.data_select = 1;
    m.manual_ctrl_box = 1;
    m.divide_ratio = 77;
    m.duty_cycle = 50.0f;
    put_record_in_unit(m);
    board().clear_bus_log();
    read_menu();
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 77);
    // Sent once: one verified write (a read, the byte, the read-back), no second look.
    const auto story = korvel::testing::unit_story();
    EXPECT_EQ(std::count(story.begin(), story.end(), "E2 read"), 2);
    EXPECT_EQ(settings.Manual, 1);
    EXPECT_EQ(settings.DivideBy, 77);
}

TEST_F(EepromTest, ClosedPanelsKeepTheirMirrorValuesOnWriteAndAreLeftAloneOnRead) {
    // A record read earlier fills the mirror; the panels are closed afterwards.
    EepromMirror stored{};
    stored.manual_ctrl_box = 1;
    stored.divide_ratio = 9;
    stored.inverted_data = 1;
    stored.scramble_mode = 2;
    stored.frequency_scanned = 4400;
    stored.duty_cycle = 50.0f;
    put_record_in_unit(stored);
    read_menu();
    set_controls();  // main panel only: the others are closed
    write_menu();
    const auto bytes = record_in_unit();
    EXPECT_EQ(bytes[0], 4);
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(bytes[9], 9);
    EXPECT_EQ(bytes[11], 1);
    EXPECT_EQ(bytes[16], 2);
    EXPECT_EQ(bytes[28] | bytes[29] << 8, 4400);

    // Manual mode stored, More Features closed: no divider call at all.
    const int divider_byte = board().expander(2).pins() & 0xFF;
    stored.divide_ratio = 33;
    put_record_in_unit(stored);
    read_menu();
    EXPECT_TRUE(popups().empty());
    EXPECT_EQ(board().expander(2).pins() & 0xFF, divider_byte);
    // The settings still take the record's polarity and ratio, and the unit its polarity.
    EXPECT_EQ(settings.DivideBy, 33);
    EXPECT_EQ(settings.Polarity, 1);
    EXPECT_EQ(board().expander(3).pins() & 0x02, 0x02);
    // Opened now, More Features shows the settings set.
    open_more();
    EXPECT_EQ(number(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL), 33);
}

TEST_F(EepromTest, ABlankAreaIsReadWithoutComplaintAndClampedByTheControls) {
    open_more();
    open_debug();
    std::fill(board().user_area().begin(), board().user_area().end(), 0xFF);
    const double pattern = number(main_panel, PANELMAIN_DATA_SELECT);
    read_menu();
    EXPECT_TRUE(popups().empty());
    EXPECT_EQ(number(main_panel, PANELMAIN_DUTY_CYCLE), 56.0);
    EXPECT_EQ(number(main_panel, PANELMAIN_MUX_AMP), 600.0);
    EXPECT_EQ(number(main_panel, PANELMAIN_DATA_SELECT), pattern);  // 255 is no pattern
    EXPECT_EQ(number(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL), 255);
    EXPECT_EQ(number(debug_panel, PANELDEBUG_FREQUENCY_SCANNED), 26000);
    EXPECT_EQ(number(debug_panel, PANELDEBUG_SCRAMBLE_MODE), 1);
    // The unit gets the clamped levels: 56 % is the DAC's top, 600 mV is 2.6 V.
    EXPECT_EQ(dac_code(2), 4095);
    EXPECT_EQ(dac_code(3), code_for(2.6));
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFC);
    EXPECT_EQ(settings.Polarity, 1);
    EXPECT_EQ(settings.DivideBy, 255);
}

TEST_F(EepromTest, FailuresAreShownAndChangeNothing) {
    open_more();
    set_controls();
    settings.Polarity = 0;
    settings.DivideBy = 5;
    struct Case {
        Call call;
        korvel::sim::Status status;
        const char* message;
    };
    const Case cases[] = {
        // Not I/O errors: those mean the unit is gone, and the link gives its handle up.
        {Call::EeUaSize, FT_EEPROM_READ_FAILED, "Cannot read EEPROM!"},
        {Call::EeUaRead, FT_EEPROM_READ_FAILED, "FT_EE_UARead FAILED!"},
        {Call::EeUaWrite, korvel::sim::kEepromWriteFailed, "FT_EE_UAWrite FAILED!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        host().popups.clear();
        korvel::sim::usb().fail_call(c.call, 1, c.status);
        write_menu();
        EXPECT_EQ(popups(), error(c.message));
        EXPECT_EQ(ft_status, c.status);
        EXPECT_EQ(board().user_area(), before_);
        korvel::sim::usb().clear_faults();
    }
    for (const Case& c : {cases[0], cases[1]}) {
        SCOPED_TRACE(c.message);
        host().popups.clear();
        korvel::sim::usb().fail_call(c.call, 1, c.status);
        read_menu();
        EXPECT_EQ(popups(), error(c.message));
        EXPECT_EQ(number(main_panel, PANELMAIN_DATA_SELECT), 4);
        EXPECT_EQ(number(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL), 256);
        EXPECT_EQ(settings.Polarity, 0);
        EXPECT_EQ(settings.DivideBy, 5);
        korvel::sim::usb().clear_faults();
    }
}

TEST_F(EepromTest, AClosedLinkIsNeverHandedToTheDriver) {
    korvel::close();
    korvel::sim::usb().reset_counters();
    write_menu();
    read_menu();
    EXPECT_EQ(popups().size(), 2u);
    EXPECT_EQ(popups()[0], error("Cannot read EEPROM!")[0]);
    EXPECT_EQ(ft_status, static_cast<FT_STATUS>(FT_INVALID_HANDLE));
    EXPECT_EQ(korvel::sim::usb().calls(Call::EeUaSize), 0u);
}

// EEPROM > Write unplugged before each of its calls: the write is the last one, so the old record
// always stands and the failure is shown; plugged back in, the next ticks reopen the unit and a
// second write goes through.
TEST_F(EepromTest, AnUnplugAtAnyCallOfAWriteKeepsTheOldRecordAndShowsTheFailure) {
    EepromMirror old_record{};
    old_record.data_select = 9;
    old_record.duty_cycle = 47.5f;
    std::array<std::uint8_t, EEPROM_RECORD_SIZE> old_bytes{};
    encode_record(old_record, old_bytes);
    const auto result = run_unplug_sweep(panel_unplug_sweep(
        [&] {
            SetUp();
            set_controls();
            put_record_in_unit(old_record);
        },
        [] { write_menu(); },
        [&](std::uint64_t k) {
            EXPECT_TRUE(std::ranges::equal(record_in_unit(), old_bytes));
            const char* failure[] = {"Cannot read EEPROM!", "FT_EE_UARead FAILED!",
                                     "FT_EE_UAWrite FAILED!"};
            EXPECT_EQ(popups(), error(failure[k - 1]));
        },
        [&](std::uint64_t) {
            host().popups.clear();
            write_menu();
            EXPECT_TRUE(popups().empty());
            EXPECT_EQ(record_in_unit()[0], 4);
        }));
    EXPECT_EQ(result.calls, 3u);  // size, read, write
    EXPECT_EQ(result.cases, 3u);
}

// EEPROM > Read unplugged before each of its calls, the re-apply to the unit included: the
// controls show the record, or are untouched when the area could not be read; plugged back in,
// the unit gets what they show.
TEST_F(EepromTest, AnUnplugAtAnyCallOfAReadLeavesTheUnitInTheSetupShown) {
    EepromMirror stored{};
    stored.data_select = 6;
    stored.eye_diagram_box = 1;
    stored.duty_cycle = 52.5f;
    stored.amplitude_mv = 300.0f;
    auto sweep = panel_unplug_sweep(
        [&] {
            SetUp();
            put_record_in_unit(stored);
        },
        [] { read_menu(); },
        [&](std::uint64_t k) {
            const double shown = number(main_panel, PANELMAIN_DATA_SELECT);
            if (k <= 2) {
                EXPECT_EQ(popups().size(), 1u);
                EXPECT_NE(shown, 6);
            } else {
                EXPECT_TRUE(popups().empty());
                EXPECT_EQ(shown, 6);
            }
        });
    // Past the EEPROM calls and the first expander writes the re-apply repeats itself: every 8th
    // call from there keeps the sweep short under the sanitizers.
    sweep.every_up_to = 200;
    sweep.stride = 8;
    const auto result = run_unplug_sweep(sweep);
    EXPECT_GT(result.calls, 1000u);
}

TEST_F(EepromTest, ReadAppliesTheRecordsClockOutputSoTheButtonAndSettingsTellTheTruth) {
    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 1, EVENT_COMMIT);
    write_menu();
    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 0, EVENT_COMMIT);
    ASSERT_EQ(board().expander(3).pins() & 0x01, 0x01);  // active low: off
    read_menu();
    EXPECT_EQ(number(main_panel, PANELMAIN_CLOCKOUT1_BUTTON), 1);
    EXPECT_EQ(board().expander(3).pins() & 0x01, 0x00);
    EXPECT_EQ(settings.ClockOutput1, 1);
}

TEST_F(EepromTest, AManualMarkWithMoreFeaturesClosedLeavesTheTriggerToTheMainBoxes) {
    platform::operate_ctrl(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1, EVENT_COMMIT);
    ASSERT_EQ(board().expander(2).pins() & 0xFF, 0xFC);
    EepromMirror m{};
    m.data_select = 2;
    m.pattern_box = 1;
    m.manual_ctrl_box = 1;
    m.divide_ratio = 9;
    put_record_in_unit(m);
    read_menu();
    EXPECT_EQ(number(main_panel, PANELMAIN_PATTERN_BOX), 1);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFE);
    EXPECT_EQ(settings.Pattern, 1);

    // With neither main box marked there is no trigger to show, and none is sent.
    m.pattern_box = 0;
    put_record_in_unit(m);
    read_menu();
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 0xFE);
}

TEST_F(EepromTest, InManualModeTheRecordsRatioReachesTheUnitWithMoreFeaturesClosed) {
    settings.Manual = 1;
    settings.DivideBy = 29;
    SetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, 0);
    send_manual_divide_ratio();
    ASSERT_EQ(board().expander(2).pins() & 0xFF, 29);
    EepromMirror m{};
    m.data_select = 2;
    m.manual_ctrl_box = 1;
    m.divide_ratio = 40;
    put_record_in_unit(m);
    read_menu();
    EXPECT_EQ(settings.DivideBy, 40);
    EXPECT_EQ(board().expander(2).pins() & 0xFF, 40);
}

}  // namespace

// The once-a-second supervision: connection notice, the reconnect sequence and its traffic, the
// deferred DAC store and the setup indicator.
#include <string>
#include <vector>

#include "app/analog_controls.h"
#include "app/supervision.h"
#include "app_unplug.h"
#include "unit_story.h"

using namespace korvel::app;
using korvel::testing::dac_code;
using korvel::testing::dac_stored_code;
using korvel::testing::expander_pins;
using korvel::testing::panel_unplug_sweep;
using korvel::testing::run_unplug_sweep;
using korvel::testing::unit_story;
namespace platform = korvel::platform;
using Call = korvel::sim::Call;
using Story = std::vector<std::string>;

namespace {

class Supervision : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        load_main();
    }
    static void tick(int event = EVENT_TIMER_TICK) {
        CBTimer(main_panel, PANELMAIN_TIMER, event, nullptr, 0, 0);
    }
    static void forget() {
        board().clear_bus_log();
        korvel::sim::usb().reset_counters();
    }
    static std::string notice() {
        std::string text;
        GetCtrlVal(main_panel, PANELMAIN_NOTIFY_USER, &text);
        return text;
    }
    static int notice_colour() {
        int colour = 0;
        GetCtrlAttribute(main_panel, PANELMAIN_NOTIFY_USER, ATTR_TEXT_COLOR, &colour);
        return colour;
    }
    static bool setup_indicator_dimmed() {
        int dimmed = 0;
        GetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, &dimmed);
        return dimmed != 0;
    }
    static std::vector<std::string> stored_writes() {
        std::vector<std::string> out;
        for (const auto& line : unit_story())
            if (line.find(" stored") != std::string::npos) out.push_back(line);
        return out;
    }
};

// The traffic of a reconnect with the resource defaults on a fresh unit: duty cycle 50 % and
// amplitude 450 mV, the PRBS7 trigger (0xFE on expander 2), PRBS9 (code 2 on expander 7), the
// reset and calibration lines low, and error injection off (expander 3 IO1).
const Story kDefaultReconnect = {
    "DAC2=3475", "DAC3=2978",                         // levels
    "E2 read",   "E2.F0=FE",  "E2.F2=FE", "E2 read",  // trigger: verified write
    "E7 read",   "E7.F0=02",  "E7.F2=02", "E7 read",  // pattern: verified write
    "E2.F1=00",  "E2.F3=00",                          // FPGA reset line low
    "E7.F1=00",  "E7.F3=00",                          // calibration mode low
    "E3.F0=FD",  "E3.F2=FD",                          // error injection off
    "E3.F0=FD",  "E3.F2=FD",                          // clock output 1 off, as its button shows
};

}  // namespace

TEST_F(Supervision, AUnitPresentAtTheFirstTickIsOpenedAndGetsTheResourceDefaults) {
    tick();
    EXPECT_EQ(notice(), "USB CONNECTED");
    EXPECT_EQ(notice_colour(), VAL_DK_GREEN);
    EXPECT_EQ(unit_story(), kDefaultReconnect);

    std::string serial;
    GetCtrlVal(main_panel, PANELMAIN_DEVICE_SN, &serial);
    EXPECT_EQ(serial, "1042");
    EXPECT_EQ(unit_serial_number, 1042);
    EXPECT_FLOAT_EQ(settings.DutyCycleControl, 2.8f);
    EXPECT_FLOAT_EQ(settings.DataAmplitudeControl, 2.4f);
    EXPECT_EQ(settings.Pattern, 1);
    EXPECT_EQ(settings.DataSelect, 2);
    // Armed to 10 by the reconnect and counted down by the same tick; the reconnect's change
    // mark dims the indicator at once.
    EXPECT_EQ(dac_store_countdown, 9);
    EXPECT_EQ(settings_changed, 2);
    EXPECT_TRUE(setup_indicator_dimmed());
}

TEST_F(Supervision, AbsentUnitIsReportedEveryTickAndGetsTheControlsWhenPluggedIn) {
    board().detach();
    for (int i = 0; i < 3; ++i) {
        SetCtrlVal(main_panel, PANELMAIN_NOTIFY_USER, "stale");
        tick();
        EXPECT_EQ(notice(), "USB NOT CONNECTED");
        EXPECT_EQ(notice_colour(), VAL_DK_RED);
    }
    EXPECT_EQ(korvel::sim::usb().calls(Call::Open), 0u);

    // The panel stays usable meanwhile: the trigger mode and the levels follow the operator; a
    // pattern choice waits for the unit (the ring keeps it, the settings set does not).
    platform::operate_ctrl(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1, EVENT_COMMIT);
    platform::operate_ctrl(main_panel, PANELMAIN_DUTY_CYCLE, 53.0, EVENT_VAL_CHANGED);
    platform::operate_ctrl(main_panel, PANELMAIN_MUX_AMP, 300.0, EVENT_VAL_CHANGED);
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 9, EVENT_COMMIT);
    EXPECT_EQ(settings.Eye, 1);
    EXPECT_EQ(settings.DataSelect, 0);
    EXPECT_TRUE(board().bus_log().empty());

    board().attach();
    tick();
    EXPECT_EQ(notice(), "USB CONNECTED");
    EXPECT_EQ(dac_code(2), 3785);              // 53 % = 3.05 V
    EXPECT_EQ(dac_code(3), 2730);              // 300 mV = 2.2 V
    EXPECT_EQ(expander_pins(2) & 0xFF, 0xFC);  // eye diagram
    EXPECT_EQ(expander_pins(7) & 0xFF, 9);     // PRBS31
    EXPECT_EQ(settings.DataSelect, 9);
}

TEST_F(Supervision, AFailedOpenIsRetriedAtEveryTick) {
    for (int failures = 1; failures <= 3; ++failures) {
        korvel::sim::usb().fail_call(Call::Open, 1, korvel::sim::kDeviceNotOpened);
        tick();
        EXPECT_EQ(notice(), "USB NOT CONNECTED");
        EXPECT_EQ(notice_colour(), VAL_DK_RED);
        EXPECT_EQ(last_unit_present, 0);
        EXPECT_EQ(korvel::sim::usb().calls(Call::Open), static_cast<unsigned>(failures));
    }
    tick();
    EXPECT_EQ(notice(), "USB CONNECTED");
    EXPECT_EQ(korvel::sim::usb().calls(Call::Open), 4u);
}

TEST_F(Supervision, UnplugKeepsTheHandleAndReplugResendsTheWholeSetup) {
    tick();
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 4, EVENT_COMMIT);
    board().detach();
    forget();
    tick();
    EXPECT_EQ(notice(), "USB NOT CONNECTED");
    EXPECT_EQ(notice_colour(), VAL_DK_RED);
    EXPECT_EQ(korvel::sim::usb().calls(Call::Close), 0u);
    tick();
    EXPECT_EQ(notice(), "USB NOT CONNECTED");

    board().attach();
    forget();
    tick();
    EXPECT_EQ(notice(), "USB CONNECTED");
    EXPECT_EQ(korvel::sim::usb().calls(Call::Open), 1u);
    // The expanders powered up from their EEPROM copies (which the writes also set), so the
    // verified writes find the trigger and pattern already there and skip them.
    const Story expected = {"DAC2=3475", "DAC3=2978", "E2 read",  "E7 read",
                            "E2.F1=00",  "E2.F3=00",  "E7.F1=00", "E7.F3=00",
                            "E3.F0=FD",  "E3.F2=FD",  "E3.F0=FD", "E3.F2=FD"};
    EXPECT_EQ(unit_story(), expected);
    EXPECT_EQ(expander_pins(7) & 0xFF, 4);
    EXPECT_EQ(korvel::sim::usb().invalid_handle_calls(), 0u);
}

TEST_F(Supervision, AUnitUnpluggedAndBackBetweenTwoTicksGetsTheSetupAgain) {
    tick();
    platform::operate_ctrl(main_panel, PANELMAIN_DUTY_CYCLE, 53.0, EVENT_VAL_CHANGED);
    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 1, EVENT_COMMIT);
    ASSERT_EQ(dac_code(2), 3785);
    // A power cycle the ticks never see: the DAC comes back with what its EEPROM holds.
    board().detach();
    board().attach();
    ASSERT_NE(dac_code(2), 3785);
    tick();
    EXPECT_EQ(notice(), "USB CONNECTED");
    EXPECT_EQ(korvel::sim::usb().calls(Call::Open), 2u);
    EXPECT_EQ(dac_code(2), 3785);
    EXPECT_EQ(expander_pins(3) & 1, 0);
    EXPECT_EQ(korvel::sim::usb().invalid_handle_calls(), 0u);
    // While nothing happens, each tick costs one pin read and opens nothing.
    const auto reads = korvel::sim::usb().calls(Call::GetBitMode);
    tick();
    EXPECT_EQ(korvel::sim::usb().calls(Call::GetBitMode), reads + 1);
    EXPECT_EQ(korvel::sim::usb().calls(Call::Open), 2u);
}

TEST_F(Supervision, AUnitReopenedByAVerifiedWriteGetsTheSetupAtTheNextTick) {
    tick();
    platform::operate_ctrl(main_panel, PANELMAIN_MUX_AMP, 300.0, EVENT_VAL_CHANGED);
    board().detach();
    board().attach();
    // The pattern's verified write finds the handle dead, reopens the unit and writes the code.
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 9, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(7) & 0x0F, 9);
    EXPECT_EQ(korvel::sim::usb().calls(Call::Open), 2u);
    ASSERT_NE(dac_code(3), 2730);
    tick();
    EXPECT_EQ(dac_code(3), 2730);  // 300 mV = 2.2 V
    EXPECT_EQ(expander_pins(7) & 0x0F, 9);
    EXPECT_EQ(notice(), "USB CONNECTED");
    EXPECT_EQ(korvel::sim::usb().invalid_handle_calls(), 0u);
}

// A reopen after a read-back that disagreed sends the setup again once, only to a unit that lost
// it, and never re-arms the levels' store or dims the indicator for a unit that kept them.
TEST_F(Supervision, AReopenResendsTheSetupOnceAndOnlyToAUnitThatLostIt) {
    for (const bool sda_reads_high : {false, true}) {  // one read-back spoiled; none ever agrees
        SetUp();
        auto& usb = korvel::sim::usb();
        for (int i = 0; i < 11; ++i) tick();  // connected, the reconnect's store done
        SetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 0);
        settings_changed = 0;  // as a restore leaves it
        forget();
        korvel::DS4520_IO_read(7);
        const auto read = usb.calls(Call::GetBitMode);
        platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 9, EVENT_COMMIT);
        const auto write = usb.calls(Call::GetBitMode) - read;  // read, write, read back
        for (auto n = write - read + 1; n <= write && !sda_reads_high; ++n)
            usb.fail_call(Call::GetBitMode, n, korvel::sim::kInvalidArgs);
        usb.force_pins_read_high(sda_reads_high ? 0x02 : 0x00);
        platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 3, EVENT_COMMIT);
        ASSERT_EQ(usb.calls(Call::Open), 1u);  // the reopen
        forget();
        tick();
        EXPECT_EQ(unit_story().empty(), !sda_reads_high);  // the setup once more, or nothing
        forget();
        for (int i = 0; i < 10; ++i) tick();
        EXPECT_EQ(usb.calls(Call::Open), 0u);
        EXPECT_EQ(stored_writes().size(), sda_reads_high ? 2u : 0u);  // the re-armed store
        EXPECT_FALSE(setup_indicator_dimmed());
        usb.clear_faults();
    }
}

TEST_F(Supervision, ClockOutputSwitchedWhileTheUnitIsAwayReachesItWhenItReturns) {
    tick();
    board().detach();
    tick();
    // Switched on while the unit is away: the write is lost, the button shows on.
    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 1, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(3) & 1, 1);
    board().attach();
    tick();
    EXPECT_EQ(expander_pins(3) & 1, 0);  // active low: on
    EXPECT_EQ(settings.ClockOutput1, 1);

    // And off again the same way.
    board().detach();
    tick();
    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 0, EVENT_COMMIT);
    board().attach();
    tick();
    EXPECT_EQ(expander_pins(3) & 1, 1);
}

TEST_F(Supervision, TheAlternateUnitGetsItsTriggerByteBitReversed) {
    board().description = "ZEVA~KORVEL";
    tick();
    EXPECT_EQ(expander_pins(2) & 0xFF, 0x7F);  // 0xFE reversed
    platform::operate_ctrl(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0x3F);  // 0xFC reversed
}

TEST_F(Supervision, InManualModeAReconnectSendsTheManualRatio) {
    settings.Manual = 1;
    settings.DivideBy = 12;
    SetCtrlVal(main_panel, PANELMAIN_PATTERN_BOX, 0);
    tick();
    EXPECT_EQ(expander_pins(2) & 0xFF, 12);
}

TEST_F(Supervision, LevelsAreStoredOnceTenTicksAfterTheLastChange) {
    tick();  // the reconnect arms the store: it falls due nine ticks later
    forget();
    for (int i = 1; i <= 8; ++i) tick();
    EXPECT_TRUE(stored_writes().empty());
    tick();
    EXPECT_EQ(stored_writes(), (Story{"DAC3=2978 stored", "DAC2=3475 stored"}));
    EXPECT_EQ(dac_stored_code(3), 2978);
    EXPECT_EQ(dac_stored_code(2), 3475);
    forget();
    for (int i = 0; i < 20; ++i) tick();
    EXPECT_TRUE(stored_writes().empty());

    // A slide moved between ticks is stored at the tenth tick after it; a second movement
    // before then starts the count again.
    platform::operate_ctrl(main_panel, PANELMAIN_MUX_AMP, 600.0, EVENT_VAL_CHANGED);
    for (int i = 1; i <= 5; ++i) tick();
    platform::operate_ctrl(main_panel, PANELMAIN_DUTY_CYCLE, 56.0, EVENT_VAL_CHANGED);
    forget();
    for (int i = 1; i <= 9; ++i) tick();
    EXPECT_TRUE(stored_writes().empty());
    tick();
    EXPECT_EQ(stored_writes(), (Story{"DAC3=3227 stored", "DAC2=4095 stored"}));
}

TEST_F(Supervision, AStoreThatFallsDueWhileTheUnitIsAwayIsDropped) {
    tick();
    for (int i = 1; i <= 4; ++i) tick();
    board().detach();
    for (int i = 1; i <= 5; ++i) tick();
    EXPECT_EQ(dac_store_countdown, 0);
    board().attach();
    forget();
    tick();  // the reconnect arms a new store of its own
    for (int i = 1; i <= 8; ++i) tick();
    EXPECT_TRUE(stored_writes().empty());
    tick();
    EXPECT_EQ(stored_writes().size(), 2u);
}

TEST_F(Supervision, TheFirstChangeAfterARestoreDimsTheSetupIndicator) {
    tick();
    settings_changed = 0;  // as a restore leaves it
    SetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 0);
    tick();
    EXPECT_FALSE(setup_indicator_dimmed());

    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 1, EVENT_COMMIT);
    EXPECT_EQ(settings_changed, 1);
    tick();
    EXPECT_TRUE(setup_indicator_dimmed());
    EXPECT_EQ(settings_changed, 2);
    platform::operate_ctrl(main_panel, PANELMAIN_PATTERN_BOX, 1, EVENT_COMMIT);
    EXPECT_EQ(settings_changed, 3);
    SetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 0);
    tick();
    EXPECT_EQ(settings_changed, 3);
    EXPECT_FALSE(setup_indicator_dimmed());  // 3 counts as already dimmed
}

TEST_F(Supervision, EveryEventIsATickAndTheMainPanelTimerTicksEachSecond) {
    for (int event : {EVENT_COMMIT, EVENT_NONE, 999}) {
        SetUp();
        tick(event);
        EXPECT_EQ(notice(), "USB CONNECTED");
    }
    SetUp();
    EXPECT_EQ(platform::run_timers_for(1.0), 1);
    EXPECT_EQ(notice(), "USB CONNECTED");
    EXPECT_EQ(dac_store_countdown, 9);
    platform::run_timers_for(1.0);
    EXPECT_EQ(dac_store_countdown, 8);
}

TEST_F(Supervision, ASerialThatIsNotANumberLeavesTheSerialNumberAlone) {
    unit_serial_number = 77;
    board().serial = "KV00A";
    tick();
    std::string serial;
    GetCtrlVal(main_panel, PANELMAIN_DEVICE_SN, &serial);
    EXPECT_EQ(serial, "KV00A");
    EXPECT_EQ(unit_serial_number, 77);
    board().detach();
    tick();
    board().serial = "99999999999999";  // beyond an int
    board().attach();
    tick();
    EXPECT_EQ(unit_serial_number, 77);
}

// The unit vanishes just before each driver call of one reconnect in turn (every call).
TEST_F(Supervision, UnpluggingAtEveryDriverCallOfAReconnectRecovers) {
    const auto result = run_unplug_sweep(panel_unplug_sweep(
        [this] {
            SetUp();
            platform::operate_ctrl(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1, EVENT_COMMIT);
            platform::operate_ctrl(main_panel, PANELMAIN_DUTY_CYCLE, 47.0, EVENT_VAL_CHANGED);
            SetCtrlVal(main_panel, PANELMAIN_DATA_SELECT, 4);
        },
        [] { tick(); },  // the unit is present at the first tick: it is opened and set up
        {},
        [](std::uint64_t) {
            EXPECT_EQ(expander_pins(2) & 0xFF, 0xFC);
            EXPECT_EQ(expander_pins(7) & 0xFF, 4);
            EXPECT_EQ(dac_code(2), 3165);  // 47 % = 2.55 V
            EXPECT_EQ(dac_code(3), 2978);
        }));
    EXPECT_GT(result.calls, 1000u);
    EXPECT_EQ(result.cases, result.calls);
}

// The deferred store of both levels, unplugged before each of its calls: the store is lost with
// the unit (it is not repeated), the reconnect arms a new one, and that one stores the levels.
TEST_F(Supervision, UnpluggingAtEveryDriverCallOfTheDeferredDacStoreRecovers) {
    const auto result = run_unplug_sweep(panel_unplug_sweep(
        [this] {
            SetUp();
            tick();
            platform::operate_ctrl(main_panel, PANELMAIN_MUX_AMP, 300.0, EVENT_VAL_CHANGED);
            platform::operate_ctrl(main_panel, PANELMAIN_DUTY_CYCLE, 53.0, EVENT_VAL_CHANGED);
            for (int i = 1; i <= 9; ++i) tick();
            ASSERT_EQ(dac_store_countdown, 1);
        },
        [] { tick(); },  // the tenth tick: both levels written in stored mode
        {},
        [](std::uint64_t) {
            EXPECT_EQ(dac_store_countdown, 8);  // armed by the reconnect
            for (int i = 1; i <= 8; ++i) tick();
            EXPECT_EQ(dac_stored_code(3), 2730);  // 300 mV = 2.2 V
            EXPECT_EQ(dac_stored_code(2), 3785);  // 53 % = 3.05 V
        }));
    EXPECT_EQ(result.cases, result.calls);
}

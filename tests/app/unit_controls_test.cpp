// The unit's digital settings from the front panel: trigger mode and divide ratio, pattern
// select, clock output, error injection and polarity, the FPGA reset and the Debug pins.
#include <string>
#include <vector>

#include "app/unit_controls.h"
#include "unit_story.h"

using namespace korvel::app;
using korvel::testing::expander_pins;
using korvel::testing::unit_story;
namespace platform = korvel::platform;
using Call = korvel::sim::Call;
using Story = std::vector<std::string>;

namespace {

class UnitControls : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        load_main();
        ASSERT_EQ(korvel::init_usb(), 1);
        forget();
    }
    static void forget() {
        board().clear_bus_log();
        korvel::sim::usb().reset_counters();
    }
    static void open_more() { platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES); }
    static void open_debug() { platform::operate_ctrl(main_panel, PANELMAIN_DEBUG); }
    static int value(int panel, int control) {
        int v = -1;
        GetCtrlVal(panel, control, &v);
        return v;
    }
    static int attribute(int panel, int control, int attr) {
        int v = -1;
        GetCtrlAttribute(panel, control, attr, &v);
        return v;
    }
    static bool pin(int chip, int n) { return (expander_pins(chip) >> n) & 1; }
};

}  // namespace

TEST(DivideRatioByte, ManualRatiosTriggerBytesAndTheAlternateVariant) {
    EXPECT_EQ(divide_ratio_byte(1, false), 0x01);
    EXPECT_EQ(divide_ratio_byte(255, false), 0xFF);
    EXPECT_EQ(divide_ratio_byte(256, false), 0x00);
    EXPECT_EQ(divide_ratio_byte(0, false), 0x00);
    EXPECT_EQ(divide_ratio_byte(1, true), 0x80);
    EXPECT_EQ(divide_ratio_byte(0xFE, true), 0x7F);
    EXPECT_EQ(divide_ratio_byte(0xFC, true), 0x3F);
    EXPECT_EQ(divide_ratio_byte(256, true), 0x00);
    EXPECT_EQ(divide_ratio_byte(0x7F, true), 0xFE);
}

TEST_F(UnitControls, TriggerBoxesActAsRadioButtonsAndSendTheirBytes) {
    platform::operate_ctrl(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0xFC);
    EXPECT_EQ(value(main_panel, PANELMAIN_PATTERN_BOX), 0);
    EXPECT_EQ(settings.Eye, 1);
    EXPECT_EQ(settings.Pattern, 0);

    // A click on a checked box leaves it checked.
    platform::operate_ctrl(main_panel, PANELMAIN_PATTERN_BOX, 0, EVENT_COMMIT);
    EXPECT_EQ(value(main_panel, PANELMAIN_PATTERN_BOX), 1);
    EXPECT_EQ(value(main_panel, PANELMAIN_EYE_DIAGRAM_BOX), 0);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_SET_DIVIDE_RATIO, ATTR_DIMMED), 1);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0xFE);
    EXPECT_EQ(settings.Pattern, 1);

    // Already holding 0xFE: only the read, but the change mark is set all the same.
    settings_changed = 0;
    forget();
    platform::operate_ctrl(main_panel, PANELMAIN_PATTERN_BOX, 1, EVENT_COMMIT);
    EXPECT_EQ(unit_story(), Story{"E2 read"});
    EXPECT_EQ(settings_changed, 1);

    // The main panel's SET button sends the fallback byte.
    divider(main_panel, PANELMAIN_SET_DIVIDE_RATIO, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0x7F);
    // The divide ratio never touches the reset line in IO8.
    EXPECT_EQ(expander_pins(2) & 0x100, 0x100);
}

TEST_F(UnitControls, ManualRatioIsLeftOnlyThroughTheMainPanelBoxes) {
    open_more();
    EXPECT_EQ(attribute(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, ATTR_DIMMED), 1);
    SetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, 256);
    platform::operate_ctrl(more_panel, PANELMORE_MANUAL_CTRL_BOX, 1, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0x00);  // ratio 256
    EXPECT_EQ(settings.Manual, 1);
    EXPECT_EQ(settings.DivideBy, 256);
    EXPECT_EQ(value(main_panel, PANELMAIN_PATTERN_BOX), 0);
    EXPECT_EQ(value(main_panel, PANELMAIN_EYE_DIAGRAM_BOX), 0);
    EXPECT_EQ(attribute(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, ATTR_DIMMED), 0);
    EXPECT_EQ(GetActiveCtrl(more_panel), PANELMORE_MANUAL_CTRL_BOX);

    // Unchecking the manual box keeps manual mode and checks the box again.
    platform::operate_ctrl(more_panel, PANELMORE_MANUAL_CTRL_BOX, 0, EVENT_COMMIT);
    EXPECT_EQ(value(more_panel, PANELMORE_MANUAL_CTRL_BOX), 1);
    EXPECT_EQ(settings.Manual, 1);

    platform::operate_ctrl(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, 1, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0x01);
    platform::operate_ctrl(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, 200, EVENT_VAL_CHANGED);
    EXPECT_EQ(expander_pins(2) & 0xFF, 200);

    platform::operate_ctrl(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1, EVENT_COMMIT);
    EXPECT_EQ(settings.Manual, 0);
    EXPECT_EQ(value(more_panel, PANELMORE_MANUAL_CTRL_BOX), 0);
    EXPECT_EQ(attribute(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, ATTR_DIMMED), 1);
}

TEST_F(UnitControls, TheAlternateVariantShowsItsLabelAndGetsReversedRatios) {
    board().description = "ZEVA~KORVEL";
    open_debug();
    open_more();
    platform::operate_ctrl(more_panel, PANELMORE_MANUAL_CTRL_BOX, 1, EVENT_COMMIT);  // ratio 1
    EXPECT_EQ(expander_pins(2) & 0xFF, 0x80);
    EXPECT_EQ(attribute(debug_panel, PANELDEBUG_TEXTMSG_2, ATTR_VISIBLE), 1);
}

TEST_F(UnitControls, WithoutAUnitTriggerChoicesUpdateThePanelAndPatternChoicesWait) {
    board().detach();
    platform::operate_ctrl(main_panel, PANELMAIN_EYE_DIAGRAM_BOX, 1, EVENT_COMMIT);
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 4, EVENT_COMMIT);
    EXPECT_EQ(settings.Eye, 1);
    EXPECT_EQ(settings_changed, 1);
    EXPECT_EQ(settings.DataSelect, 0);
    EXPECT_EQ(value(main_panel, PANELMAIN_PATTERN_BOX), 0);
    EXPECT_TRUE(board().bus_log().empty());
}

TEST_F(UnitControls, PatternSelectSkipsACodeAlreadySelectedAndClearsThePhaseFieldsOtherwise) {
    korvel::DS4520_IOX_wr_multibit(7, 0xFF, 0x52);  // PRBS9 with phase fields set
    forget();
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 2, EVENT_COMMIT);
    EXPECT_EQ(unit_story(), Story{"E7 read"});
    EXPECT_EQ(expander_pins(7) & 0xFF, 0x52);
    EXPECT_EQ(settings.DataSelect, 2);

    forget();
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 1, EVENT_COMMIT);
    EXPECT_EQ(unit_story(), (Story{"E7 read", "E7.F0=01", "E7.F2=01", "E7 read"}));
    EXPECT_EQ(settings.DataSelect, 1);
    // Pattern select acts on commit only.
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 12, EVENT_VAL_CHANGED);
    EXPECT_EQ(expander_pins(7) & 0xFF, 0x01);
}

TEST_F(UnitControls, CustomDataOpensTheCustomTestPatternPanelOnce) {
    korvel::pattern_buffer[31][0] = 0x80;  // the editor's last position
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 11, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(7) & 0x0F, 11);
    ASSERT_EQ(data_panel_open, 1);
    EXPECT_EQ(copies(PANELDATA), 1);
    EXPECT_TRUE(platform::panel_displayed(data_panel));
    std::string text;
    GetCtrlVal(data_panel, PANELDATA_TEXTBOX_DATA, &text);
    const std::string zeros_line = "00000000 00000000 00000000 00000000 \n";
    std::string expected = "\n";
    for (int line = 0; line < 7; ++line) expected += zeros_line;
    expected += "00000000 00000000 00000000 00000001 \n";
    EXPECT_EQ(text, expected);

    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 3, EVENT_COMMIT);
    platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 11, EVENT_COMMIT);
    EXPECT_EQ(copies(PANELDATA), 1);
}

// The verified write reads back what it wrote. A byte spoiled on the wire (here: one driver call
// of the write failing) makes it reopen the link once and write again; every such fault ends
// with the unit holding the byte.
TEST_F(UnitControls, AVerifiedWriteThatReadsBackWrongReopensAndWritesAgain) {
    int reopened = 0;
    for (std::uint64_t n = 1; n <= 600; n += 3) {
        SCOPED_TRACE("mask change " + std::to_string(n) + " of the write fails");
        SetUp();
        // Skip the first read of the pins: its calls decide whether to write at all.
        korvel::DS4520_IO_read(7);
        const auto reads = korvel::sim::usb().calls(Call::SetBitMode);
        korvel::sim::usb().reset_counters();
        korvel::sim::usb().fail_call(Call::SetBitMode, reads + n, korvel::sim::kInvalidArgs);
        platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 7, EVENT_COMMIT);
        EXPECT_EQ(expander_pins(7) & 0xFF, 7);
        if (korvel::sim::usb().calls(Call::Open) == 1) {
            ++reopened;
            EXPECT_EQ(korvel::sim::usb().calls(Call::Close), 1u);
        } else {
            EXPECT_EQ(korvel::sim::usb().calls(Call::Open), 0u);
        }
        if (HasFailure()) break;
    }
    EXPECT_GT(reopened, 10);
}

TEST_F(UnitControls, ClockOutputOneIsAnActiveLowEnable) {
    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 1, EVENT_COMMIT);
    EXPECT_FALSE(pin(3, 0));
    EXPECT_EQ(settings.ClockOutput1, 1);
    EXPECT_EQ(settings_changed, 1);
    platform::operate_ctrl(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 0, EVENT_COMMIT);
    EXPECT_TRUE(pin(3, 0));
    EXPECT_EQ(settings.ClockOutput1, 0);
    // The same through general_purpose_IO, as the Debug panel and a record read use it.
    SetCtrlVal(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, 1);
    general_purpose_IO(main_panel, PANELMAIN_CLOCKOUT1_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_FALSE(pin(3, 0));
}

TEST_F(UnitControls, ErrorInjectionMarksThePatternRingAndSetsItsPin) {
    open_more();
    platform::operate_ctrl(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, 1, EVENT_COMMIT);
    EXPECT_TRUE(pin(3, 1));
    EXPECT_EQ(attribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR), 0xFFCCCC);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE), 1);
    platform::operate_ctrl(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, 0, EVENT_COMMIT);
    EXPECT_FALSE(pin(3, 1));
    EXPECT_EQ(attribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR), VAL_WHITE);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE), 0);
}

TEST_F(UnitControls, InvertedDataIsErrorInjectionWithAnAllOnesMask) {
    open_more();
    platform::operate_ctrl(more_panel, PANELMORE_INV_DATA_BUTTON, 1, EVENT_COMMIT);
    EXPECT_EQ(settings.Polarity, 1);
    EXPECT_TRUE(pin(3, 1));
    EXPECT_EQ(attribute(main_panel, PANELMAIN_INVERTED_DATA_ALERT, ATTR_VISIBLE), 1);
    const auto& fpga = board().fpga();
    EXPECT_EQ(fpga.error_mask_bits, std::string(256, '1'));
    EXPECT_EQ(fpga.error_period, 0xFFFFFFFFu);
    EXPECT_EQ(fpga.error_width, 0xFFFFFFFFu);
    for (int row = 0; row < korvel::kPatternRows; ++row)
        EXPECT_EQ(korvel::pattern_buffer[row][0], 0xFF);

    // Error injection shares the pin: switching it off restores positive data while the panel
    // still shows INV.
    platform::operate_ctrl(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, 0, EVENT_COMMIT);
    EXPECT_FALSE(pin(3, 1));
    EXPECT_EQ(value(more_panel, PANELMORE_INV_DATA_BUTTON), 1);

    // Back to POS: the alert goes, the mask is not reloaded.
    board().fpga().error_mask_bits.clear();
    platform::operate_ctrl(more_panel, PANELMORE_INV_DATA_BUTTON, 0, EVENT_COMMIT);
    EXPECT_EQ(settings.Polarity, 0);
    EXPECT_EQ(attribute(main_panel, PANELMAIN_INVERTED_DATA_ALERT, ATTR_VISIBLE), 0);
    EXPECT_TRUE(board().fpga().error_mask_bits.empty());
}

TEST_F(UnitControls, PolarityWithMoreFeaturesClosedComesFromTheSettingsSet) {
    settings.Polarity = 1;
    invert_data(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_TRUE(pin(3, 1));
    // Only the commit of the polarity button's id counts.
    settings.Polarity = 0;
    invert_data(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_VAL_CHANGED, nullptr, 0, 0);
    invert_data(main_panel, PANELMORE_ERROR_INJ_ON_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_TRUE(pin(3, 1));
    // A stored value other than 0 and 1 (from a file) counts as inverted and is kept as 1.
    settings.Polarity = 7;
    invert_data(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(settings.Polarity, 1);
    EXPECT_TRUE(pin(3, 1));
    EXPECT_TRUE(pin(3, 0));  // the clock-output pin beside it is untouched
}

TEST_F(UnitControls, ResetPulsesTheFpgaResetLine) {
    platform::operate_ctrl(main_panel, PANELMAIN_RST_FPGA);
    EXPECT_EQ(unit_story(), (Story{"E2.F1=01", "E2.F3=01", "E2.F1=00", "E2.F3=00"}));
    EXPECT_FALSE(pin(2, 8));
}

TEST_F(UnitControls, DebugTogglesDriveSinglePinsAndRingSlidesThePhaseFields) {
    open_debug();
    const struct {
        int control, chip, pin;
    } toggles[] = {{PANELDEBUG_GP_0, 7, 0}, {PANELDEBUG_GP_1, 7, 1}, {PANELDEBUG_GP_2, 7, 2},
                   {PANELDEBUG_GP_3, 7, 3}, {PANELDEBUG_GP_8, 7, 8}, {PANELDEBUG_GP_9, 2, 8}};
    for (const auto& t : toggles) {
        platform::operate_ctrl(debug_panel, t.control, 0, EVENT_COMMIT);
        EXPECT_FALSE(pin(t.chip, t.pin)) << t.control;
        platform::operate_ctrl(debug_panel, t.control, 1, EVENT_COMMIT);
        EXPECT_TRUE(pin(t.chip, t.pin)) << t.control;
    }

    // "New Scramble" (the panel's default) swaps the two bits of a phase value.
    ASSERT_EQ(scramble_mode, 1);
    korvel::DS4520_IOX_wr_multibit(7, 0xFF, 0x00);
    platform::operate_ctrl(debug_panel, PANELDEBUG_RINGSLIDE_GP_APH, 1, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(7) & 0xF0, 0x80);
    EXPECT_EQ(GetActiveCtrl(debug_panel), PANELDEBUG_CAL_RESULTS);
    platform::operate_ctrl(debug_panel, PANELDEBUG_RINGSLIDE_GP_MPH, 2, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(7) & 0xF0, 0x90);
    scramble_mode = 0;
    platform::operate_ctrl(debug_panel, PANELDEBUG_RINGSLIDE_GP_MPH, 2, EVENT_COMMIT);
    EXPECT_EQ(expander_pins(7) & 0xF0, 0xA0);
}

TEST_F(UnitControls, SetFreqPutsTheSettingsSetOnThePanelAndTheUnit) {
    settings = GeneratorSettings{};
    settings.Eye = 1;
    settings.DutyCycleControl = 2.55f;
    settings.DataAmplitudeControl = 2.2f;
    settings.ClockOutput1 = 1;
    settings.DataSelect = 9;
    settings.DivideBy = 33;
    open_more();
    set_freq(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);

    float duty = 0, amplitude = 0;
    GetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, &duty);
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &amplitude);
    EXPECT_NEAR(duty, 47.0, 1e-4);
    EXPECT_NEAR(amplitude, 300.0, 1e-3);
    EXPECT_EQ(value(main_panel, PANELMAIN_PATTERN_BOX), 0);
    EXPECT_EQ(value(main_panel, PANELMAIN_EYE_DIAGRAM_BOX), 1);
    EXPECT_EQ(value(main_panel, PANELMAIN_DATA_SELECT), 9);
    EXPECT_EQ(value(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL), 33);
    EXPECT_EQ(korvel::testing::dac_code(2), 3165);
    EXPECT_EQ(korvel::testing::dac_code(3), 2730);
    EXPECT_EQ(expander_pins(7) & 0xFF, 9);
    EXPECT_EQ(expander_pins(2) & 0xFF, 0xFC);
    EXPECT_FALSE(pin(3, 0));
    EXPECT_EQ(dac_store_countdown, 10);
    EXPECT_EQ(settings_changed & 1, 1);

    // In manual mode the stored ratio reaches the unit as well.
    settings.Eye = 0;
    settings.Manual = 1;
    set_freq(main_panel, 0, EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_EQ(expander_pins(2) & 0xFF, 33);
    EXPECT_EQ(value(more_panel, PANELMORE_MANUAL_CTRL_BOX), 1);
}

// Levels read from a file show without float noise (2.400000 reads as 2.4000001 V, which is
// 450.00006 mV), and the slides still send the very levels.
TEST_F(UnitControls, SetFreqShowsStoredLevelsAtTheSlidesPrecisionAndSendsThemUnchanged) {
    settings.DutyCycleControl = 2.85f;
    settings.DataAmplitudeControl = 2.4f;
    set_freq(main_panel, 0, EVENT_COMMIT, nullptr, 0, 0);
    float duty = 0, amplitude = 0;
    GetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, &duty);
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &amplitude);
    EXPECT_EQ(duty, 50.6f);
    EXPECT_EQ(amplitude, 450.0f);
    EXPECT_EQ(korvel::testing::dac_code(2), static_cast<int>(korvel::dac_code_for(2.85f)));
    EXPECT_EQ(korvel::testing::dac_code(3), static_cast<int>(korvel::dac_code_for(2.4f)));
}

TEST_F(UnitControls, SetFreqKeepsNonNumbersAwayFromTheDacs) {
    SetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, 52.0);
    settings.DutyCycleControl = std::numeric_limits<float>::quiet_NaN();
    settings.DataAmplitudeControl = std::numeric_limits<float>::infinity();
    set_freq(main_panel, 0, EVENT_COMMIT, nullptr, 0, 0);
    // The slides keep their values (a NaN is refused; infinity stops at the top of the range)
    // and the unit gets what they show.
    float duty = 0, amplitude = 0;
    GetCtrlVal(main_panel, PANELMAIN_DUTY_CYCLE, &duty);
    GetCtrlVal(main_panel, PANELMAIN_MUX_AMP, &amplitude);
    EXPECT_FLOAT_EQ(duty, 52.0f);
    EXPECT_FLOAT_EQ(amplitude, 600.0f);
    EXPECT_EQ(korvel::testing::dac_code(2), 3682);  // 52 % = 2.9667 V
    EXPECT_EQ(korvel::testing::dac_code(3), 3227);  // 600 mV = 2.6 V
    EXPECT_FLOAT_EQ(settings.DataAmplitudeControl, 2.6f);
}

// The calibration entry on the Debug panel, keystroke by keystroke against the simulated unit,
// and "Next" writing the unit's calibration data file.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/analog_controls.h"
#include "app/calibration.h"
#include "debug_panel_fixture.h"

using namespace korvel::app;
namespace platform = korvel::platform;

namespace {

// Values written to expander 2's bank-1 I/O control register (pin 8 = "InitStateMachine").
std::vector<int> init_line_writes(const std::vector<std::vector<int>>& all) {
    std::vector<int> out;
    for (const auto& t : all)
        if (t.size() == 3 && t[0] == 0xA4 && t[1] == 0xF3) out.push_back(t[2] & 1);
    return out;
}

std::string file_text(const std::string& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

}  // namespace

TEST_F(DebugPanelTest, SixteenMarksStepTheUnitThroughTheGridAndTheLastPulsesInitStateMachine) {
    platform::operate_ring_index(debug, PANELDEBUG_SCRAMBLE_MODE, 2, EVENT_COMMIT);
    ASSERT_EQ(scramble_mode, 2);
    const std::string marks = "x.x.?...x/..X...";
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(i);
        forget_history();
        EXPECT_EQ(key(marks[static_cast<std::size_t>(i)]), 1);
        EXPECT_EQ(cursor(), i + 1);
        // The unit is already at the next combination, with the linear mode's column XOR.
        EXPECT_EQ(board().expander(7).pins() & 0xF0, phase_code(2, (i + 1) / 4, (i + 1) % 4));
        EXPECT_DOUBLE_EQ(clock().paused_total(), 0.04);
        EXPECT_TRUE(init_line_writes(writes()).empty());
    }
    forget_history();
    EXPECT_EQ(key(marks[15]), 1);
    EXPECT_EQ(cursor(), 0);
    EXPECT_EQ(field(), "x.x. ?... xx.. x...  ");
    // Half a second high, then low again, besides the three expander writes' settle pauses.
    EXPECT_EQ(init_line_writes(writes()), (std::vector<int>{1, 0}));
    EXPECT_DOUBLE_EQ(clock().paused_total(), 0.5 + 3 * 0.04);
    EXPECT_EQ(board().expander(2).pins() & 0x100, 0);
}

TEST_F(DebugPanelTest, BackspaceErasesAndStepsBackWrappingFromCellZeroToTheLast) {
    EXPECT_EQ(key('.'), 1);
    EXPECT_EQ(cursor(), 1);
    // Back from position 1 to 0 also pulses the line.
    forget_history();
    EXPECT_EQ(key(VAL_BACKSPACE_VKEY), 1);
    EXPECT_EQ(cursor(), 0);
    EXPECT_EQ(init_line_writes(writes()), (std::vector<int>{1, 0}));
    EXPECT_EQ(field(), ".    " + std::string(16, ' '));

    forget_history();
    EXPECT_EQ(key(8), 1);
    EXPECT_EQ(cursor(), 15);
    EXPECT_EQ(value(PANELDEBUG_RINGSLIDE_GP_MPH), 3);
    EXPECT_EQ(value(PANELDEBUG_RINGSLIDE_GP_APH), 3);
    EXPECT_EQ(field(), std::string(21, ' '));
    EXPECT_TRUE(init_line_writes(writes()).empty());
}

TEST_F(DebugPanelTest, AnErasedCellKeepsItsPlaceWhenTheNextMarkIsTyped) {
    for (char m : std::string("x.x..x.x?x..x.x.")) key(m);
    ASSERT_EQ(cursor(), 0);
    key(VAL_BACKSPACE_VKEY);  // cell 0 erased, on to cell 15
    EXPECT_EQ(field(), " .x. .x.x ?x.. x.x.  ");
    key('?');
    EXPECT_EQ(field(), " .x. .x.x ?x.. x.x?  ");
    EXPECT_EQ(cursor(), 0);
}

TEST_F(DebugPanelTest, OtherKeysAreLeftToTheFieldAndItsTextEntersAtTheNextMark) {
    for (int other : {int{'a'}, int{'7'}, VAL_ENTER_VKEY, VAL_DOWN_ARROW_VKEY})
        EXPECT_EQ(key(other), 0);
    EXPECT_EQ(cursor(), 0);
    EXPECT_EQ(field(), "");
    EXPECT_TRUE(writes().empty());

    // Text the operator typed (the field keeps it) is read in at the next mark.
    SetCtrlVal(debug, PANELDEBUG_CAL_RESULTS, "ab");
    SetCtrlVal(debug, PANELDEBUG_RINGSLIDE_GP_APH, 2);
    EXPECT_EQ(key(VAL_INSERT_VKEY), 1);
    EXPECT_EQ(field(), "abx " + std::string(17, ' '));
    EXPECT_EQ(cursor(), 3);
}

TEST_F(DebugPanelTest, NextAppendsTheSummaryLineAndStartsAFreshGridAtTheNextFrequency) {
    unit_serial_number = 7;
    platform::operate_ring_index(debug, PANELDEBUG_SCRAMBLE_MODE, 2, EVENT_COMMIT);
    SetCtrlVal(debug, PANELDEBUG_FREQUENCY_SCANNED, 250);
    SetCtrlVal(debug, PANELDEBUG_PRINT_CAL_RESULTS, 1);
    for (int i = 0; i < 16; ++i) key(VAL_UP_ARROW_VKEY);
    SetCtrlVal(debug, PANELDEBUG_RINGSLIDE_GP_APH, 3);  // the cursor anywhere

    EXPECT_EQ(key(VAL_F12_VKEY), 1);  // "Next"
    const std::string first = file_text("CalDataSN007.cfg");
    ASSERT_EQ(first.size(), 100u);
    EXPECT_EQ(first.substr(90, 3), "0 5");
    EXPECT_EQ(first.substr(94), "  250\n");
    EXPECT_EQ(host().clipboard + "\n", first);
    EXPECT_EQ(host().stdio_output, first);
    // A fresh grid at f + 100, the cursor and the unit's phase fields back at 0.
    EXPECT_EQ(field(), "");
    EXPECT_EQ(cursor(), 0);
    EXPECT_EQ(board().expander(7).pins() & 0xF0, 0);
    EXPECT_EQ(value(PANELDEBUG_FREQUENCY_SCANNED), 350);
    EXPECT_EQ(std::string(cal_entry_buffer.data()), std::string(30, ' '));
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CAL_RESULTS);

    // The next evaluation is appended; the file is never rewritten.
    platform::operate_ctrl(debug, PANELDEBUG_NEXT_FREQ_BUTTON);
    const std::string both = file_text("CalDataSN007.cfg");
    ASSERT_EQ(both.size(), 200u);
    EXPECT_EQ(both.substr(0, 100), first);
    EXPECT_EQ(both.substr(190, 10), "0 0   350\n");
    EXPECT_EQ(value(PANELDEBUG_FREQUENCY_SCANNED), 450);
}

TEST_F(DebugPanelTest, AFileThatCannotBeOpenedKeepsTheEntryForAnotherTry) {
    std::filesystem::create_directory(cal_data_file_name(unit_serial_number));
    SetCtrlVal(debug, PANELDEBUG_PRINT_CAL_RESULTS, 1);
    SetCtrlVal(debug, PANELDEBUG_FREQUENCY_SCANNED, 1200);
    key('x');
    key('.');
    const std::string entered = field();
    platform::operate_ctrl(debug, PANELDEBUG_NEXT_FREQ_BUTTON);
    // The entry in its own order at column 22; the grid in mode 1's cell order at 0.
    EXPECT_EQ(host().clipboard.substr(22, 4), "x.  ");
    EXPECT_EQ(host().clipboard.substr(0, 4), "  .x");
    EXPECT_EQ(field(), entered);
    EXPECT_EQ(cursor(), 2);
    EXPECT_EQ(value(PANELDEBUG_FREQUENCY_SCANNED), 1200);
    EXPECT_EQ(host().stdio_output, "");
    EXPECT_EQ(cal_entry_buffer[1], '.');
}

TEST_F(DebugPanelTest, FrequencyStepTakesFsValueAndTheDutyTableFollowsF) {
    SetCtrlVal(debug, PANELDEBUG_FREQUENCY_SCANNED, 500);
    platform::operate_ctrl(debug, PANELDEBUG_SET_FREQ_INCR);
    int step = 0;
    GetCtrlAttribute(debug, PANELDEBUG_FREQUENCY_SCANNED, ATTR_INCR_VALUE, &step);
    EXPECT_EQ(step, 500);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CAL_RESULTS);

    SetCtrlVal(debug, PANELDEBUG_USE_FREQ, 1);
    platform::operate_ctrl(debug, PANELDEBUG_FREQUENCY_SCANNED, 13500, EVENT_COMMIT);
    const double volts = duty_volts_at(13500);
    double shown = 0.0;
    GetCtrlVal(debug, PANELDEBUG_TEST_DAC, &shown);
    EXPECT_DOUBLE_EQ(shown, volts);
    EXPECT_EQ(board().dac(0).channels[2].code,
              static_cast<int>(static_cast<float>(volts) / 3.3 * 4096));

    platform::operate_ctrl(debug, PANELDEBUG_NEXT_FREQ_BUTTON);
    EXPECT_EQ(value(PANELDEBUG_FREQUENCY_SCANNED), 14000);
    EXPECT_EQ(board().dac(0).channels[2].code,
              static_cast<int>(static_cast<float>(duty_volts_at(14000)) / 3.3 * 4096));
}

// Control values: defaults, ranges, types, rings and text.
#include <cfloat>
#include <climits>
#include <cmath>

#include "ui_fixture.h"

namespace korvel::platform::testing {
namespace {

using ValueTest = UiTest;

TEST_F(ValueTest, ControlsStartWithTheResourceDefaults) {
    const int main = load(PANELMAIN);
    float duty = 0, amp = 0;
    int pattern = -1, eye = -1, clock_out = -1;
    std::string notify, serial = "x";
    GetCtrlVal(main, PANELMAIN_DUTY_CYCLE, &duty);
    GetCtrlVal(main, PANELMAIN_MUX_AMP, &amp);
    GetCtrlVal(main, PANELMAIN_PATTERN_BOX, &pattern);
    GetCtrlVal(main, PANELMAIN_EYE_DIAGRAM_BOX, &eye);
    GetCtrlVal(main, PANELMAIN_CLOCKOUT1_BUTTON, &clock_out);
    GetCtrlVal(main, PANELMAIN_NOTIFY_USER, &notify);
    GetCtrlVal(main, PANELMAIN_DEVICE_SN, &serial);
    EXPECT_EQ(duty, 50.0f);
    EXPECT_EQ(amp, 450.0f);
    EXPECT_EQ(pattern, 1);
    EXPECT_EQ(eye, 0);
    EXPECT_EQ(clock_out, 0);
    EXPECT_EQ(notify, "USB NOT CONNECTED");
    EXPECT_EQ(serial, "");
}

TEST_F(ValueTest, RingsReadTheSelectedItemsValue) {
    const int main = load(PANELMAIN);
    unsigned pattern = 0;
    GetCtrlVal(main, PANELMAIN_DATA_SELECT, &pattern);
    EXPECT_EQ(pattern, 2u);  // PRBS9
    ASSERT_EQ(SetCtrlIndex(main, PANELMAIN_DATA_SELECT, 0), 0);
    GetCtrlVal(main, PANELMAIN_DATA_SELECT, &pattern);
    EXPECT_EQ(pattern, 12u);  // PRBS6
    ASSERT_EQ(SetCtrlVal(main, PANELMAIN_DATA_SELECT, 4), 0);
    int index = -1;
    GetCtrlIndex(main, PANELMAIN_DATA_SELECT, &index);
    EXPECT_EQ(index, 4);  // PRBS15
    // A value no item carries is refused and changes nothing.
    EXPECT_EQ(SetCtrlVal(main, PANELMAIN_DATA_SELECT, 13), UIEItemNotFound);
    EXPECT_EQ(SetCtrlIndex(main, PANELMAIN_DATA_SELECT, 12), UIEItemNotFound);
    EXPECT_EQ(SetCtrlIndex(main, PANELMAIN_DATA_SELECT, -1), UIEItemNotFound);
    GetCtrlVal(main, PANELMAIN_DATA_SELECT, &pattern);
    EXPECT_EQ(pattern, 4u);
    int count = 0;
    GetNumListItems(main, PANELMAIN_DATA_SELECT, &count);
    EXPECT_EQ(count, 12);

    const int debug = load(PANELDEBUG);
    int mode = -1;
    GetCtrlVal(debug, PANELDEBUG_SCRAMBLE_MODE, &mode);
    EXPECT_EQ(mode, 1);
}

TEST_F(ValueTest, NumericValuesAreClampedToTheirRange) {
    const int main = load(PANELMAIN);
    double duty = 0;
    SetCtrlVal(main, PANELMAIN_DUTY_CYCLE, 60.0);
    GetCtrlVal(main, PANELMAIN_DUTY_CYCLE, &duty);
    EXPECT_EQ(duty, 56.0);
    SetCtrlVal(main, PANELMAIN_DUTY_CYCLE, -1e300);
    GetCtrlVal(main, PANELMAIN_DUTY_CYCLE, &duty);
    EXPECT_EQ(duty, 44.0);

    const int more = load(PANELMORE);
    unsigned ratio = 0;
    SetCtrlVal(more, PANELMORE_DIVIDE_RATIO_CONTROL, 0);
    GetCtrlVal(more, PANELMORE_DIVIDE_RATIO_CONTROL, &ratio);
    EXPECT_EQ(ratio, 1u);
    SetCtrlVal(more, PANELMORE_DIVIDE_RATIO_CONTROL, 1000u);
    GetCtrlVal(more, PANELMORE_DIVIDE_RATIO_CONTROL, &ratio);
    EXPECT_EQ(ratio, 256u);
}

TEST_F(ValueTest, ValuesTakeTheControlsDataType) {
    const int err = load(PANELERR);
    int errs = 0;
    SetCtrlVal(err, PANELERR_ERRS_PER_256, 3.6);
    GetCtrlVal(err, PANELERR_ERRS_PER_256, &errs);
    EXPECT_EQ(errs, 4);
    unsigned width = 0;
    SetCtrlVal(err, PANELERR_PULSE_WIDTH, 4294967295u);
    GetCtrlVal(err, PANELERR_PULSE_WIDTH, &width);
    EXPECT_EQ(width, 4294967295u);
    // The destination's own limits saturate instead of wrapping.
    int as_int = 0;
    GetCtrlVal(err, PANELERR_PULSE_WIDTH, &as_int);
    EXPECT_EQ(as_int, INT_MAX);
    double rate = 0;
    SetCtrlVal(err, PANELERR_ERROR_RATE, 1.25e-12);
    GetCtrlVal(err, PANELERR_ERROR_RATE, &rate);
    EXPECT_EQ(rate, 1.25e-12);
    // A float control keeps single precision.
    SetCtrlVal(err, PANELERR_BITS_PER_ERR, 0.1);
    double bits = 0;
    GetCtrlVal(err, PANELERR_BITS_PER_ERR, &bits);
    EXPECT_EQ(bits, static_cast<double>(0.1f));
    SetCtrlVal(err, PANELERR_BITS_PER_ERR, 1e300);
    GetCtrlVal(err, PANELERR_BITS_PER_ERR, &bits);
    EXPECT_EQ(bits, static_cast<double>(FLT_MAX));
}

TEST_F(ValueTest, BinaryControlsHoldZeroOrOne) {
    const int more = load(PANELMORE);
    unsigned char inv = 9;
    SetCtrlVal(more, PANELMORE_INV_DATA_BUTTON, 7);
    GetCtrlVal(more, PANELMORE_INV_DATA_BUTTON, &inv);
    EXPECT_EQ(inv, 1);
    SetCtrlVal(more, PANELMORE_INV_DATA_BUTTON, 0);
    GetCtrlVal(more, PANELMORE_INV_DATA_BUTTON, &inv);
    EXPECT_EQ(inv, 0);
}

TEST_F(ValueTest, WrongKindsAndBadValuesAreRefusedWithoutChange) {
    const int main = load(PANELMAIN);
    EXPECT_EQ(SetCtrlVal(main, PANELMAIN_NOTIFY_USER, 3), UIETypeMismatch);
    EXPECT_EQ(SetCtrlVal(main, PANELMAIN_DUTY_CYCLE, "51"), UIETypeMismatch);
    EXPECT_EQ(SetCtrlVal(main, PANELMAIN_DUTY_CYCLE, std::nan("")), UIEBadArgument);
    int v = 5;
    EXPECT_EQ(GetCtrlVal(main, PANELMAIN_CMDQUIT, &v), UIETypeMismatch);
    EXPECT_EQ(GetCtrlVal(main, PANELMAIN_NOTIFY_USER, &v), UIETypeMismatch);
    EXPECT_EQ(GetCtrlVal(main, 99, &v), UIEInvalidControl);
    EXPECT_EQ(v, 5);
    float duty = 0;
    GetCtrlVal(main, PANELMAIN_DUTY_CYCLE, &duty);
    EXPECT_EQ(duty, 50.0f);
    EXPECT_EQ(SetCtrlVal(main, PANELMAIN_NOTIFY_USER, static_cast<const char*>(nullptr)),
              UIEBadArgument);
}

TEST_F(ValueTest, TextIsReplacedAndReadIntoBoundedBuffers) {
    const int data = load(PANELDATA);
    SetCtrlVal(data, PANELDATA_TEXTBOX_DATA, "0101");
    SetCtrlVal(data, PANELDATA_TEXTBOX_DATA, std::string("1111 0000"));
    char small[5] = "????";
    ASSERT_EQ(GetCtrlVal(data, PANELDATA_TEXTBOX_DATA, small), 0);
    EXPECT_STREQ(small, "1111");
    std::string all;
    GetCtrlVal(data, PANELDATA_TEXTBOX_DATA, &all);
    EXPECT_EQ(all, "1111 0000");
    ResetTextBox(data, PANELDATA_TEXTBOX_DATA, "");
    GetCtrlVal(data, PANELDATA_TEXTBOX_DATA, &all);
    EXPECT_EQ(all, "");
    EXPECT_EQ(GetCtrlVal(data, PANELDATA_TEXTBOX_DATA, small, 0), UIEBadArgument);
}

}  // namespace
}  // namespace korvel::platform::testing

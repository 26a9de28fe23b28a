// Operating each kind of widget delivers the right (panel, control, event) to the control's
// callback, and leaves the value the widget shows in the model.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include "platform/qt/button_views.h"
#include "platform/qt/number_spin_box.h"
#include "platform/qt/number_views.h"
#include "platform/qt/ring_views.h"
#include "platform/qt/text_views.h"
#include "view_fixture.h"

using namespace korvel::qtview;

namespace {

// Types a value into a number field and enters it.
void enter(NumberSpinBox* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void wheel(QWidget* w, int notches, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QPointF pos = QPointF(w->rect().center());
    QWheelEvent e(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

// The deliveries other than keypresses (every key also reaches the focused control's callback).
std::vector<Delivered> without_keys(const std::vector<Delivered>& all) {
    std::vector<Delivered> out;
    for (const Delivered& d : all)
        if (d.event != EVENT_KEYPRESS) out.push_back(d);
    return out;
}

double number(int panel, int control) {
    double v = -1.0;
    GetCtrlVal(panel, control, &v);
    return v;
}

}  // namespace

TEST_F(ViewTest, CommandButtonCommits) {
    spy("QuitAll");
    const int main = load(PANELMAIN);
    QTest::mouseClick(view<CommandButtonView>(main, PANELMAIN_CMDQUIT)->button(), Qt::LeftButton);
    EXPECT_EQ(delivered, (std::vector<Delivered>{{main, PANELMAIN_CMDQUIT, EVENT_COMMIT, 0}}));
}

TEST_F(ViewTest, ToggleButtonCommitsTheNewStateAndShowsItsOnText) {
    spy("CLOCK_OUT_1_BUTTON");
    const int main = load(PANELMAIN);
    QPushButton* b = view<ToggleButtonView>(main, PANELMAIN_CLOCKOUT1_BUTTON)->button();
    EXPECT_EQ(b->text(), "OFF");
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(delivered,
              (std::vector<Delivered>{{main, PANELMAIN_CLOCKOUT1_BUTTON, EVENT_COMMIT, 0}}));
    EXPECT_EQ(number(main, PANELMAIN_CLOCKOUT1_BUTTON), 1.0);
    EXPECT_EQ(b->text(), "ON");
}

TEST_F(ViewTest, CheckBoxCommitsTheNewState) {
    spy("divider");
    const int main = load(PANELMAIN);
    QCheckBox* box = view<CheckBoxView>(main, PANELMAIN_PATTERN_BOX)->box();
    ASSERT_TRUE(box->isChecked());  // resource default
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(delivered, (std::vector<Delivered>{{main, PANELMAIN_PATTERN_BOX, EVENT_COMMIT, 0}}));
    EXPECT_EQ(number(main, PANELMAIN_PATTERN_BOX), 0.0);
}

TEST_F(ViewTest, NumericCommitsAnEnteredValueOnceAndTheModelKeepsItInRange) {
    spy("divider");
    const int more = load(PANELMORE);
    NumberSpinBox* field = view<NumericView>(more, PANELMORE_DIVIDE_RATIO_CONTROL)->field();
    enter(field, "12");
    EXPECT_EQ(without_keys(delivered),
              (std::vector<Delivered>{{more, PANELMORE_DIVIDE_RATIO_CONTROL, EVENT_COMMIT, 0}}));
    EXPECT_EQ(number(more, PANELMORE_DIVIDE_RATIO_CONTROL), 12.0);

    delivered.clear();
    QTest::keyClick(field, Qt::Key_Up);  // one increment
    EXPECT_EQ(number(more, PANELMORE_DIVIDE_RATIO_CONTROL), 13.0);
    EXPECT_EQ(field->maximum(), 256.0);  // the field offers the control's range only
    EXPECT_EQ(field->minimum(), 1.0);
}

TEST_F(ViewTest, AmplitudeArrowStepsAddUpInTheFieldWithoutRounding) {
    const int main = load(PANELMAIN);
    NumberSpinBox* field = view<NumericSlideView>(main, PANELMAIN_MUX_AMP)->field();
    for (int i = 0; i < 3; ++i) QTest::keyClick(field, Qt::Key_Up);  // 0.0128 mV each
    EXPECT_NEAR(number(main, PANELMAIN_MUX_AMP), 450.0384, 1e-4);
    EXPECT_EQ(field->text(), "450.0384");
}

TEST_F(ViewTest, SlideSendsValueChangedWhileDraggedAndCommitsOnRelease) {
    spy("CB_DAC");
    const int main = load(PANELMAIN);
    QSlider* s = view<NumericSlideView>(main, PANELMAIN_DUTY_CYCLE)->slider();
    s->setSliderDown(true);  // the operator grabs the knob ...
    s->setValue(s->maximum());
    s->setValue(s->maximum() / 2 + 100);  // ... drags it to 51.00 ...
    s->setSliderDown(false);              // ... and lets go
    const std::vector<Delivered> expected = {
        {main, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, 0},
        {main, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, 0},
        {main, PANELMAIN_DUTY_CYCLE, EVENT_COMMIT, 0},
    };
    EXPECT_EQ(delivered, expected);
    EXPECT_NEAR(number(main, PANELMAIN_DUTY_CYCLE), 51.0, 1e-4);
}

TEST_F(ViewTest, SlideDraggedWithTheMouseFollowsTheKnobAndCommitsOnce) {
    spy("CB_DAC");
    const int main = load(PANELMAIN);
    QSlider* s = view<NumericSlideView>(main, PANELMAIN_DUTY_CYCLE)->slider();
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    const QPoint knob =
        s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s).center();
    QTest::mousePress(s, Qt::LeftButton, {}, knob);
    QTest::mouseMove(s, knob + QPoint(s->width() / 8, 0));
    QTest::mouseMove(s, knob + QPoint(s->width() / 4, 0));
    QTest::mouseRelease(s, Qt::LeftButton, {}, knob + QPoint(s->width() / 4, 0));

    ASSERT_GE(delivered.size(), 3u);
    for (std::size_t i = 0; i + 1 < delivered.size(); ++i)
        EXPECT_EQ(delivered[i], (Delivered{main, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, 0}));
    EXPECT_EQ(delivered.back(), (Delivered{main, PANELMAIN_DUTY_CYCLE, EVENT_COMMIT, 0}));
    EXPECT_GT(number(main, PANELMAIN_DUTY_CYCLE), 51.0);
}

TEST_F(ViewTest, SlideKeyStepsAndTypedValuesAreCompletedMoves) {
    spy("CB_DAC");
    const int main = load(PANELMAIN);
    auto* slide = view<NumericSlideView>(main, PANELMAIN_DUTY_CYCLE);
    slide->slider()->setFocus();
    QTest::keyClick(slide->slider(), Qt::Key_Right);
    EXPECT_NEAR(number(main, PANELMAIN_DUTY_CYCLE), 50.01, 1e-4);
    enter(slide->field(), "53.5");
    EXPECT_NEAR(number(main, PANELMAIN_DUTY_CYCLE), 53.5, 1e-4);
    const std::vector<Delivered> expected = {
        {main, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, 0},
        {main, PANELMAIN_DUTY_CYCLE, EVENT_COMMIT, 0},
        {main, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, 0},
        {main, PANELMAIN_DUTY_CYCLE, EVENT_COMMIT, 0},
    };
    EXPECT_EQ(without_keys(delivered), expected);
    EXPECT_EQ(slide->slider()->value(), 950);  // 53.5 on 44..56 in steps of 0.01
}

TEST_F(ViewTest, WheelNotchesOverASlideReachTheCallbackAsPageStepsAndMoveNothingThemselves) {
    spy("CB_DAC");
    const int main = load(PANELMAIN);
    QSlider* s = view<NumericSlideView>(main, PANELMAIN_MUX_AMP)->slider();
    wheel(s, +1);
    wheel(s, -2);
    wheel(s, +1, Qt::ShiftModifier);
    const std::vector<Delivered> expected = {
        {main, PANELMAIN_MUX_AMP, EVENT_MOUSE_WHEEL_SCROLL, MOUSE_WHEEL_PAGE_UP},
        {main, PANELMAIN_MUX_AMP, EVENT_MOUSE_WHEEL_SCROLL, MOUSE_WHEEL_PAGE_DOWN},
        {main, PANELMAIN_MUX_AMP, EVENT_MOUSE_WHEEL_SCROLL, MOUSE_WHEEL_PAGE_DOWN},
        {main, PANELMAIN_MUX_AMP, EVENT_MOUSE_WHEEL_SCROLL, MOUSE_WHEEL_SCROLL_UP},
    };
    EXPECT_EQ(delivered, expected);
    EXPECT_EQ(number(main, PANELMAIN_MUX_AMP), 450.0);
}

TEST_F(ViewTest, WheelStepMadeByTheCallbackIsShown) {
    const int main = load(PANELMAIN);
    // A callback in the manner of the analog controls: a page step moves the level by 1.0.
    RegisterCallback("CB_DAC", [](int panel, int control, int event, void*, int d1, int) {
        if (event != EVENT_MOUSE_WHEEL_SCROLL) return 0;
        double v = 0;
        GetCtrlVal(panel, control, &v);
        SetCtrlVal(panel, control, v + (d1 == MOUSE_WHEEL_PAGE_UP ? 1.0 : -1.0));
        return 0;
    });
    auto* slide = view<NumericSlideView>(main, PANELMAIN_DUTY_CYCLE);
    wheel(slide->slider(), +1);
    EXPECT_EQ(number(main, PANELMAIN_DUTY_CYCLE), 51.0);
    EXPECT_EQ(slide->field()->value(), 51.0);
    EXPECT_EQ(slide->slider()->value(), 700);
}

TEST_F(ViewTest, RingCommitsTheChosenItemAndReadsItsValue) {
    spy("FPGA");
    const int main = load(PANELMAIN);
    QComboBox* combo = view<RingView>(main, PANELMAIN_DATA_SELECT)->combo();
    ASSERT_EQ(combo->currentText(), "PRBS9");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    EXPECT_EQ(without_keys(delivered),
              (std::vector<Delivered>{{main, PANELMAIN_DATA_SELECT, EVENT_COMMIT, 0}}));
    unsigned code = 0;
    GetCtrlVal(main, PANELMAIN_DATA_SELECT, &code);
    EXPECT_EQ(code, 12u);  // PRBS6's pattern code, not its position
}

TEST_F(ViewTest, RingSlideStepCommitsTheItem) {
    spy("general_purpose_IO");
    const int debug = load(PANELDEBUG);
    QSlider* s = view<RingSlideView>(debug, PANELDEBUG_RINGSLIDE_GP_APH)->slider();
    s->setFocus();
    QTest::keyClick(s, Qt::Key_Right);
    const std::vector<Delivered> expected = {
        {debug, PANELDEBUG_RINGSLIDE_GP_APH, EVENT_VAL_CHANGED, 0},
        {debug, PANELDEBUG_RINGSLIDE_GP_APH, EVENT_COMMIT, 0},
    };
    EXPECT_EQ(without_keys(delivered), expected);
    EXPECT_EQ(number(debug, PANELDEBUG_RINGSLIDE_GP_APH), 1.0);
}

TEST_F(ViewTest, StringSendsEveryKeyToTheCallbackAndCommitsOnEnter) {
    spy("CB_Debug");
    const int debug = load(PANELDEBUG);
    QLineEdit* field = view<StringView>(debug, PANELDEBUG_CAL_RESULTS)->field();
    field->setFocus();
    QTest::keyClicks(field, "a7");
    QTest::keyClick(field, Qt::Key_Return);
    const std::vector<Delivered> expected = {
        {debug, PANELDEBUG_CAL_RESULTS, EVENT_KEYPRESS, 'a'},
        {debug, PANELDEBUG_CAL_RESULTS, EVENT_KEYPRESS, '7'},
        {debug, PANELDEBUG_CAL_RESULTS, EVENT_KEYPRESS, VAL_ENTER_VKEY},
        {debug, PANELDEBUG_CAL_RESULTS, EVENT_COMMIT, 0},
    };
    EXPECT_EQ(delivered, expected);
    std::string text;
    GetCtrlVal(debug, PANELDEBUG_CAL_RESULTS, &text);
    EXPECT_EQ(text, "a7");
}

TEST_F(ViewTest, TypedTextIsInTheModelWhenTheNextKeyArrivesButOnlyEnterCommitsIt) {
    std::vector<std::string> seen;
    RegisterCallback("CB_Debug", [&](int panel, int control, int event, void*, int, int) {
        std::string text;
        GetCtrlVal(panel, control, &text);
        seen.push_back(std::to_string(event) + ":" + text);
        return 0;
    });
    const int debug = load(PANELDEBUG);
    QLineEdit* field = view<StringView>(debug, PANELDEBUG_CAL_RESULTS)->field();
    field->setFocus();
    QTest::keyClicks(field, "ab");
    QTest::keyClick(field, Qt::Key_Return);
    const std::string key = std::to_string(EVENT_KEYPRESS) + ":";
    const std::string commit = std::to_string(EVENT_COMMIT) + ":";
    EXPECT_EQ(seen, (std::vector<std::string>{key, key + "a", key + "ab", commit + "ab"}));
    // Enter again without an edit commits nothing more.
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(seen.size(), 5u);
}

TEST_F(ViewTest, AKeyTheCallbackConsumesNeverReachesTheField) {
    spy("CB_Debug", 1);
    const int debug = load(PANELDEBUG);
    QLineEdit* field = view<StringView>(debug, PANELDEBUG_CAL_RESULTS)->field();
    field->setFocus();
    QTest::keyClicks(field, "xy");
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(delivered.size(), 2u);
}

TEST_F(ViewTest, TextBoxEditsReachTheModel) {
    const int data = load(PANELDATA);
    QPlainTextEdit* area = view<TextBoxView>(data, PANELDATA_TEXTBOX_DATA)->area();
    area->setFocus();
    QTest::keyClicks(area, "0110");
    std::string text;
    GetCtrlVal(data, PANELDATA_TEXTBOX_DATA, &text);
    EXPECT_EQ(text, "0110");
}

TEST_F(ViewTest, DimmedControlsTakeNoInput) {
    spy("QuitAll");
    const int main = load(PANELMAIN);
    SetCtrlAttribute(main, PANELMAIN_CMDQUIT, ATTR_DIMMED, 1);
    QPushButton* b = view<CommandButtonView>(main, PANELMAIN_CMDQUIT)->button();
    EXPECT_FALSE(b->isEnabled());
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(delivered.empty());
}

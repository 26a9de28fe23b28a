// What code does to the model is shown in the windows, without calling any callback.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "platform/qt/button_views.h"
#include "platform/qt/led_widget.h"
#include "platform/qt/number_spin_box.h"
#include "platform/qt/number_views.h"
#include "platform/qt/ring_views.h"
#include "platform/qt/text_views.h"
#include "view_fixture.h"

using namespace korvel::qtview;

TEST_F(ViewTest, ValuesSetByCodeAreShownWithoutCallbacks) {
    for (const char* name :
         {"CB_DAC", "FPGA", "divider", "CLOCK_OUT_1_BUTTON", "general_purpose_IO"})
        spy(name);
    const int main = load(PANELMAIN);
    const int debug = load(PANELDEBUG);

    SetCtrlVal(main, PANELMAIN_DUTY_CYCLE, 53.0);
    SetCtrlVal(main, PANELMAIN_DATA_SELECT, 4u);  // PRBS15
    SetCtrlVal(main, PANELMAIN_EYE_DIAGRAM_BOX, 1);
    SetCtrlVal(main, PANELMAIN_CLOCKOUT1_BUTTON, 1);
    SetCtrlVal(main, PANELMAIN_NOTIFY_USER, "USB CONNECTED");
    SetCtrlVal(debug, PANELDEBUG_I2C_BUS_LED, 1);
    SetCtrlVal(debug, PANELDEBUG_RINGSLIDE_GP_MPH, 3);

    auto* duty = view<NumericSlideView>(main, PANELMAIN_DUTY_CYCLE);
    EXPECT_EQ(duty->field()->value(), 53.0);
    EXPECT_EQ(duty->slider()->value(), 900);  // 53 on 44..56 in steps of 0.01
    EXPECT_EQ(view<RingView>(main, PANELMAIN_DATA_SELECT)->combo()->currentText(), "PRBS15");
    EXPECT_TRUE(view<CheckBoxView>(main, PANELMAIN_EYE_DIAGRAM_BOX)->box()->isChecked());
    EXPECT_EQ(view<ToggleButtonView>(main, PANELMAIN_CLOCKOUT1_BUTTON)->button()->text(), "ON");
    EXPECT_EQ(view<StringView>(main, PANELMAIN_NOTIFY_USER)->field()->text(), "USB CONNECTED");
    EXPECT_TRUE(view<LedView>(debug, PANELDEBUG_I2C_BUS_LED)->lamp()->isOn());
    EXPECT_EQ(view<RingSlideView>(debug, PANELDEBUG_RINGSLIDE_GP_MPH)->slider()->value(), 3);
    EXPECT_TRUE(delivered.empty());
}

TEST_F(ViewTest, AttributesSetByCodeAreShown) {
    const int main = load(PANELMAIN);
    auto* alert = view<TextMessageView>(main, PANELMAIN_ERROR_ALERT);
    EXPECT_TRUE(alert->text()->isHidden());  // hidden until error injection is on
    SetCtrlAttribute(main, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, 1);
    EXPECT_FALSE(alert->text()->isHidden());

    SetCtrlAttribute(main, PANELMAIN_NOTIFY_USER, ATTR_TEXT_COLOR, VAL_DK_RED);
    QLineEdit* notify = view<StringView>(main, PANELMAIN_NOTIFY_USER)->field();
    EXPECT_EQ(notify->palette().color(QPalette::Text), QColor(0x80, 0x00, 0x00));

    SetCtrlAttribute(main, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR, VAL_YELLOW);
    EXPECT_EQ(view<RingView>(main, PANELMAIN_DATA_SELECT)->combo()->palette().color(QPalette::Base),
              QColor(Qt::yellow));

    SetCtrlAttribute(main, PANELMAIN_VER, ATTR_TOOLTIP_TEXT, "Dec  8 2026 03:00:00");
    EXPECT_EQ(view<TextMessageView>(main, PANELMAIN_VER)->text()->toolTip(),
              "Dec  8 2026 03:00:00");

    SetCtrlAttribute(main, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 1);
    EXPECT_FALSE(view<StringView>(main, PANELMAIN_SETUP_LOADED)->field()->isEnabled());

    SetPanelAttribute(main, ATTR_TITLE, "Renamed");
    EXPECT_EQ(window(main)->windowTitle(), "Renamed");
}

TEST_F(ViewTest, ARangeChangedByCodeMovesTheFieldsLimit) {
    const int err = load(PANELERR);
    SetCtrlAttribute(err, PANELERR_ERRS_PER_256, ATTR_MAX_VALUE, 16);
    EXPECT_EQ(view<NumericView>(err, PANELERR_ERRS_PER_256)->field()->maximum(), 16.0);
}

TEST_F(ViewTest, EveryControlOfEveryPanelHasItsWidgetAndTooltip) {
    for (const auto& panel : korvel::resource::panels()) {
        const int handle = load(panel.id);
        PanelWindow* w = window(handle);
        ASSERT_NE(w, nullptr) << panel.constant;
        EXPECT_EQ(w->views().size(), static_cast<int>(panel.controls.size())) << panel.constant;
        for (const auto& c : panel.controls) {
            ControlView* v = w->view(c.id);
            ASSERT_NE(v, nullptr) << panel.constant << " " << c.constant;
            if (c.kind == korvel::resource::ControlKind::Timer) continue;
            ASSERT_NE(v->editor(), nullptr) << c.constant;
            EXPECT_TRUE(w->isAncestorOf(v->editor())) << c.constant;
            if (!c.tooltip.empty()) {
                EXPECT_EQ(v->editor()->toolTip().toStdString(), c.tooltip) << c.constant;
            }
        }
    }
}

TEST_F(ViewTest, DiscardedPanelsCloseTheirWindows) {
    const int help = load(PANELHELP);
    QPointer<PanelWindow> w = window(help);
    ASSERT_TRUE(w->isVisible());
    DiscardPanel(help);
    EXPECT_FALSE(w->isVisible());
    settle();
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(window(help), nullptr);
}

// Windows shown one after another at start-up (the main window, then Custom Test Pattern for a
// configuration that chose Custom Data): the window system activates them later, one request
// after the other, and the model follows without asking again, so activation comes to rest.
TEST_F(ViewTest, WindowsShownTogetherSettleOnOneActiveWindow) {
    // Counts the windows' activations; past a few dozen it holds the activation and focus
    // events back from the view, so that an endless cascade ends and the test can fail.
    struct ActivationCount : QObject {
        int seen = 0;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::WindowActivate && qobject_cast<PanelWindow*>(o) != nullptr)
                ++seen;
            return seen > 40 &&
                   (e->type() == QEvent::WindowActivate || e->type() == QEvent::FocusIn);
        }
    } count;
    qApp->installEventFilter(&count);
    load(PANELMAIN);
    const int data = load(PANELDATA);
    for (int round = 0; round < 10; ++round) QCoreApplication::processEvents();
    qApp->removeEventFilter(&count);
    EXPECT_LE(count.seen, 4);
    EXPECT_EQ(GetActivePanel(), data);
}

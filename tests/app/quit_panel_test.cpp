// Closing each secondary panel with its CLOSE button.
#include <string>
#include <vector>

#include "app_fixture.h"

using namespace korvel::app;
namespace platform = korvel::platform;

namespace {

struct Secondary {
    const char* name;
    int resource;
    int close_button;
    int* handle;
    unsigned char* flag;  // null: the panel has no open flag
};

std::vector<Secondary> secondaries() {
    return {
        {"Debug", PANELDEBUG, PANELDEBUG_CLOSEPANELDEBUG, &debug_panel, &debug_panel_open},
        {"Custom Test Pattern", PANELDATA, PANELDATA_CLOSEPANELDATA, &data_panel, &data_panel_open},
        {"Error Injection Setup", PANELERR, PANELERR_CLOSEPANELERR, &err_panel, &err_panel_open},
        {"Help", PANELHELP, PANELHELP_CLOSEPANELHELP, &help_panel, &help_panel_open},
        {"More Features", PANELMORE, PANELMORE_CLOSEPANELMORE, &more_panel, &more_panel_open},
        {"Calibration", PANELCAL, PANELCAL_CLOSEPANELCAL, &cal_panel, nullptr},
    };
}

// Opens every secondary panel the way its opener leaves it: loaded, shown, flag set.
void open_all() {
    for (const Secondary& s : secondaries()) {
        *s.handle = LoadPanel(0, "main.uir", s.resource);
        DisplayPanel(*s.handle);
        if (s.flag != nullptr) *s.flag = 1;
    }
}

}  // namespace

TEST_F(AppTest, CloseDiscardsOnlyItsPanelAndClearsOnlyItsFlag) {
    for (const Secondary& closing : secondaries()) {
        SCOPED_TRACE(closing.name);
        SetUp();
        load_main();
        open_all();
        const int handle = *closing.handle;

        EXPECT_EQ(platform::operate_ctrl(handle, closing.close_button, EVENT_COMMIT), 0);

        EXPECT_FALSE(platform::panel_loaded(handle));
        EXPECT_EQ(*closing.handle, handle);
        for (const Secondary& other : secondaries()) {
            if (&other == &closing || other.resource == closing.resource) continue;
            EXPECT_TRUE(platform::panel_loaded(*other.handle)) << other.name;
            if (other.flag != nullptr) {
                EXPECT_EQ(*other.flag, 1) << other.name;
            }
        }
        if (closing.flag != nullptr) {
            EXPECT_EQ(*closing.flag, 0);
        }
        EXPECT_TRUE(platform::panel_loaded(main_panel));
    }
}

TEST_F(AppTest, ClosingMoreFeaturesResendsTheSwitchThenClearsTheMainPanelMarks) {
    load_main();
    open_all();
    ASSERT_EQ(korvel::init_usb(), 1);
    SetCtrlAttribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR, VAL_YELLOW);
    SetCtrlAttribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, 1);
    SetCtrlVal(more_panel, PANELMORE_ERROR_INJ_ON_BUTTON, 1);

    const int more = more_panel;
    quit_panel(more, PANELMORE_CLOSEPANELMORE, EVENT_COMMIT, nullptr, 0, 0);

    // The switch's state at closing (on) reached expander 3 IO1 while the panel was still open.
    EXPECT_EQ(board().expander(3).pins() & 0x02, 0x02);
    int bg = 0, visible = 1;
    GetCtrlAttribute(main_panel, PANELMAIN_DATA_SELECT, ATTR_TEXT_BGCOLOR, &bg);
    GetCtrlAttribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, &visible);
    EXPECT_EQ(bg, VAL_WHITE);
    EXPECT_EQ(visible, 0);
    EXPECT_EQ(more_panel_open, 0);
    EXPECT_FALSE(platform::panel_loaded(more));
}

TEST_F(AppTest, ClosingAnotherPanelLeavesTheMainPanelMarksAlone) {
    load_main();
    open_all();
    SetCtrlAttribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, 1);
    quit_panel(help_panel, PANELHELP_CLOSEPANELHELP, EVENT_COMMIT, nullptr, 0, 0);
    int visible = 0;
    GetCtrlAttribute(main_panel, PANELMAIN_ERROR_ALERT, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    EXPECT_EQ(more_panel_open, 1);
}

TEST_F(AppTest, CloseActsOnCommitOnly) {
    load_main();
    open_all();
    for (int event : {EVENT_VAL_CHANGED, EVENT_KEYPRESS, EVENT_MOUSE_WHEEL_SCROLL})
        quit_panel(debug_panel, PANELDEBUG_CLOSEPANELDEBUG, event, nullptr, 0, 0);
    EXPECT_TRUE(platform::panel_loaded(debug_panel));
    EXPECT_EQ(debug_panel_open, 1);
}

TEST_F(AppTest, EveryCalibrationCopyClosesOnItsOwn) {
    load_main();
    const int first = LoadPanel(0, "main.uir", PANELCAL);
    const int second = LoadPanel(0, "main.uir", PANELCAL);
    cal_panel = second;
    platform::operate_ctrl(first, PANELCAL_CLOSEPANELCAL, EVENT_COMMIT);
    EXPECT_FALSE(platform::panel_loaded(first));
    EXPECT_TRUE(platform::panel_loaded(second));
}

// The openers of the secondary windows: one copy each, their open flags, what they show.
#include <string>

#include "app/openers.h"
#include "app_fixture.h"

using namespace korvel::app;
namespace platform = korvel::platform;

TEST_F(AppTest, F9OnTheMainWindowOpensTheDebugPanelOnce) {
    load_main();
    scramble_mode = 7;
    EXPECT_EQ(platform::press_key(main_panel, VAL_F9_VKEY), 1);
    EXPECT_EQ(platform::press_key(main_panel, VAL_F9_VKEY), 1);
    EXPECT_EQ(copies(PANELDEBUG), 1);
    EXPECT_EQ(debug_panel_open, 1);
    EXPECT_TRUE(platform::panel_displayed(debug_panel));
    // The scramble ring's resource choice, "New Scramble", is read as the panel opens.
    EXPECT_EQ(scramble_mode, 1);
}

TEST_F(AppTest, DebugActsOnCommitOnly) {
    load_main();
    Debug(main_panel, PANELMAIN_DEBUG, EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_EQ(copies(PANELDEBUG), 0);
    EXPECT_EQ(debug_panel_open, 0);
}

TEST_F(AppTest, FeaturesOpensOneMoreFeaturesPanelShowingTheStoredSettings) {
    load_main();
    settings.Manual = 1;
    settings.DivideBy = 77;
    settings.Polarity = 1;
    platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES);
    platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES);
    EXPECT_EQ(copies(PANELMORE), 1);
    EXPECT_EQ(more_panel_open, 1);
    int manual = 0, ratio = 0, inverted = 0, dimmed = 1;
    GetCtrlVal(more_panel, PANELMORE_MANUAL_CTRL_BOX, &manual);
    GetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, &ratio);
    GetCtrlVal(more_panel, PANELMORE_INV_DATA_BUTTON, &inverted);
    GetCtrlAttribute(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(manual, 1);
    EXPECT_EQ(ratio, 77);
    EXPECT_EQ(inverted, 1);
    EXPECT_EQ(dimmed, 0);
    const int first = more_panel;

    platform::operate_ctrl(more_panel, PANELMORE_CLOSEPANELMORE, EVENT_COMMIT);
    EXPECT_EQ(copies(PANELMORE), 0);
    EXPECT_EQ(more_panel_open, 0);
    EXPECT_EQ(more_panel, first);  // the handle keeps its last value

    // A fresh copy, filled again from the settings set (here: automatic trigger, ratio dimmed).
    settings.Manual = 0;
    settings.DivideBy = 9;
    platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES);
    EXPECT_NE(more_panel, first);
    GetCtrlVal(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, &ratio);
    GetCtrlAttribute(more_panel, PANELMORE_DIVIDE_RATIO_CONTROL, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(ratio, 9);
    EXPECT_EQ(dimmed, 1);
}

TEST_F(AppTest, HelpShowsTheProgramVersionInOneCopy) {
    load_main();
    platform::choose_menu_item(main_panel, MENUBAR_HELP);
    platform::choose_menu_item(main_panel, MENUBAR_HELP);
    EXPECT_EQ(copies(PANELHELP), 1);
    EXPECT_EQ(help_panel_open, 1);
    std::string ver;
    ASSERT_EQ(GetCtrlVal(help_panel, PANELHELP_VER, &ver), 0);
    EXPECT_EQ(ver, "V 1.4.0");
    EXPECT_TRUE(platform::panel_displayed(help_panel));
}

TEST_F(AppTest, ErrorInjectionSetupOpensOnlyWithTheUnitAttachedAndOnlyOnce) {
    load_main();
    platform::choose_menu_item(main_panel, MENUBAR_MOREFEATURES);

    board().detach();
    platform::operate_ctrl(more_panel, PANELMORE_ERROR_INJECTION, EVENT_COMMIT);
    EXPECT_EQ(copies(PANELERR), 0);
    EXPECT_EQ(err_panel_open, 0);
    EXPECT_TRUE(host().popups.empty());  // says nothing either

    board().attach();
    LoadErrInjPanel(more_panel, PANELMORE_ERROR_INJECTION, EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_EQ(copies(PANELERR), 0);
    platform::operate_ctrl(more_panel, PANELMORE_ERROR_INJECTION, EVENT_COMMIT);
    platform::operate_ctrl(more_panel, PANELMORE_ERROR_INJECTION, EVENT_COMMIT);
    EXPECT_EQ(copies(PANELERR), 1);
    EXPECT_EQ(err_panel_open, 1);
    EXPECT_TRUE(platform::panel_displayed(err_panel));
}

TEST_F(AppTest, ErrorInjectionSetupLooksForTheAlternateDescriptionToo) {
    load_main();
    board().detach();
    board().description = "ZEVA~KORVEL";
    board().attach();
    LoadErrInjPanel(0, PANELMORE_ERROR_INJECTION, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(copies(PANELERR), 1);
}

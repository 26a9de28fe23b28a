// Callbacks: operator input delivers events, code does not; keys, shortcuts, wheel and menus.
#include "ui_fixture.h"

namespace korvel::platform::testing {
namespace {

using EventTest = UiTest;

TEST_F(EventTest, SettingFromCodeNeverCallsTheCallback) {
    record("CB_DAC");
    record("FPGA");
    const int main = load(PANELMAIN);
    SetCtrlVal(main, PANELMAIN_DUTY_CYCLE, 51.0);
    SetCtrlIndex(main, PANELMAIN_DATA_SELECT, 0);
    SetCtrlAttribute(main, PANELMAIN_MUX_AMP, ATTR_MAX_VALUE, 100.0);  // pulls the value in
    EXPECT_TRUE(events.empty());
}

TEST_F(EventTest, OperatorInputSetsTheValueThenDeliversTheEvent) {
    const int main = load(PANELMAIN);
    float seen = 0;
    register_callback("CB_DAC", [&](int p, int c, int e, void*, int, int) {
        GetCtrlVal(p, c, &seen);
        events.push_back({p, c, e, 0});
        return 0;
    });
    operate_ctrl(main, PANELMAIN_DUTY_CYCLE, 52.5, EVENT_VAL_CHANGED);
    operate_ctrl(main, PANELMAIN_DUTY_CYCLE, 99.0, EVENT_COMMIT);
    EXPECT_EQ(events, (std::vector<Event>{{main, PANELMAIN_DUTY_CYCLE, EVENT_VAL_CHANGED, 0},
                                          {main, PANELMAIN_DUTY_CYCLE, EVENT_COMMIT, 0}}));
    EXPECT_EQ(seen, 56.0f);  // the callback already sees the clamped value
}

TEST_F(EventTest, RingsAndButtonsCommitAndUnregisteredCallbacksAreInert) {
    record("FPGA");
    const int main = load(PANELMAIN);
    EXPECT_EQ(operate_ring_index(main, PANELMAIN_DATA_SELECT, 4, EVENT_COMMIT), 0);
    EXPECT_EQ(operate_ctrl(main, PANELMAIN_RST_FPGA), 0);  // ResetFpga not registered
    EXPECT_EQ(events, (std::vector<Event>{{main, PANELMAIN_DATA_SELECT, EVENT_COMMIT, 0}}));
    EXPECT_EQ(operate_ctrl(main, PANELMAIN_VER, 1.0, EVENT_COMMIT), UIENotAllowed);
}

TEST_F(EventTest, DimmedControlsIgnoreTheOperator) {
    record("CB_DAC");
    const int main = load(PANELMAIN);
    SetCtrlAttribute(main, PANELMAIN_DUTY_CYCLE, ATTR_DIMMED, 1);
    EXPECT_EQ(operate_ctrl(main, PANELMAIN_DUTY_CYCLE, 45.0, EVENT_COMMIT), UIEControlDimmed);
    EXPECT_EQ(scroll_wheel(main, PANELMAIN_DUTY_CYCLE, MOUSE_WHEEL_PAGE_UP), UIEControlDimmed);
    float duty = 0;
    GetCtrlVal(main, PANELMAIN_DUTY_CYCLE, &duty);
    EXPECT_EQ(duty, 50.0f);
    EXPECT_TRUE(events.empty());
}

TEST_F(EventTest, WheelReachesTheCallbackWithItsKindAndLeavesTheValueToIt) {
    record("CB_DAC");
    const int main = load(PANELMAIN);
    scroll_wheel(main, PANELMAIN_MUX_AMP, MOUSE_WHEEL_PAGE_DOWN);
    EXPECT_EQ(events, (std::vector<Event>{{main, PANELMAIN_MUX_AMP, EVENT_MOUSE_WHEEL_SCROLL, 3}}));
    float amp = 0;
    GetCtrlVal(main, PANELMAIN_MUX_AMP, &amp);
    EXPECT_EQ(amp, 450.0f);
}

TEST_F(EventTest, F9OnTheMainPanelOperatesTheHiddenDebugButton) {
    record("Debug");
    const int main = load(PANELMAIN);
    int visible = 1;
    GetCtrlAttribute(main, PANELMAIN_DEBUG, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 0);
    record("QuitAll");  // the active control, Exit, sees every key first
    EXPECT_EQ(GetActiveCtrl(main), PANELMAIN_CMDQUIT);
    EXPECT_EQ(press_key(main, VAL_F9_VKEY), 1);
    EXPECT_EQ(events, (std::vector<Event>{{main, PANELMAIN_CMDQUIT, EVENT_KEYPRESS, VAL_F9_VKEY},
                                          {main, PANELMAIN_DEBUG, EVENT_COMMIT, 0}}));
    events.clear();
    EXPECT_EQ(press_key(main, VAL_F12_VKEY), 0);
    EXPECT_EQ(press_key(main, 'a'), 0);
    EXPECT_EQ(events.size(), 2u);  // keypresses only
}

TEST_F(EventTest, AConsumedKeyStopsThereAndF12OperatesNext) {
    const int debug = load(PANELDEBUG);
    SetActiveCtrl(debug, PANELDEBUG_CAL_RESULTS);
    record("CB_Debug", 1);  // consumes every key
    EXPECT_EQ(press_key(debug, VAL_F12_VKEY), 1);
    EXPECT_EQ(events,
              (std::vector<Event>{{debug, PANELDEBUG_CAL_RESULTS, EVENT_KEYPRESS, VAL_F12_VKEY}}));
    events.clear();
    record("CB_Debug", 0);
    press_key(debug, VAL_F12_VKEY);
    EXPECT_EQ(events.back(), (Event{debug, PANELDEBUG_NEXT_FREQ_BUTTON, EVENT_COMMIT, 0}));
}

TEST_F(EventTest, ACallbackMayDiscardItsOwnPanel) {
    register_callback("quit_panel", [](int p, int, int e, void*, int, int) {
        if (e == EVENT_COMMIT) DiscardPanel(p);
        return 0;
    });
    const int help = load(PANELHELP);
    EXPECT_EQ(operate_ctrl(help, PANELHELP_CLOSEPANELHELP), 0);
    EXPECT_FALSE(panel_loaded(help));
    EXPECT_EQ(operate_ctrl(help, PANELHELP_CLOSEPANELHELP), UIEHandleInvalid);
}

TEST_F(EventTest, MenuChoicesCallTheNamedMenuCallback) {
    std::vector<std::tuple<int, int, int>> calls;
    auto menu = [&](int bar, int item, void*, int panel) { calls.emplace_back(bar, item, panel); };
    register_menu_callback("Help", menu);
    register_menu_callback("file_exit", menu);
    const int main = load(PANELMAIN);
    const int bar = GetPanelMenuBar(main);
    EXPECT_EQ(choose_menu_item(main, MENUBAR_HELP), 0);
    EXPECT_EQ(choose_menu_item(main, MENUBAR_MENU1_FILEEXIT), 0);
    EXPECT_EQ(choose_menu_item(main, MENUBAR_MENU1_FILEOPEN), 0);  // not registered
    EXPECT_EQ(choose_menu_item(main, MENUBAR_MENU1), 0);           // opens the menu only
    EXPECT_LT(choose_menu_item(main, 99), 0);
    EXPECT_LT(choose_menu_item(load(PANELHELP), MENUBAR_HELP), 0);  // no menu bar there
    EXPECT_EQ(calls, (std::vector<std::tuple<int, int, int>>{{bar, MENUBAR_HELP, main},
                                                             {bar, MENUBAR_MENU1_FILEEXIT, main}}));
}

}  // namespace
}  // namespace korvel::platform::testing

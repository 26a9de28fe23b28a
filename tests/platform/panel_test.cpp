// Loading, showing and discarding panels.
#include "ui_fixture.h"

namespace korvel::platform::testing {
namespace {

using PanelTest = UiTest;

TEST_F(PanelTest, EachLoadGivesAFreshPositiveHandleThatIsNeverReused) {
    const int a = load(PANELMORE);
    const int b = load(PANELMORE);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_NE(a, b);
    ASSERT_EQ(DiscardPanel(a), 0);
    const int c = load(PANELMORE);
    EXPECT_NE(c, a);
    EXPECT_EQ(panel_resource_id(c), PANELMORE);
    EXPECT_EQ(loaded_panels(), (std::vector<int>{b, c}));
}

TEST_F(PanelTest, LoadRefusesOtherResourcesUnknownPanelsAndMissingParents) {
    EXPECT_LT(LoadPanel(0, "other.uir", PANELMAIN), 0);
    EXPECT_LT(LoadPanel(0, nullptr, PANELMAIN), 0);
    EXPECT_LT(LoadPanel(0, "main.uir", 0), 0);
    EXPECT_LT(LoadPanel(0, "main.uir", 8), 0);
    EXPECT_LT(LoadPanel(42, "main.uir", PANELHELP), 0);
    EXPECT_GT(LoadPanel(0, "C:\\ZEVA\\MAIN.UIR", PANELHELP), 0);
    EXPECT_GT(LoadPanel(0, "/opt/korvel/main.uir", PANELHELP), 0);
    EXPECT_TRUE(loaded_panels().size() == 2);
}

TEST_F(PanelTest, AFreshCopyStartsFromTheResourceValues) {
    const int p = load(PANELMORE);
    SetCtrlVal(p, PANELMORE_DIVIDE_RATIO_CONTROL, 77);
    DiscardPanel(p);
    const int q = load(PANELMORE);
    unsigned ratio = 0;
    ASSERT_EQ(GetCtrlVal(q, PANELMORE_DIVIDE_RATIO_CONTROL, &ratio), 0);
    EXPECT_EQ(ratio, 1u);
}

TEST_F(PanelTest, ReadingADiscardedPanelFailsAndLeavesTheDestinationAlone) {
    const int p = load(PANELMORE);
    DiscardPanel(p);
    int value = -123;
    EXPECT_LT(GetCtrlVal(p, PANELMORE_ERROR_INJ_ON_BUTTON, &value), 0);
    EXPECT_EQ(value, -123);
    char text[8] = "keep";
    EXPECT_LT(GetCtrlVal(p, PANELMORE_TEXTMSG_5, text), 0);
    EXPECT_STREQ(text, "keep");
    EXPECT_LT(GetCtrlVal(0, 2, &value), 0);
    EXPECT_EQ(value, -123);
    EXPECT_LT(SetCtrlVal(p, PANELMORE_ERROR_INJ_ON_BUTTON, 1), 0);
    EXPECT_LT(DiscardPanel(p), 0);
}

TEST_F(PanelTest, TitleDisplayAndMenuBar) {
    const int main = load(PANELMAIN);
    std::string title;
    ASSERT_EQ(GetPanelAttribute(main, ATTR_TITLE, &title), 0);
    EXPECT_EQ(title, "Morlidex - KORVEL Control Software");
    ASSERT_EQ(SetPanelAttribute(main, ATTR_TITLE, "PRBS Generator"), 0);
    GetPanelAttribute(main, ATTR_TITLE, &title);
    EXPECT_EQ(title, "PRBS Generator");
    EXPECT_FALSE(panel_displayed(main));
    DisplayPanel(main);
    EXPECT_TRUE(panel_displayed(main));
    EXPECT_GT(GetPanelMenuBar(main), 0);
    EXPECT_EQ(GetPanelMenuBar(load(PANELHELP)), 0);
}

TEST_F(PanelTest, DiscardingAParentTakesItsChildren) {
    const int parent = load(PANELMAIN);
    const int child = LoadPanel(parent, "main.uir", PANELHELP);
    ASSERT_GT(child, 0);
    EXPECT_EQ(panel_parent(child), parent);
    DiscardPanel(parent);
    EXPECT_FALSE(panel_loaded(child));
}

TEST_F(PanelTest, ActiveControlStartsOnTheFirstInputControlAndFollowsSetActiveCtrl) {
    const int debug = load(PANELDEBUG);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CHECKBOX_GP_IO);
    ASSERT_EQ(SetActiveCtrl(debug, PANELDEBUG_CAL_RESULTS), 0);
    EXPECT_EQ(GetActiveCtrl(debug), PANELDEBUG_CAL_RESULTS);
    EXPECT_LT(SetActiveCtrl(debug, 99), 0);
    EXPECT_EQ(SetActivePanel(debug), 0);
    EXPECT_EQ(GetActivePanel(), debug);
    DiscardPanel(debug);
    EXPECT_EQ(GetActivePanel(), 0);
}

}  // namespace
}  // namespace korvel::platform::testing

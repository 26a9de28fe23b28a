// The catalogue against the resource tables: counts, numbering, constants, texts, ranges.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "resource/catalogue.h"
#include "resource/main_uir.h"

namespace {

using namespace korvel::resource;

TEST(Catalogue, HoldsSevenPanelsAnd147ControlsWithTheTableCounts) {
    const std::map<std::string_view, int> expected = {
        {"PANELCAL", 33}, {"PANELDATA", 24}, {"PANELDEBUG", 28}, {"PANELERR", 18},
        {"PANELHELP", 9}, {"PANELMAIN", 23}, {"PANELMORE", 12}};
    ASSERT_EQ(panels().size(), 7u);
    int total = 0;
    for (const auto& p : panels()) {
        EXPECT_EQ(static_cast<int>(p.controls.size()), expected.at(p.constant)) << p.constant;
        total += static_cast<int>(p.controls.size());
    }
    EXPECT_EQ(total, 147);
}

TEST(Catalogue, PanelIdsFollowTheAlphabeticalOrderOfTheirConstants) {
    std::string previous;
    int id = 1;
    for (const auto& p : panels()) {
        EXPECT_EQ(p.id, id++);
        EXPECT_LT(previous, std::string(p.constant));
        previous = p.constant;
    }
    EXPECT_EQ(PANELCAL, 1);
    EXPECT_EQ(PANELMAIN, 6);
    EXPECT_EQ(PANELMORE, 7);
}

TEST(Catalogue, ControlIdsRunFromTwoInTableOrderAndConstantsAreUniquePerPanel) {
    for (const auto& p : panels()) {
        std::set<std::string_view> names;
        for (std::size_t i = 0; i < p.controls.size(); ++i) {
            EXPECT_EQ(p.controls[i].id, static_cast<int>(i) + 2) << p.constant;
            EXPECT_TRUE(names.insert(p.controls[i].constant).second) << p.controls[i].constant;
        }
    }
}

TEST(Catalogue, GeneratedConstantsMatchTheTables) {
    EXPECT_EQ(PANELMAIN_DEBUG, 2);
    EXPECT_EQ(PANELMAIN_DATA_SELECT, 12);
    EXPECT_EQ(PANELMAIN_ERROR_ALERT, 24);
    EXPECT_EQ(PANELMORE_INV_DATA_BUTTON, 13);
    EXPECT_EQ(PANELHELP_TEXTMSG_4, 10);
    EXPECT_EQ(PANELERR_SPREAD_ERRS, 19);
    EXPECT_EQ(PANELDATA_BIT7, 12);
    EXPECT_EQ(PANELDATA_BIT0, 19);
    EXPECT_EQ(PANELDATA_TEXTMSG_4, 25);
    EXPECT_EQ(PANELDEBUG_DEBUG_TIMER, 16);
    EXPECT_EQ(PANELDEBUG_TEXTMSG_2, 29);
    EXPECT_EQ(PANELCAL_CHECKBOX_13, 7);
    EXPECT_EQ(PANELCAL_CHECKBOX_2, 18);
    EXPECT_EQ(PANELCAL_FILENAME, 34);
    // The same constant name on two panels keeps each panel's own id.
    EXPECT_EQ(PANELMAIN_DUTY_CYCLE, 5);
    EXPECT_EQ(PANELDATA_DUTY_CYCLE, 22);
    EXPECT_EQ(PANELERR_LOAD_FPGA, 3);
    EXPECT_EQ(PANELDATA_LOAD_FPGA, 5);
}

TEST(Catalogue, PatternSelectRingReadsItemValuesNotPositions) {
    const ControlDef* ring = find_control(PANELMAIN, PANELMAIN_DATA_SELECT);
    ASSERT_NE(ring, nullptr);
    const std::vector<std::pair<std::string, double>> want = {
        {"PRBS6", 12}, {"PRBS7", 1},  {"PRBS9", 2},  {"PRBS11", 3},
        {"PRBS15", 4}, {"PRBS17", 5}, {"PRBS20", 6}, {"PRBS23", 7},
        {"PRBS29", 8}, {"PRBS31", 9}, {"Clock", 10}, {"Custom Data", 11}};
    ASSERT_EQ(ring->items.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(ring->items[i].label, want[i].first);
        EXPECT_EQ(ring->items[i].value, want[i].second);
    }
    EXPECT_EQ(ring->items[static_cast<std::size_t>(ring->selected_index)].label, "PRBS9");
    EXPECT_EQ(ring->type, DataType::UnsignedInt);
}

TEST(Catalogue, DefaultsLieWithinRangesAndMatchTheirKinds) {
    for (const auto& p : panels()) {
        for (const auto& c : p.controls) {
            SCOPED_TRACE(std::string(p.constant) + "_" + std::string(c.constant));
            if (is_text_kind(c.kind)) {
                EXPECT_EQ(c.type, DataType::String);
            }
            if (is_valueless_kind(c.kind)) {
                EXPECT_EQ(c.type, DataType::None);
            }
            if (is_binary_kind(c.kind)) {
                EXPECT_TRUE(c.value == 0.0 || c.value == 1.0);
            }
            if (is_numeric_kind(c.kind)) {
                EXPECT_NE(c.type, DataType::None);
                EXPECT_NE(c.type, DataType::String);
                EXPECT_GT(c.increment, 0.0);
                if (c.has_range) {
                    EXPECT_LE(c.min, c.value);
                    EXPECT_LE(c.value, c.max);
                }
            }
            if (is_ring_kind(c.kind)) {
                ASSERT_FALSE(c.items.empty());
                ASSERT_LT(static_cast<std::size_t>(c.selected_index), c.items.size());
                EXPECT_EQ(c.items[static_cast<std::size_t>(c.selected_index)].value, c.value);
            }
            if (c.kind == ControlKind::Timer) {
                EXPECT_EQ(c.interval, 1.0);
            }
        }
    }
    EXPECT_EQ(find_control(PANELMAIN, PANELMAIN_DUTY_CYCLE)->increment, 0.01);
    EXPECT_EQ(find_control(PANELMAIN, PANELMAIN_MUX_AMP)->max, 600.0);
    EXPECT_EQ(find_control(PANELERR, PANELERR_PULSE_WIDTH)->max, 4294967295.0);
    EXPECT_EQ(find_control(PANELDEBUG, PANELDEBUG_SCRAMBLE_MODE)->value, 1.0);
    EXPECT_EQ(find_control(PANELCAL, PANELCAL_FILENAME)->text, "Data.csv");
}

TEST(Catalogue, OnlyDebugAndNextAnswerShortcutKeys) {
    std::vector<std::string> with_keys;
    for (const auto& p : panels())
        for (const auto& c : p.controls)
            if (c.shortcut_key != 0)
                with_keys.push_back(std::string(p.constant) + "_" + std::string(c.constant));
    EXPECT_EQ(with_keys,
              (std::vector<std::string>{"PANELDEBUG_NEXT_FREQ_BUTTON", "PANELMAIN_DEBUG"}));
    EXPECT_EQ(find_control(PANELMAIN, PANELMAIN_DEBUG)->shortcut_key, VAL_F9_VKEY);
    EXPECT_EQ(find_control(PANELDEBUG, PANELDEBUG_NEXT_FREQ_BUTTON)->shortcut_key, VAL_F12_VKEY);
}

TEST(Catalogue, EverySecondaryPanelClosesThroughQuitPanel) {
    int close_buttons = 0;
    for (const auto& p : panels()) {
        for (const auto& c : p.controls) {
            if (c.constant.starts_with("CLOSEPANEL")) {
                EXPECT_EQ(c.callback, "quit_panel");
                EXPECT_EQ(c.label, "CLOSE");
                ++close_buttons;
            } else {
                EXPECT_NE(c.callback, "quit_panel") << c.constant;
            }
        }
    }
    EXPECT_EQ(close_buttons, 6);
}

TEST(Catalogue, MenuBarHasTheFourMenusInOrderWithTheirCallbacks) {
    const auto& bar = menu_bar();
    ASSERT_EQ(bar.menus.size(), 4u);
    EXPECT_EQ(bar.menus[0].label, "File");
    EXPECT_EQ(bar.menus[1].label, "Features");
    EXPECT_EQ(bar.menus[2].label, "EEPROM");
    EXPECT_EQ(bar.menus[3].label, "Help");
    EXPECT_EQ(menu_callback(MENUBAR_MENU1_FILEOPEN), "FileOpen");
    EXPECT_EQ(menu_callback(MENUBAR_MENU1_SAVECONFIG), "FileSaveAs");
    EXPECT_EQ(menu_callback(MENUBAR_MENU1_QUITNOSAVE), "file_quit");
    EXPECT_EQ(menu_callback(MENUBAR_MENU1_FILEEXIT), "file_exit");
    EXPECT_EQ(menu_callback(MENUBAR_MOREFEATURES), "MoreFeatures");
    EXPECT_EQ(menu_callback(MENUBAR_EEPROM_WriteEEPROM), "writeUserEEPROM");
    EXPECT_EQ(menu_callback(MENUBAR_EEPROM_ReadEEPROM), "readUserEEPROM");
    EXPECT_EQ(menu_callback(MENUBAR_HELP), "Help");
    EXPECT_EQ(menu_callback(MENUBAR_MENU1), "");  // a menu with items has no callback itself
    EXPECT_EQ(find_menu_item(MENUBAR_MENU1_QUITNOSAVE)->label, "Quit Without Saving setup.cfg");
    EXPECT_EQ(menu_callback(999), "");
}

TEST(Catalogue, TitlesAndFixedTexts) {
    EXPECT_EQ(find_panel(PANELMAIN)->title, "Morlidex - KORVEL Control Software");
    EXPECT_EQ(find_panel(PANELERR)->title, "Error Injection Setup");
    EXPECT_EQ(find_panel(PANELDATA)->title, "Custom Test Pattern");
    EXPECT_TRUE(find_panel(PANELMAIN)->has_menu_bar);
    EXPECT_FALSE(find_panel(PANELMORE)->has_menu_bar);
    EXPECT_EQ(find_control(PANELHELP, PANELHELP_VER)->text, "Version 0.0.0");
    EXPECT_EQ(find_control(PANELERR, PANELERR_TEXTMSG_FILE_PATH)->text, "\"FilePath\"");
    EXPECT_EQ(find_control(PANELERR, PANELERR_TEXTMSG)->text.back(), ' ');
    EXPECT_EQ(find_control(PANELMAIN, PANELMAIN_VER)->tooltip, "Version ofThis Control Software");
    EXPECT_FALSE(find_control(PANELHELP, PANELHELP_TEXTMSG_4)->text.empty());
    EXPECT_TRUE(find_control(PANELDEBUG, PANELDEBUG_RINGSLIDE_GP_APH)->label.ends_with("PHS"));
    EXPECT_TRUE(find_control(PANELDEBUG, PANELDEBUG_RINGSLIDE_GP_MPH)->label.ends_with("PHS"));
}

}  // namespace

// Every callback name the resource gives a control or menu resolves to a function of the program
// through the one table, and the table holds nothing the resource does not name.
#include <algorithm>
#include <set>
#include <string>

#include "app/callback_table.h"
#include "app_fixture.h"
#include "resource/catalogue.h"

namespace {

using namespace korvel;

std::set<std::string> control_names_in_resource() {
    std::set<std::string> names;
    for (const auto& panel : resource::panels())
        for (const auto& c : panel.controls)
            if (!c.callback.empty()) names.emplace(c.callback);
    return names;
}

std::set<std::string> menu_names_in_resource() {
    std::set<std::string> names;
    for (const auto& menu : resource::menu_bar().menus) {
        if (!menu.callback.empty()) names.emplace(menu.callback);
        for (const auto& item : menu.items) names.emplace(item.callback);
    }
    return names;
}

template <class Table>
std::set<std::string> names_in(Table table) {
    std::set<std::string> names;
    for (const auto& entry : table) {
        EXPECT_NE(entry.function, nullptr) << entry.name;
        EXPECT_TRUE(names.emplace(entry.name).second) << "twice in the table: " << entry.name;
    }
    return names;
}

void expect_same_names(const std::set<std::string>& resource_names,
                       const std::set<std::string>& table_names) {
    for (const auto& name : resource_names)
        EXPECT_TRUE(table_names.count(name) != 0)
            << "the resource names " << name << " but no function is bound to it";
    for (const auto& name : table_names)
        EXPECT_TRUE(resource_names.count(name) != 0) << name << " is bound but never named";
}

}  // namespace

TEST(CallbackTable, EveryControlCallbackNameResolves) {
    expect_same_names(control_names_in_resource(), names_in(app::control_callbacks()));
}

TEST(CallbackTable, EveryMenuCallbackNameResolves) {
    expect_same_names(menu_names_in_resource(), names_in(app::menu_callbacks()));
}

TEST_F(AppTest, RegisteredNamesReachTheBoundFunctions) {
    // Operator input goes through the registry to the table's functions.
    load_main();
    korvel::platform::choose_menu_item(korvel::app::main_panel, MENUBAR_HELP);
    EXPECT_EQ(korvel::app::help_panel_open, 1);
    korvel::platform::operate_ctrl(korvel::app::main_panel, PANELMAIN_DEBUG, EVENT_COMMIT);
    EXPECT_EQ(korvel::app::debug_panel_open, 1);
}

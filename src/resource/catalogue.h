// The catalogue of resource "main.uir": seven panels, the menu bar and 147 controls, with
// lookups by id and by constant name. All of it is constexpr.
#pragma once

#include <cstddef>
#include <iterator>
#include <span>
#include <string_view>

#include "resource/control_def.h"
#include "resource/panels/menu_bar.h"
#include "resource/panels/panel_cal.h"
#include "resource/panels/panel_data.h"
#include "resource/panels/panel_debug.h"
#include "resource/panels/panel_err.h"
#include "resource/panels/panel_help.h"
#include "resource/panels/panel_main.h"
#include "resource/panels/panel_more.h"

namespace korvel::resource {

inline constexpr std::string_view kResourceFileName = "main.uir";
inline constexpr int kPanelCount = 7;
inline constexpr int kControlCount = 147;

// The panels in id order (1..7).
inline constexpr PanelDef kPanels[] = {
    data::kPanelCal,  data::kPanelData, data::kPanelDebug, data::kPanelErr,
    data::kPanelHelp, data::kPanelMain, data::kPanelMore,
};

constexpr std::span<const PanelDef> panels() {
    return kPanels;
}
constexpr const MenuBarDef& menu_bar() {
    return data::kMenuBar;
}

constexpr const PanelDef* find_panel(int id) {
    for (const auto& p : kPanels)
        if (p.id == id) return &p;
    return nullptr;
}

constexpr const PanelDef* find_panel(std::string_view constant) {
    for (const auto& p : kPanels)
        if (p.constant == constant) return &p;
    return nullptr;
}

constexpr const ControlDef* find_control(const PanelDef& panel, int control_id) {
    for (const auto& c : panel.controls)
        if (c.id == control_id) return &c;
    return nullptr;
}

constexpr const ControlDef* find_control(const PanelDef& panel, std::string_view constant) {
    for (const auto& c : panel.controls)
        if (c.constant == constant) return &c;
    return nullptr;
}

constexpr const ControlDef* find_control(int panel_id, int control_id) {
    const PanelDef* p = find_panel(panel_id);
    return p != nullptr ? find_control(*p, control_id) : nullptr;
}

// A menu of the bar by id, or nullptr.
constexpr const MenuDef* find_menu(int id) {
    for (const auto& m : menu_bar().menus)
        if (m.id == id) return &m;
    return nullptr;
}

// A menu item by id, or nullptr; `menu` receives the menu holding it.
constexpr const MenuItemDef* find_menu_item(int id, const MenuDef** menu = nullptr) {
    for (const auto& m : menu_bar().menus)
        for (const auto& item : m.items)
            if (item.id == id) {
                if (menu != nullptr) *menu = &m;
                return &item;
            }
    return nullptr;
}

// The callback name of a menu id: an item's, or a menu's own when it has no items.
constexpr std::string_view menu_callback(int id) {
    if (const MenuItemDef* item = find_menu_item(id)) return item->callback;
    if (const MenuDef* m = find_menu(id)) return m->callback;
    return {};
}

constexpr int total_control_count() {
    int n = 0;
    for (const auto& p : kPanels) n += static_cast<int>(p.controls.size());
    return n;
}

// Compile-time id lookups for the constants; a name that is not in the catalogue does not compile.
// They copy records by value rather than walk pointers: GCC's null-pointer sanitizer otherwise
// rejects the constant evaluation.
consteval int panel_id_of(std::string_view panel) {
    for (std::size_t i = 0; i < std::size(kPanels); ++i) {
        const PanelDef p = kPanels[i];
        if (p.constant == panel) return p.id;
    }
    throw "unknown panel constant";
}

consteval int control_id_of(std::string_view panel, std::string_view control) {
    for (std::size_t n = 0; n < std::size(kPanels); ++n) {
        const PanelDef p = kPanels[n];
        if (p.constant != panel) continue;
        for (std::size_t i = 0; i < p.controls.size(); ++i) {
            const ControlDef c = p.controls[i];
            if (c.constant == control) return c.id;
        }
    }
    throw "unknown control constant";
}

consteval int menu_id_of(std::string_view constant) {
    if (constant == menu_bar().constant) return menu_bar().id;
    for (const auto& m : menu_bar().menus) {
        if (m.constant == constant) return m.id;
        for (const auto& item : m.items)
            if (item.constant == constant) return item.id;
    }
    throw "unknown menu constant";
}

}  // namespace korvel::resource

// Name-to-function tables for control and menu callbacks.
#include "platform/callback_registry.h"

#include <map>
#include <string>

namespace korvel::platform {
namespace {

// std::less<> lets the tables be searched with a string_view without a copy.
std::map<std::string, CtrlCallback, std::less<>>& ctrl_table() {
    static std::map<std::string, CtrlCallback, std::less<>> table;
    return table;
}

std::map<std::string, MenuCallback, std::less<>>& menu_table() {
    static std::map<std::string, MenuCallback, std::less<>> table;
    return table;
}

}  // namespace

void register_callback(std::string_view name, CtrlCallback fn) {
    if (!fn) {
        unregister_callback(name);
        return;
    }
    ctrl_table().insert_or_assign(std::string(name), std::move(fn));
}

void register_menu_callback(std::string_view name, MenuCallback fn) {
    if (!fn) {
        unregister_menu_callback(name);
        return;
    }
    menu_table().insert_or_assign(std::string(name), std::move(fn));
}

void unregister_callback(std::string_view name) {
    auto& t = ctrl_table();
    if (const auto it = t.find(name); it != t.end()) t.erase(it);
}

void unregister_menu_callback(std::string_view name) {
    auto& t = menu_table();
    if (const auto it = t.find(name); it != t.end()) t.erase(it);
}

void clear_callbacks() {
    ctrl_table().clear();
    menu_table().clear();
}

const CtrlCallback* find_callback(std::string_view name) {
    if (name.empty()) return nullptr;
    const auto& t = ctrl_table();
    const auto it = t.find(name);
    return it == t.end() ? nullptr : &it->second;
}

const MenuCallback* find_menu_callback(std::string_view name) {
    if (name.empty()) return nullptr;
    const auto& t = menu_table();
    const auto it = t.find(name);
    return it == t.end() ? nullptr : &it->second;
}

}  // namespace korvel::platform

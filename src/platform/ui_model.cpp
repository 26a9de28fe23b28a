// Panel store: loading, discarding, showing panels, their titles, focus and menu bars.
#include "platform/ui_model.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "base/clock.h"
#include "platform/callback_registry.h"
#include "platform/headless_host.h"
#include "platform/model_query.h"
#include "platform/user_interface.h"
#include "resource/catalogue.h"

namespace korvel::platform::detail {

Model& model() {
    static Model m;
    return m;
}

PanelState* find_panel(int handle) {
    auto& panels = model().panels;
    const auto it = panels.find(handle);
    return it == panels.end() ? nullptr : it->second.get();
}

ControlState* find_control(int panel, int control, int* error) {
    PanelState* p = find_panel(panel);
    if (p == nullptr) {
        *error = UIEHandleInvalid;
        return nullptr;
    }
    for (auto& c : p->controls)
        if (c.def->id == control) return &c;
    *error = UIEInvalidControl;
    return nullptr;
}

void notify(const std::function<void(ViewObserver&)>& fn) {
    const std::vector<ViewObserver*> observers = model().observers;
    for (ViewObserver* o : observers) {
        // An observer removed by an earlier one is skipped.
        const auto& now = model().observers;
        if (std::find(now.begin(), now.end(), o) != now.end()) fn(*o);
    }
}

namespace {

bool names_resource_file(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::string_view want = resource::kResourceFileName;
    if (base.size() != want.size()) return false;
    for (std::size_t i = 0; i < base.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(base[i])) != want[i]) return false;
    return true;
}

bool takes_focus(resource::ControlKind k) {
    using resource::ControlKind;
    return k != ControlKind::Decoration && k != ControlKind::TextMessage &&
           k != ControlKind::Timer && k != ControlKind::Led;
}

ControlState make_control(const resource::ControlDef& def, double now) {
    ControlState c;
    c.def = &def;
    c.visible = def.visible;
    c.tooltip = std::string(def.tooltip);
    c.label = std::string(def.label);
    c.text = std::string(def.text);
    c.increment = def.increment;
    if (resource::is_binary_kind(def.kind)) {
        c.min = 0.0;
        c.max = 1.0;
    } else if (def.has_range) {
        c.min = def.min;
        c.max = def.max;
    } else {
        type_limits(def.type, &c.min, &c.max);
    }
    if (resource::is_ring_kind(def.kind)) {
        const int n = static_cast<int>(def.items.size());
        c.ring_index = n == 0 ? 0 : std::clamp(def.selected_index, 0, n - 1);
        c.number = n == 0 ? 0.0 : def.items[static_cast<std::size_t>(c.ring_index)].value;
    } else {
        c.number = def.value;
    }
    if (def.kind == resource::ControlKind::Timer) {
        c.interval = def.interval;
        c.next_due = now + def.interval;
    }
    return c;
}

void discard_one(int handle) {
    Model& m = model();
    // Children go with their parent.
    std::vector<int> children;
    for (const auto& [h, p] : m.panels)
        if (p->parent == handle) children.push_back(h);
    for (int child : children) discard_one(child);
    m.panels.erase(handle);
    std::erase(m.load_order, handle);
    if (m.active_panel == handle) m.active_panel = 0;
    notify([&](ViewObserver& o) { o.panel_discarded(handle); });
}

}  // namespace
}  // namespace korvel::platform::detail

using korvel::platform::detail::find_control;
using korvel::platform::detail::find_panel;
using korvel::platform::detail::model;
using korvel::platform::detail::notify;
using korvel::platform::detail::PanelState;

int InitCVIRTE(void*, char**, void*) {
    return 1;
}

int LoadPanel(int parentPanel, const char* fileName, int panelResourceId) {
    using namespace korvel::platform::detail;
    if (fileName == nullptr) return UIEBadArgument;
    if (!names_resource_file(fileName)) return UIEResourceNotFound;
    if (parentPanel != 0 && find_panel(parentPanel) == nullptr) return UIEHandleInvalid;
    const korvel::resource::PanelDef* def = korvel::resource::find_panel(panelResourceId);
    if (def == nullptr) return UIEResourceNotFound;

    Model& m = model();
    auto p = std::make_unique<PanelState>();
    p->handle = m.next_handle++;
    p->def = def;
    p->parent = parentPanel;
    p->title = std::string(def->title);
    if (def->has_menu_bar) p->menu_bar = m.next_menu_bar++;
    const double now = korvel::platform::clock().now();
    p->controls.reserve(def->controls.size());
    for (const auto& c : def->controls) {
        p->controls.push_back(make_control(c, now));
        if (p->active_control == 0 && c.visible && takes_focus(c.kind)) p->active_control = c.id;
    }
    const int handle = p->handle;
    m.panels.emplace(handle, std::move(p));
    m.load_order.push_back(handle);
    notify([&](korvel::platform::ViewObserver& o) {
        o.panel_loaded(handle, panelResourceId, parentPanel);
    });
    return handle;
}

int DiscardPanel(int panel) {
    if (find_panel(panel) == nullptr) return UIEHandleInvalid;
    korvel::platform::detail::discard_one(panel);
    return 0;
}

int DisplayPanel(int panel) {
    PanelState* p = find_panel(panel);
    if (p == nullptr) return UIEHandleInvalid;
    p->displayed = true;
    notify([&](korvel::platform::ViewObserver& o) { o.panel_displayed(panel); });
    return 0;
}

int HidePanel(int panel) {
    PanelState* p = find_panel(panel);
    if (p == nullptr) return UIEHandleInvalid;
    p->displayed = false;
    notify([&](korvel::platform::ViewObserver& o) { o.panel_hidden(panel); });
    return 0;
}

int SetPanelAttribute(int panel, int attribute, const char* value) {
    PanelState* p = find_panel(panel);
    if (p == nullptr) return UIEHandleInvalid;
    if (attribute != ATTR_TITLE) return UIEInvalidAttribute;
    if (value == nullptr) return UIEBadArgument;
    p->title = value;
    notify([&](korvel::platform::ViewObserver& o) { o.panel_title_changed(panel); });
    return 0;
}

int SetPanelAttribute(int panel, int attribute, int value) {
    if (find_panel(panel) == nullptr) return UIEHandleInvalid;
    if (attribute != ATTR_VISIBLE)
        return attribute == ATTR_TITLE ? UIETypeMismatch : UIEInvalidAttribute;
    return value != 0 ? DisplayPanel(panel) : HidePanel(panel);
}

int GetPanelAttribute(int panel, int attribute, std::string* value) {
    const PanelState* p = find_panel(panel);
    if (p == nullptr) return UIEHandleInvalid;
    if (attribute != ATTR_TITLE) return UIEInvalidAttribute;
    if (value == nullptr) return UIEBadArgument;
    *value = p->title;
    return 0;
}

int GetPanelAttribute(int panel, int attribute, int* value) {
    const PanelState* p = find_panel(panel);
    if (p == nullptr) return UIEHandleInvalid;
    if (attribute != ATTR_VISIBLE)
        return attribute == ATTR_TITLE ? UIETypeMismatch : UIEInvalidAttribute;
    if (value == nullptr) return UIEBadArgument;
    *value = p->displayed ? 1 : 0;
    return 0;
}

int GetPanelMenuBar(int panel) {
    const PanelState* p = find_panel(panel);
    return p == nullptr ? UIEHandleInvalid : p->menu_bar;
}

int SetActiveCtrl(int panel, int control) {
    int error = 0;
    if (find_control(panel, control, &error) == nullptr) return error;
    find_panel(panel)->active_control = control;
    notify([&](korvel::platform::ViewObserver& o) { o.active_control_changed(panel, control); });
    return 0;
}

int GetActiveCtrl(int panel) {
    const PanelState* p = find_panel(panel);
    return p == nullptr ? UIEHandleInvalid : p->active_control;
}

int SetActivePanel(int panel) {
    if (find_panel(panel) == nullptr) return UIEHandleInvalid;
    model().active_panel = panel;
    notify([&](korvel::platform::ViewObserver& o) { o.active_panel_changed(panel); });
    return 0;
}

int GetActivePanel() {
    return model().active_panel;
}

namespace korvel::platform {

bool panel_loaded(int panel) {
    return find_panel(panel) != nullptr;
}

bool panel_displayed(int panel) {
    const PanelState* p = find_panel(panel);
    return p != nullptr && p->displayed;
}

int panel_resource_id(int panel) {
    const PanelState* p = find_panel(panel);
    return p == nullptr ? UIEHandleInvalid : p->def->id;
}

int panel_parent(int panel) {
    const PanelState* p = find_panel(panel);
    return p == nullptr ? UIEHandleInvalid : p->parent;
}

std::vector<int> loaded_panels() {
    return model().load_order;
}

const resource::ControlDef* control_def(int panel, int control) {
    int error = 0;
    const detail::ControlState* c = find_control(panel, control, &error);
    return c == nullptr ? nullptr : c->def;
}

int dispatch_depth() {
    return model().dispatch_depth;
}

int modal_dialogs_open() {
    return model().modal_dialogs;
}

std::string modal_dialog_description() {
    const auto& titles = model().modal_titles;
    return titles.empty() ? std::string() : titles.back();
}

bool wait_cursor_shown() {
    return model().wait_cursor;
}

void reset_user_interface() {
    model() = detail::Model{};
    clear_callbacks();
    set_host(nullptr);
    default_headless_host() = HeadlessHost{};
}

}  // namespace korvel::platform

// What a view is told about the model. Every notification comes after the model has changed, on
// the user-interface thread; the view reads the new state through the ordinary operations
// (GetCtrlVal, GetCtrlAttribute, GetCtrlIndex, GetPanelAttribute) and the catalogue.
#pragma once

namespace korvel::platform {

class ViewObserver {
  public:
    virtual ~ViewObserver() = default;

    // A panel copy was created from resource panel `panel_id` (PANELMAIN, ...).
    virtual void panel_loaded(int /*panel*/, int /*panel_id*/, int /*parent*/) {}
    // The panel is gone; its handle is no longer valid.
    virtual void panel_discarded(int /*panel*/) {}
    virtual void panel_displayed(int /*panel*/) {}
    virtual void panel_hidden(int /*panel*/) {}
    virtual void panel_title_changed(int /*panel*/) {}
    // Value of a control changed (by code or operator input).
    virtual void value_changed(int /*panel*/, int /*control*/) {}
    // One of the ATTR_* of a control changed.
    virtual void attribute_changed(int /*panel*/, int /*control*/, int /*attribute*/) {}
    virtual void active_control_changed(int /*panel*/, int /*control*/) {}
    virtual void active_panel_changed(int /*panel*/) {}
};

// Observers are not owned; remove them before they are destroyed.
void add_view_observer(ViewObserver* observer);
void remove_view_observer(ViewObserver* observer);

}  // namespace korvel::platform

// The panel handles and the open flags that keep each secondary window to one copy.
//
// Handles start at 0 and keep their last value after the panel is discarded; the platform never
// hands out a discarded handle again, so a stale handle never names another panel.
#pragma once

namespace korvel::app {

extern int main_panel;
extern int more_panel;
extern int debug_panel;
extern int data_panel;
extern int err_panel;
extern int help_panel;
extern int cal_panel;

extern unsigned char more_panel_open;
extern unsigned char debug_panel_open;
extern unsigned char data_panel_open;
extern unsigned char err_panel_open;
extern unsigned char help_panel_open;

// The Debug panel's scramble choice (0 old, 1 new, 2 linear), read when the panel opens.
extern int scramble_mode;

// Back to the state before start-up: every handle and flag 0. For tests.
void reset_panel_state();

}  // namespace korvel::app

#include "app/panels.h"

namespace korvel::app {

int main_panel = 0;
int more_panel = 0;
int debug_panel = 0;
int data_panel = 0;
int err_panel = 0;
int help_panel = 0;
int cal_panel = 0;

unsigned char more_panel_open = 0;
unsigned char debug_panel_open = 0;
unsigned char data_panel_open = 0;
unsigned char err_panel_open = 0;
unsigned char help_panel_open = 0;

// The resource selects "New Scramble" (1) until the Debug panel is first opened.
int scramble_mode = 1;

void reset_panel_state() {
    main_panel = more_panel = debug_panel = data_panel = err_panel = help_panel = cal_panel = 0;
    more_panel_open = debug_panel_open = data_panel_open = err_panel_open = help_panel_open = 0;
    scramble_mode = 1;
}

}  // namespace korvel::app

// Read-only questions about the model that a view or test asks, beyond the customary operations.
#pragma once

#include <string>
#include <vector>

#include "resource/control_def.h"

namespace korvel::platform {

bool panel_loaded(int panel);
bool panel_displayed(int panel);
// Resource panel id (PANELMAIN, ...) of a loaded panel, or negative.
int panel_resource_id(int panel);
// Parent handle given to LoadPanel (0 for top-level), or negative.
int panel_parent(int panel);
// Handles of the loaded panels, in load order.
std::vector<int> loaded_panels();
// The catalogue record of a control of a loaded panel, or nullptr.
const resource::ControlDef* control_def(int panel, int control);
// Number of callbacks being delivered right now (0 outside callbacks).
int dispatch_depth();
// Number of message boxes, file dialogs and reads of the Standard Input/Output window waiting for
// the operator right now. While one waits, its event loop keeps the windows alive, but the
// program is in the middle of what asked for it.
int modal_dialogs_open();
// "<title>: <text>" of the innermost of them ("" when none waits).
std::string modal_dialog_description();
// Whether the busy cursor is on: the program is in a long operation such as a pattern load.
bool wait_cursor_shown();

// Discards every panel and forgets callbacks, observers, deferred calls, the quit state, timer
// suspension and the installed host; handles start again from 1. For tests and program restarts.
void reset_user_interface();

}  // namespace korvel::platform

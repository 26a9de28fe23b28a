// The scripted runs (--tour, --startup-time) have no operator to answer a message box, such as
// "Restore Error" when the working directory holds no settings.cfg. They close it themselves
// before they act, so that start-up carries on into the event loop.
#pragma once

#include <functional>

namespace korvel::gui {

// Runs `action` once no message box is open: an open one is answered with OK (its title and text
// go to standard output), and `action` is tried again on a later turn of the event loop.
void when_no_message_box(std::function<void()> action);

// Where no one can see a box (Qt's offscreen platform) message boxes are not shown at all: their
// title and text go to standard error and, with remote control (`remote`), to every remote
// session as the device-specific error +100 (see remote/device_messages.h); the program carries
// on as if OK had been pressed. Elsewhere boxes are shown as usual. Call once QApplication exists.
void divert_unseen_message_boxes(bool remote);

}  // namespace korvel::gui

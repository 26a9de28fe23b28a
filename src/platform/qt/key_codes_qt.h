// Translation of the toolkit's key events into the platform's key codes (resource/key_codes.h),
// so that callbacks and shortcut keys never see toolkit key numbers.
#pragma once

#include <Qt>

namespace korvel::qtview {

// The platform key code of a key with the given modifiers and typed text (the first character of
// the event's text), or 0 for keys the platform has no code for (lone modifier keys, ...).
int platform_key_code(int qt_key, Qt::KeyboardModifiers modifiers, char32_t typed);

}  // namespace korvel::qtview

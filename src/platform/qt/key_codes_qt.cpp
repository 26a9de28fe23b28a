#include "platform/qt/key_codes_qt.h"

#include "resource/key_codes.h"

namespace korvel::qtview {
namespace {

int virtual_key(int qt_key) {
    switch (qt_key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VAL_TAB_VKEY;
        case Qt::Key_Backspace:
            return VAL_BACKSPACE_VKEY;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VAL_ENTER_VKEY;
        case Qt::Key_Escape:
            return VAL_ESC_VKEY;
        case Qt::Key_Insert:
            return VAL_INSERT_VKEY;
        case Qt::Key_Delete:
            return VAL_DELETE_VKEY;
        case Qt::Key_Home:
            return VAL_HOME_VKEY;
        case Qt::Key_End:
            return VAL_END_VKEY;
        case Qt::Key_Up:
            return VAL_UP_ARROW_VKEY;
        case Qt::Key_Down:
            return VAL_DOWN_ARROW_VKEY;
        case Qt::Key_Left:
            return VAL_LEFT_ARROW_VKEY;
        case Qt::Key_Right:
            return VAL_RIGHT_ARROW_VKEY;
        case Qt::Key_PageUp:
            return VAL_PAGE_UP_VKEY;
        case Qt::Key_PageDown:
            return VAL_PAGE_DOWN_VKEY;
        default:
            break;
    }
    if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12)
        return VAL_F1_VKEY + (qt_key - Qt::Key_F1) * (VAL_F2_VKEY - VAL_F1_VKEY);
    return 0;
}

}  // namespace

int platform_key_code(int qt_key, Qt::KeyboardModifiers modifiers, char32_t typed) {
    int code = virtual_key(qt_key);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (code == 0) {
        if (!ctrl && typed >= 0x20 && typed < 0x7F) {
            // A printable character carries its own case; Shift is already in it.
            return static_cast<int>(typed);
        }
        if (qt_key >= Qt::Key_Space && qt_key <= Qt::Key_AsciiTilde) {
            code = qt_key;
            if (code >= 'A' && code <= 'Z' && !modifiers.testFlag(Qt::ShiftModifier))
                code += 'a' - 'A';
        } else {
            return 0;
        }
    }
    if (modifiers.testFlag(Qt::ShiftModifier) && (code & VAL_VKEY_MASK) != 0)
        code |= VAL_SHIFT_MODIFIER;
    if (ctrl) code |= VAL_MENUKEY_MODIFIER;
    return code;
}

}  // namespace korvel::qtview

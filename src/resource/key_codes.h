// Key codes carried by keypress events and by the resource's shortcut keys.
//
// A printable key arrives as its ASCII code. Keys without a character have a code in the
// 0x0100-step range below; modifier bits are ORed on top. The view translates its toolkit's key
// events into these codes, so callbacks never see toolkit key numbers.
#pragma once

inline constexpr int VAL_SHIFT_MODIFIER = 0x00010000;
inline constexpr int VAL_MENUKEY_MODIFIER = 0x00020000;  // the Ctrl key
inline constexpr int VAL_VKEY_MASK = 0x0000FF00;
inline constexpr int VAL_ASCII_KEY_MASK = 0x000000FF;

inline constexpr int VAL_TAB_VKEY = 0x0100;
inline constexpr int VAL_BACKSPACE_VKEY = 0x0200;
inline constexpr int VAL_ENTER_VKEY = 0x0300;
inline constexpr int VAL_ESC_VKEY = 0x0400;
inline constexpr int VAL_INSERT_VKEY = 0x0500;
inline constexpr int VAL_DELETE_VKEY = 0x0600;
inline constexpr int VAL_HOME_VKEY = 0x0700;
inline constexpr int VAL_END_VKEY = 0x0800;
inline constexpr int VAL_UP_ARROW_VKEY = 0x0900;
inline constexpr int VAL_DOWN_ARROW_VKEY = 0x0A00;
inline constexpr int VAL_LEFT_ARROW_VKEY = 0x0B00;
inline constexpr int VAL_RIGHT_ARROW_VKEY = 0x0C00;
inline constexpr int VAL_PAGE_UP_VKEY = 0x0D00;
inline constexpr int VAL_PAGE_DOWN_VKEY = 0x0E00;
inline constexpr int VAL_F1_VKEY = 0x1000;
inline constexpr int VAL_F2_VKEY = 0x1100;
inline constexpr int VAL_F3_VKEY = 0x1200;
inline constexpr int VAL_F4_VKEY = 0x1300;
inline constexpr int VAL_F5_VKEY = 0x1400;
inline constexpr int VAL_F6_VKEY = 0x1500;
inline constexpr int VAL_F7_VKEY = 0x1600;
inline constexpr int VAL_F8_VKEY = 0x1700;
inline constexpr int VAL_F9_VKEY = 0x1800;
inline constexpr int VAL_F10_VKEY = 0x1900;
inline constexpr int VAL_F11_VKEY = 0x1A00;
inline constexpr int VAL_F12_VKEY = 0x1B00;

// The manual calibration entry of the Debug panel, as plain data: the technician steps the unit
// through the 16 combinations of two 2-bit phase settings (row = the MPH ring slide, column = the
// APH one), types one mark per combination, and "Next" turns the 4 x 4 grid into a 99-character
// summary line that is appended to the unit's calibration data file.
//
// Nothing here touches the panel or the unit; the Debug panel's callbacks (debug_panel.h) do.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvel::app {

// ---- the entry buffer ------------------------------------------------------------------------

// 30 characters plus a terminator; positions 0..15 (4 x row + column) form the grid.
inline constexpr std::size_t kCalEntryLength = 30;
inline constexpr int kGridCells = 16;
using CalEntryBuffer = std::array<char, kCalEntryLength + 1>;

// The marks typed since the last "Next"; all blanks at start.
extern CalEntryBuffer cal_entry_buffer;
CalEntryBuffer blank_cal_entry();

// ---- the scramble tables ---------------------------------------------------------------------

// Per scramble mode (0 old, 1 new, 2 linear): digit k of CELL_FROM_ENTRY is the grid cell of entry
// position k; ENTRY_FROM_CELL is its inverse.
inline constexpr std::array<std::string_view, 3> CELL_FROM_ENTRY = {
    "3120B9A85746DFCE", "32105476BA98DCFE", "0123456789ABCDEF"};
inline constexpr std::array<std::string_view, 3> ENTRY_FROM_CELL = {
    "3120A8B97564ECFD", "32105476BA98DCFE", "0123456789ABCDEF"};

// ---- one keystroke ---------------------------------------------------------------------------

// An accepted key: the mark it writes and the step of the cursor (+1, or -1 for backspace).
struct CalKey {
    char mark;
    int step;
};
// "x" (also "X", "/" and the platform key 0x0500), "." (also key 0x0900), "?" and backspace
// (key 0x0200 or ASCII 8, writing a blank). Any other key is left to the field: nullopt.
std::optional<CalKey> classify_cal_key(int key);

// Copies the field's text (its first 30 characters, up to its end) into the buffer. Text in the
// field's own layout (cal_field_text) is read cell by cell, blank cells included. Any other text
// (typed by hand) goes character by character to the next position, which advances unless the
// character is a blank, so blanks only separate. Later positions keep their contents.
void merge_field_text(CalEntryBuffer& buffer, std::string_view text);

// Entry position of a cursor (row and column taken as 0..3), and the position `step` further on,
// wrapping within the 16 cells (15 steps on to 0, 0 back to 15).
int entry_position(int row, int column);
int step_entry_position(int position, int step);

// Expander 7 byte of the two phase fields for a cursor position: (C << 6) | (R << 4). The newer
// scramble variants wire both fields bit-swapped; the linear one also inverts the column field and
// flips its high bit on rows 2 and 3.
int phase_code(int scramble_mode, int row, int column);

// The field's text: positions 0..15 in four groups of four, then position 16 (21 characters).
std::string cal_field_text(const CalEntryBuffer& buffer);

// ---- the evaluation --------------------------------------------------------------------------

// The 99-character summary line of the grid at calibration frequency `frequency` (MHz).
std::string cal_summary_line(const CalEntryBuffer& buffer, int scramble_mode, int frequency);

// "CalDataSN%03d.cfg": CalDataSN007.cfg for serial 7.
std::string cal_data_file_name(int serial_number);

// Appends the line and a newline to the file (created when missing, never truncated). False when
// the file cannot be opened or the line was not written whole.
bool append_cal_line(const std::string& path, std::string_view line);

}  // namespace korvel::app

#include "app/calibration.h"

#include <algorithm>
#include <cstdio>

#include "resource/key_codes.h"

namespace korvel::app {

namespace {

constexpr int kGridSide = 4;
constexpr std::size_t kSummaryLength = 99;
constexpr std::size_t kFieldGroups = 4;
constexpr std::size_t kFieldLength = 21;
constexpr char kPass = '.';
constexpr char kBackspaceAscii = 8;

// Column positions of the summary line.
constexpr std::size_t kEntryColumn = 22;
constexpr std::size_t kPassEntryColumn = 44;
constexpr std::size_t kRowFullColumn = 66;
constexpr std::size_t kColumnMatchColumn = 73;
constexpr std::size_t kRowCountColumn = 80;
constexpr std::size_t kColumnCountColumn = 85;
constexpr std::size_t kBestCellColumn = 90;
constexpr std::size_t kBestScoreColumn = 92;
constexpr std::size_t kFrequencyColumn = 94;
constexpr std::size_t kFrequencyWidth = 5;

// Only the three scramble modes have tables; the ring offers nothing else.
std::size_t mode_index(int scramble_mode) {
    return static_cast<std::size_t>(std::clamp(scramble_mode, 0, 2));
}

int hex_digit(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

int swap_two_bits(int v) {
    return ((v & 1) << 1) | ((v >> 1) & 1);
}

char digit(int n) {
    return static_cast<char>('0' + n);
}

// Where cell (or entry position) k sits in a block of four groups of four.
std::size_t grouped(int k) {
    return static_cast<std::size_t>(k + k / kGridSide);
}

// Text as cal_field_text lays it out: four groups of four and position 16, single blanks between.
bool in_field_layout(std::string_view text) {
    if (text.size() != kFieldLength) return false;
    for (int g = 1; g <= 4; ++g)
        if (text[grouped(kGridSide * g) - 1] != ' ') return false;
    return true;
}

}  // namespace

CalEntryBuffer cal_entry_buffer = blank_cal_entry();

CalEntryBuffer blank_cal_entry() {
    CalEntryBuffer b;
    b.fill(' ');
    b[kCalEntryLength] = '\0';
    return b;
}

std::optional<CalKey> classify_cal_key(int key) {
    if (key == VAL_INSERT_VKEY) return CalKey{'x', +1};
    if (key == VAL_UP_ARROW_VKEY) return CalKey{'.', +1};
    if (key == VAL_BACKSPACE_VKEY) return CalKey{' ', -1};
    const char c = static_cast<char>(key & 0x7F);
    if (c == kBackspaceAscii) return CalKey{' ', -1};
    if (c == 'x' || c == 'X' || c == '/') return CalKey{'x', +1};
    if (c == '.' || c == '?') return CalKey{c, +1};
    return std::nullopt;
}

void merge_field_text(CalEntryBuffer& buffer, std::string_view text) {
    // The field's text ends at its first NUL, as the C text it stands for would.
    text = text.substr(0, std::min(text.find('\0'), kCalEntryLength));
    if (in_field_layout(text)) {
        // The program's own layout, perhaps overtyped: read it cell by cell, so that an erased
        // (blank) cell keeps its place instead of pulling the later marks forward.
        for (int k = 0; k <= kGridCells; ++k)
            buffer[static_cast<std::size_t>(k)] = text[grouped(k)];
        return;
    }
    std::size_t next = 0;
    for (char c : text) {
        buffer[next] = c;
        if (c != ' ') ++next;
    }
}

int entry_position(int row, int column) {
    return kGridSide * std::clamp(row, 0, 3) + std::clamp(column, 0, 3);
}

int step_entry_position(int position, int step) {
    return ((position + step) % kGridCells + kGridCells) % kGridCells;
}

int phase_code(int scramble_mode, int row, int column) {
    int r = row & 3, c = column & 3;
    if (scramble_mode != 0) {
        r = swap_two_bits(r);
        c = swap_two_bits(c);
    }
    if (scramble_mode == 2) c ^= (row & 2) ^ 3;
    return (c << 6) | (r << 4);
}

std::string cal_field_text(const CalEntryBuffer& buffer) {
    std::string text;
    for (std::size_t g = 0; g < kFieldGroups; ++g) {
        text.append(buffer.data() + g * kGridSide, kGridSide);
        text += ' ';
    }
    text += buffer[kGridCells];
    return text;
}

std::string cal_summary_line(const CalEntryBuffer& buffer, int scramble_mode, int frequency) {
    const std::string_view cell_from_entry = CELL_FROM_ENTRY[mode_index(scramble_mode)];
    const std::string_view entry_from_cell = ENTRY_FROM_CELL[mode_index(scramble_mode)];

    // The grid in cell order; a cell no entry position maps to would keep its "*".
    std::array<char, kGridCells> grid;
    grid.fill('*');
    for (int k = 0; k < kGridCells; ++k)
        grid[static_cast<std::size_t>(hex_digit(cell_from_entry[k]))] = buffer[k];
    const auto pass = [&](int cell) { return grid[static_cast<std::size_t>(cell)] == kPass; };

    std::string line(kSummaryLength, ' ');
    int failed_rows = 0;
    for (int r = 0; r < kGridSide; ++r) {
        int misses = 0;
        for (int c = 0; c < kGridSide; ++c) misses += pass(kGridSide * r + c) ? 0 : 1;
        const bool all_missed = misses == kGridSide;
        failed_rows += all_missed ? 1 : 0;
        line[kRowCountColumn + r] = all_missed ? 'x' : misses == 0 ? '.' : digit(misses);
        line[kRowFullColumn + r] = all_missed ? 'x' : '.';
    }
    for (int c = 0; c < kGridSide; ++c) {
        int misses = 0;
        for (int r = 0; r < kGridSide; ++r) misses += pass(kGridSide * r + c) ? 0 : 1;
        line[kColumnCountColumn + c] = misses == 0 ? '.' : digit(misses);
        line[kColumnMatchColumn + c] = misses == failed_rows ? '.' : 'x';
    }
    for (int k = 0; k < kGridCells; ++k) {
        const std::size_t q = grouped(k);
        line[q] = grid[static_cast<std::size_t>(k)];
        line[kEntryColumn + q] = buffer[k];
        if (pass(k)) line[kPassEntryColumn + q] = entry_from_cell[k];
    }

    // A pass scores one, plus one per passing neighbour: left and right run on across the row
    // ends, up and down wrap around the grid.
    int best = 0, best_score = 0;
    for (int i = 0; i < kGridCells; ++i) {
        if (!pass(i)) continue;
        int score = 1;
        for (int offset : {-1, +1, -kGridSide, +kGridSide})
            score += pass(step_entry_position(i, offset)) ? 1 : 0;
        if (score > best_score) {
            best = i;
            best_score = score;
        }
    }
    line[kBestCellColumn] = cell_from_entry[best];
    line[kBestScoreColumn] = digit(best_score);

    char f[16];
    std::snprintf(f, sizeof f, "%5d", frequency);
    line.replace(kFrequencyColumn, kFrequencyWidth, std::string_view(f).substr(0, kFrequencyWidth));
    line.resize(kSummaryLength);
    return line;
}

std::string cal_data_file_name(int serial_number) {
    char name[32];
    std::snprintf(name, sizeof name, "CalDataSN%03d.cfg", serial_number);
    return name;
}

bool append_cal_line(const std::string& path, std::string_view line) {
    std::FILE* f = std::fopen(path.c_str(), "a");
    if (f == nullptr) return false;
    const bool written =
        std::fwrite(line.data(), 1, line.size(), f) == line.size() && std::fputc('\n', f) != EOF;
    return std::fclose(f) == 0 && written;
}

}  // namespace korvel::app

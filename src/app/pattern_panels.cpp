#include "app/pattern_panels.h"

#include "app/state.h"
#include "app/text_file_choice.h"
#include "fpga/fpga_load.h"
#include "fpga/pattern_files.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::app {

namespace {

bool word0_bit(int position) {
    return (pattern_buffer[position / 8][0] >> (position % 8)) & 1;
}

void set_word0_bit(int position, bool one) {
    std::uint8_t& byte = pattern_buffer[position / 8][0];
    const auto bit = static_cast<std::uint8_t>(1u << (position % 8));
    byte = one ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
}

// The BIT7..BIT0 toggles hold consecutive ids, BIT7 first.
bool is_bit_toggle(int control) {
    return control >= PANELDATA_BIT7 && control <= PANELDATA_BIT0;
}
std::uint8_t toggle_mask(int control) {
    return static_cast<std::uint8_t>(0x80u >> (control - PANELDATA_BIT7));
}
static_assert(PANELDATA_BIT0 - PANELDATA_BIT7 == 7);

void show_byte_on_toggles(int panel, int row) {
    for (int bit = 0; bit < 8; ++bit)
        SetCtrlVal(panel, PANELDATA_BIT0 - bit, (pattern_buffer[row][0] >> bit) & 1);
}

// A full pattern takes about two seconds over USB; the window cannot answer meanwhile.
struct WaitCursor {
    WaitCursor() { SetWaitCursor(1); }
    ~WaitCursor() { SetWaitCursor(0); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void show_word0_in_editor(int panel) {
    bitTweak(panel, PANELDATA_CUST_DATA_BYTE_SEL, EVENT_COMMIT, nullptr, 0, 0);
}

int load_pattern_file(int panel) {
    {
        WaitCursor busy;
        const PatternFile file = read_chosen_pattern_file(pattern_buffer);
        // A read failing part way ends the text there, as the end of the file would.
        if (file.problem.unopened()) return -1;
        SetCtrlVal(panel, PANELDATA_LISTBOX_DATA, file.first_bits);
        SetCtrlAttribute(panel, PANELDATA_LISTBOX_DATA, ATTR_VISIBLE, 1);
        // Without a complete word nothing is sent, not even the select: the unit keeps playing
        // what it holds.
        if (file.words > 0) bit_load_FPGA(0, file.words);
    }
    show_word0_in_editor(panel);
    return 0;
}

}  // namespace

int CVICALLBACK fpga_custom_data(int panel, int control, int event, void* /*callbackData*/,
                                 int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    switch (control) {
        case PANELDATA_SELECT_TXT_FILE:
            choose_text_file(panel, PANELDATA_TEXTMSG_FILE_PATH,
                             "Select Text File for Custom Test Pattern");
            return 0;
        case PANELDATA_LOAD_FPGA:
            return load_pattern_file(panel);
        case PANELDATA_LOAD_FPGA_MODIFIED:
            bit_load_FPGA(0, 1);
            show_word0_in_editor(panel);
            return 0;
        default:
            return 0;
    }
}

std::string word0_text() {
    std::string text = "\n";
    for (int p = 0; p < kWordBits; ++p) {
        text += word0_bit(p) ? '1' : '0';
        if (p % 8 == 7) text += ' ';
        if (p % 32 == 31) text += '\n';
    }
    return text;
}

int CVICALLBACK bitTweak(int panel, int control, int event, void* /*callbackData*/,
                         int /*eventData1*/, int /*eventData2*/) {
    if (event != EVENT_COMMIT) return 0;
    int value = 0;
    GetCtrlVal(panel, control, &value);  // a button has no value: 0
    int repeat = kWordBits;
    GetCtrlVal(panel, PANELDATA_REPEAT_LENGTH, &repeat);
    if (repeat < 1 || repeat > kWordBits) repeat = kWordBits;

    std::uint8_t mask = 0;
    if (control == PANELDATA_SET_TO_N_ONES) {
        int ones = 0;
        GetCtrlVal(panel, PANELDATA_ONES, &ones);
        for (int p = 0; p < kWordBits; ++p) set_word0_bit(p, p < ones);
        SetCtrlVal(panel, PANELDATA_DUTY_CYCLE, ones * 100.0 / repeat);
    } else if (control == PANELDATA_CUST_DATA_BYTE_SEL) {
        if (value >= 0 && value < kPatternRows) show_byte_on_toggles(panel, value);
    } else if (is_bit_toggle(control)) {
        mask = toggle_mask(control);
    }

    int row = 0;
    GetCtrlVal(panel, PANELDATA_CUST_DATA_BYTE_SEL, &row);
    if (mask != 0 && row >= 0 && row < kPatternRows) {
        std::uint8_t& byte = pattern_buffer[row][0];
        byte = static_cast<std::uint8_t>(value != 0 ? (byte | mask) : (byte & ~mask));
    }

    // The word repeats every `repeat` bits; the copy is destructive.
    for (int p = 0; p < kWordBits; ++p) set_word0_bit(p, word0_bit(p % repeat));
    SetCtrlVal(panel, PANELDATA_TEXTBOX_DATA, word0_text());
    return 0;
}

}  // namespace korvel::app

// The Custom Test Pattern panel: choosing and loading a pattern file (what the unit receives and
// what the panel shows), and the bit editor of word 0.
#include <algorithm>
#include <string>

#include "app/pattern_panels.h"
#include "pattern_fixture.h"
#include "support/recording_backend.h"

using namespace korvel::app;
namespace platform = korvel::platform;
using korvel::pattern_buffer;

namespace {

std::string reversed(std::string s) {
    std::reverse(s.begin(), s.end());
    return s;
}

}  // namespace

TEST_F(PatternPanelTest, TheFileDialogAndTheOneSharedPath) {
    const int data = open_data_panel();
    const int err = open_err_panel();
    const std::string first = write_file("first.txt", std::string(256, '1'));
    const std::string second = write_file("second.txt", std::string(256, '0'));

    choose(data, PANELDATA_SELECT_TXT_FILE, first);
    ASSERT_EQ(host().file_requests.size(), 1u);
    const auto& request = host().file_requests[0];
    EXPECT_EQ(request.title, "Select Text File for Custom Test Pattern");
    EXPECT_EQ(request.default_directory, "");
    EXPECT_EQ(request.default_file_pattern, "*.txt");
    EXPECT_EQ(request.file_type_list, "*.*");
    EXPECT_EQ(request.button_label, VAL_OK_BUTTON);
    EXPECT_FALSE(request.restrict_directory || request.restrict_extension);
    EXPECT_EQ(std::string(selected_file_path), first);
    EXPECT_EQ(text_of(data, PANELDATA_TEXTMSG_FILE_PATH), first);
    // Nothing went to the unit.
    EXPECT_EQ(korvel::sim::usb().total_calls(), 0u);

    // Chosen on the other panel, the file is what this panel's load reads.
    choose(err, PANELERR_SELECT_ERR_TXT_FILE, second);
    EXPECT_EQ(host().file_requests.back().title, "Select Text File for Error Injection Mask");
    EXPECT_EQ(text_of(err, PANELERR_TEXTMSG_FILE_PATH), second);
    EXPECT_EQ(platform::operate_ctrl(data, PANELDATA_LOAD_FPGA), 0);
    EXPECT_EQ(fpga().pattern_bits, std::string(256, '0'));

    // A cancelled dialog keeps the path, and the panel shows the file its load would read.
    host().cancel_file_dialog();
    platform::operate_ctrl(data, PANELDATA_SELECT_TXT_FILE);
    EXPECT_EQ(std::string(selected_file_path), second);
    EXPECT_EQ(text_of(data, PANELDATA_TEXTMSG_FILE_PATH), second);
}

TEST_F(PatternPanelTest, A256BitFileLoadsOneWordInReverseFileOrder) {
    const int data = open_data_panel();
    // Spread over lines with blanks; digits 2 to 9 and letters are no bits.
    std::string text = "pattern A: 2345 6789\n";
    text += bit_lines(256, [](int k) { return k % 3 == 0 || k < 5; }) + "end 9\n";
    choose(data, PANELDATA_SELECT_TXT_FILE, write_file("word.txt", text));
    EXPECT_EQ(platform::operate_ctrl(data, PANELDATA_LOAD_FPGA), 0);

    const std::string file_bits =
        bits_in(bit_lines(256, [](int k) { return k % 3 == 0 || k < 5; }));
    EXPECT_EQ(fpga().pattern_bits, reversed(file_bits));
    // The list box shows the file's first bits in file order, no separators, and is shown.
    EXPECT_EQ(text_of(data, PANELDATA_LISTBOX_DATA), file_bits);
    int visible = 0;
    GetCtrlAttribute(data, PANELDATA_LISTBOX_DATA, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    // The editor shows word 0: position p is file bit 255 - p.
    EXPECT_EQ(bits_in(text_of(data, PANELDATA_TEXTBOX_DATA)), reversed(file_bits));
    // The busy cursor came and went.
    EXPECT_EQ(host().wait_cursor, (std::vector<bool>{true, false}));
    // Select and clock low again; D2 low, D6 (pattern select) high.
    EXPECT_EQ(board().pins() & (korvel::kPinSelectPatternMemory | korvel::kPinFpgaClock),
              korvel::kPinSelectPatternMemory);
}

TEST_F(PatternPanelTest, TheFirstFileBitIsTheLastTheUnitReceives) {
    const int data = open_data_panel();
    choose(data, PANELDATA_SELECT_TXT_FILE, write_file("one.txt", "1" + std::string(255, '0')));
    platform::operate_ctrl(data, PANELDATA_LOAD_FPGA);
    EXPECT_EQ(pattern_buffer[31][0], 0x80);
    EXPECT_EQ(fpga().pattern_bits, std::string(255, '0') + "1");
    const std::string editor = text_of(data, PANELDATA_TEXTBOX_DATA);
    EXPECT_EQ(bits_in(editor), std::string(255, '0') + "1");
    // The toggles show byte 31 once it is selected: bit 7 set.
    platform::operate_ctrl(data, PANELDATA_CUST_DATA_BYTE_SEL, 31, EVENT_COMMIT);
    EXPECT_EQ(number_of(data, PANELDATA_BIT7), 1);
    EXPECT_EQ(number_of(data, PANELDATA_BIT6), 0);
}

TEST_F(PatternPanelTest, OnlyCompleteWordsAreSent) {
    const int data = open_data_panel();
    // 300 bits: one word sent; 44 bits land in column 1 without being sent.
    choose(data, PANELDATA_SELECT_TXT_FILE,
           write_file("300.txt", std::string(256, '0') + std::string(44, '1')));
    platform::operate_ctrl(data, PANELDATA_LOAD_FPGA);
    EXPECT_EQ(fpga().pattern_bits, std::string(256, '0'));
    EXPECT_EQ(pattern_buffer[27][1], 0xFF);
    EXPECT_EQ(pattern_buffer[26][1], 0xF0);

    // Fewer than 256 bits: the panel shows them, nothing at all goes to the unit.
    korvel::sim::usb().reset_counters();
    choose(data, PANELDATA_SELECT_TXT_FILE, write_file("short.txt", "1 0 1 1"));
    EXPECT_EQ(platform::operate_ctrl(data, PANELDATA_LOAD_FPGA), 0);
    EXPECT_EQ(korvel::sim::usb().total_calls(), 0u);
    EXPECT_EQ(fpga().pattern_bits, std::string(256, '0'));
    EXPECT_EQ(text_of(data, PANELDATA_LISTBOX_DATA), "1011");
    EXPECT_EQ(pattern_buffer[31][0], 0xB0);
}

TEST_F(PatternPanelTest, NWordsAre544NPinBytesBetweenSelectAndDeselectIn1024ByteWrites) {
    const int data = open_data_panel();
    choose(data, PANELDATA_SELECT_TXT_FILE,
           write_file("three.txt", bit_lines(3 * 256, [](int k) { return k % 7 == 1; })));
    korvel::ftdi::WriteRecord record;
    record.keep_bytes = true;
    korvel::ftdi::use_backend(korvel::ftdi::make_recording_backend(record),
                              korvel::ftdi::BackendKind::Ftdi);
    korvel::reset_link();
    ASSERT_EQ(korvel::init_usb(), 1);
    record.sizes.clear();
    record.pin_bytes.clear();

    platform::operate_ctrl(data, PANELDATA_LOAD_FPGA);
    // Both deselected, then the pattern memory selected and written out; the words; deselect.
    EXPECT_EQ(record.sizes, (std::vector<std::uint32_t>{2, 1024, 3 * 544 - 1024 + 1}));
    const auto& bytes = record.pin_bytes;
    ASSERT_EQ(bytes.size(), 2u + 3 * 544 + 1);
    EXPECT_EQ(bytes[0] & 0x64, 0x60);  // D5, D6 high, D2 low
    EXPECT_EQ(bytes[1] & 0x64, 0x20);  // D6 low
    for (std::size_t i = 2; i + 1 < bytes.size(); ++i) ASSERT_EQ(bytes[i] & 0x60, 0x20) << i;
    EXPECT_EQ(bytes.back() & 0x64, 0x60);
    korvel::ftdi::use_fresh_simulated_unit();  // before `record` goes
}

TEST_F(PatternPanelTest, AFileThatCannotBeOpenedChangesNothing) {
    const int data = open_data_panel();
    const std::string editor = text_of(data, PANELDATA_TEXTBOX_DATA);
    for (const std::string& path :
         {path_of("missing.txt"), path_of(""), std::string("/dev/zero")}) {
        choose(data, PANELDATA_SELECT_TXT_FILE, path);
        EXPECT_EQ(platform::operate_ctrl(data, PANELDATA_LOAD_FPGA), -1) << path;
    }
    // Nothing chosen yet counts the same.
    selected_file_path[0] = '\0';
    EXPECT_EQ(platform::operate_ctrl(data, PANELDATA_LOAD_FPGA), -1);
    EXPECT_EQ(korvel::sim::usb().total_calls(), 0u);
    int visible = 1;
    GetCtrlAttribute(data, PANELDATA_LISTBOX_DATA, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 0);
    EXPECT_EQ(text_of(data, PANELDATA_TEXTBOX_DATA), editor);
    EXPECT_EQ(fpga_custom_data(data, PANELDATA_LOAD_FPGA, EVENT_VAL_CHANGED, nullptr, 0, 0), 0);
}

TEST_F(PatternPanelTest, LoadModifiedSendsWord0AsEdited) {
    const int data = open_data_panel();
    std::fill(&pattern_buffer[0][0], &pattern_buffer[0][0] + sizeof pattern_buffer, 0xFF);
    // Byte 2, bit 0 cleared with its toggle (editor position 16).
    platform::operate_ctrl(data, PANELDATA_CUST_DATA_BYTE_SEL, 2, EVENT_COMMIT);
    EXPECT_EQ(number_of(data, PANELDATA_BIT0), 1);
    platform::operate_ctrl(data, PANELDATA_BIT0, 0, EVENT_COMMIT);
    EXPECT_EQ(pattern_buffer[2][0], 0xFE);
    EXPECT_EQ(korvel::sim::usb().total_calls(), 0u);  // editing sends nothing

    platform::operate_ctrl(data, PANELDATA_LOAD_FPGA_MODIFIED);
    std::string expected(256, '1');
    expected[16] = '0';
    EXPECT_EQ(fpga().pattern_bits, expected);
    EXPECT_EQ(bits_in(text_of(data, PANELDATA_TEXTBOX_DATA)), expected);
}

TEST_F(PatternPanelTest, NOnesPulseRepeatedEvery64BitsShowsItsDutyCycle) {
    const int data = open_data_panel();
    SetCtrlVal(data, PANELDATA_ONES, 10);
    platform::operate_ctrl(data, PANELDATA_REPEAT_LENGTH, 64, EVENT_COMMIT);
    platform::operate_ctrl(data, PANELDATA_SET_TO_N_ONES);
    std::string expected;
    for (int p = 0; p < 256; ++p) expected += p % 64 < 10 ? '1' : '0';
    EXPECT_EQ(bits_in(text_of(data, PANELDATA_TEXTBOX_DATA)), expected);
    EXPECT_DOUBLE_EQ(number_of(data, PANELDATA_DUTY_CYCLE), 15.625);
}

TEST_F(PatternPanelTest, RepeatingIsDestructiveAndTheEditorTextHasEightLines) {
    const int data = open_data_panel();
    for (int p = 0; p < 256; ++p)
        if (p % 5 == 0) pattern_buffer[p / 8][0] |= static_cast<std::uint8_t>(1u << (p % 8));
    platform::operate_ctrl(data, PANELDATA_REPEAT_LENGTH, 8, EVENT_COMMIT);
    std::string expected = "\n";
    for (int line = 0; line < 8; ++line) expected += "10000100 10000100 10000100 10000100 \n";
    EXPECT_EQ(word0_text(), expected);
    // Back to 256: the copies stay.
    platform::operate_ctrl(data, PANELDATA_REPEAT_LENGTH, 256, EVENT_COMMIT);
    for (int row = 0; row < 32; ++row) EXPECT_EQ(pattern_buffer[row][0], 0x21) << row;
    EXPECT_EQ(text_of(data, PANELDATA_TEXTBOX_DATA), word0_text());
}

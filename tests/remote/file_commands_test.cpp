// Commands that read and write files: a custom pattern and an error mask through their windows,
// the mask's timing, and configuration files. Files live in the test's own working directory.
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings_files.h"
#include "remote_fixture.h"

using namespace korvel::app;
using korvel::testing::expander_pins;

namespace {

class FileCommands : public RemoteTest {
  protected:
    static void write_file(const std::string& name, const std::string& text) {
        std::ofstream(name, std::ios::binary) << text;
    }
    static std::string read_file(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static const korvel::sim::FpgaMemories& fpga() { return board().fpga(); }
    static std::string text(int panel, int control) {
        std::string s;
        GetCtrlVal(panel, control, &s);
        return s;
    }
    // The mask file of "4 1" and 16 errors in one burst.
    static std::string burst_mask_file() {
        return "4\n1\n" + std::string(16, '1') + std::string(240, '0') + "\n";
    }
};

TEST_F(FileCommands, CustomPatternIsChosenAndLoadedThroughItsWindow) {
    // Two words: the unit receives each word's bits in the reverse of their file order.
    std::string word0(256, '0'), word1(256, '1');
    word0[0] = '1';
    word1[255] = '0';
    write_file("pattern.txt", word0 + "\n" + word1 + "\n");

    EXPECT_EQ(send("PATT:CUST:LOAD \"pattern.txt\";:PATT?"), "CUST");
    EXPECT_EQ(error(), "0,\"No error\"");
    EXPECT_EQ(data_panel_open, 1);
    EXPECT_EQ(expander_pins(7) & 0xFF, 11);  // Custom Data, chosen to open the window
    EXPECT_EQ(fpga().pattern_bits, std::string(word0.rbegin(), word0.rend()) +
                                       std::string(word1.rbegin(), word1.rend()));
    EXPECT_STREQ(selected_file_path, "pattern.txt");
    EXPECT_EQ(text(data_panel, PANELDATA_TEXTMSG_FILE_PATH), "pattern.txt");
    EXPECT_TRUE(host().file_requests.empty());  // the dialog was answered, not shown

    // With the window open, the next load needs no pattern choice.
    write_file("ones.txt", std::string(256, '1'));
    EXPECT_EQ(send("PATT:CUST:LOAD 'ones.txt'"), "");
    EXPECT_EQ(fpga().pattern_bits, std::string(256, '1'));
    EXPECT_EQ(copies(PANELDATA), 1);
}

TEST_F(FileCommands, UnusablePatternFilesAreRefusedWithTheirReasonAndChangeNothing) {
    std::filesystem::create_directory("folder.txt");
    write_file("short.txt", std::string(100, '1'));
    EXPECT_EQ(send("PATT:CUST:LOAD \"missing.txt\""), "");
    EXPECT_EQ(error(), "-256,\"File name not found;missing.txt: not found\"");
    EXPECT_EQ(send("PATT:CUST:LOAD \"folder.txt\""), "");
    EXPECT_EQ(error_code(), -250);
    EXPECT_EQ(send("PATT:CUST:LOAD \"short.txt\""), "");
    EXPECT_EQ(error(), "-200,\"Execution error;short.txt: no complete 256-bit word (100 bits)\"");
    EXPECT_EQ(send("PATT:CUST:LOAD \"\""), "");
    EXPECT_EQ(error_code(), -257);
    EXPECT_EQ(send("PATT:CUST:LOAD \"" + std::string(600, 'a') + "\""), "");
    EXPECT_EQ(error_code(), -257);
    EXPECT_EQ(send("PATT:CUST:LOAD short"), "");  // a word, not a string
    EXPECT_EQ(error_code(), -104);
    EXPECT_EQ(data_panel_open, 0);
    EXPECT_EQ(send("PATT?"), "PRBS9");
    EXPECT_TRUE(fpga().pattern_bits.empty());
}

TEST_F(FileCommands, LoadsToAnAbsentUnitAreRefused) {
    write_file("pattern.txt", std::string(256, '1'));
    write_file("mask.txt", burst_mask_file());
    board().detach();
    tick();
    for (const char* line : {"PATT:CUST:LOAD \"pattern.txt\"", "ERR:MASK:LOAD \"mask.txt\"",
                             "ERR:MASK:PER 4", "ERR:MASK:COUN 3"}) {
        EXPECT_EQ(send(line), "") << line;
        EXPECT_EQ(error(), "-241,\"Hardware missing;the unit is not connected\"") << line;
    }
    EXPECT_EQ(data_panel_open, 0);
    EXPECT_EQ(err_panel_open, 0);
}

TEST_F(FileCommands, ErrorMaskIsLoadedThroughErrorInjectionSetup) {
    write_file("mask.txt", burst_mask_file());
    EXPECT_EQ(send("ERR:MASK:LOAD \"mask.txt\";PER?;WIDT?;COUN?"), "4;1;16");
    EXPECT_EQ(more_panel_open, 1);
    EXPECT_EQ(err_panel_open, 1);
    EXPECT_EQ(fpga().error_period, 3u);
    EXPECT_EQ(fpga().error_width, 0u);
    const std::string file_bits = std::string(16, '1') + std::string(240, '0');
    EXPECT_EQ(fpga().error_mask_bits, std::string(file_bits.rbegin(), file_bits.rend()));

    write_file("no-numbers.txt", "x\n" + std::string(256, '1'));
    write_file("short-mask.txt", "4 1\n" + std::string(200, '1'));
    EXPECT_EQ(send("ERR:MASK:LOAD \"no-numbers.txt\""), "");
    EXPECT_EQ(error(),
              "-200,\"Execution error;no-numbers.txt: does not begin with the period and width\"");
    EXPECT_EQ(send("ERR:MASK:LOAD \"short-mask.txt\""), "");
    EXPECT_EQ(error(), "-200,\"Execution error;short-mask.txt: mask shorter than 256 bits (200)\"");
    EXPECT_EQ(fpga().error_period, 3u);
    EXPECT_EQ(copies(PANELERR), 1);
}

TEST_F(FileCommands, MaskTimingAndCountFollowTheWindowsRulesWithoutClamping) {
    EXPECT_EQ(send("ERR:MASK:PER 8;WIDT 8;PER?;WIDT?"), "8;8");
    EXPECT_EQ(fpga().error_period, 7u);
    EXPECT_EQ(fpga().error_width, 7u);
    // Wider than the period: refused here (the window would cut it).
    EXPECT_EQ(send("ERR:MASK:WIDT 9"), "");
    EXPECT_EQ(error(), "-222,\"Data out of range;ERRor:MASK:WIDTh takes 1 to 8\"");
    EXPECT_EQ(send("ERR:MASK:PER 0"), "");
    EXPECT_EQ(error_code(), -222);
    EXPECT_EQ(send("ERR:MASK:PER 4294967296"), "");
    EXPECT_EQ(error_code(), -222);
    // A shorter period takes the width down with it, as on the window.
    EXPECT_EQ(send("ERR:MASK:PER 4;WIDT?"), "4");
    EXPECT_EQ(fpga().error_width, 3u);
    EXPECT_EQ(send("ERR:MASK:PER 4294967295;PER?"), "4294967295");

    EXPECT_EQ(send("ERR:MASK:COUN 16;COUN?"), "16");
    EXPECT_EQ(fpga().error_mask_bits, std::string(240, '0') + std::string(16, '1'));
    EXPECT_EQ(send("ERR:MASK:COUN 256"), "");
    EXPECT_EQ(error(), "-222,\"Data out of range;ERRor:MASK:COUNt takes 1 to 255\"");
    EXPECT_EQ(send("ERR:MASK:COUN? MAX"), "255");
}

TEST_F(FileCommands, MaskQueriesWithTheWindowClosedSayTheUnitsTimingIsNotKnown) {
    EXPECT_EQ(send("ERR:MASK:PER?"), "");
    EXPECT_EQ(error(),
              "-221,\"Settings conflict;Error Injection Setup is closed: what the unit holds is "
              "not known\"");
    EXPECT_EQ(err_panel_open, 0);
}

TEST_F(FileCommands, ConfigurationsAreStoredAndLoadedWithoutTheDialogs) {
    EXPECT_EQ(send("SOUR:PATT PRBS23;AMPL 300;:MMEM:STOR:CONF \"bench.cfg\""), "");
    EXPECT_EQ(error(), "0,\"No error\"");
    const std::string stored = read_file("bench.cfg");
    EXPECT_NE(stored.find("DataSelect 7\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("DataAmplitudeControl 2.200000\n"), std::string::npos) << stored;

    EXPECT_EQ(send("*RST;PATT?"), "PRBS9");
    // The file keeps volts to six decimals; the slide shows the level at its own precision.
    EXPECT_EQ(send("MMEM:LOAD:CONF \"bench.cfg\";:PATT?;AMPL?"), "PRBS23;300");
    EXPECT_EQ(expander_pins(7) & 0xFF, 7);
    EXPECT_EQ(text(main_panel, PANELMAIN_SETUP_LOADED), "bench.cfg");
    EXPECT_EQ(settings_changed, 0);
    EXPECT_TRUE(host().popups.empty());
    EXPECT_TRUE(host().file_requests.empty());
}

TEST_F(FileCommands, ConfigurationFailuresGoToTheErrorQueueNotToAMessageBox) {
    EXPECT_EQ(send("MMEM:LOAD:CONF \"missing.cfg\""), "");
    EXPECT_EQ(error(), "-256,\"File name not found;cannot read missing.cfg\"");
    EXPECT_EQ(send("MMEM:STOR:CONF \"no/such/folder/a.cfg\""), "");
    EXPECT_EQ(error(), "-250,\"Mass storage error;cannot write no/such/folder/a.cfg\"");
    EXPECT_EQ(send("MMEM:STOR:CONF \"" + std::string(kConfigPathBuffer, 'a') + "\""), "");
    EXPECT_EQ(error_code(), -257);
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(std::string(kConfigPathBuffer, 'a'), ec));
    EXPECT_TRUE(host().popups.empty());
}

}  // namespace

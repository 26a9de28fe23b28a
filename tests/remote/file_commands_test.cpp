// Commands that read and write files: a custom pattern and an error mask through their windows,
// the mask's timing, and configuration files. Files live in the test's own working directory.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../support/huge_files.h"
#include "app/settings_files.h"
#include "platform/view_observer.h"
#include "remote/file_root.h"
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
    EXPECT_EQ(selected_file_path, korvel::remote::path_in_root("pattern.txt"));
    EXPECT_EQ(text(data_panel, PANELDATA_TEXTMSG_FILE_PATH), selected_file_path);
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

// A load completes within its command, yet its start is latched for a client polling the
// operation status, and *OPC completes once it has ended.
TEST_F(FileCommands, EachLoadIsLatchedInTheOperationEventRegister) {
    write_file("pattern.txt", std::string(256, '1'));
    write_file("mask.txt", burst_mask_file());
    for (const char* line : {"PATT:CUST:LOAD \"pattern.txt\"", "ERR:MASK:LOAD \"mask.txt\""}) {
        EXPECT_EQ(send("STAT:OPER?;*CLS"), "0") << line;
        EXPECT_EQ(send(std::string(line) + ";:STAT:OPER:COND?;:STAT:OPER?;:STAT:OPER?;*OPC;*ESR?"),
                  "0;256;0;1")
            << line;
    }
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
    EXPECT_EQ(error(), "-256,\"File name not found;missing.cfg: not found\"");
    EXPECT_EQ(send("MMEM:STOR:CONF \"no/such/folder/a.cfg\""), "");
    EXPECT_EQ(error(), "-250,\"Mass storage error;cannot write no/such/folder/a.cfg\"");
    EXPECT_EQ(send("MMEM:STOR:CONF \"" + std::string(kConfigPathBuffer, 'a') + "\""), "");
    EXPECT_EQ(error_code(), -257);
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(std::string(kConfigPathBuffer, 'a'), ec));
    EXPECT_TRUE(host().popups.empty());
}

// Paths of every file command stay inside the remote file folder, here "root" in the test's
// working directory; the files around it must come through every refusal untouched.
TEST_F(FileCommands, PathsStayInsideTheRemoteFileFolder) {
    namespace fs = std::filesystem;
    const std::string here = fs::current_path().string();
    fs::create_directories("root/folder");
    ASSERT_TRUE(korvel::remote::set_file_root("root", nullptr));
    struct RootReset {
        ~RootReset() { korvel::remote::set_file_root("", nullptr); }
    } root_reset;
    SaveSettings("outside.cfg");
    SaveSettings("root/valid.cfg");
    write_file("outside.txt", std::string(256, '1'));
    write_file("outside-mask.txt", burst_mask_file());
    write_file("root/real.cfg", "");
    write_file("root/notes.txt", "8010 0\nPattern 1\n");
    write_file("root/read-only.cfg", "protected\n");
    ::chmod("root/read-only.cfg", 0444);
    ::mkfifo("root/fifo", 0644);
    fs::create_symlink(here + "/root/real.cfg", "root/in.cfg");
    fs::create_symlink("../outside.cfg", "root/out.cfg");
    fs::create_symlink("../outside.txt", "root/out.txt");
    fs::create_symlink(here + "/outside-mask.txt", "root/out-mask.txt");
    fs::create_symlink("..", "root/up");
    fs::create_symlink("loop", "root/loop");
    ASSERT_TRUE(korvel::testing::make_gigabyte_file("root/huge.txt", std::string(256, '1')));
    const auto untouched = [] {
        return read_file("outside.cfg") + read_file("outside.txt") + read_file("outside-mask.txt") +
               read_file("root/read-only.cfg");
    };
    const std::string before = untouched();

    struct Case {
        std::string line;
        int code;
    };
    const Case cases[] = {
        {"MMEM:STOR:CONF \"" + here + "/outside.cfg\"", -257},  // absolute
        {"MMEM:LOAD:CONF \"" + here + "/outside.cfg\"", -257},
        {"MMEM:STOR:CONF \"../outside.cfg\"", -257},  // ".."
        {"PATT:CUST:LOAD \"folder/../../outside.txt\"", -257},
        {"MMEM:STOR:CONF \"out.cfg\"", -257},  // symbolic links out of the folder
        {"MMEM:LOAD:CONF \"out.cfg\"", -257},
        {"PATT:CUST:LOAD \"out.txt\"", -257},
        {"ERR:MASK:LOAD \"out-mask.txt\"", -257},
        {"MMEM:STOR:CONF \"up/new.cfg\"", -257},
        {"MMEM:LOAD:CONF \"up/missing.cfg\"", -257},  // not "not found": nothing is told
        {"MMEM:STOR:CONF \"in.cfg\"", 0},             // a symbolic link inside the folder
        {"MMEM:LOAD:CONF \"in.cfg\"", 0},
        {"MMEM:STOR:CONF \"read-only.cfg\"", -250},
        {"MMEM:LOAD:CONF \"fifo\"", -250},
        {"MMEM:LOAD:CONF \"folder\"", -250},
        {"MMEM:LOAD:CONF \"loop\"", -250},
        {"MMEM:LOAD:CONF \"notes.txt\"", -200},  // no configuration header
        {"PATT:CUST:LOAD \"huge.txt\"", -250},   // larger than any pattern file
        {"MMEM:LOAD:CONF \"valid.cfg\"", 0},
    };
    for (const Case& c : cases) {
        const std::string shown = text(main_panel, PANELMAIN_SETUP_LOADED);
        EXPECT_EQ(send(c.line), "") << c.line;
        const std::string e = error();
        EXPECT_EQ(std::stoi(e), c.code) << c.line << ": " << e;
        EXPECT_TRUE(c.code != -257 ||
                    e == "-257,\"File name error;outside the remote file folder\"")
            << e;
        EXPECT_TRUE(c.code == 0 || text(main_panel, PANELMAIN_SETUP_LOADED) == shown) << c.line;
    }
    EXPECT_EQ(untouched(), before);
    EXPECT_FALSE(fs::exists("new.cfg"));
    EXPECT_EQ(read_file("root/real.cfg"), read_file("root/valid.cfg"));
    EXPECT_TRUE(fpga().pattern_bits.empty());
    // The folder is fixed: CDIR takes only itself.
    EXPECT_EQ(send("MMEM:CDIR \".\";CDIR?"), "\"" + here + "/root\"");
    EXPECT_EQ(send("MMEM:CDIR \"folder\""), "");
    EXPECT_EQ(error_code(), -257);
}

// Swaps p.txt for a folder once a window has chosen it: after the command read it, before the
// window's load button.
struct SwapForAFolder : korvel::platform::ViewObserver {
    SwapForAFolder() { korvel::platform::add_view_observer(this); }
    ~SwapForAFolder() override { korvel::platform::remove_view_observer(this); }
    void value_changed(int /*panel*/, int /*control*/) override {
        if (selected_file_path != korvel::remote::path_in_root("p.txt") ||
            !std::filesystem::is_regular_file("p.txt"))
            return;
        std::filesystem::remove("p.txt");
        std::filesystem::create_directory("p.txt");
    }
};

// The window loads the file the command checked, even when the path names a folder by then.
TEST_F(FileCommands, TheWindowLoadsTheFileThatWasChecked) {
    const std::pair<std::string, std::string> cases[] = {
        {"PATT:CUST:LOAD \"p.txt\"", std::string(256, '1')},
        {"ERR:MASK:LOAD \"p.txt\"", burst_mask_file()},
    };
    for (const auto& [line, file] : cases) {
        std::filesystem::remove("p.txt");
        write_file("p.txt", file);
        selected_file_path[0] = '\0';
        const SwapForAFolder swap;
        EXPECT_EQ(send(line), "") << line;
        EXPECT_EQ(error(), "0,\"No error\"") << line;
    }
    EXPECT_EQ(fpga().pattern_bits, std::string(256, '1'));
    EXPECT_EQ(fpga().error_period, 3u);
}

}  // namespace

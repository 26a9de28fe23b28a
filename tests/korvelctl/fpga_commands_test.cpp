// korvelctl load-pattern, load-mask and the FPGA part of status, in-process on the simulated
// unit: what reaches the FPGA memories, and the files refused before anything is sent.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "../support/huge_files.h"
#include "exit_codes.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "korvelctl.h"

namespace {

namespace fs = std::filesystem;

class LoadCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("KORVEL_SIM_STATE");
        unsetenv("KORVEL_SIM_TRACE");
        korvel::ftdi::use_fresh_simulated_unit();
        char name[] = "/tmp/korvelctl-load-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override {
        fs::remove_all(dir_);
        korvel::ftdi::use_fresh_simulated_unit();
    }

    std::string file(const std::string& name, const std::string& text) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    int korvelctl(std::vector<std::string> words) {
        words.insert(words.begin(), {"korvelctl", "--simulate"});
        std::vector<const char*> argv;
        for (const auto& w : words) argv.push_back(w.c_str());
        out_.str("");
        err_.str("");
        return korvelctl::run(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    static korvel::sim::FpgaMemories& fpga() { return korvel::sim::usb().board().fpga(); }

    fs::path dir_;
    std::ostringstream out_, err_;
};

// Unplugged anywhere during a load, the command never reports it done.
TEST_F(LoadCommands, ALoadIntoAVanishedUnitIsNotReportedDone) {
    const std::string pattern = file("p.txt", std::string(256, '1'));
    const std::string mask = file("m.txt", "4 1 " + std::string(256, '1'));
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"load-pattern", pattern}, {"load-mask", mask}}) {
        ASSERT_EQ(korvelctl(args), korvelctl::kExitOk) << err_.str();
        const std::uint64_t calls = korvel::sim::usb().total_calls();
        for (std::uint64_t n = 1; n < calls; n += 1 + n / 20) {
            SCOPED_TRACE(args[0] + ", unplugged before driver call " + std::to_string(n));
            korvel::ftdi::use_fresh_simulated_unit();
            korvel::sim::usb().detach_before_call(n);
            EXPECT_EQ(korvelctl(args), korvelctl::kExitUnavailable);
            EXPECT_EQ(out_.str(), "");
        }
        korvel::ftdi::use_fresh_simulated_unit();
    }
}

TEST_F(LoadCommands, LoadPatternSendsTheCompleteWords) {
    // Two words and 10 bits more; the first file bit is the last the memory receives.
    const std::string path = file("p.txt", "1" + std::string(511, '0') + " 1111111111\n");
    ASSERT_EQ(korvelctl({"load-pattern", path}), korvelctl::kExitOk) << err_.str();
    EXPECT_EQ(fpga().pattern_bits, std::string(255, '0') + "1" + std::string(256, '0'));
    EXPECT_EQ(out_.str(),
              "loaded 2 words into the custom-pattern memory (the last 10 bits, an incomplete "
              "word, were not sent)\n");
}

TEST_F(LoadCommands, LoadMaskSendsMaskPeriodAndWidthLessOne) {
    const std::string path = file("m.txt", "4\n1\n" + std::string(16, '1') + std::string(240, '0'));
    ASSERT_EQ(korvelctl({"load-mask", path}), korvelctl::kExitOk) << err_.str();
    EXPECT_EQ(fpga().error_mask_bits, std::string(240, '0') + std::string(16, '1'));
    EXPECT_EQ(fpga().error_period, 3u);
    EXPECT_EQ(fpga().error_width, 0u);
    EXPECT_NE(out_.str().find("16 errors in 256 bits, period 4, width 1 (error rate 0.015625, "
                              "1 error in 64 bits)"),
              std::string::npos)
        << out_.str();

    // A width above the period is sent as the period, and said.
    ASSERT_EQ(korvelctl({"load-mask", file("w.txt", "2 7 " + std::string(256, '0'))}), 0);
    EXPECT_EQ(fpga().error_width, 1u);
    EXPECT_NE(out_.str().find("(the file gave period 2, width 7)"), std::string::npos);
}

TEST_F(LoadCommands, UnusableFilesExit64WithTheReasonAndSendNothing) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string command, path, reason;
    };
    const std::vector<Case> cases = {
        {"load-pattern", (dir_ / "missing.txt").string(), "not found"},
        {"load-mask", dir_.string(), "is a directory, not a file"},
        {"load-pattern", fifo, "is a FIFO, not a file"},
        {"load-mask", "/dev/zero", "is a device, not a file"},
        {"load-pattern", file("short.txt", std::string(255, '1')),
         "no complete 256-bit word (255 bits of '0'/'1')"},
        {"load-mask", file("words.txt", "period 4\nwidth 1\n" + std::string(256, '1')),
         "the period and width are not numbers"},
        {"load-mask", file("few.txt", "4 1 " + std::string(200, '1')),
         "the mask is shorter than 256 bits (200 found)"},
    };
    for (const Case& c : cases) {
        korvel::sim::usb().reset_counters();
        EXPECT_EQ(korvelctl({c.command, c.path}), korvelctl::kExitUsage) << c.path;
        EXPECT_NE(err_.str().find(c.path + ": " + c.reason), std::string::npos) << err_.str();
        EXPECT_EQ(korvel::sim::usb().total_calls(), 0u) << c.path;
    }
}

// korvelctl's file arguments at sizes no fuzzer tries: a gigabyte of '1's (its first megabytes,
// then a hole) is too large to be a pattern or mask file and is refused unread; a pattern file
// that grows while it is read is taken as it was when opened.
TEST_F(LoadCommands, GigabyteAndGrowingFilesAreReadOnlyAsFarAsNeeded) {
    const std::string ones = (dir_ / "ones.txt").string();
    ASSERT_TRUE(korvel::testing::make_gigabyte_file(ones, std::string(2 << 20, '1')));
    for (const char* command : {"load-pattern", "load-mask"}) {
        EXPECT_EQ(korvelctl({command, ones}), korvelctl::kExitUsage) << command;
        EXPECT_NE(err_.str().find(ones + ": is larger than 64 MiB"), std::string::npos)
            << err_.str();
    }
    EXPECT_TRUE(fpga().pattern_bits.empty());

    const std::string growing = file("growing.txt", std::string(256, '0'));
    {
        // It grows to 32 MiB, under the limit, whether it is opened early or late.
        korvel::testing::GrowingFile writer(growing, std::string(64 << 10, ' '), 32 << 20);
        EXPECT_EQ(korvelctl({"load-pattern", growing}), korvelctl::kExitOk) << err_.str();
    }
    EXPECT_EQ(fpga().pattern_bits, std::string(256, '0'));
}

TEST_F(LoadCommands, WithoutTheUnitExit69) {
    korvel::sim::usb().board().detach();
    EXPECT_EQ(korvelctl({"load-pattern", file("p.txt", std::string(256, '1'))}),
              korvelctl::kExitUnavailable);
    EXPECT_EQ(korvelctl({"load-mask", file("m.txt", "1 1 " + std::string(256, '1'))}),
              korvelctl::kExitUnavailable);
    EXPECT_NE(err_.str().find("unit not found"), std::string::npos);
}

TEST_F(LoadCommands, StatusTellsWhatTheSimulatedMemoriesHold) {
    ASSERT_EQ(korvelctl({"status", "--json"}), 0);
    auto status = nlohmann::json::parse(out_.str());
    EXPECT_EQ(status["fpga"]["pattern_words"], 0);
    EXPECT_TRUE(status["fpga"]["error_mask"].is_null());

    ASSERT_EQ(korvelctl({"load-pattern", file("p.txt", std::string(3 * 256, '0'))}), 0);
    ASSERT_EQ(korvelctl({"load-mask",
                         file("m.txt", "9 2 " + std::string(5, '1') + std::string(251, '0'))}),
              0);
    ASSERT_EQ(korvelctl({"status", "--json"}), 0);
    status = nlohmann::json::parse(out_.str());
    EXPECT_EQ(status["fpga"]["pattern_words"], 3);
    EXPECT_EQ(status["fpga"]["error_mask"],
              (nlohmann::json{{"errors_per_256", 5}, {"period", 9}, {"width", 2}}));
    ASSERT_EQ(korvelctl({"status"}), 0);
    EXPECT_NE(out_.str().find("FPGA error mask:     5 errors in 256 bits, period 9, width 2\n"),
              std::string::npos);
}

}  // namespace

// The korvelctl program in separate processes sharing one simulated unit through its state file,
// as scripts run it: several at once, and on a disk that fills up.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "../support/huge_files.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string output;  // stdout and stderr
};

// A shell command started now; finish() waits for it.
class Started {
  public:
    explicit Started(const std::string& command)
        : pipe_(::popen((command + " 2>&1").c_str(), "r")) {}
    Outcome finish() {
        Outcome run;
        char buffer[512];
        while (pipe_ && std::fgets(buffer, sizeof buffer, pipe_)) run.output += buffer;
        const int raw = pipe_ ? ::pclose(pipe_) : -1;
        pipe_ = nullptr;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return run;
    }
    ~Started() {
        if (pipe_) finish();
    }

  private:
    FILE* pipe_;
};

class KorvelctlProcesses : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("korvelctl_processes_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        state_ = (dir_ / "unit.json").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // korvelctl on the simulated unit at `state`; `shell_prefix` runs first in the same shell.
    std::string command(const std::string& args, const std::string& shell_prefix = "") const {
        return shell_prefix +
               "exec env ASAN_OPTIONS=detect_leaks=0 " KORVELCTL " --simulate --sim-state '" +
               state_ + "' " + args;
    }
    Outcome korvelctl(const std::string& args, const std::string& shell_prefix = "") const {
        return Started(command(args, shell_prefix)).finish();
    }
    nlohmann::json status() const {
        const Outcome run = korvelctl("status --json");
        EXPECT_EQ(run.status, 0) << run.output;
        return nlohmann::json::parse(run.output);
    }

    fs::path dir_;
    std::string state_;
};

// Ten runs at once: each either sets its value and exits 0, or finds the unit in use and exits 69
// having changed nothing. No setting reported done is lost.
TEST_F(KorvelctlProcesses, ParallelRunsNeverLoseAReportedSetting) {
    const std::vector<std::string> settings = {"pattern PRBS23", "divide 16", "clock on",
                                               "duty 3.0", "amplitude 2.2"};
    std::vector<std::unique_ptr<Started>> started;
    for (int round = 0; round < 2; ++round)
        for (const auto& s : settings)
            started.push_back(std::make_unique<Started>(command("set " + s)));
    std::map<std::string, bool> done;
    for (std::size_t i = 0; i < started.size(); ++i) {
        const Outcome run = started[i]->finish();
        const std::string& s = settings[i % settings.size()];
        if (run.status == 0) {
            done[s] = true;
        } else {
            EXPECT_EQ(run.status, 69) << s << ": " << run.output;
            EXPECT_NE(run.output.find("in use by another program"), std::string::npos)
                << run.output;
        }
    }
    // Those that found the unit in use simply run again.
    for (const auto& s : settings) {
        if (!done[s]) {
            EXPECT_EQ(korvelctl("set " + s).status, 0) << s;
        }
    }

    const nlohmann::json unit = status();
    EXPECT_EQ(unit["pattern"]["name"], "PRBS23");
    EXPECT_EQ(unit["divide_ratio"]["ratio"], 16);
    EXPECT_EQ(unit["clock_output1"], true);
    EXPECT_EQ(unit["duty_cycle"]["code"], 3723);
    EXPECT_EQ(unit["amplitude"]["code"], 2730);

    // Looking at the unit writes nothing back.
    struct stat before {
    }, after{};
    ::stat(state_.c_str(), &before);
    EXPECT_EQ(korvelctl("list").status, 0);
    status();
    ::stat(state_.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

// The file size limit stands in for a full disk; the limit's signal is ignored so writes fail
// with an error instead of ending the process, as on a full disk.
TEST_F(KorvelctlProcesses, ResultsTheUnitCouldNotKeepExit74) {
    ASSERT_EQ(korvelctl("set divide 4").status, 0);
    const std::string full_disk = "trap '' XFSZ; ulimit -f 1; ";

    Outcome run = korvelctl("set pattern PRBS31 divide 8", full_disk);
    EXPECT_EQ(run.status, 74) << run.output;
    EXPECT_NE(run.output.find("state not saved: cannot write"), std::string::npos) << run.output;
    EXPECT_EQ(status()["divide_ratio"]["ratio"], 4);

    run = korvelctl("--trace '" + (dir_ / "bus.vcd").string() + "' status", full_disk);
    EXPECT_EQ(run.status, 74) << run.output;
    EXPECT_NE(run.output.find("cannot write the trace"), std::string::npos) << run.output;
}

// The unit's file is replaced through a short temporary name, so any name the file system takes
// can hold the state; a longer one is refused before anything is sent.
TEST_F(KorvelctlProcesses, LongFileNamesAreKeptOrRefusedUpFront) {
    state_ = (dir_ / std::string(250, 'k')).string();
    Outcome run = korvelctl("set divide 5");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(status()["divide_ratio"]["ratio"], 5);

    state_ = (dir_ / std::string(256, 'k')).string();
    run = korvelctl("set divide 6");
    EXPECT_EQ(run.status, 64) << run.output;
    EXPECT_NE(run.output.find("File name too long"), std::string::npos) << run.output;
}

}  // namespace

// A gigabyte state file of '1's (its first megabyte, then a hole) is set aside unread and the
// command runs on the default unit, saved to a file of its usual size.
TEST_F(KorvelctlProcesses, AGigabyteStateFileIsSetAsideUnread) {
    ASSERT_TRUE(korvel::testing::make_gigabyte_file(state_, std::string(1 << 20, '1')));
    const Outcome run = korvelctl("set divide 8");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("too large for a state file"), std::string::npos) << run.output;
    EXPECT_EQ(fs::file_size(state_ + ".bad"), std::uintmax_t{1} << 30);
    EXPECT_LT(fs::file_size(state_), 64u << 10);
    EXPECT_EQ(status()["divide_ratio"]["ratio"], 8);
}

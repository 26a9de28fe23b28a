// Custom-pattern loads with the unit unplugged before one of their driver calls: the load ends
// without a loop or a stale handle, the tick reports the unit gone, and once it is back the
// next ticks set it up as the panels show and the same load delivers the whole pattern (the
// FPGA memories do not survive the unit's power going away; the reconnect does not resend them).
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app_unplug.h"

namespace platform = korvel::platform;
using namespace korvel::app;
using korvel::testing::run_unplug_sweep;

namespace {

class PatternUnplugTest : public AppTest {
  protected:
    void TearDown() override {
        if (!files_.empty()) std::filesystem::remove_all(files_);
        AppTest::TearDown();
    }

    // A pattern file of `words` words of random bits, in a folder that outlives the sweep's
    // fresh working directories.
    std::string pattern_file(int words) {
        if (files_.empty()) {
            char name[] = "/tmp/korvel-unplug-XXXXXX";
            EXPECT_NE(mkdtemp(name), nullptr);
            files_ = name;
        }
        std::mt19937 bits(static_cast<unsigned>(words));
        std::string text;
        for (int k = 0; k < words * 256; ++k) {
            text += (bits() & 1) ? '1' : '0';
            if (k % 64 == 63) text += '\n';
        }
        const std::string path = (files_ / ("pattern" + std::to_string(words) + ".txt")).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // The unit present and set up, Custom Data chosen, the file chosen on its panel.
    void open_panel_with(const std::string& path) {
        SetUp();
        load_main();
        korvel::testing::tick();
        platform::operate_ctrl(main_panel, PANELMAIN_DATA_SELECT, 11, EVENT_COMMIT);
        host().answer_file_dialog(path);
        platform::operate_ctrl(data_panel, PANELDATA_SELECT_TXT_FILE);
    }
    static void load() { EXPECT_EQ(platform::operate_ctrl(data_panel, PANELDATA_LOAD_FPGA), 0); }

    // Sweeps one load; the reload after the recovery (costly for a long pattern) runs at every
    // `reload_every`-th point and at the last.
    korvel::testing::UnplugSweepResult sweep_load(int words, std::uint64_t every_up_to,
                                                  std::uint64_t stride,
                                                  std::uint64_t reload_every) {
        const std::string path = pattern_file(words);
        open_panel_with(path);
        load();
        const std::string whole = board().fpga().pattern_bits;
        EXPECT_EQ(whole.size(), static_cast<std::size_t>(words) * 256);
        korvel::sim::usb().reset_counters();
        load();
        const std::uint64_t calls = korvel::sim::usb().total_calls();

        auto sweep = korvel::testing::panel_unplug_sweep(
            [&] { open_panel_with(path); }, [] { load(); },
            [](std::uint64_t) {
                EXPECT_TRUE(host().popups.empty());  // loads show no message
            },
            [&](std::uint64_t k) {
                if (k % reload_every != 0 && k != calls) return;
                load();
                EXPECT_EQ(board().fpga().pattern_bits, whole);
            });
        sweep.every_up_to = every_up_to;
        sweep.stride = stride;
        return run_unplug_sweep(sweep);
    }

    std::filesystem::path files_;
};

TEST_F(PatternUnplugTest, AOneWordLoadRecoversFromAnUnplugAtEveryCall) {
    const auto result = sweep_load(1, UINT64_MAX, 1, 1);
    EXPECT_EQ(result.cases, result.calls);
}

// 2,179 calls, each write as good as the next: every call up to the 100th, then every 50th and
// the last; the whole pattern is loaded again at every 500th point and the last.
TEST_F(PatternUnplugTest, AFullPatternMemoryLoadRecoversFromAnUnplugAcrossTheLoad) {
    const auto result = sweep_load(4096, 100, 50, 500);
    EXPECT_GT(result.calls, 2000u);
}

}  // namespace

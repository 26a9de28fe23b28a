// The largest custom pattern, 4096 words in a text file, from file to pin bytes.
//
// BM_pattern_file_program_part reads, parses and turns it into its 2,228,227 pin bytes with a
// backend that only counts them: the program's own cost, to stay within 20 ms of CPU time.
// BM_pattern_file_into_simulated_unit does the same into the simulated unit, whose FPGA receiver
// decodes every pin byte. On real hardware the load is bound by USB instead (about 1.9 s).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fpga/fpga_load.h"
#include "fpga/pattern_files.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/usb_link.h"
#include "support/fresh_process.h"
#include "support/recording_backend.h"

namespace {

using namespace korvel;

constexpr std::uint64_t kPinBytesPerLoad = 2 + 544ull * kPatternWords + 1;  // 2,228,227

// A 4096-word file as an operator would write it: 64 bits to a line, blanks between bytes.
class PatternFileOnDisk {
  public:
    PatternFileOnDisk() {
        char name[] = "/tmp/korvel-bench-XXXXXX";
        if (mkdtemp(name) == nullptr) return;
        dir_ = name;
        path_ = (dir_ / "pattern_4096_words.txt").string();
        std::ofstream file(path_, std::ios::binary);
        std::uint32_t x = 2463534242u;
        for (int line = 0; line < kPatternWords * 4; ++line) {
            for (int bit = 0; bit < 64; ++bit) {
                x ^= x << 13, x ^= x >> 17, x ^= x << 5;
                file << ((x & 1) ? '1' : '0') << (bit % 8 == 7 ? " " : "");
            }
            file << '\n';
        }
    }
    ~PatternFileOnDisk() {
        if (!dir_.empty()) std::filesystem::remove_all(dir_);
    }
    const std::string& path() const { return path_; }

  private:
    std::filesystem::path dir_;
    std::string path_;
};

// Reads the file and loads its words; false when the file did not give 4096 words.
bool load_file(const std::string& path) {
    const PatternFile file = read_pattern_file(path.c_str(), pattern_buffer);
    bit_load_FPGA(0, file.words);
    return file.words == kPatternWords;
}

void report_pin_bytes(benchmark::State& state, double pin_bytes) {
    state.counters["pin_bytes_per_load"] = pin_bytes / static_cast<double>(state.iterations());
    state.counters["pin_bytes_per_s"] = benchmark::Counter(pin_bytes, benchmark::Counter::kIsRate);
}

void BM_pattern_file_program_part(benchmark::State& state) {
    const PatternFileOnDisk file;
    ftdi::WriteRecord record;
    ftdi::use_backend(ftdi::make_recording_backend(record), ftdi::BackendKind::Ftdi);
    testing::fresh_process(testing::UnitBehindDriver::AsPlaced);
    if (init_usb() != 1) state.SkipWithError("the counting backend did not open");
    const std::uint64_t before = record.bytes;
    for (auto _ : state) {
        if (!load_file(file.path())) state.SkipWithError("the file did not give 4096 words");
    }
    const auto bytes = static_cast<double>(record.bytes - before);
    report_pin_bytes(state, bytes);
    if (bytes != static_cast<double>(kPinBytesPerLoad * state.iterations()))
        state.SkipWithError("not 2,228,227 pin bytes per load");
    ftdi::use_fresh_simulated_unit();  // before `record` goes
}
BENCHMARK(BM_pattern_file_program_part)->Unit(benchmark::kMillisecond);

void BM_pattern_file_read_only(benchmark::State& state) {
    const PatternFileOnDisk file;
    for (auto _ : state) {
        const PatternFile read = read_pattern_file(file.path().c_str(), pattern_buffer);
        benchmark::DoNotOptimize(read.words);
    }
}
BENCHMARK(BM_pattern_file_read_only)->Unit(benchmark::kMillisecond);

void BM_pattern_file_into_simulated_unit(benchmark::State& state) {
    const PatternFileOnDisk file;
    testing::fresh_process();
    if (init_usb() != 1) state.SkipWithError("the simulated unit did not open");
    for (auto _ : state) {
        if (!load_file(file.path())) state.SkipWithError("the file did not give 4096 words");
    }
    report_pin_bytes(state, static_cast<double>(kPinBytesPerLoad * state.iterations()));
    if (sim::usb().board().fpga().pattern_bits.size() != 256u * kPatternWords)
        state.SkipWithError("the receiver did not get the whole pattern");
}
BENCHMARK(BM_pattern_file_into_simulated_unit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

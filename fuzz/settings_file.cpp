// Settings file text: never out of bounds, never a NaN or infinite level, and whatever the reader
// takes in, the writer's text of it reads back to text identical byte for byte (a float printed
// with six decimals reads back as a float that prints the same).
//
// Needs only app/settings_format.cpp; by hand:
//   clang++-14 -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc \
//     fuzz/settings_file.cpp src/app/settings_format.cpp -o fuzz_settings_file
//   ./fuzz_settings_file -dict=fuzz/dict/settings_file.dict NEW_CORPUS fuzz/corpus/settings_file
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/settings_format.h"

namespace {

using korvel::app::format_settings;
using korvel::app::GeneratorSettings;
using korvel::app::parse_settings;

void check(bool ok) {
    if (!ok) std::abort();
}

bool finite(const GeneratorSettings& s) {
    return std::isfinite(s.DutyCycleControl) && std::isfinite(s.DataAmplitudeControl) &&
           std::isfinite(s.SyncSkewControl) && std::isfinite(s.InternalPeakingControl);
}

bool close_enough(float read, float written) {
    return std::fabs(read - written) <= 5e-7F + std::fabs(written) * 1.2e-7F;
}

std::string with_crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Distinct previous values, so that a setting the text does not give keeps a known value.
    GeneratorSettings s{3, 1, 0, 1, 42, 2.8F, 2.4F, 0.5F, -0.25F, 1, 9, 0};
    const int read = parse_settings(text, s);
    check(read >= 0 && read <= 12);
    check(finite(s));

    // The writer's text reads back completely, in either line ending.
    const std::string written = format_settings(s);
    GeneratorSettings back{};
    check(parse_settings(written, back) == 12);
    GeneratorSettings back_crlf{};
    check(parse_settings(with_crlf(written), back_crlf) == 12);
    check(back == back_crlf);
    check(back.Setting8010 == s.Setting8010 && back.Pattern == s.Pattern && back.Eye == s.Eye &&
          back.Manual == s.Manual && back.DivideBy == s.DivideBy &&
          back.ClockOutput1 == s.ClockOutput1 && back.DataSelect == s.DataSelect &&
          back.Polarity == s.Polarity);
    const float floats[][2] = {{back.DutyCycleControl, s.DutyCycleControl},
                               {back.DataAmplitudeControl, s.DataAmplitudeControl},
                               {back.SyncSkewControl, s.SyncSkewControl},
                               {back.InternalPeakingControl, s.InternalPeakingControl}};
    for (const auto& f : floats) check(close_enough(f[0], f[1]));
    check(format_settings(back) == written);
    return 0;
}

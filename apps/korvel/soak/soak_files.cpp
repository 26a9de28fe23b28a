#include "soak/soak_files.h"

#include <filesystem>
#include <fstream>

#include "app/settings_format.h"
#include "app/state.h"
#include "platform/ui_constants.h"

namespace korvel::soak {
namespace {

namespace fs = std::filesystem;

constexpr int kBitsPerWord = 256;

void write_file(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string random_bits(SoakRandom& random, int count) {
    std::string bits;
    for (int i = 0; i < count; ++i) {
        bits += random.chance(0.5) ? '1' : '0';
        if (i % 16 == 15) bits += '\n';
    }
    return bits;
}

// A pattern file of a few whole words, now and then with a part word at its end.
std::string pattern_text(SoakRandom& random) {
    const int words = 1 + random.below(8);
    return random_bits(random, words * kBitsPerWord + (random.chance(0.2) ? 100 : 0));
}

// Period and width first, then the 256 mask bits (sometimes too few of them).
std::string mask_text(SoakRandom& random) {
    const int period = random.below(300), width = random.below(300);
    const int bits = random.chance(0.1) ? 200 : kBitsPerWord;
    return std::to_string(period) + "\n" + std::to_string(width) + "\n" + random_bits(random, bits);
}

// A configuration as the program writes it, with values a hand-edited or foreign file may hold:
// mostly sensible, sometimes beyond what any control shows.
std::string configuration_text(SoakRandom& random) {
    app::GeneratorSettings s{};
    const bool odd = random.chance(0.2);
    s.Setting8010 = static_cast<std::uint8_t>(random.below(256));
    const int mode = random.below(3);
    s.Pattern = static_cast<std::uint8_t>(odd ? random.below(3) : mode == 0);
    s.Eye = static_cast<std::uint8_t>(odd ? random.below(3) : mode == 1);
    s.Manual = static_cast<std::uint8_t>(odd ? random.below(3) : mode == 2);
    s.DivideBy = odd ? random.below(1000) - 100 : 1 + random.below(256);
    s.DutyCycleControl = static_cast<float>(random.between(odd ? -5.0 : 2.3, odd ? 9.0 : 3.3));
    s.DataAmplitudeControl = static_cast<float>(random.between(odd ? -5.0 : 1.8, odd ? 9.0 : 2.6));
    s.SyncSkewControl = static_cast<float>(random.between(-10.0, 10.0));
    s.InternalPeakingControl = static_cast<float>(random.between(-10.0, 10.0));
    s.ClockOutput1 = static_cast<std::uint8_t>(random.below(odd ? 4 : 2));
    s.DataSelect = static_cast<std::uint8_t>(odd ? random.below(16) : 1 + random.below(12));
    s.Polarity = odd ? random.below(5) - 2 : random.below(2);
    return app::format_settings(s);
}

std::string garbage_text(SoakRandom& random) {
    std::string text(static_cast<std::size_t>(random.below(4096)), '\0');
    for (char& c : text) c = static_cast<char>(random.below(256));
    return text;
}

}  // namespace

SoakFiles::SoakFiles(std::string dir) : dir_(std::move(dir)) {
    names_ = {"pattern.txt",
              "mask.txt",
              "configuration.txt",
              "settings.cfg",
              "garbage.bin",
              "empty.txt",
              "folder",
              "saved.txt",
              "not_there.txt",
              "no_folder/x.txt",
              std::string(300, 'n') + ".txt"};
    fs::create_directories(fs::path(dir_) / "folder");
}

void SoakFiles::refresh(SoakRandom& random) {
    const fs::path d(dir_);
    write_file(d / "pattern.txt", pattern_text(random));
    write_file(d / "mask.txt", mask_text(random));
    write_file(d / "configuration.txt", configuration_text(random));
    write_file(d / "garbage.bin", garbage_text(random));
    write_file(d / "empty.txt", "");
    std::error_code ec;
    fs::remove(d / "not_there.txt", ec);
}

DialogAnswer SoakFiles::answer(const platform::FileSelectRequest& /*request*/, SoakRandom& random) {
    if (random.chance(0.15)) return {VAL_NO_FILE_SELECTED, ""};
    if (random.chance(0.05)) refresh(random);
    const std::string& name =
        names_[static_cast<std::size_t>(random.below(static_cast<int>(names_.size())))];
    std::string path = random.chance(0.5) ? (fs::path(dir_) / name).string() : name;
    std::error_code ec;
    const bool exists = fs::exists(fs::path(dir_) / name, ec);
    int result = exists ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
    if (random.chance(0.1))
        result = result == VAL_EXISTING_FILE_SELECTED ? VAL_NEW_FILE_SELECTED
                                                      : VAL_EXISTING_FILE_SELECTED;
    return {result, std::move(path)};
}

}  // namespace korvel::soak

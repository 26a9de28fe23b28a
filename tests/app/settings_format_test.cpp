// The settings file's text: written byte for byte as "%d"/"%f" would, read by position, and
// malformed files never give undefined values.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "../support/working_directory.h"
#include "app/settings_format.h"

using korvel::app::format_settings;
using korvel::app::GeneratorSettings;
using korvel::app::parse_settings;

namespace {

// What printf writes for the twelve lines, in the C locale.
std::string printf_reference(const GeneratorSettings& s) {
    char text[1024];
    std::snprintf(text, sizeof text,
                  "ZEVA_KORVELConfigData\n8010 %d\nPattern %d\nEye %d\nManual %d\nDivideBy %d\n"
                  "DutyCycleControl %f\nDataAmplitudeControl %f\nSyncSkewControl %f\n"
                  "InternalPeakingControl %f\nClockOutput1 %d\nDataSelect %d\nPolarity %d\n\n",
                  s.Setting8010, s.Pattern, s.Eye, s.Manual, s.DivideBy, s.DutyCycleControl,
                  s.DataAmplitudeControl, s.SyncSkewControl, s.InternalPeakingControl,
                  s.ClockOutput1, s.DataSelect, s.Polarity);
    return text;
}

// Distinct values in every setting, so that any value landing in the wrong place shows.
GeneratorSettings sample() {
    return {200, 1, 0, 0, 17, 2.8F, 2.4F, 1.25F, -0.5F, 1, 9, 1};
}

std::string sample_line(int n) {  // line n (1 = header) of the sample's file, with its "\n"
    std::string text = format_settings(sample());
    std::size_t begin = 0;
    for (int i = 1; i < n; ++i) begin = text.find('\n', begin) + 1;
    return text.substr(begin, text.find('\n', begin) - begin + 1);
}

// The sample's file with line n replaced.
std::string sample_with_line(int n, const std::string& line) {
    std::string text = format_settings(sample());
    const std::string old = sample_line(n);
    return text.replace(text.find(old), old.size(), line);
}

}  // namespace

TEST(SettingsFormat, WritesTheFileByteForByteAsPrintfWouldAndReadsItBackUnchanged) {
    EXPECT_EQ(format_settings(GeneratorSettings{}),
              "ZEVA_KORVELConfigData\n8010 0\nPattern 0\nEye 0\nManual 0\nDivideBy 0\n"
              "DutyCycleControl 0.000000\nDataAmplitudeControl 0.000000\nSyncSkewControl 0.000000\n"
              "InternalPeakingControl 0.000000\nClockOutput1 0\nDataSelect 0\nPolarity 0\n\n");
    EXPECT_EQ(sample_line(2), "8010 200\n");  // byte-wide values unsigned
    EXPECT_EQ(sample_line(7), "DutyCycleControl 2.800000\n");

    // Every kind of float (tiny, huge, negative, halfway cases) rounds as printf rounds it.
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    GeneratorSettings s = sample();
    s.DivideBy = std::numeric_limits<std::int32_t>::min();
    s.Polarity = -1;
    for (int i = 0; i < 2000; ++i) {
        float f[4];
        for (float& v : f) {
            do {
                const std::uint32_t b = bits(random);
                std::memcpy(&v, &b, sizeof v);
            } while (!std::isfinite(v));
        }
        constexpr float kEdges[] = {-0.0F, 0.0000005F, 2.5e-6F, 3.4e38F};
        if (i < 4) f[i] = kEdges[i];
        s.DutyCycleControl = f[0];
        s.DataAmplitudeControl = f[1];
        s.SyncSkewControl = f[2];
        s.InternalPeakingControl = f[3];
        ASSERT_EQ(format_settings(s), printf_reference(s));
        // What the program wrote comes back byte for byte through a restore and a save.
        GeneratorSettings back{};
        parse_settings(format_settings(s), back);
        ASSERT_EQ(format_settings(back), format_settings(s));
    }
}

// The program's toolkit takes the desktop's locale; there "%f" would write "2,800000". A locale
// with only a decimal comma is compiled into the test's folder, so the check needs no installed
// locales.
TEST(SettingsFormat, DecimalCommaLocaleChangesNeitherWritingNorReading) {
    korvel::testing::FreshWorkingDirectory dir;
    dir.enter();
    std::ofstream("comma.src") << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \"\"\n"
                                  "grouping -1\nEND LC_NUMERIC\n";
    // An output path with a '/' keeps localedef away from the system's locale archive.
    const std::string build =
        "localedef -c -i comma.src '" + (dir.path() / "comma").string() + "' 2>/dev/null";
    [[maybe_unused]] const int warnings = std::system(build.c_str());
    setenv("LOCPATH", dir.path().c_str(), 1);
    const std::string expected = printf_reference(sample());
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "comma") == nullptr) GTEST_SKIP() << "no decimal-comma locale";
    char printed[16];
    std::snprintf(printed, sizeof printed, "%f", 2.8);
    const std::string text = format_settings(sample());
    GeneratorSettings read{};
    const int count = parse_settings(text, read);
    std::setlocale(LC_NUMERIC, before.c_str());
    unsetenv("LOCPATH");
    EXPECT_STREQ(printed, "2,800000");
    EXPECT_EQ(text, expected);
    EXPECT_EQ(count, 12);
    EXPECT_EQ(read, sample());
}

TEST(SettingsFormat, ReadsByPositionWithoutComparingWords) {
    GeneratorSettings s{};
    EXPECT_EQ(parse_settings(format_settings(sample()), s), 12);
    EXPECT_EQ(s, sample());

    // Other words in the right order restore correctly; the header is not compared either.
    GeneratorSettings words{};
    parse_settings(
        "anything\na 200\nb 1\nc 0\nd 0\ne 17\nf 2.8\ng 2.4\nh 1.25\ni -0.5\nj 1\nk 9\nl 1\n",
        words);
    EXPECT_EQ(words, sample());

    // The right keys in another order put the values into the wrong settings.
    std::string text = format_settings(sample());
    text.replace(text.find("Pattern 1\nEye 0\n"), 16, "Eye 0\nPattern 1\n");
    GeneratorSettings swapped{};
    parse_settings(text, swapped);
    EXPECT_EQ(swapped.Pattern, 0);
    EXPECT_EQ(swapped.Eye, 1);

    // Byte-wide settings keep the low 8 bits; the 32-bit ones take the whole integer.
    GeneratorSettings wide{};
    parse_settings(sample_with_line(3, "Pattern 257\n"), wide);
    EXPECT_EQ(wide.Pattern, 1);
    parse_settings(sample_with_line(12, "DataSelect -1\n"), wide);
    EXPECT_EQ(wide.DataSelect, 255);
    parse_settings(sample_with_line(6, "DivideBy +70000\n"), wide);
    EXPECT_EQ(wide.DivideBy, 70000);

    // Files written with "\r\n" line ends read the same.
    std::string crlf;
    for (char c : format_settings(sample()))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    GeneratorSettings windows{};
    EXPECT_EQ(parse_settings(crlf, windows), 12);
    EXPECT_EQ(windows, sample());
}

// Twelve word/number pairs, wherever the line ends fall; floats in any form "%f" reads.
TEST(SettingsFormat, ReadsTwelvePairsWhereverTheLineEndsFallAndFloatsAsPercentFReadsThem) {
    GeneratorSettings hex_and_tiny = sample();
    hex_and_tiny.DutyCycleControl = 2.75F;
    hex_and_tiny.SyncSkewControl = 0.0F;
    const std::pair<std::string, GeneratorSettings> cases[] = {
        {"h\na 200 b 1 c 0 d 0 e 17 f 0x1.6p+1 g 2.4 h 1e-50 i -0.5 j 1 k 9 l 1", hex_and_tiny},
        {"h\na\n200\n\nb\r\n1\tc 0 d\n0 e 17\nf 2.8 g 2.4 h 1.25 i -0.5 j 1 k 9\nl\n1\n", sample()},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        GeneratorSettings s{};
        EXPECT_EQ(parse_settings(text, s), 12);
        EXPECT_EQ(s, expected);
    }
}

TEST(SettingsFormat, DamageStaysInItsPairAndUnreadableNumbersKeepThePreviousValue) {
    struct Case {
        const char* what;
        std::string text;
        int read;
        GeneratorSettings expected;
    };
    GeneratorSettings previous{};
    previous.Setting8010 = 3;
    previous.Eye = 7;
    previous.DivideBy = 99;
    previous.DutyCycleControl = 3.0F;
    previous.Polarity = 5;
    auto sample_but = [](auto change) {
        GeneratorSettings s = sample();
        change(s);
        return s;
    };
    const std::string huge(10 << 20, 'x');
    const std::string file = format_settings(sample());
    const std::vector<Case> cases = {
        {"truncated after DivideBy", file.substr(0, file.find("DutyCycle")), 5,
         sample_but([&](auto& s) {
             s.DutyCycleControl = previous.DutyCycleControl;
             s.DataAmplitudeControl = s.SyncSkewControl = s.InternalPeakingControl = 0;
             s.ClockOutput1 = s.DataSelect = 0;
             s.Polarity = previous.Polarity;
         })},
        {"cut before the last number", file.substr(0, file.find("Polarity 1") + 9), 11,
         sample_but([&](auto& s) { s.Polarity = previous.Polarity; })},
        // The next key becomes the number: no later setting takes a neighbour's value.
        {"missing number", sample_with_line(4, "Eye\n"), 2,
         GeneratorSettings{200, 1, 7, 0, 99, 3.0F, 0, 0, 0, 0, 0, 5}},
        {"letters for a number", sample_with_line(6, "DivideBy twelve\n"), 11,
         sample_but([&](auto& s) { s.DivideBy = previous.DivideBy; })},
        {"beyond 32 bits", sample_with_line(6, "DivideBy 4294967313\n"), 11,
         sample_but([&](auto& s) { s.DivideBy = previous.DivideBy; })},
        {"NaN", sample_with_line(7, "DutyCycleControl nan\n"), 11,
         sample_but([&](auto& s) { s.DutyCycleControl = previous.DutyCycleControl; })},
        {"infinity", sample_with_line(7, "DutyCycleControl -inf\n"), 11,
         sample_but([&](auto& s) { s.DutyCycleControl = previous.DutyCycleControl; })},
        {"beyond a float", sample_with_line(7, "DutyCycleControl 1e39\n"), 11,
         sample_but([&](auto& s) { s.DutyCycleControl = previous.DutyCycleControl; })},
        {"10 MB header", huge + "\n" + file.substr(file.find('\n') + 1), 12, sample()},
        {"10 MB key", sample_with_line(2, huge + " 200\n"), 12, sample()},
        {"binary bytes", sample_with_line(13, std::string("\0\xff\x01 \x80\n", 6)), 11,
         sample_but([&](auto& s) { s.Polarity = previous.Polarity; })},
        {"empty file", "", 0, previous},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeneratorSettings s = previous;
        EXPECT_EQ(parse_settings(c.text, s), c.read);
        EXPECT_EQ(s, c.expected);
    }
}

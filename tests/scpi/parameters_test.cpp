// Parameters read into values: what each accepts, and the error for each kind of fault.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string_view>

#include "scpi/message_parser.h"
#include "scpi/parameters.h"

namespace {

using namespace korvel::scpi;

// The parameters of "X <text>".
std::vector<Parameter> params(const std::string& text) {
    Message m = parse_message("X " + text);
    EXPECT_FALSE(m.error) << text;
    return m.units.empty() ? std::vector<Parameter>{} : m.units[0].parameters;
}

int code(const Fault& f) {
    return f ? f->code : 0;
}

TEST(Parameters, CountIsExact) {
    EXPECT_EQ(code(expect_count(params(""), 1)), kMissingParameter);
    EXPECT_EQ(code(expect_count(params("1,2"), 1)), kParameterNotAllowed);
    EXPECT_EQ(code(expect_count(params("1"), 1)), 0);
}

TEST(Parameters, BooleansAreOnOffOneZeroOnly) {
    bool v = false;
    EXPECT_EQ(code(read_boolean(params("on")[0], &v)), 0);
    EXPECT_TRUE(v);
    EXPECT_EQ(code(read_boolean(params("0")[0], &v)), 0);
    EXPECT_FALSE(v);
    EXPECT_EQ(code(read_boolean(params("2")[0], &v)), kIllegalParameterValue);
    EXPECT_EQ(code(read_boolean(params("0.5")[0], &v)), kIllegalParameterValue);
    EXPECT_EQ(code(read_boolean(params("TRUE")[0], &v)), kIllegalParameterValue);
    EXPECT_EQ(code(read_boolean(params("\"ON\"")[0], &v)), kDataTypeError);
}

TEST(Parameters, ChoicesTakeEitherFormOfTheirWords) {
    constexpr std::array<std::string_view, 3> forms = {"PATTern", "EYE", "MANual"};
    std::size_t i = 9;
    EXPECT_EQ(code(read_choice(params("man")[0], forms, &i)), 0);
    EXPECT_EQ(i, 2u);
    EXPECT_EQ(code(read_choice(params("PATTERN")[0], forms, &i)), 0);
    EXPECT_EQ(i, 0u);
    EXPECT_EQ(code(read_choice(params("MANU")[0], forms, &i)), kIllegalParameterValue);
    EXPECT_EQ(code(read_choice(params("1")[0], forms, &i)), kDataTypeError);
}

TEST(Parameters, NumbersOutsideTheRangeAreRefusedNotClamped) {
    const NumberRange range{1, 256, 1, true, "TRIGger:DIVide"};
    double v = -1;
    EXPECT_EQ(code(read_number(params("256")[0], range, &v)), 0);
    EXPECT_EQ(v, 256);
    EXPECT_EQ(code(read_number(params("2.56E2")[0], range, &v)), 0);
    v = -1;
    const Fault high = read_number(params("257")[0], range, &v);
    ASSERT_TRUE(high);
    EXPECT_EQ(high->code, kDataOutOfRange);
    EXPECT_EQ(high->detail, "TRIGger:DIVide takes 1 to 256");
    EXPECT_EQ(code(read_number(params("0")[0], range, &v)), kDataOutOfRange);
    EXPECT_EQ(code(read_number(params("1e999")[0], range, &v)), kDataOutOfRange);
    EXPECT_EQ(code(read_number(params("-1e999")[0], range, &v)), kDataOutOfRange);
    EXPECT_EQ(code(read_number(params("8.5")[0], range, &v)), kIllegalParameterValue);
    EXPECT_EQ(v, -1);  // nothing was taken from any of the faults
    EXPECT_EQ(code(read_number(params("\"8\"")[0], range, &v)), kDataTypeError);
    EXPECT_EQ(code(read_number(params("LOTS")[0], range, &v)), kIllegalParameterValue);
}

TEST(Parameters, SuffixesScaleIntoTheSettingsUnitOthersAreInvalid) {
    constexpr std::array<Unit, 2> units = {{{"V", 1000.0}, {"MV", 1.0}}};
    NumberRange range{0, 600, 450, false, "SOURce:AMPLitude", units};
    struct Case {
        const char* text;
        int code;
        double value;
    };
    for (const Case& c : {Case{"300mV", 0, 300}, Case{"0.3v", 0, 300}, Case{"#H12C", 0, 300},
                          Case{"0.7 V", kDataOutOfRange, 0}, Case{"300 PCT", kInvalidSuffix, 0}}) {
        double v = 0;
        EXPECT_EQ(code(read_number(params(c.text)[0], range, &v)), c.code) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    bool on = false;  // a switch takes no unit at all
    EXPECT_EQ(code(read_boolean(params("1V")[0], &on)), kInvalidSuffix);
}

TEST(Parameters, LimitsAndDefaultByName) {
    const NumberRange range{0, 600, 450, false, "SOURce:AMPLitude"};
    double v = -1;
    EXPECT_EQ(code(read_number(params("MAX")[0], range, &v)), 0);
    EXPECT_EQ(v, 600);
    EXPECT_EQ(code(read_number(params("minimum")[0], range, &v)), 0);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(code(read_number(params("DEF")[0], range, &v)), 0);
    EXPECT_EQ(v, 450);
    EXPECT_EQ(code(read_limit(params("DEF")[0], range, &v)), kIllegalParameterValue);
    EXPECT_EQ(code(read_limit(params("MAXIMUM")[0], range, &v)), 0);
    EXPECT_EQ(v, 600);
}

TEST(Parameters, RepliesShowWholeNumbersPlainAndFloatsAsTheControlsKeepThem) {
    EXPECT_EQ(format_number(256, true), "256");
    EXPECT_EQ(format_number(4294967295.0, true), "4294967295");
    EXPECT_EQ(format_number(450, false), "450");
    EXPECT_EQ(format_number(static_cast<float>(450.0128), false), "450.0128");
    EXPECT_EQ(format_number(static_cast<float>(52.01), false), "52.01");
}

TEST(Parameters, StringsOnlyWhereStringsAreTaken) {
    std::string s;
    EXPECT_EQ(code(read_string(params("'a.txt'")[0], &s)), 0);
    EXPECT_EQ(s, "a.txt");
    EXPECT_EQ(code(read_string(params("a")[0], &s)), kDataTypeError);
}

}  // namespace

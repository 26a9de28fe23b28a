// The SCPI line parser: what it reads out of well-formed lines, and what each kind of bad line
// gives instead (and that nothing of a line after a fault is taken).
#include <gtest/gtest.h>

#include <string>

#include "scpi/message_parser.h"

namespace {

using korvel::scpi::Message;
using korvel::scpi::parse_message;
using Kind = korvel::scpi::Parameter::Kind;

int error_code(const Message& m) {
    return m.error ? m.error->code : 0;
}

TEST(MessageParser, ReadsHeadersQueriesAndEveryParameterKind) {
    const Message m = parse_message(
        "*idn?; :sour:ampl  -1.5e2 ;Pattern:Custom:Load \"a \"\"b\"\" c\", 'x''y', prbs15");
    ASSERT_FALSE(m.error);
    ASSERT_EQ(m.units.size(), 3u);

    EXPECT_TRUE(m.units[0].header.common);
    EXPECT_TRUE(m.units[0].header.query);
    EXPECT_EQ(m.units[0].header.nodes, std::vector<std::string>{"IDN"});

    const auto& ampl = m.units[1];
    EXPECT_TRUE(ampl.header.rooted);
    EXPECT_FALSE(ampl.header.query);
    EXPECT_EQ(ampl.header.nodes, (std::vector<std::string>{"SOUR", "AMPL"}));
    ASSERT_EQ(ampl.parameters.size(), 1u);
    EXPECT_EQ(ampl.parameters[0].kind, Kind::Number);
    EXPECT_DOUBLE_EQ(ampl.parameters[0].number, -150.0);

    const auto& load = m.units[2];
    EXPECT_FALSE(load.header.rooted);
    ASSERT_EQ(load.parameters.size(), 3u);
    EXPECT_EQ(load.parameters[0].kind, Kind::String);
    EXPECT_EQ(load.parameters[0].text, "a \"b\" c");
    EXPECT_EQ(load.parameters[1].text, "x'y");
    EXPECT_EQ(load.parameters[2].kind, Kind::Mnemonic);
    EXPECT_EQ(load.parameters[2].text, "PRBS15");
}

TEST(MessageParser, NumbersInEveryFormAndBeyondADouble) {
    const Message m = parse_message("A +5,.5,7.,1E3,2e-2,1e999,-1e999,1e-999,0.000e400");
    ASSERT_FALSE(m.error);
    const auto& p = m.units[0].parameters;
    ASSERT_EQ(p.size(), 9u);
    EXPECT_EQ(p[0].number, 5.0);
    EXPECT_EQ(p[1].number, 0.5);
    EXPECT_EQ(p[2].number, 7.0);
    EXPECT_EQ(p[3].number, 1000.0);
    EXPECT_DOUBLE_EQ(p[4].number, 0.02);
    EXPECT_EQ(p[5].number, std::numeric_limits<double>::infinity());
    EXPECT_EQ(p[6].number, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(p[7].number, 0.0);
    EXPECT_EQ(p[8].number, 0.0);
}

TEST(MessageParser, SuffixesAndNonDecimalNumbers) {
    struct Case {
        const char* parameter;
        double number;
        const char* suffix;
    };
    for (const Case& c :
         {Case{"300mV", 300, "MV"}, Case{"0.3 V", 0.3, "V"}, Case{"5e1pct", 50, "PCT"},
          Case{"#HfF", 255, ""}, Case{"#q17", 15, ""}, Case{"#B101", 5, ""}}) {
        const Message m = parse_message(std::string("A ") + c.parameter + ",1");
        ASSERT_FALSE(m.error) << c.parameter;
        ASSERT_EQ(m.units[0].parameters.size(), 2u) << c.parameter;
        EXPECT_EQ(m.units[0].parameters[0].number, c.number) << c.parameter;
        EXPECT_EQ(m.units[0].parameters[0].suffix, c.suffix) << c.parameter;
    }
}

TEST(MessageParser, EmptyLinesAndUnitsAreNothing) {
    for (const char* line : {"", "   ", ";", " ; ;\t"}) {
        const Message m = parse_message(line);
        EXPECT_FALSE(m.error) << line;
        EXPECT_TRUE(m.units.empty()) << line;
    }
}

TEST(MessageParser, SyntaxFaultsKeepTheUnitsBeforeThem) {
    struct Case {
        const char* line;
        std::size_t units_before;
    };
    for (const Case& c : {
             Case{"SOUR:AMPL 3;SOUR:AMPL 3 4", 1},  // no comma between parameters
             Case{"A 1,", 0},                       // nothing after the comma
             Case{"A \"open", 0},                   // string never closed
             Case{"A 12mV5", 0},                    // digits after a suffix
             Case{"A 1e", 0},                       // exponent without digits
             Case{"A -", 0},                        // sign alone
             Case{"A ?", 0},                        // query mark after a blank
             Case{"A:", 0},                         // colon ending the header
             Case{"A::B", 0},                       // empty node
             Case{"*", 0},                          // common command without a name
             Case{"1A", 0},                         // header starting with a digit
             Case{"A(1)", 0},                       // unexpected character after the header
             Case{"A?B", 0},                        // text after the query mark
             Case{"A #X1F", 0},                     // no such radix (and no block data)
             Case{"A #B102", 0},                    // a digit beyond the radix
             Case{"A #Q", 0},                       // radix without digits
             Case{"*IDN? junk\"", 0},               // bad parameter
         }) {
        const Message m = parse_message(c.line);
        EXPECT_EQ(error_code(m), korvel::scpi::kSyntaxError) << c.line;
        EXPECT_EQ(m.units.size(), c.units_before) << c.line;
    }
}

TEST(MessageParser, ControlBytesSpoilTheWholeLineOtherHighBytesOnlyOutsideStrings) {
    const std::string with_nul("*RST;A\0B", 8);
    const Message nul = parse_message(with_nul);
    EXPECT_EQ(error_code(nul), korvel::scpi::kInvalidCharacter);
    EXPECT_TRUE(nul.units.empty());
    EXPECT_EQ(error_code(parse_message("*RST\x7f")), korvel::scpi::kInvalidCharacter);
    EXPECT_EQ(error_code(parse_message("A \xc3\xa9")), korvel::scpi::kInvalidCharacter);

    // A path with non-ASCII characters is fine inside quotes.
    const Message path = parse_message("LOAD \"/tmp/r\xc3\xa9sum\xc3\xa9.txt\"");
    ASSERT_FALSE(path.error);
    EXPECT_EQ(path.units[0].parameters[0].text, "/tmp/r\xc3\xa9sum\xc3\xa9.txt");
}

}  // namespace

// Cutting a byte stream into lines with bounded memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scpi/line_framer.h"

namespace {

using korvel::scpi::LineFramer;
using Next = LineFramer::Next;

// Feeds `bytes` in chunks of `chunk` the way the server does (only when no line waits) and lists
// what comes out: the lines, and "<overlong>" for each line given up.
std::vector<std::string> frame(const std::string& bytes, std::size_t chunk) {
    LineFramer f;
    std::vector<std::string> out;
    std::size_t fed = 0;
    std::string line;
    while (true) {
        const Next n = f.next(&line);
        if (n == Next::Line) out.push_back(line);
        if (n == Next::Overlong) out.push_back("<overlong>");
        if (n != Next::None) continue;
        EXPECT_LE(f.pending(), LineFramer::kMaxLine + 1 + LineFramer::kMaxChunk);
        if (fed == bytes.size()) break;
        const std::size_t n_bytes = std::min(chunk, bytes.size() - fed);
        f.feed(std::string_view(bytes).substr(fed, n_bytes));
        fed += n_bytes;
    }
    return out;
}

TEST(LineFramer, LinesInAnyChunkingWithOrWithoutCarriageReturn) {
    const std::string text = "*IDN?\r\nSOUR:PATT PRBS7\n\nhalf";
    for (std::size_t chunk : {1u, 3u, 4096u}) {
        EXPECT_EQ(frame(text, chunk), (std::vector<std::string>{"*IDN?", "SOUR:PATT PRBS7", ""}))
            << chunk;
    }
}

TEST(LineFramer, LongestLineIsTakenOneMoreByteIsGivenUpAndTheNextLineStillComes) {
    const std::string longest(LineFramer::kMaxLine, 'A');
    EXPECT_EQ(frame(longest + "\r\n", 4096), std::vector<std::string>{longest});
    const std::string too_long(LineFramer::kMaxLine + 1, 'A');
    EXPECT_EQ(frame(too_long + "\n*IDN?\n", 1000),
              (std::vector<std::string>{"<overlong>", "*IDN?"}));
    // A megabyte without a line end is one overlong line, held in bounded memory.
    const std::string flood(1 << 20, 'x');
    EXPECT_EQ(frame(flood + "\n*OPC?\n", 4096), (std::vector<std::string>{"<overlong>", "*OPC?"}));
}

TEST(LineFramer, KnowsWhetherALineWaits) {
    LineFramer f;
    f.feed("*CLS");
    EXPECT_FALSE(f.holds_line());
    f.feed("\n");
    EXPECT_TRUE(f.holds_line());
    std::string line;
    EXPECT_EQ(f.next(&line), Next::Line);
    EXPECT_FALSE(f.holds_line());
}

}  // namespace

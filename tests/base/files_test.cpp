// The file module's three answers to a file longer than the reader's limit, when the file is that
// long at open and when it grows there while it is read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/regular_file.h"

namespace {

using korvel::base::FileError;
using korvel::base::OverLimit;
using korvel::base::RegularFile;

struct Case {
    OverLimit policy;
    std::size_t at_open, when_read;  // the file's length when opened, and when it is read
    FileError::Kind error;
    std::size_t bytes_read;
};

TEST(RegularFile, EachOverLimitPolicyReadsWhatItPromises) {
    constexpr std::size_t kLimit = 10;
    const std::string path = (std::filesystem::path(::testing::TempDir()) /
                              ("korvel-policy-" + std::to_string(::getpid())))
                                 .string();
    using enum OverLimit;
    constexpr auto kNone = FileError::Kind::None, kTooLarge = FileError::Kind::TooLarge;
    for (const Case& c :
         {Case{Refuse, 10, 10, kNone, 10}, Case{Refuse, 11, 11, kTooLarge, 0},
          Case{Refuse, 5, 11, kTooLarge, 0}, Case{Truncate, 3, 3, kNone, 3},
          Case{Truncate, 11, 11, kNone, 10}, Case{Truncate, 5, 12, kNone, 10},
          Case{LengthAtOpen, 10, 10, kNone, 10}, Case{LengthAtOpen, 11, 11, kTooLarge, 0},
          // less than a chunk long at open: up to a chunk is read
          Case{LengthAtOpen, 5, 12, kNone, 12}}) {
        SCOPED_TRACE(static_cast<int>(c.policy) * 1000 + static_cast<int>(c.at_open));
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(c.at_open, 'a');
        RegularFile file(path.c_str(), kLimit, c.policy);
        std::ofstream(path, std::ios::binary | std::ios::app)
            << std::string(c.when_read - c.at_open, 'b');
        std::string text = "untouched";
        EXPECT_EQ(file.read_rest(text).kind, c.error);
        EXPECT_EQ(text.size(), c.error == kNone ? c.bytes_read : std::string("untouched").size());
    }
    std::filesystem::remove(path);
}

}  // namespace

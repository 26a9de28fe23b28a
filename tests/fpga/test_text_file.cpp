// The pattern and mask files as read from disk: bounded chunks, nothing read past what the reader
// needs, and FIFOs, devices and directories refused before a byte is read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "../support/huge_files.h"
#include "fpga/pattern_files.h"
#include "fpga/pattern_reader.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;
using Kind = FileProblem::Kind;

class TextFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/korvel-text-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
        std::memset(columns, 0, sizeof columns);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& text) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    fs::path dir_;
    static inline PatternColumns columns;
};

TEST_F(TextFiles, BitsAcrossChunkBoundariesAndPastTheLastWord) {
    // The first bit sits beyond the first chunk; the text goes on after word 4096.
    std::string text(kTextChunkBytes + 3, ' ');
    text += "1" + std::string(256 * kPatternWords - 1, '0') + "1111 never read";
    const PatternFile file = read_pattern_file(write("big.txt", text).c_str(), columns);
    EXPECT_FALSE(file.problem);
    EXPECT_EQ(file.words, kPatternWords);
    EXPECT_EQ(file.bits, 256u * kPatternWords);
    EXPECT_EQ(file.first_bits, "1" + std::string(255, '0'));
    EXPECT_EQ(columns[31][0], 0x80);
    EXPECT_EQ(columns[0][kPatternWords - 1], 0x00);

    const MaskFile mask =
        read_mask_file(write("mask.txt", "3\n2\n" + std::string(256, '1')).c_str(), columns);
    EXPECT_FALSE(mask.problem);
    EXPECT_EQ(mask.outcome, MaskReader::Outcome::Complete);
    EXPECT_EQ(mask.period, 3u);
    EXPECT_EQ(mask.width, 2u);
    EXPECT_EQ(mask.ones, 256);
}

TEST_F(TextFiles, ReadingStopsOnceTheReaderIsDone) {
    struct FirstChunkOnly {
        int chunks = 0;
        std::size_t take(std::span<const std::uint8_t> text) {
            ++chunks;
            return text.size();
        }
        bool done() const { return chunks > 0; }
    } reader;
    const std::string path = write("long.txt", std::string(8 * kTextChunkBytes, '1'));
    EXPECT_FALSE(read_text_file(path.c_str(), reader));
    EXPECT_EQ(reader.chunks, 1);
}

// A file larger than 64 MiB is too large to be a pattern or mask file, whatever it begins with:
// refused before a byte is read (a file without bits would otherwise be read to its end). One
// file of exactly the bound is read as far as the reader needs.
TEST_F(TextFiles, FilesLargerThan64MiBAreRefusedUnread) {
    const std::string path = (dir_ / "ones.txt").string();
    for (const std::uint64_t size : {kMostTextBytes, kMostTextBytes + 1}) {
        ASSERT_TRUE(korvel::testing::make_gigabyte_file(path, std::string(2 << 20, '1')));
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
        const bool refused = size > kMostTextBytes;
        const PatternFile pattern = read_pattern_file(path.c_str(), columns);
        EXPECT_EQ(pattern.problem.kind, refused ? Kind::TooLarge : Kind::None) << size;
        EXPECT_EQ(pattern.bits, refused ? 0u : PatternReader::kMaxBits) << size;
        EXPECT_EQ(read_mask_file(path.c_str(), columns).problem.kind,
                  refused ? Kind::TooLarge : Kind::None);
    }
    EXPECT_EQ(FileProblem{Kind::TooLarge}.describe(),
              "is larger than 64 MiB: too large to be a pattern or mask file");
}

// Another program appending to the file while it is read: reading ends where the file ended when
// it was opened, not when the writer stops (here it never would: each chunk read adds two).
TEST_F(TextFiles, AFileThatGrowsWhileItIsReadEndsWhereItWasWhenOpened) {
    struct Appender {
        std::ofstream* out;
        std::size_t got = 0;
        std::size_t take(std::span<const std::uint8_t> text) {
            got += text.size();
            *out << std::string(2 * kTextChunkBytes, ' ') << std::flush;
            return text.size();
        }
        bool done() const { return false; }
    };
    const std::string path = write("growing.txt", std::string(3 * kTextChunkBytes + 5, ' '));
    std::ofstream out(path, std::ios::binary | std::ios::app);
    Appender reader{&out};
    EXPECT_FALSE(read_text_file(path.c_str(), reader));
    EXPECT_EQ(reader.got, 3 * kTextChunkBytes + 5);

    // A short file (or one that tells a length of 0) may still grow by up to one chunk.
    const std::string small = write("small.txt", "01");
    std::ofstream small_out(small, std::ios::binary | std::ios::app);
    Appender small_reader{&small_out};
    EXPECT_FALSE(read_text_file(small.c_str(), small_reader));
    EXPECT_EQ(small_reader.got, kTextChunkBytes);
}

TEST_F(TextFiles, OnlyRegularFilesAreRead) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        Kind kind;
    };
    for (const Case& c :
         {Case{(dir_ / "missing.txt").string(), Kind::NotFound},
          Case{(dir_ / "missing" / "x.txt").string(), Kind::NotFound}, Case{"", Kind::NotFound},
          Case{dir_.string(), Kind::Directory}, Case{fifo, Kind::Fifo},
          Case{"/dev/zero", Kind::Device}, Case{"/dev/null", Kind::Device}}) {
        // A FIFO with no writer would block a plain open; a device like /dev/zero never ends.
        const PatternFile file = read_pattern_file(c.path.c_str(), columns);
        EXPECT_EQ(file.problem.kind, c.kind) << c.path;
        EXPECT_TRUE(file.problem.unopened()) << c.path;
        EXPECT_EQ(file.bits, 0u) << c.path;
        EXPECT_EQ(read_mask_file(c.path.c_str(), columns).problem.kind, c.kind) << c.path;
    }
    EXPECT_EQ(FileProblem{Kind::Fifo}.describe(), "is a FIFO, not a file");
    EXPECT_EQ(FileProblem{Kind::NotFound}.describe(), "not found");
}

TEST_F(TextFiles, AFileWithoutReadPermissionIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const std::string path = write("secret.txt", std::string(256, '1'));
    ASSERT_EQ(chmod(path.c_str(), 0200), 0);
    EXPECT_EQ(read_pattern_file(path.c_str(), columns).problem.kind, Kind::NoPermission);
}

}  // namespace
}  // namespace korvel

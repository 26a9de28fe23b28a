// Replacing a settings file never leaves a truncated one, and reading one never blocks or
// swallows a device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "../support/huge_files.h"
#include "../support/working_directory.h"
#include "app/safe_file.h"

namespace fs = std::filesystem;
using namespace korvel::app;

namespace {

void put(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// Names in the directory, so that a temporary file left behind shows.
std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A disk that fills up after `g_room` more bytes.
std::size_t g_room = 0;
ssize_t write_until_full(int fd, const void* data, std::size_t size) {
    if (g_room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = ::write(fd, data, std::min(size, g_room));
    if (n > 0) g_room -= static_cast<std::size_t>(n);
    return n;
}

// Root passes every permission check; without CAP_DAC_OVERRIDE it meets them like anyone else.
class WithoutPermissionOverride {
  public:
    WithoutPermissionOverride() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~(1U << CAP_DAC_OVERRIDE);
        active_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~WithoutPermissionOverride() {
        if (active_) ::syscall(SYS_capset, &header_, saved_);
    }
    bool active() const { return active_ || ::geteuid() != 0; }

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

class SafeFileTest : public ::testing::Test {
  protected:
    void SetUp() override { dir.enter(); }
    void TearDown() override {
        reset_safe_file();
        dir.leave();
    }
    korvel::testing::FreshWorkingDirectory dir;
};

}  // namespace

TEST_F(SafeFileTest, ReplacesTheWholeFileAndKeepsItsPermissions) {
    const mode_t umask_was = ::umask(022);
    EXPECT_TRUE(replace_file_atomically("new.cfg", "fresh\n"));
    ::umask(umask_was);
    EXPECT_EQ(korvel::testing::file_text("new.cfg"), "fresh\n");
    EXPECT_EQ(fs::status("new.cfg").permissions(), fs::perms(0644));  // 0666 less the umask

    put("kept.cfg", "a much longer old content that must not survive in part\n");
    ::chmod("kept.cfg", 0640);
    EXPECT_TRUE(replace_file_atomically("kept.cfg", "short\n"));
    EXPECT_EQ(korvel::testing::file_text("kept.cfg"), "short\n");
    EXPECT_EQ(fs::status("kept.cfg").permissions(), fs::perms(0640));

    // A link keeps pointing at the file, which gets the new text.
    ::symlink("kept.cfg", "link.cfg");
    EXPECT_TRUE(replace_file_atomically("link.cfg", "through the link\n"));
    EXPECT_TRUE(fs::is_symlink("link.cfg"));
    EXPECT_EQ(korvel::testing::file_text("kept.cfg"), "through the link\n");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"kept.cfg", "link.cfg", "new.cfg"}));
}

TEST_F(SafeFileTest, AWriteThatFailsMidwayLeavesTheOldFileAndNoTemporary) {
    put("settings.cfg", "old content\n");
    file_write_call = write_until_full;
    for (std::size_t room : {0u, 1u, 10u}) {
        g_room = room;
        EXPECT_FALSE(replace_file_atomically("settings.cfg", std::string(4096, 'n')));
        EXPECT_EQ(korvel::testing::file_text("settings.cfg"), "old content\n");
        EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"settings.cfg"});
    }
}

// A writable file in a folder that takes no new file is rewritten in place (a failure there is
// reported); a file without write permission bits is never written, not even by root.
TEST_F(SafeFileTest, AnUnwritableDirectoryRewritesInPlaceAndAReadOnlyFileStays) {
    fs::create_directory("locked");
    put("locked/settings.cfg", "old content, longer than the new\n");
    ::chmod("locked/settings.cfg", 0666);
    ::chmod("locked", 0555);
    put("read_only.cfg", "protected\n");
    ::chmod("read_only.cfg", 0444);
    EXPECT_FALSE(replace_file_atomically("read_only.cfg", "new\n"));
    {
        WithoutPermissionOverride plain_user;
        if (!plain_user.active()) GTEST_SKIP() << "cannot give up the permission override";
        EXPECT_TRUE(replace_file_atomically("locked/settings.cfg", "new\n"));
        EXPECT_FALSE(replace_file_atomically("read_only.cfg", "new\n"));
        file_write_call = write_until_full;
        g_room = 0;
        EXPECT_FALSE(replace_file_atomically("locked/settings.cfg", "newer\n"));
    }
    ::chmod("locked", 0755);
    EXPECT_EQ(korvel::testing::file_text("locked/settings.cfg"), "new\n");
    EXPECT_EQ(entries("locked"), std::vector<std::string>{"settings.cfg"});
    EXPECT_EQ(korvel::testing::file_text("read_only.cfg"), "protected\n");
}

TEST_F(SafeFileTest, OnlyRegularFilesAreReplacedOrRead) {
    fs::create_directory("folder");
    ::mkfifo("pipe", 0644);
    ::symlink("nowhere", "dangling");
    for (const char* path : {"folder", "pipe", "/dev/null", "dangling", "missing/settings.cfg", ""})
        EXPECT_FALSE(replace_file_atomically(path, "x\n")) << path;
    EXPECT_TRUE(fs::is_directory("folder"));
    EXPECT_TRUE(fs::is_fifo("pipe"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    std::string text = "untouched";
    // A FIFO without a writer would block a plain open; it is refused at once.
    for (const char* path : {"folder", "pipe", "/dev/zero", "missing"})
        EXPECT_FALSE(read_regular_file(path, 100, &text)) << path;
    EXPECT_EQ(text, "untouched");

    put("big", std::string(1000, 'b'));
    EXPECT_TRUE(read_regular_file("big", 100, &text));
    EXPECT_EQ(text, std::string(100, 'b'));
}

// A gigabyte of '1's (its first megabytes, then a hole) and a file another thread keeps appending
// to: both are read up to the limit and no further.
TEST_F(SafeFileTest, HugeAndGrowingFilesAreReadOnlyUpToTheLimit) {
    constexpr std::size_t kLimit = 1 << 20;
    ASSERT_TRUE(korvel::testing::make_gigabyte_file("ones.cfg", std::string(2 << 20, '1')));
    std::string text;
    ASSERT_TRUE(read_regular_file("ones.cfg", kLimit, &text));
    EXPECT_EQ(text, std::string(kLimit, '1'));

    put("growing.cfg", "ZEVA_KORVELConfigData\n");
    korvel::testing::GrowingFile growing("growing.cfg", std::string(64 << 10, '1'), 64 << 20);
    ASSERT_TRUE(read_regular_file("growing.cfg", kLimit, &text));
    EXPECT_LE(text.size(), kLimit);
    EXPECT_TRUE(text.starts_with("ZEVA_KORVELConfigData\n"));
}

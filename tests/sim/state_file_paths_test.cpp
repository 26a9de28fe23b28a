// What a state file path may name: a regular file the unit may write (a link to one is written
// through), of a bounded size, or nothing yet. Anything else is refused without being opened,
// read or moved, and the unit then cannot be opened.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "../support/huge_files.h"
#include "file_io.h"
#include "korvel/sim/files.h"
#include "korvel/sim/usb.h"
#include "state_dir_fixture.h"
#include "state_startup.h"

namespace korvel::sim {
namespace {

namespace fs = std::filesystem;
using StateFilePaths = testing::StateDirTest;

mode_t mode_of(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

TEST_F(StateFilePaths, NoRegularFileIsOpenedMovedOrReplaced) {
    std::vector<std::string> paths = {(dir_ / "fifo").string(), (dir_ / "folder").string()};
    ASSERT_EQ(::mkfifo(paths[0].c_str(), 0644), 0);
    fs::create_directory(paths[1]);
    // A device of our own (the null device's numbers), so nothing outside the test is at stake.
    if (::geteuid() == 0) {
        paths.push_back((dir_ / "device").string());
        ASSERT_EQ(::mknod(paths.back().c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        const mode_t before = mode_of(path);
        std::FILE* messages = std::tmpfile();
        {
            Usb usb;
            start_from_state_file(usb, path, messages);  // a FIFO would block a reader here
            Handle h = 0;
            EXPECT_EQ(usb.open(0, h), kDeviceNotOpened);
            EXPECT_FALSE(usb.save_state());
        }
        EXPECT_EQ(mode_of(path), before);
        EXPECT_FALSE(fs::exists(path + ".bad"));
        EXPECT_NE(told(messages).find("the unit cannot be opened"), std::string::npos);
        std::fclose(messages);
        EXPECT_TRUE(state_file_problem(path));
    }
    EXPECT_EQ(*state_file_problem("/dev/null"), "it is a character device");
    EXPECT_EQ(*trace_file_problem(paths[1]), "it is a folder");
    EXPECT_FALSE(trace_file_problem(paths[0]));  // a live viewer may read the trace from a FIFO
}

// The largest real state, a full pattern memory, fits the bound; a larger file is not read.
TEST_F(StateFilePaths, ReadsAreBounded) {
    {
        Usb a;
        a.set_state_path(path_);
        a.board().fpga().pattern_bits.assign(4096 * 256, '1');
        ASSERT_TRUE(a.save_state());
    }
    Usb b;
    ASSERT_TRUE(b.load_state(path_));
    EXPECT_EQ(b.board().fpga().pattern_bits.size(), 4096u * 256);

    write(path_, "{}" + std::string(kMaxStateFileBytes, ' '));
    std::string error;
    EXPECT_FALSE(Usb().load_state(path_, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;

    // A gigabyte of '1's (then a hole) is refused by its length, without being read.
    ASSERT_TRUE(korvel::testing::make_gigabyte_file(path_, std::string(1 << 20, '1')));
    error.clear();
    EXPECT_FALSE(Usb().load_state(path_, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;

    // A file that grows while it is read ends as a state or as too large, never later.
    write(path_, "{}");
    std::string text;
    {
        korvel::testing::GrowingFile growing(path_, std::string(64 << 10, ' '),
                                             16 * kMaxStateFileBytes);
        if (read_file(path_, kMaxStateFileBytes, text, &error)) {
            EXPECT_LE(text.size(), kMaxStateFileBytes);
            EXPECT_TRUE(text.starts_with("{}"));
        } else {
            EXPECT_NE(error.find("too large"), std::string::npos) << error;
        }
    }
}

TEST_F(StateFilePaths, ALinkedFileIsWrittenThroughAndKeepsItsPermissions) {
    const std::string target = (dir_ / "kept.json").string();
    write(target, R"({"serial": "77"})");
    ::chmod(target.c_str(), 0640);
    fs::create_symlink("kept.json", path_);
    {
        Usb a;
        start_from_state_file(a, path_, stderr);
        EXPECT_EQ(a.board().serial, "77");
        a.board().serial = "78";
    }
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(nlohmann::json::parse(slurp(target))["serial"], "78");
    EXPECT_EQ(mode_of(target) & 07777, 0640u);

    // A bad file behind the link is moved aside where it is, and the link leads to the new one.
    write(target, "{not json");
    {
        Usb a;
        start_from_state_file(a, path_, stderr);
        Handle h = 0;
        ASSERT_EQ(a.open(0, h), kOk);
    }
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(slurp(target + ".bad"), "{not json");
    EXPECT_EQ(nlohmann::json::parse(slurp(target))["serial"], "1042");
}

TEST_F(StateFilePaths, AReadOnlyFileIsRefusedNotReplaced) {
    write(path_, R"({"serial": "77"})");
    ::chmod(path_.c_str(), 0444);
    std::FILE* messages = std::tmpfile();
    {
        Usb a;
        start_from_state_file(a, path_, messages);
        a.board().serial = "78";
        Handle h = 0;
        EXPECT_EQ(a.open(0, h), kDeviceNotOpened);
    }
    EXPECT_EQ(slurp(path_), R"({"serial": "77"})");
    EXPECT_EQ(mode_of(path_) & 07777, 0444u);
    EXPECT_NE(told(messages).find("(it is read-only); the unit cannot be opened"),
              std::string::npos)
        << told(messages);
    std::fclose(messages);
}

TEST_F(StateFilePaths, SameFileSeesThroughLinksAndNamesNotMadeYet) {
    fs::create_symlink("unit.json", dir_ / "link.json");
    EXPECT_TRUE(same_file(path_, (dir_ / "link.json").string()));  // neither exists yet
    EXPECT_TRUE(same_file(path_, (dir_ / "." / "unit.json").string()));
    write(path_, "{}");
    EXPECT_TRUE(same_file((dir_ / "link.json").string(), path_));
    EXPECT_FALSE(same_file(path_, (dir_ / "bus.vcd").string()));
}

}  // namespace
}  // namespace korvel::sim

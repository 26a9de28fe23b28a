// korvel --data-dir: which folder it picks and how it makes it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data_dir.h"

namespace {

namespace fs = std::filesystem;

void set_env(const char* name, const char* value) {
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

TEST(KorvelDataDir, FollowsXdgDataHomeElseHome) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    for (const Case& c : {Case{"/x/data/", "/home/u", "/x/data/korvel"},
                          Case{"", "/home/u", "/home/u/.local/share/korvel"},
                          Case{"relative", "/home/u", "/home/u/.local/share/korvel"},
                          Case{nullptr, "/home/u", "/home/u/.local/share/korvel"},
                          Case{nullptr, nullptr, ""}, Case{nullptr, "", ""}}) {
        set_env("XDG_DATA_HOME", c.xdg);
        set_env("HOME", c.home);
        EXPECT_EQ(korvel::gui::data_dir_path(), c.expected) << (c.xdg ? c.xdg : "(unset)");
    }
}

TEST(KorvelDataDir, MakesThePrivateFolderAndChangesIntoItOrSaysWhyNot) {
    const fs::path root =
        fs::temp_directory_path() / ("korvel_data_dir_" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path before = fs::current_path();
    set_env("XDG_DATA_HOME", (root / "a" / "b").c_str());
    std::string error;
    ASSERT_TRUE(korvel::gui::enter_data_dir(&error)) << error;
    EXPECT_EQ(fs::current_path(), root / "a" / "b" / "korvel");
    struct stat st {};
    ASSERT_EQ(stat(".", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    fs::current_path(before);

    // A file where the folder belongs: refused with the reason, the working directory kept.
    std::ofstream(root / "file") << "x";
    set_env("XDG_DATA_HOME", (root / "file").c_str());
    EXPECT_FALSE(korvel::gui::enter_data_dir(&error));
    EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
    EXPECT_EQ(fs::current_path(), before);
    fs::remove_all(root);
}

}  // namespace

// The start-up sweep of temporary files: only leftovers of saves by processes that are gone.
#include "base/temporary_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

TEST(TemporaryFiles, TheSweepRemovesOnlyLeftoversOfProcessesThatAreGone) {
    const fs::path dir = fs::temp_directory_path() / ("korvel-sweep-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child), alive = std::to_string(getppid());
    const std::vector<std::string> stale = {
        fs::path(korvel::base::temporary_file_name(dir)).filename(),
        ".korvel-" + dead + "-0.tmp"};  // this process's, a dead one's
    const std::vector<std::string> kept = {
        ".korvel-" + alive + "-3.tmp", ".korvel-" + dead + ".tmp", ".korvel-" + dead + "-0.tmp~",
        "korvel-" + dead + "-0.tmp",   ".korvel-0-1.tmp",          ".korvel--1-1.tmp",
        ".korvel-" + dead + "-x.tmp"};
    for (const auto* names : {&stale, &kept})
        for (const std::string& name : *names) std::ofstream(dir / name) << "x";
    EXPECT_EQ(korvel::base::remove_stale_temporary_files(dir), 2);
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(dir / name)) << name;
    fs::remove_all(dir);
}

// A fresh, empty working directory for one test: the program reads and writes "settings.cfg" in
// the working directory, and tests run in parallel processes must not share that file. Also the
// whole text of a file, for comparing what was written.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace korvel::testing {

// The file's whole text; empty when it cannot be read.
inline std::string file_text(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

class FreshWorkingDirectory {
  public:
    FreshWorkingDirectory() = default;
    FreshWorkingDirectory(const FreshWorkingDirectory&) = delete;
    FreshWorkingDirectory& operator=(const FreshWorkingDirectory&) = delete;
    ~FreshWorkingDirectory() { leave(); }

    // Leaves any directory entered before, then enters a new empty one.
    void enter() {
        leave();
        original_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "korvel-test-XXXXXX");
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        std::filesystem::current_path(dir_);
    }
    // Back to the directory the test started in; the temporary one is removed.
    void leave() {
        if (dir_.empty()) return;
        std::error_code ec;
        std::filesystem::current_path(original_, ec);
        std::filesystem::remove_all(dir_, ec);
        dir_.clear();
    }
    const std::filesystem::path& path() const { return dir_; }

  private:
    std::filesystem::path original_;
    std::filesystem::path dir_;
};

}  // namespace korvel::testing

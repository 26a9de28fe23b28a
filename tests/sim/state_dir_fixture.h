// A fresh folder per test for the unit's files, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace korvel::sim::testing {

class StateDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("korvel_sim_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "unit.json").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    static std::string slurp(const std::string& p) {
        std::stringstream ss;
        ss << std::ifstream(p).rdbuf();
        return ss.str();
    }
    static void write(const std::string& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    // Everything `messages` was told so far.
    static std::string told(std::FILE* messages) {
        std::rewind(messages);
        std::string all;
        char line[512];
        while (std::fgets(line, sizeof line, messages)) all += line;
        return all;
    }
    std::filesystem::path dir_;
    std::string path_;
};

}  // namespace korvel::sim::testing

// A command line as main() receives it, from a program name and its words: argv[0] is the
// program, argv[argc] is null. For testing the command-line readers of the tools.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace korvel::testing {

class CommandLineWords {
  public:
    CommandLineWords(const char* program, std::vector<std::string> words)
        : words_(std::move(words)) {
        words_.insert(words_.begin(), program);
        for (const auto& w : words_) pointers_.push_back(w.c_str());
        pointers_.push_back(nullptr);
    }
    CommandLineWords(const CommandLineWords&) = delete;
    CommandLineWords& operator=(const CommandLineWords&) = delete;

    int argc() const { return static_cast<int>(words_.size()); }
    const char* const* argv() const { return pointers_.data(); }

  private:
    std::vector<std::string> words_;
    std::vector<const char*> pointers_;
};

}  // namespace korvel::testing

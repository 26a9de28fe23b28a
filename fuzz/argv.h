// Turns a fuzz input into a command line: the words are the input split at NUL bytes and line
// ends (so a dictionary entry is a whole word), after the program name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace korvel::fuzz {

class Argv {
  public:
    Argv(const char* program, std::span<const std::uint8_t> data) {
        words_.emplace_back(program);
        std::string word;
        for (const std::uint8_t c : data) {
            if (c == '\0' || c == '\n') {
                words_.push_back(std::move(word));
                word.clear();
            } else {
                word.push_back(static_cast<char>(c));
            }
        }
        if (!data.empty()) words_.push_back(std::move(word));
        for (const std::string& w : words_) pointers_.push_back(w.c_str());
        pointers_.push_back(nullptr);  // argv[argc] is null, as main() gets it
    }
    Argv(const Argv&) = delete;
    Argv& operator=(const Argv&) = delete;

    int argc() const { return static_cast<int>(words_.size()); }
    const char* const* argv() const { return pointers_.data(); }
    const std::vector<std::string>& words() const { return words_; }

  private:
    std::vector<std::string> words_;
    std::vector<const char*> pointers_;
};

}  // namespace korvel::fuzz

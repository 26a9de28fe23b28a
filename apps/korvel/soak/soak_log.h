// The soak's memory of what it did: the last actions, printed when an invariant breaks so that
// the failure can be read (and replayed with the seed).
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace korvel::soak {

class SoakLog {
  public:
    explicit SoakLog(std::size_t keep = 40) : keep_(keep) {}

    // One line, stamped with the virtual time it happened at.
    void add(double time, std::string line);
    // The kept lines, oldest first, one per line of text.
    std::string tail() const;
    std::size_t total() const { return total_; }

  private:
    std::size_t keep_;
    std::size_t total_ = 0;
    std::deque<std::string> lines_;
};

}  // namespace korvel::soak

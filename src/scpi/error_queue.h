// The error queue of one SCPI session: first in, first out, at most 16 entries. An error that
// finds it full turns the newest entry into -350 "Queue overflow"; later ones are dropped until
// the queue is read.
#pragma once

#include <cstddef>
#include <deque>

#include "scpi/scpi_error.h"

namespace korvel::scpi {

class ErrorQueue {
  public:
    static constexpr std::size_t kCapacity = 16;

    void push(Error error);
    // The oldest error, removed from the queue; 0 "No error" when the queue is empty.
    Error pop();
    void clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }

  private:
    std::deque<Error> entries_;
};

}  // namespace korvel::scpi

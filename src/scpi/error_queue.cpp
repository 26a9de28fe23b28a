#include "scpi/error_queue.h"

#include <utility>

namespace korvel::scpi {

void ErrorQueue::push(Error error) {
    if (entries_.size() < kCapacity) {
        entries_.push_back(std::move(error));
    } else if (entries_.back().code != kQueueOverflow) {
        // A full queue keeps its oldest errors; the newest place tells that errors were lost.
        entries_.back() = Error{kQueueOverflow, {}};
    }
}

Error ErrorQueue::pop() {
    if (entries_.empty()) return Error{};
    Error e = std::move(entries_.front());
    entries_.pop_front();
    return e;
}

}  // namespace korvel::scpi

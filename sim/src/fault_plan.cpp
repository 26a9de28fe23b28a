#include "fault_plan.h"

namespace korvel::sim {

void FaultPlan::fail_call(Call kind, std::uint64_t nth, Status status) {
    if (nth == 0) return;  // "the 0th call from now" has already happened
    failures_.push_back({kind, nth, status});
}

void FaultPlan::detach_before_call(std::uint64_t nth) {
    detach_countdown_ = nth;
}

void FaultPlan::clear() {
    failures_.clear();
    detach_countdown_ = 0;
}

bool FaultPlan::detach_now() {
    if (detach_countdown_ == 0) return false;
    return --detach_countdown_ == 0;
}

bool FaultPlan::fails(Call kind, Status& status) {
    if (failures_.empty()) return false;
    bool fail = false;
    for (auto it = failures_.begin(); it != failures_.end();) {
        if (it->kind == kind && --it->remaining == 0) {
            if (!fail) status = it->status;
            fail = true;
            it = failures_.erase(it);
        } else {
            ++it;
        }
    }
    return fail;
}

}  // namespace korvel::sim

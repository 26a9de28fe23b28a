#include "scpi/status_registers.h"

#include <utility>

namespace korvel::scpi {

unsigned event_bit_of(int code) {
    if (code > 0) return kEsrDeviceError;
    if (code <= -100 && code > -200) return kEsrCommandError;
    if (code <= -200 && code > -300) return kEsrExecutionError;
    if (code <= -300 && code > -400) return kEsrDeviceError;
    if (code <= -400 && code > -500) return kEsrQueryError;
    return 0;
}

void RegisterGroup::set_condition(unsigned condition) {
    condition &= kMask;
    const unsigned rose = condition & ~condition_;
    const unsigned fell = condition_ & ~condition;
    event_ |= (rose & positive_) | (fell & negative_);
    condition_ = condition;
}

unsigned RegisterGroup::take_event() {
    return std::exchange(event_, 0u);
}

void RegisterGroup::preset() {
    enable_ = 0;
    positive_ = kMask;
    negative_ = 0;
}

void StatusRegisters::report(Error error) {
    event_status_ |= event_bit_of(error.code);
    errors_.push(std::move(error));
}

unsigned StatusRegisters::take_event_status() {
    return std::exchange(event_status_, 0u);
}

unsigned StatusRegisters::status_byte(bool message_available) const {
    unsigned stb = 0;
    if (errors_.size() > 0) stb |= kStbErrorAvailable;
    if (questionable.summary()) stb |= kStbQuestionable;
    if (message_available) stb |= kStbMessageAvailable;
    if ((event_status_ & event_enable_) != 0) stb |= kStbEventSummary;
    if (operation.summary()) stb |= kStbOperation;
    if ((stb & request_enable_) != 0) stb |= kStbMasterSummary;
    return stb;
}

void StatusRegisters::request_operation_complete() {
    opc_requested_ = true;
    set_conditions(operation.condition(), questionable.condition());
}

void StatusRegisters::set_conditions(unsigned operation_condition,
                                     unsigned questionable_condition) {
    operation.set_condition(operation_condition);
    questionable.set_condition(questionable_condition);
    if (opc_requested_ && !operation_pending()) {
        event_status_ |= kEsrOperationComplete;
        opc_requested_ = false;
    }
}

void StatusRegisters::clear() {
    errors_.clear();
    event_status_ = 0;
    operation.clear_event();
    questionable.clear_event();
    opc_requested_ = false;
}

void StatusRegisters::preset() {
    operation.preset();
    questionable.preset();
}

}  // namespace korvel::scpi

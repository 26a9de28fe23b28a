#include "remote/device_messages.h"

#include <algorithm>

namespace korvel::remote {

void DeviceMessages::post(const std::string& title_and_text) {
    kept_.push_back(title_and_text);
    if (kept_.size() > kKept) kept_.pop_front();
    for (scpi::StatusRegisters* s : open_)
        s->report(scpi::Error{scpi::kDeviceMessage, title_and_text});
}

void DeviceMessages::attach(scpi::StatusRegisters* status) {
    open_.push_back(status);
    for (const std::string& m : kept_) status->report(scpi::Error{scpi::kDeviceMessage, m});
}

void DeviceMessages::detach(scpi::StatusRegisters* status) {
    std::erase(open_, status);
}

DeviceMessages& device_messages() {
    static DeviceMessages board;
    return board;
}

}  // namespace korvel::remote

// Driver calls on the FT232R's EEPROM user area.
#include <algorithm>
#include <cstring>

#include "usb_impl.h"

namespace korvel::sim {

Status Usb::ee_ua_size(Handle handle, std::uint32_t& size) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::EeUaSize, handle, dev, st)) return st;
    size = static_cast<std::uint32_t>(impl_->user_area_size_of(*dev.port));
    return kOk;
}

Status Usb::ee_ua_read(Handle handle, std::uint8_t* buffer, std::uint32_t length,
                       std::uint32_t& read) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::EeUaRead, handle, dev, st)) return st;
    if (!buffer && length) return kInvalidParameter;
    const auto& ua = impl_->user_area_of(*dev.port);
    const auto n = static_cast<std::uint32_t>(
        std::min({std::size_t{length}, impl_->user_area_size_of(*dev.port), ua.size()}));
    if (n) std::memcpy(buffer, ua.data(), n);
    read = n;
    return kOk;
}

// A write longer than the area is refused whole: nothing beyond the area may be touched.
Status Usb::ee_ua_write(Handle handle, const std::uint8_t* buffer, std::uint32_t length) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::EeUaWrite, handle, dev, st)) return st;
    if ((!buffer && length) || length > impl_->user_area_size_of(*dev.port))
        return kInvalidParameter;
    auto& ua = impl_->user_area_of(*dev.port);
    if (length) std::memcpy(ua.data(), buffer, length);
    return kOk;
}

}  // namespace korvel::sim

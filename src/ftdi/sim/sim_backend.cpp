#include "ftdi/sim/sim_backend.h"

#include <cstdint>
#include <set>

#include "korvel/sim/usb.h"

namespace korvel::ftdi {
namespace {

// Handles cross the boundary by value: the simulated driver's opaque number is the FT_HANDLE.
sim::Handle to_sim(FT_HANDLE handle) {
    return reinterpret_cast<sim::Handle>(handle);
}
FT_HANDLE to_ft(std::uintptr_t handle) {
    return reinterpret_cast<FT_HANDLE>(handle);
}

DeviceRecord to_record(const sim::ListEntry& entry) {
    DeviceRecord r;
    r.flags = entry.flags;
    r.type = entry.type;
    r.id = entry.id;
    r.loc_id = entry.loc_id;
    r.serial = entry.serial;
    r.description = entry.description;
    r.handle = to_ft(entry.handle);
    return r;
}

// korvel::sim::usb() is looked up on every call: tests replace the simulated USB between cases.
class SimBackend final : public Backend {
  public:
    FT_STATUS create_device_info_list(DWORD& count) override {
        return sim::usb().create_device_info_list(count);
    }

    FT_STATUS get_device_info_list(std::vector<DeviceRecord>& out, DWORD capacity,
                                   DWORD& count) override {
        std::vector<sim::ListEntry> entries;
        const FT_STATUS status = sim::usb().get_device_info_list(entries, capacity, count);
        for (std::size_t i = 0; i < entries.size() && i < capacity; ++i)
            out.push_back(to_record(entries[i]));
        return status;
    }

    FT_STATUS get_device_info_detail(DWORD index, DeviceRecord& out) override {
        sim::ListEntry entry;
        const FT_STATUS status = sim::usb().get_device_info_detail(index, entry);
        if (status == FT_OK) out = to_record(entry);
        return status;
    }

    FT_STATUS open(DWORD index, FT_HANDLE& handle) override {
        sim::Handle h = 0;
        const FT_STATUS status = sim::usb().open(index, h);
        if (status == FT_OK) handle = to_ft(h);
        return status;
    }

    FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD baud) override {
        return noted(handle, sim::usb().set_baud_rate(to_sim(handle), baud));
    }
    FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override {
        return noted(handle, sim::usb().set_bit_mode(to_sim(handle), mask, mode));
    }
    FT_STATUS get_bit_mode(FT_HANDLE handle, UCHAR& pins) override {
        return noted(handle, sim::usb().get_bit_mode(to_sim(handle), pins));
    }
    FT_STATUS write(FT_HANDLE handle, const UCHAR* data, DWORD count, DWORD& written) override {
        return noted(handle, sim::usb().write(to_sim(handle), data, count, written));
    }
    FT_STATUS close(FT_HANDLE handle) override {
        lost_.erase(handle);
        return sim::usb().close(to_sim(handle));
    }
    FT_STATUS cycle_port(FT_HANDLE handle) override {
        return noted(handle, sim::usb().cycle_port(to_sim(handle)));
    }
    FT_STATUS ee_ua_size(FT_HANDLE handle, DWORD& size) override {
        return noted(handle, sim::usb().ee_ua_size(to_sim(handle), size));
    }
    FT_STATUS ee_ua_read(FT_HANDLE handle, UCHAR* buffer, DWORD length, DWORD& read) override {
        return noted(handle, sim::usb().ee_ua_read(to_sim(handle), buffer, length, read));
    }
    FT_STATUS ee_ua_write(FT_HANDLE handle, const UCHAR* buffer, DWORD length) override {
        return noted(handle, sim::usb().ee_ua_write(to_sim(handle), buffer, length));
    }

    bool handle_lost(FT_HANDLE handle) const override { return lost_.count(handle) != 0; }
    // The simulated devices need no permission.
    bool last_open_denied() const override { return false; }

  private:
    // The simulated driver answers kIoError on a handle whose device was unplugged or
    // re-enumerated since it was opened: that handle is lost for good.
    FT_STATUS noted(FT_HANDLE handle, FT_STATUS status) {
        if (status == sim::kIoError) lost_.insert(handle);
        return status;
    }

    std::set<FT_HANDLE> lost_;
};

}  // namespace

std::unique_ptr<Backend> make_sim_backend() {
    return std::make_unique<SimBackend>();
}

void pass_pause_to_simulated_unit(double seconds) {
    sim::usb().pause(seconds);
}

void replace_simulated_unit() {
    sim::reset_usb();
}

}  // namespace korvel::ftdi

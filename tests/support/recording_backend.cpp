#include "support/recording_backend.h"

namespace korvel::ftdi {
namespace {

class RecordingBackend final : public Backend {
  public:
    explicit RecordingBackend(WriteRecord& record) : record_(record) {}

    FT_STATUS create_device_info_list(DWORD& count) override {
        count = 1;
        return FT_OK;
    }
    FT_STATUS get_device_info_list(std::vector<DeviceRecord>& out, DWORD capacity,
                                   DWORD& count) override {
        if (capacity > 0) out.push_back(unit_record());
        count = 1;
        return FT_OK;
    }
    FT_STATUS get_device_info_detail(DWORD index, DeviceRecord& out) override {
        if (index != 0) return FT_DEVICE_NOT_FOUND;
        out = unit_record();
        return FT_OK;
    }
    FT_STATUS open(DWORD index, FT_HANDLE& handle) override {
        if (index != 0) return FT_DEVICE_NOT_FOUND;
        if (open_) return FT_DEVICE_NOT_OPENED;
        open_ = true;
        handle = handle_value();
        return FT_OK;
    }
    FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD) override { return check(handle); }
    FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR, UCHAR) override { return check(handle); }
    FT_STATUS get_bit_mode(FT_HANDLE handle, UCHAR& pins) override {
        pins = 0xFF;  // idle I2C lines, nobody answering
        return check(handle);
    }
    FT_STATUS write(FT_HANDLE handle, const UCHAR* data, DWORD count, DWORD& written) override {
        written = 0;
        if (FT_STATUS s = check(handle); s != FT_OK) return s;
        ++record_.writes;
        record_.bytes += count;
        if (record_.keep_bytes) {
            record_.sizes.push_back(count);
            record_.pin_bytes.insert(record_.pin_bytes.end(), data, data + count);
        }
        written = count;
        return FT_OK;
    }
    FT_STATUS close(FT_HANDLE handle) override {
        if (FT_STATUS s = check(handle); s != FT_OK) return s;
        open_ = false;
        return FT_OK;
    }
    FT_STATUS cycle_port(FT_HANDLE handle) override { return close(handle); }
    FT_STATUS ee_ua_size(FT_HANDLE handle, DWORD& size) override {
        size = 0;
        return check(handle);
    }
    FT_STATUS ee_ua_read(FT_HANDLE handle, UCHAR*, DWORD, DWORD& read) override {
        read = 0;
        return check(handle);
    }
    FT_STATUS ee_ua_write(FT_HANDLE handle, const UCHAR*, DWORD) override { return check(handle); }
    bool handle_lost(FT_HANDLE) const override { return false; }
    bool last_open_denied() const override { return false; }

  private:
    // Never 1, the value the link treats as no usable device.
    static FT_HANDLE handle_value() { return reinterpret_cast<FT_HANDLE>(0x4B52); }
    FT_STATUS check(FT_HANDLE handle) const {
        return open_ && handle == handle_value() ? FT_OK : FT_INVALID_HANDLE;
    }
    static DeviceRecord unit_record() {
        DeviceRecord r;
        r.type = FT_DEVICE_232R;
        r.serial = "REC0001";
        r.description = "ZEVA_KORVEL";
        return r;
    }

    WriteRecord& record_;
    bool open_ = false;
};

}  // namespace

std::unique_ptr<Backend> make_recording_backend(WriteRecord& record) {
    return std::make_unique<RecordingBackend>(record);
}

}  // namespace korvel::ftdi

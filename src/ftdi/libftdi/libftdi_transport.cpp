// The transport for real hardware: libftdi1 for the chip's requests, libusb for the queued
// requests (bulk writes, mask changes, pin reads) and the port reset, sysfs (or libusb where
// there is none) for the device list.
//
// Baud rate: the vendor driver's FT_SetBaudRate(b) programs the chip's baud-rate divisor for b
// (3 MHz / b) in every mode; in bit-bang mode the chip then clocks pin bytes out at a fixed
// multiple of that rate. libftdi's ftdi_set_baudrate(b) instead programs the divisor for 4 * b
// whenever bit-bang mode is enabled. We divide by 4 (rounded) in that case, so FT_SetBaudRate(b)
// programs the same divisor as the vendor driver whether it comes before FT_SetBitMode (as in
// the device link's start-up, where libftdi applies no factor) or after it: 921600 always gives
// the divisor 3.25.
//
// Port reset: libftdi has no port cycle. libusb_reset_device makes the hub reset the port and
// the host re-address and reconfigure the device. It is not a power cycle: the chip stays
// powered and comes back in its power-up state (bit-bang mode off, default baud rate).
#include <ftdi.h>
#include <libusb.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "ftdi/libftdi/ftdi_transport.h"
#include "ftdi/libftdi/libftdi_baud.h"
#include "ftdi/libftdi/libftdi_device_list.h"
#include "ftdi/libftdi/libusb_request_queue.h"
#include "ftdi/libftdi/sysfs_usb_devices.h"

namespace korvel::ftdi {
namespace {

// True when the device node exists but this user may neither read nor write it: libusb then
// fails to open it for want of permission (libftdi reports only that libusb_open failed).
bool permission_denied(std::uint8_t bus, std::uint8_t address) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", bus, address);
    return ::access(node, R_OK | W_OK) != 0 && errno == EACCES;
}

Transfer done_if_zero(int result) {
    return result == 0 ? Transfer::Done : Transfer::Failed;
}

class LibftdiDevice final : public OpenFtdiDevice {
  public:
    LibftdiDevice(ftdi_context* context, unsigned timeout_ms)
        : context_(context),
          queue_(std::make_unique<LibusbRequestQueue>(context->usb_ctx, context->usb_dev,
                                                      static_cast<unsigned char>(context->in_ep),
                                                      timeout_ms)) {}
    ~LibftdiDevice() override {
        queue_.reset();  // before the device handle goes
        close_ftdi_device(context_);
    }

    bool is_ft232r() const override { return context_->type == TYPE_R; }

    Transfer set_baud_rate(DWORD baud) override {
        const DWORD rate = libftdi_baud_argument(baud, context_->bitbang_enabled != 0);
        const int r = ftdi_set_baudrate(context_, static_cast<int>(rate));
        if (r == -1) return Transfer::Refused;  // no divisor comes close enough
        return done_if_zero(r);
    }
    Transfer set_bit_mode(UCHAR mask, UCHAR mode) override {
        // The vendor driver's mode numbers are libftdi's (1 = BITMODE_BITBANG, 0 = reset, ...).
        return done_if_zero(ftdi_set_bitmode(context_, mask, mode));
    }
    Transfer read_pins(UCHAR& pins) override {
        unsigned char value = 0;
        if (ftdi_read_pins(context_, &value) != 0) return Transfer::Failed;
        pins = value;
        return Transfer::Done;
    }

    Transfer submit_write(std::span<const UCHAR> bytes) override {
        return queue_->submit_bulk(bytes);
    }
    // The requests ftdi_set_bitmode and ftdi_read_pins make, queued instead of waited for.
    Transfer submit_bit_mode(UCHAR mask, UCHAR mode) override {
        const Transfer t = queue_->submit_control(FTDI_DEVICE_OUT_REQTYPE, SIO_SET_BITMODE_REQUEST,
                                                  static_cast<std::uint16_t>(mask | (mode << 8)),
                                                  static_cast<std::uint16_t>(context_->index), 0);
        if (t == Transfer::Done) {  // as ftdi_set_bitmode keeps it (the baud rate depends on it)
            context_->bitbang_mode = mode;
            context_->bitbang_enabled = mode == BITMODE_RESET ? 0 : 1;
        }
        return t;
    }
    Transfer submit_pin_read() override {
        return queue_->submit_control(FTDI_DEVICE_IN_REQTYPE, SIO_READ_PINS_REQUEST, 0,
                                      static_cast<std::uint16_t>(context_->index), 1);
    }
    Transfer finish_oldest(UCHAR* pins) override { return queue_->finish_oldest(pins); }
    void cancel_queued() override { queue_->cancel_all(); }
    std::size_t requests_in_flight() const override { return queue_->in_flight(); }
    std::size_t writes_in_flight() const override { return queue_->bulk_in_flight(); }

    Transfer read_eeprom_word(std::size_t word, std::uint16_t& value) override {
        unsigned short v = 0;
        if (ftdi_read_eeprom_location(context_, static_cast<int>(word), &v) != 0)
            return Transfer::Failed;
        value = v;
        return Transfer::Done;
    }
    Transfer write_eeprom_word(std::size_t word, std::uint16_t value) override {
        // libftdi's ftdi_write_eeprom_location() refuses FT232R chips and addresses below 0x80,
        // so the vendor request is sent directly: value = the word, index = the word address.
        return libusb_control_transfer(context_->usb_dev, FTDI_DEVICE_OUT_REQTYPE,
                                       SIO_WRITE_EEPROM_REQUEST, value,
                                       static_cast<std::uint16_t>(word), nullptr, 0,
                                       static_cast<unsigned>(context_->usb_write_timeout)) >= 0
                   ? Transfer::Done
                   : Transfer::Failed;
    }
    Transfer get_latency_timer(UCHAR& milliseconds) override {
        unsigned char value = 0;
        if (ftdi_get_latency_timer(context_, &value) != 0) return Transfer::Failed;
        milliseconds = value;
        return Transfer::Done;
    }
    Transfer set_latency_timer(UCHAR milliseconds) override {
        const int r = ftdi_set_latency_timer(context_, milliseconds);
        if (r == -1) return Transfer::Refused;  // 0 is out of the chip's range
        return done_if_zero(r);
    }

    Transfer reset_port() override {
        if (libusb_reset_device(context_->usb_dev) != 0) return Transfer::Failed;
        context_->bitbang_enabled = 0;  // the chip is back in its power-up mode
        return Transfer::Done;
    }

  private:
    ftdi_context* context_;
    std::unique_ptr<LibusbRequestQueue> queue_;
};

class LibftdiTransport final : public FtdiTransport {
  public:
    std::vector<UsbFtdiDevice> find_devices() override {
        if (auto listed = find_ftdi_devices_in_sysfs(kSysfsUsbDevices)) return *listed;
        return find_ftdi_devices();
    }

    OpenOutcome open(const UsbFtdiDevice& device, const OpenOptions& options,
                     std::unique_ptr<OpenFtdiDevice>& opened) override {
        // A node this user may not open is told apart before libusb is started at all: without
        // permission libusb may not even start (it cannot watch for devices either).
        if (permission_denied(device.bus, device.address)) return OpenOutcome::NoPermission;
        ftdi_context* context = ftdi_new();  // nullptr when libusb cannot start
        if (context == nullptr) return OpenOutcome::Failed;
        context->usb_read_timeout = options.timeout_ms;
        context->usb_write_timeout = options.timeout_ms;
        context->module_detach_mode = options.reattach_kernel_driver
                                          ? AUTO_DETACH_REATACH_SIO_MODULE
                                          : AUTO_DETACH_SIO_MODULE;
        if (!open_ftdi_device(context, device.bus, device.address)) {
            ftdi_free(context);
            return permission_denied(device.bus, device.address) ? OpenOutcome::NoPermission
                                                                 : OpenOutcome::Failed;
        }
        opened =
            std::make_unique<LibftdiDevice>(context, static_cast<unsigned>(options.timeout_ms));
        return OpenOutcome::Opened;
    }
};

}  // namespace

std::unique_ptr<FtdiTransport> make_libftdi_transport() {
    return std::make_unique<LibftdiTransport>();
}

}  // namespace korvel::ftdi

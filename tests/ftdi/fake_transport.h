// A stand-in for the USB side of the real-hardware backend: FTDI chips that answer from memory,
// a log of every request in the order the chips see them, queued requests that complete oldest
// first, and chips that stop answering. Install it with use_fake_usb(); the FT_* operations and
// everything above them then run exactly as on real hardware.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ftdi/backend_select.h"
#include "ftdi/eeprom/ft232r_eeprom.h"
#include "ftdi/libftdi/ftdi_transport.h"
#include "ftdi/libftdi/libftdi_backend.h"

namespace korvel::testing {

struct FakeChip {
    ftdi::UsbFtdiDevice usb;
    ftdi::OpenOutcome open_outcome = ftdi::OpenOutcome::Opened;
    bool ft232r = true;
    ftdi::ft232r::Image eeprom{};
    UCHAR pins = 0xEB;
    UCHAR latency = 16;
    // The chip stops answering at the nth request reaching it from now (1 = the next one): that
    // request and every later one fail, as USB transfers to a hung chip time out.
    std::uint64_t hang_at = 0;
    bool hung = false;
};

// What the fake bus saw, shared by the transport and every device opened on it.
struct FakeBus {
    std::vector<FakeChip> chips;

    std::uint64_t finds = 0;
    std::vector<int> opened;  // chip index of every open attempt
    std::vector<ftdi::OpenOptions> open_options;
    // Requests in the order the chips received them: "bitmode ff 1", "pins", "baud 921600",
    // "write 1024" (queued requests are logged when they complete), "eeprom-read 5", "eeprom-write
    // 36 4142", "latency 119", "reset", "close".
    std::vector<std::string> log;
    std::vector<std::uint8_t> written;  // every byte that reached a chip, in order
    std::uint64_t requests = 0;         // requests that reached a chip (a write counts once)
    std::size_t max_writes_in_flight = 0;
    std::size_t max_requests_in_flight = 0;  // queued requests of every kind
    std::uint64_t cancelled = 0;             // queued requests given up after a failure
    // Requests other than writes that reached a chip while writes to it were still queued:
    // the chip would then see them out of order. Must stay 0.
    std::uint64_t requests_overtaking_writes = 0;

    // The log entries that start with `prefix`.
    std::vector<std::string> logged(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& entry : log)
            if (entry.rfind(prefix, 0) == 0) out.push_back(entry);
        return out;
    }
};

class FakeDevice final : public ftdi::OpenFtdiDevice {
  public:
    FakeDevice(std::shared_ptr<FakeBus> bus, std::size_t chip)
        : bus_(std::move(bus)), chip_(chip) {}
    ~FakeDevice() override { bus_->log.push_back("close"); }  // queued writes are dropped

    bool is_ft232r() const override { return chip().ft232r; }
    ftdi::Transfer set_baud_rate(DWORD baud) override {
        return request("baud " + std::to_string(baud));
    }
    ftdi::Transfer set_bit_mode(UCHAR mask, UCHAR mode) override {
        return request("bitmode " + hex(mask) + " " + std::to_string(mode));
    }
    ftdi::Transfer read_pins(UCHAR& pins) override {
        const auto t = request("pins");
        if (t == ftdi::Transfer::Done) pins = chip().pins;
        return t;
    }
    // Queued requests count when submitted (a hung chip fails them then) and are logged, in
    // order, when they complete.
    ftdi::Transfer submit_write(std::span<const UCHAR> bytes) override {
        if (!answers()) return ftdi::Transfer::Failed;
        queued_.push_back({"write " + std::to_string(bytes.size()), {bytes.begin(), bytes.end()}});
        ++writes_queued_;
        bus_->max_writes_in_flight = std::max(bus_->max_writes_in_flight, writes_queued_);
        note_queue_length();
        return ftdi::Transfer::Done;
    }
    ftdi::Transfer submit_bit_mode(UCHAR mask, UCHAR mode) override {
        if (!answers()) return ftdi::Transfer::Failed;
        queued_.push_back({"bitmode " + hex(mask) + " " + std::to_string(mode), {}});
        note_queue_length();
        return ftdi::Transfer::Done;
    }
    ftdi::Transfer submit_pin_read() override {
        if (!answers()) return ftdi::Transfer::Failed;
        queued_.push_back({"pins", {}, true});
        note_queue_length();
        return ftdi::Transfer::Done;
    }
    ftdi::Transfer finish_oldest(UCHAR* pins) override {
        if (queued_.empty()) return ftdi::Transfer::Done;
        Queued q = std::move(queued_.front());
        queued_.pop_front();
        if (!q.bytes.empty()) --writes_queued_;
        if (chip().hung) return ftdi::Transfer::Failed;
        bus_->log.push_back(q.what);
        bus_->written.insert(bus_->written.end(), q.bytes.begin(), q.bytes.end());
        if (q.pin_read && pins != nullptr) *pins = chip().pins;
        return ftdi::Transfer::Done;
    }
    void cancel_queued() override {
        bus_->cancelled += queued_.size();
        queued_.clear();
        writes_queued_ = 0;
    }
    std::size_t requests_in_flight() const override { return queued_.size(); }
    std::size_t writes_in_flight() const override { return writes_queued_; }
    ftdi::Transfer read_eeprom_word(std::size_t word, std::uint16_t& value) override {
        const auto t = request("eeprom-read " + std::to_string(word));
        if (t == ftdi::Transfer::Done) value = ftdi::ft232r::word_at(chip().eeprom, word);
        return t;
    }
    ftdi::Transfer write_eeprom_word(std::size_t word, std::uint16_t value) override {
        const auto t = request("eeprom-write " + std::to_string(word) + " " + hex(value));
        if (t == ftdi::Transfer::Done) {
            chip().eeprom[2 * word] = static_cast<std::uint8_t>(value & 0xFF);
            chip().eeprom[2 * word + 1] = static_cast<std::uint8_t>(value >> 8);
        }
        return t;
    }
    ftdi::Transfer get_latency_timer(UCHAR& milliseconds) override {
        const auto t = request("latency?");
        if (t == ftdi::Transfer::Done) milliseconds = chip().latency;
        return t;
    }
    ftdi::Transfer set_latency_timer(UCHAR milliseconds) override {
        const auto t = request("latency " + std::to_string(milliseconds));
        if (t == ftdi::Transfer::Done) chip().latency = milliseconds;
        return t;
    }
    ftdi::Transfer reset_port() override { return request("reset"); }

  private:
    FakeChip& chip() const { return bus_->chips[chip_]; }
    static std::string hex(unsigned value) {
        char text[8];
        std::snprintf(text, sizeof text, "%02x", value);
        return text;
    }
    // Counts a request reaching the chip; false once the chip has stopped answering.
    bool answers() {
        ++bus_->requests;
        FakeChip& c = chip();
        if (c.hang_at != 0 && --c.hang_at == 0) c.hung = true;
        return !c.hung;
    }
    ftdi::Transfer request(const std::string& what) {
        if (!queued_.empty()) ++bus_->requests_overtaking_writes;
        if (!answers()) return ftdi::Transfer::Failed;
        bus_->log.push_back(what);
        return ftdi::Transfer::Done;
    }

    void note_queue_length() {
        bus_->max_requests_in_flight = std::max(bus_->max_requests_in_flight, queued_.size());
    }

    struct Queued {
        std::string what;
        std::vector<UCHAR> bytes;  // a write's
        bool pin_read = false;
    };

    std::shared_ptr<FakeBus> bus_;
    std::size_t chip_;
    std::deque<Queued> queued_;
    std::size_t writes_queued_ = 0;
};

class FakeTransport final : public ftdi::FtdiTransport {
  public:
    explicit FakeTransport(std::shared_ptr<FakeBus> bus) : bus_(std::move(bus)) {}

    std::vector<ftdi::UsbFtdiDevice> find_devices() override {
        ++bus_->finds;
        std::vector<ftdi::UsbFtdiDevice> out;
        for (const auto& c : bus_->chips) out.push_back(c.usb);
        return out;
    }
    ftdi::OpenOutcome open(const ftdi::UsbFtdiDevice& device, const ftdi::OpenOptions& options,
                           std::unique_ptr<ftdi::OpenFtdiDevice>& opened) override {
        for (std::size_t i = 0; i < bus_->chips.size(); ++i) {
            const auto& c = bus_->chips[i];
            if (c.usb.bus != device.bus || c.usb.address != device.address) continue;
            bus_->opened.push_back(static_cast<int>(i));
            bus_->open_options.push_back(options);
            if (c.open_outcome == ftdi::OpenOutcome::Opened)
                opened = std::make_unique<FakeDevice>(bus_, i);
            return c.open_outcome;
        }
        return ftdi::OpenOutcome::Failed;  // unplugged since the list was made
    }

  private:
    std::shared_ptr<FakeBus> bus_;
};

// An FT232R as the device list shows it; `address` tells chips apart.
inline FakeChip fake_chip(const std::string& description, const std::string& serial,
                          std::uint8_t address) {
    FakeChip c;
    c.usb.bus = 1;
    c.usb.address = address;
    c.usb.vendor_id = 0x0403;
    c.usb.product_id = 0x6001;
    c.usb.release = 0x0600;
    c.usb.description = description;
    c.usb.serial = serial;
    return c;
}

// Makes a real-hardware backend over a fake bus the process's backend; returns the bus.
inline std::shared_ptr<FakeBus> use_fake_usb(std::vector<FakeChip> chips,
                                             ftdi::UsbBackendTuning tuning = {}) {
    auto bus = std::make_shared<FakeBus>();
    bus->chips = std::move(chips);
    ftdi::use_backend(ftdi::make_libftdi_backend(std::make_unique<FakeTransport>(bus), tuning),
                      ftdi::BackendKind::Ftdi);
    return bus;
}

}  // namespace korvel::testing

#include "emulated_ft232r.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "ft232r_images.h"
#include "ftdi/eeprom/ft232r_eeprom.h"

namespace korvel::usbemu {
namespace {

namespace ft = korvel::ftdi::ft232r;

constexpr int kBus = 1;
constexpr std::uint8_t kLatencyDefaultMs = 16;
// The largest URB taken (usbfs's own default limit for a transfer is 16 MiB).
constexpr int kMaxUrbBytes = 16 * 1024 * 1024;
constexpr std::size_t kPacketBytes = 64;  // full-speed bulk packets
constexpr std::size_t kFifoBytes = 256;   // the FT232R's receive buffer
constexpr std::uint8_t kSyncBitBang = 4;
// The modem-status bytes an FT232R puts at the start of every bulk IN packet (CTS, DSR idle;
// transmitter empty).
constexpr std::uint8_t kModemStatus[2] = {0x01, 0x60};

// FTDI's vendor requests (bRequest).
enum : std::uint8_t {
    kSioReset = 0x00,
    kSioModemCtrl = 0x01,
    kSioSetFlowCtrl = 0x02,
    kSioSetBaudRate = 0x03,
    kSioSetData = 0x04,
    kSioPollModemStatus = 0x05,
    kSioSetEventChar = 0x06,
    kSioSetErrorChar = 0x07,
    kSioSetLatencyTimer = 0x09,
    kSioGetLatencyTimer = 0x0A,
    kSioSetBitMode = 0x0B,
    kSioReadPins = 0x0C,
    kSioReadEeprom = 0x90,
    kSioWriteEeprom = 0x91,
    kSioEraseEeprom = 0x92,
};
constexpr std::uint8_t kGetDescriptor = 0x06;

// The device and configuration descriptors of an FT232R as the chip reports them: USB 2.0
// full speed, 0403:6001 release 0600, one configuration (bus powered, 90 mA) with one vendor
// interface of two bulk endpoints (0x81 IN, 0x02 OUT) of 64 bytes.
std::vector<std::uint8_t> ft232r_descriptors() {
    return {
        18,   0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 8,    0x03,
        0x04, 0x01, 0x60, 0x00, 0x06, 1,    2,    3,    1,   //
        9,    0x02, 32,   0x00, 1,    1,    0,    0xA0, 45,  //
        9,    0x04, 0,    0,    2,    0xFF, 0xFF, 0xFF, 2,   //
        7,    0x05, 0x81, 0x02, 64,   0x00, 0,               //
        7,    0x05, 0x02, 0x02, 64,   0x00, 0,
    };
}

std::uint64_t now_us() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

// One URB between submit and reap.
struct Urb {
    UMockdevIoctlData* data = nullptr;    // the client's struct usbdevfs_urb (owned reference)
    UMockdevIoctlData* buffer = nullptr;  // its buffer (owned reference)
    unsigned long client_addr = 0;
    std::uint64_t complete_at = 0;
    bool held = false;  // the chip stopped answering: it never completes by itself
    int status = 0;
    int actual_length = 0;
    std::vector<std::uint8_t> in;  // IN data, placed at in_offset of the buffer
    std::size_t in_offset = 0;
};

struct Device;

// One open of the device node.
struct Connection {
    UMockdevIoctlClient* client = nullptr;
    Device* device = nullptr;
    korvel::sim::Handle handle = 0;  // the simulated driver's handle, 0 when it could not open
    bool claimed = false;
    std::deque<Urb> urbs;  // in submission (and so completion) order
};

struct Device {
    std::string manufacturer, description, serial;
    bool board = false;
    int port = 0;  // the hub port: the sysfs name is 1-<port>
    int devnum = 0;
    std::string syspath, devnode;
    UMockdevIoctlBase* handler = nullptr;
    bool present = false;
    bool hung = false;
    std::uint64_t hang_countdown = 0;    // the chip stops answering at this request (1 = next)
    std::uint64_t unplug_countdown = 0;  // the cable is pulled as this request is submitted
    std::uint64_t stall_countdown = 0;   // this request is refused with a stall
    std::uint64_t refused = 0;           // submissions while unplugged
    std::string driver = "ftdi_sio";
    ft::Image eeprom{};
    std::uint8_t latency = kLatencyDefaultMs;
    std::uint8_t mode = 0;          // the bit mode last set
    std::deque<std::uint8_t> fifo;  // the receive FIFO
    std::uint32_t baud = 0;
    BusTiming timing;
    std::vector<Connection*> connections;
    EmulatedUsb::Impl* owner = nullptr;
};

void free_urb(Urb& urb) {
    if (urb.buffer != nullptr) g_object_unref(urb.buffer);
    if (urb.data != nullptr) g_object_unref(urb.data);
    urb.buffer = urb.data = nullptr;
}

}  // namespace

struct EmulatedUsb::Impl {
    std::mutex& mutex;
    TimingModel timing;
    UMockdevTestbed* testbed = nullptr;
    std::vector<std::unique_ptr<Device>> devices;
    std::map<UMockdevIoctlClient*, std::unique_ptr<Connection>> connections;
    std::vector<UMockdevIoctlBase*> handlers;
    int next_devnum = 2;  // 1 is the root hub
    std::function<std::uint64_t()> unit_clock = now_us;
    std::uint64_t last_time_us = now_us();
    std::vector<std::string> request_log;  // see EmulatedUsb::request_log()

    Impl(std::mutex& m, TimingModel t) : mutex(m), timing(t) {}

    korvel::sim::Usb& sim() { return korvel::sim::usb(); }

    std::string root() const {
        gchar* dir = umockdev_testbed_get_root_dir(testbed);
        std::string text = dir;
        g_free(dir);
        return text;
    }

    // The simulated unit's clock follows unit_clock (by default the wall clock), so its chips'
    // EEPROM write cycles take the time the program really waits for them, and the trace shows
    // that timing.
    void advance_unit_clock() {
        const std::uint64_t now = unit_clock();
        if (now > last_time_us) sim().pause(static_cast<double>(now - last_time_us) / 1e6);
        last_time_us = now;
    }

    Device* find(const std::string& serial) const {
        for (const auto& d : devices)
            if (d->serial == serial) return d.get();
        return nullptr;
    }

    // ---- sysfs and the device node ----

    Device& new_device(std::string manufacturer, std::string description, std::string serial) {
        auto d = std::make_unique<Device>();
        d->manufacturer = std::move(manufacturer);
        d->description = std::move(description);
        d->serial = std::move(serial);
        d->port = static_cast<int>(devices.size()) + 1;
        d->owner = this;
        d->timing = BusTiming(timing);
        build_eeprom(*d);
        devices.push_back(std::move(d));
        return *devices.back();
    }

    void build_eeprom(Device& d) {
        d.eeprom = korvel::testing::programmed_image(d.manufacturer, d.description, d.serial);
    }

    // The next free device address: a host hands out 2..127 in turn and starts again from 2
    // (1 is the root hub), skipping addresses still in use.
    int new_devnum() {
        for (;;) {
            const int n = next_devnum;
            next_devnum = next_devnum >= 127 ? 2 : next_devnum + 1;
            const bool used = std::any_of(devices.begin(), devices.end(), [n](const auto& d) {
                return d->present && d->devnum == n;
            });
            if (!used) return n;
        }
    }

    void add_node(Device& d) {
        d.devnum = new_devnum();
        char devnode[48], busnum[16], devnum[16], minor[16];
        std::snprintf(devnode, sizeof devnode, "/dev/bus/usb/%03d/%03d", kBus, d.devnum);
        std::snprintf(busnum, sizeof busnum, "%d", kBus);
        std::snprintf(devnum, sizeof devnum, "%d", d.devnum);
        std::snprintf(minor, sizeof minor, "%d", (kBus - 1) * 128 + d.devnum - 1);
        const std::string name = "1-" + std::to_string(d.port);
        const std::string bus3 = std::string(devnode).substr(13, 3);
        const std::string dev3 = std::string(devnode).substr(17);
        // Attribute files end in a newline, as the kernel writes them.
        const std::string nl = "\n";
        const std::string values[] = {busnum + nl,         devnum + nl,
                                      d.manufacturer + nl, d.description + nl,
                                      d.serial + nl,       "189:" + std::string(minor) + nl};
        const char* attributes[] = {"idVendor",
                                    "0403\n",
                                    "idProduct",
                                    "6001\n",
                                    "bcdDevice",
                                    "0600\n",
                                    "busnum",
                                    values[0].c_str(),
                                    "devnum",
                                    values[1].c_str(),
                                    "speed",
                                    "12\n",
                                    "bConfigurationValue",
                                    "1\n",
                                    "bNumConfigurations",
                                    "1\n",
                                    "bDeviceClass",
                                    "00\n",
                                    "manufacturer",
                                    values[2].c_str(),
                                    "product",
                                    values[3].c_str(),
                                    "serial",
                                    values[4].c_str(),
                                    "dev",
                                    values[5].c_str(),  // makes umockdev create the node
                                    nullptr};
        const char* properties[] = {
            "DEVNAME",     devnode,      "DEVTYPE",         "usb_device",
            "DRIVER",      "usb",        "BUSNUM",          bus3.c_str(),
            "DEVNUM",      dev3.c_str(), "MAJOR",           "189",
            "MINOR",       minor,        "PRODUCT",         "403/6001/600",
            "TYPE",        "0/0/0",      "ID_VENDOR_ID",    "0403",
            "ID_MODEL_ID", "6001",       "ID_SERIAL_SHORT", d.serial.c_str(),
            nullptr};
        gchar* path = umockdev_testbed_add_devicev(testbed, "usb", name.c_str(), nullptr,
                                                   const_cast<gchar**>(attributes),
                                                   const_cast<gchar**>(properties));
        if (path == nullptr) throw std::runtime_error("umockdev could not add " + name);
        d.syspath = path;
        g_free(path);
        auto blob = ft232r_descriptors();
        umockdev_testbed_set_attribute_binary(testbed, d.syspath.c_str(), "descriptors",
                                              blob.data(), static_cast<gint>(blob.size()));
        d.devnode = devnode;
        // The node itself: a plain file, which the preload connects to the handler when opened.
        const std::filesystem::path node = root() + d.devnode;
        std::filesystem::create_directories(node.parent_path());
        std::ofstream(node).close();
        std::filesystem::permissions(
            node, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read | std::filesystem::perms::group_write |
                      std::filesystem::perms::others_read);
        // A new handler per node: connections to the old node keep theirs until closed.
        d.handler = umockdev_ioctl_base_new();
        handlers.push_back(d.handler);
        g_signal_connect(d.handler, "handle-ioctl", G_CALLBACK(&Impl::on_ioctl), &d);
        g_signal_connect(d.handler, "client-connected", G_CALLBACK(&Impl::on_connected), &d);
        GError* error = nullptr;
        if (!umockdev_testbed_attach_ioctl(testbed, d.devnode.c_str(), d.handler, &error)) {
            std::string why = error != nullptr ? error->message : "unknown error";
            g_clear_error(&error);
            throw std::runtime_error("umockdev could not attach " + d.devnode + ": " + why);
        }
        d.present = true;
        d.driver = "ftdi_sio";
    }

    void unplug(Device& d) {
        if (!d.present) return;
        if (d.board) sim().board().detach();
        remove_node(d);
    }

    void remove_node(Device& d) {
        // What is in flight ends as the kernel ends it for a vanished device; the rest is ENODEV.
        for (Connection* c : d.connections)
            for (Urb& u : c->urbs) {
                u.held = false;
                u.complete_at = 0;
                u.status = -ESHUTDOWN;
                u.actual_length = 0;
                u.in.clear();
            }
        d.present = false;
        // Only a process under the preload can send uevents (the runner itself is not).
        if (umockdev_in_mock_environment())
            umockdev_testbed_uevent(testbed, d.syspath.c_str(), "remove");
        umockdev_testbed_detach_ioctl(testbed, d.devnode.c_str(), nullptr);
        umockdev_testbed_remove_device(testbed, d.syspath.c_str());
        std::error_code ignored;
        std::filesystem::remove(root() + d.devnode, ignored);
    }

    // ---- the simulated driver behind a connection ----

    // The list index of `d` among the simulated devices attached now.
    std::optional<std::uint32_t> sim_index(const Device& d) {
        std::vector<korvel::sim::ListEntry> list;
        std::uint32_t count = 0;
        sim().create_device_info_list(count);
        sim().get_device_info_list(list, count, count);
        for (std::uint32_t i = 0; i < list.size(); ++i)
            if (list[i].serial == d.serial) return i;
        return std::nullopt;
    }

    // The program claims the interface as the vendor driver's FT_Open opens the device, and
    // releases it as FT_Close closes it: the simulated driver's handle lives from claim to release
    // (so a program that closes and opens again finds the unit free at once, while the
    // connection of its old handle may still be closing).
    void open_unit(Connection& c) {
        if (c.handle != 0) return;
        c.device->mode = 0;  // the simulated driver's open resets the chip's mode
        c.device->fifo.clear();
        auto index = sim_index(*c.device);
        korvel::sim::Handle h = 0;
        if (index && sim().open(*index, h) == korvel::sim::kOk) c.handle = h;
        if (c.handle != 0 && c.device->board) load_user_area(c);
    }

    // The unit keeps its user area itself (its state file may have changed it since): a
    // programmed image takes it over, with its checksum.
    void load_user_area(Connection& c) {
        Device& d = *c.device;
        const auto area = ft::find_user_area(d.eeprom);
        std::uint32_t size = 0, read = 0;
        if (!area || !ft::checksum_valid(d.eeprom) ||
            sim().ee_ua_size(c.handle, size) != korvel::sim::kOk)
            return;
        std::vector<std::uint8_t> bytes(std::min<std::size_t>(size, area->size));
        if (sim().ee_ua_read(c.handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                             read) != korvel::sim::kOk)
            return;
        std::copy(bytes.begin(), bytes.begin() + read, d.eeprom.begin() + area->offset);
        ft::store_checksum(d.eeprom);
    }

    void close_unit(Connection& c) {
        if (c.handle != 0) sim().close(c.handle);
        c.handle = 0;
    }

    void store_user_area(Connection& c) {
        Device& d = *c.device;
        const auto area = ft::find_user_area(d.eeprom);
        std::uint32_t size = 0;
        if (!area || !d.board || sim().ee_ua_size(c.handle, size) != korvel::sim::kOk) return;
        const std::size_t n = std::min<std::size_t>(size, area->size);
        sim().ee_ua_write(c.handle, d.eeprom.data() + area->offset, static_cast<std::uint32_t>(n));
    }

    // ---- the chip ----

    // Carries out one control request; false stalls it (-EPIPE).
    bool control(Connection& c, const std::uint8_t* setup, std::vector<std::uint8_t>& in) {
        Device& d = *c.device;
        const std::uint8_t type = setup[0], request = setup[1];
        const std::uint16_t value = static_cast<std::uint16_t>(setup[2] | setup[3] << 8);
        const std::uint16_t index = static_cast<std::uint16_t>(setup[4] | setup[5] << 8);
        const std::uint16_t length = static_cast<std::uint16_t>(setup[6] | setup[7] << 8);
        if ((type & 0x60) == 0x00) return standard_request(d, request, value, length, in);
        if ((type & 0x60) != 0x40) return false;
        const auto ok = [](korvel::sim::Status s) { return s == korvel::sim::kOk; };
        switch (request) {
            case kSioReset:
            case kSioModemCtrl:
            case kSioSetFlowCtrl:
            case kSioSetData:
            case kSioSetEventChar:
            case kSioSetErrorChar:
                return true;
            case kSioSetBaudRate:
                d.baud = ft232r_baud_rate(value, index);
                return c.handle != 0 && ok(sim().set_baud_rate(c.handle, d.baud));
            case kSioPollModemStatus:
                in.assign(std::begin(kModemStatus), std::end(kModemStatus));
                return true;
            case kSioSetLatencyTimer:
                d.latency = static_cast<std::uint8_t>(value);
                return true;
            case kSioGetLatencyTimer:
                in = {d.latency};
                return true;
            case kSioSetBitMode:
                if (c.handle == 0 ||
                    !ok(sim().set_bit_mode(c.handle, static_cast<std::uint8_t>(value & 0xFF),
                                           static_cast<std::uint8_t>(value >> 8))))
                    return false;
                d.mode = static_cast<std::uint8_t>(value >> 8);
                return true;
            case kSioReadPins: {
                std::uint8_t pins = 0;
                if (c.handle == 0 || !ok(sim().get_bit_mode(c.handle, pins))) return false;
                in = {pins};
                return true;
            }
            case kSioReadEeprom:
                if (index >= ft::kEepromWords) return false;
                in = {d.eeprom[2 * index], d.eeprom[2 * index + 1]};
                return true;
            case kSioWriteEeprom:
                if (index >= ft::kEepromWords) return false;
                d.eeprom[2 * index] = static_cast<std::uint8_t>(value & 0xFF);
                d.eeprom[2 * index + 1] = static_cast<std::uint8_t>(value >> 8);
                if (c.handle != 0) store_user_area(c);
                return true;
            case kSioEraseEeprom:
                d.eeprom.fill(0xFF);
                return true;
            default:
                return false;
        }
    }

    static bool standard_request(const Device& d, std::uint8_t request, std::uint16_t value,
                                 std::uint16_t length, std::vector<std::uint8_t>& in) {
        if (request != kGetDescriptor) return true;  // SET_CONFIGURATION and the like
        const auto all = ft232r_descriptors();
        const int kind = value >> 8, number = value & 0xFF;
        if (kind == 1) {
            in.assign(all.begin(), all.begin() + 18);
        } else if (kind == 2 && number == 0) {
            in.assign(all.begin() + 18, all.end());
        } else if (kind == 3) {
            if (number == 0) {
                in = {4, 0x03, 0x09, 0x04};  // US English
            } else if (number <= 3) {
                const std::string& text = number == 1   ? d.manufacturer
                                          : number == 2 ? d.description
                                                        : d.serial;
                in = {static_cast<std::uint8_t>(2 + 2 * text.size()), 0x03};
                for (char ch : text) in.insert(in.end(), {static_cast<std::uint8_t>(ch), 0});
            } else {
                return false;
            }
        } else {
            return false;
        }
        if (in.size() > length) in.resize(length);
        return true;
    }

    // Bulk OUT: every byte is one change of the pins. In synchronous bit-bang mode the chip also
    // samples the pins just before it applies each byte, into its receive FIFO (256 bytes; more
    // are lost).
    bool write_pins(Connection& c, const std::uint8_t* bytes, std::uint32_t length) {
        Device& d = *c.device;
        std::uint32_t written = 0;
        if (c.handle == 0) return false;
        if (d.mode != kSyncBitBang) return sim().write(c.handle, bytes, length, written) == 0;
        for (std::uint32_t i = 0; i < length; ++i) {
            std::uint8_t pins = 0;
            if (sim().get_bit_mode(c.handle, pins) != 0 ||
                sim().write(c.handle, bytes + i, 1, written) != 0)
                return false;
            if (d.fifo.size() < kFifoBytes) d.fifo.push_back(pins);
        }
        return true;
    }

    // Bulk IN: packets of 64 bytes, each the two modem-status bytes and up to 62 bytes of the
    // FIFO; the transfer ends with the first packet that is not full (an empty FIFO gives one
    // packet of just the status bytes).
    static std::vector<std::uint8_t> take_packets(std::deque<std::uint8_t>& fifo,
                                                  std::size_t length) {
        std::vector<std::uint8_t> out;
        while (out.size() + 2 <= length) {
            out.insert(out.end(), std::begin(kModemStatus), std::end(kModemStatus));
            const std::size_t n = std::min({fifo.size(), length - out.size(), kPacketBytes - 2});
            out.insert(out.end(), fifo.begin(), fifo.begin() + static_cast<std::ptrdiff_t>(n));
            fifo.erase(fifo.begin(), fifo.begin() + static_cast<std::ptrdiff_t>(n));
            if (n < kPacketBytes - 2) break;
        }
        return out;
    }

    // Carries out a submitted URB at once and notes how it ends.
    void carry_out(Connection& c, const usbdevfs_urb& urb, const std::uint8_t* buffer,
                   Urb& result) {
        advance_unit_clock();
        const int length = urb.buffer_length;
        if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
            if (length < 8) {
                result.status = -EINVAL;
                return;
            }
            const std::uint16_t want = static_cast<std::uint16_t>(buffer[6] | buffer[7] << 8);
            if (!control(c, buffer, result.in)) {
                result.status = -EPIPE;
                result.in.clear();
                return;
            }
            if ((buffer[0] & 0x80) != 0) {
                if (result.in.size() > want) result.in.resize(want);
                if (result.in.size() > static_cast<std::size_t>(length - 8))
                    result.in.resize(static_cast<std::size_t>(length - 8));
                result.in_offset = 8;
                result.actual_length = static_cast<int>(result.in.size());
            } else {
                result.actual_length = std::min<int>(want, length - 8);
            }
        } else if (urb.type == USBDEVFS_URB_TYPE_BULK && urb.endpoint == 0x02) {
            if (!write_pins(c, buffer, static_cast<std::uint32_t>(length))) {
                result.status = -EPROTO;
                return;
            }
            result.actual_length = length;
        } else if (urb.type == USBDEVFS_URB_TYPE_BULK && urb.endpoint == 0x81) {
            result.in = take_packets(c.device->fifo, static_cast<std::size_t>(length));
            result.actual_length = static_cast<int>(result.in.size());
        } else {
            result.status = -ENOENT;  // no such endpoint
        }
    }

    // ---- usbdevfs ----

    static gboolean on_ioctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user) {
        auto* d = static_cast<Device*>(user);
        std::lock_guard lock(d->owner->mutex);
        d->owner->ioctl(*d, client);
        return TRUE;
    }

    static void on_connected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user) {
        auto* d = static_cast<Device*>(user);
        Impl& self = *d->owner;
        std::lock_guard lock(self.mutex);
        auto c = std::make_unique<Connection>();
        c->client = client;
        c->device = d;
        g_object_ref(client);
        g_signal_connect(client, "notify::connected", G_CALLBACK(&Impl::on_connection_changed),
                         &self);
        d->connections.push_back(c.get());
        self.connections[client] = std::move(c);
    }

    static void on_connection_changed(GObject* object, GParamSpec*, gpointer user) {
        auto* client = reinterpret_cast<UMockdevIoctlClient*>(object);
        if (umockdev_ioctl_client_get_connected(client)) return;
        Impl& self = *static_cast<Impl*>(user);
        std::lock_guard lock(self.mutex);
        self.close_connection(client);
    }

    void close_connection(UMockdevIoctlClient* client) {
        auto it = connections.find(client);
        if (it == connections.end()) return;
        Connection& c = *it->second;
        for (Urb& u : c.urbs) free_urb(u);
        close_unit(c);
        if (c.claimed && c.device->driver == "usbfs") c.device->driver = "";
        auto& list = c.device->connections;
        list.erase(std::remove(list.begin(), list.end(), &c), list.end());
        connections.erase(it);
        g_signal_handlers_disconnect_by_data(client, this);
        g_object_unref(client);
    }

    Connection* connection(UMockdevIoctlClient* client) {
        auto it = connections.find(client);
        return it == connections.end() ? nullptr : it->second.get();
    }

    void ioctl(Device& d, UMockdevIoctlClient* client) {
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        Connection* c = connection(client);
        const auto done = [&](long result, int error) {
            umockdev_ioctl_client_complete(client, result, error);
        };
        if (c == nullptr) return done(-1, EBADF);
        // Reaping still hands back what was in flight when the device went (with -ESHUTDOWN);
        // everything else on a vanished device is ENODEV.
        const bool reap = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY;
        if (!d.present && !(reap && !c->urbs.empty())) {
            if (request == USBDEVFS_SUBMITURB) ++d.refused;
            return done(-1, ENODEV);
        }

        const std::size_t size = _IOC_SIZE(request);
        UMockdevIoctlData* data = nullptr;
        if (size > 0) {
            GError* error = nullptr;
            data = umockdev_ioctl_data_resolve(arg, 0, size, &error);
            g_clear_error(&error);
            if (data == nullptr) return done(-1, EFAULT);
        }
        const long result = dispatch(d, *c, request, arg, data);
        if (data != nullptr) g_object_unref(data);
        if (result == 0) return done(0, 0);
        done(-1, static_cast<int>(-result));
    }

    // 0, or -errno.
    long dispatch(Device& d, Connection& c, unsigned long request, UMockdevIoctlData* arg,
                  UMockdevIoctlData* data) {
        switch (request) {
            case USBDEVFS_GET_CAPABILITIES:
                *reinterpret_cast<std::uint32_t*>(data->data) =
                    USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
                return 0;
            case USBDEVFS_CLAIMINTERFACE:
                if (*reinterpret_cast<unsigned*>(data->data) != 0) return -EINVAL;
                if (d.driver == "ftdi_sio" || (d.driver == "usbfs" && !c.claimed)) return -EBUSY;
                d.driver = "usbfs";
                c.claimed = true;
                open_unit(c);
                return 0;
            case USBDEVFS_RELEASEINTERFACE:
                if (!c.claimed) return -EINVAL;
                c.claimed = false;
                d.driver = "";
                close_unit(c);
                return 0;
            case USBDEVFS_DISCONNECT_CLAIM: {
                auto* dc = reinterpret_cast<usbdevfs_disconnect_claim*>(data->data);
                if (dc->interface != 0) return -EINVAL;
                if (d.driver == "usbfs" && !c.claimed) return -EBUSY;
                d.driver = "usbfs";
                c.claimed = true;
                open_unit(c);
                return 0;
            }
            case USBDEVFS_GETDRIVER: {
                auto* gd = reinterpret_cast<usbdevfs_getdriver*>(data->data);
                if (gd->interface != 0 || d.driver.empty()) return -ENODATA;
                std::snprintf(gd->driver, sizeof gd->driver, "%s", d.driver.c_str());
                return 0;
            }
            case USBDEVFS_IOCTL: {
                auto* command = reinterpret_cast<usbdevfs_ioctl*>(data->data);
                if (command->ifno != 0) return -EINVAL;
                if (command->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT)) {
                    if (d.driver.empty()) return -ENODATA;
                    if (d.driver == "usbfs") return -EBUSY;
                    d.driver = "";
                    return 0;
                }
                if (command->ioctl_code == static_cast<int>(USBDEVFS_CONNECT)) {
                    if (d.driver.empty()) d.driver = "ftdi_sio";
                    return 0;
                }
                return -ENOTTY;
            }
            case USBDEVFS_SETCONFIGURATION:
            case USBDEVFS_SETINTERFACE:
            case USBDEVFS_CLEAR_HALT:
            case USBDEVFS_RESETEP:
                return 0;
            case USBDEVFS_RESET:
                // The port is reset: the chip comes back in its power-up mode, the rest of the
                // unit stays powered; the program's handle stays open.
                request_log.push_back("port reset");
                if (c.handle != 0) {
                    sim().cycle_port(c.handle);
                    c.handle = 0;
                }
                if (c.claimed) open_unit(c);
                d.latency = kLatencyDefaultMs;
                d.mode = 0;
                d.fifo.clear();
                return 0;
            case USBDEVFS_SUBMITURB:
                return submit(d, c, data);
            case USBDEVFS_REAPURB:
            case USBDEVFS_REAPURBNDELAY:
                return reap(d, c, data);
            case USBDEVFS_DISCARDURB:
                return discard(c, *reinterpret_cast<unsigned long*>(arg->data));
            default:
                return -ENOTTY;
        }
    }

    long submit(Device& d, Connection& c, UMockdevIoctlData* data) {
        const auto& urb = *reinterpret_cast<const usbdevfs_urb*>(data->data);
        if (urb.buffer_length < 0 || urb.buffer_length > kMaxUrbBytes) return -EINVAL;
        if (d.unplug_countdown != 0 && --d.unplug_countdown == 0) {
            unplug(d);
            return -ENODEV;
        }
        if (d.hang_countdown != 0 && --d.hang_countdown == 0) d.hung = true;
        Urb u;
        GError* error = nullptr;
        u.buffer = umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                               static_cast<gsize>(urb.buffer_length), &error);
        g_clear_error(&error);
        if (u.buffer == nullptr && urb.buffer_length > 0) return -EFAULT;
        request_log.push_back(describe(urb, u.buffer != nullptr ? u.buffer->data : nullptr));
        u.data = G_TYPE_CHECK_INSTANCE_CAST(g_object_ref(data), umockdev_ioctl_data_get_type(),
                                            UMockdevIoctlData);
        u.client_addr = data->client_addr;
        const bool stall = d.stall_countdown != 0 && --d.stall_countdown == 0;
        if (d.hung) {
            u.held = true;
            d.timing.submit_held(now_us());
        } else if (stall) {
            u.status = -EPIPE;
            u.complete_at = d.timing.submit(now_us());
        } else {
            carry_out(c, urb, u.buffer != nullptr ? u.buffer->data : nullptr, u);
            u.complete_at = d.timing.submit(now_us());
        }
        c.urbs.push_back(std::move(u));
        return 0;
    }

    // One line of the request log: what the URB asks of the chip, in full.
    static std::string describe(const usbdevfs_urb& urb, const std::uint8_t* buffer) {
        char text[64];
        const int length = urb.buffer_length;
        if (urb.type == USBDEVFS_URB_TYPE_CONTROL && length >= 8 && buffer != nullptr) {
            std::snprintf(text, sizeof text, "ctl %02x %02x %04x %04x %u", buffer[0], buffer[1],
                          buffer[2] | buffer[3] << 8, buffer[4] | buffer[5] << 8,
                          static_cast<unsigned>(buffer[6] | buffer[7] << 8));
            std::string line = text;
            if ((buffer[0] & 0x80) == 0) line += bytes_text(buffer + 8, length - 8);
            return line;
        }
        std::snprintf(text, sizeof text, "%s %02x %d",
                      urb.type == USBDEVFS_URB_TYPE_BULK ? "bulk" : "urb", urb.endpoint, length);
        std::string line = text;
        if ((urb.endpoint & 0x80) == 0 && buffer != nullptr) line += bytes_text(buffer, length);
        return line;
    }
    // The bytes in hex up to 16 of them, or their FNV-1a hash.
    static std::string bytes_text(const std::uint8_t* bytes, int length) {
        if (length <= 0) return "";
        std::string out = " ";
        char hex[24];
        if (length <= 16) {
            for (int i = 0; i < length; ++i) {
                std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
                out += hex;
            }
            return out;
        }
        std::uint64_t h = 0xcbf29ce484222325ull;
        for (int i = 0; i < length; ++i) h = (h ^ bytes[i]) * 0x100000001b3ull;
        std::snprintf(hex, sizeof hex, "#%016llx", static_cast<unsigned long long>(h));
        return out + hex;
    }

    long reap(Device& d, Connection& c, UMockdevIoctlData* data) {
        // Discarded URBs first (they end at once), then the oldest that has completed.
        auto it = std::find_if(c.urbs.begin(), c.urbs.end(),
                               [](const Urb& u) { return u.status == -ENOENT && !u.held; });
        if (it == c.urbs.end() && !c.urbs.empty() && !c.urbs.front().held &&
            c.urbs.front().complete_at <= now_us())
            it = c.urbs.begin();
        if (it == c.urbs.end()) return d.present ? -EAGAIN : -ENODEV;
        Urb u = std::move(*it);
        c.urbs.erase(it);
        auto* urb = reinterpret_cast<usbdevfs_urb*>(u.data->data);
        urb->status = u.status;
        urb->actual_length = u.actual_length;
        if (!u.in.empty() && u.buffer != nullptr &&
            u.in_offset + u.in.size() <= static_cast<std::size_t>(u.buffer->data_len))
            std::memcpy(u.buffer->data + u.in_offset, u.in.data(), u.in.size());
        umockdev_ioctl_data_set_ptr(data, 0, u.data);
        d.timing.taken_back();
        free_urb(u);
        return 0;
    }

    long discard(Connection& c, unsigned long client_addr) {
        for (Urb& u : c.urbs) {
            if (u.client_addr != client_addr) continue;
            if (!u.held && u.complete_at <= now_us()) return -EINVAL;  // already done: reap it
            u.held = false;
            u.status = -ENOENT;
            u.actual_length = 0;
            u.in.clear();
            return 0;
        }
        return -EINVAL;
    }
};

EmulatedUsb::EmulatedUsb(TimingModel timing) {
    std::lock_guard lock(mutex_);
    impl_ = std::make_unique<Impl>(mutex_, timing);
    impl_->testbed = umockdev_testbed_new();
    // As on a real system, every user may read the bus in sysfs; the device nodes are the
    // root-owned 0664 of a node no udev rule opened up.
    std::filesystem::permissions(impl_->root(), std::filesystem::perms::owner_all |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::group_exec |
                                                    std::filesystem::perms::others_read |
                                                    std::filesystem::perms::others_exec);
    // The unit first, then the other devices, in the simulated USB's order.
    korvel::sim::Board& board = impl_->sim().board();
    Device& unit = impl_->new_device(board.manufacturer, board.description, board.serial);
    unit.board = true;
    if (board.attached()) impl_->add_node(unit);
}

EmulatedUsb::~EmulatedUsb() {
    std::unique_lock lock(mutex_);
    for (auto& d : impl_->devices)
        if (d->present) impl_->remove_node(*d);
    while (!impl_->connections.empty()) impl_->close_connection(impl_->connections.begin()->first);
    for (auto& d : impl_->devices)
        for (auto* h : impl_->handlers) g_signal_handlers_disconnect_by_data(h, d.get());
    lock.unlock();
    g_object_unref(impl_->testbed);  // stops the worker thread
    for (auto* h : impl_->handlers) g_object_unref(h);
}

void EmulatedUsb::unplug() {
    std::lock_guard lock(mutex_);
    impl_->unplug(*impl_->devices.front());
}

void EmulatedUsb::unplug_at_request(std::uint64_t nth) {
    std::lock_guard lock(mutex_);
    impl_->devices.front()->unplug_countdown = nth;
}

void EmulatedUsb::plug_in() {
    std::lock_guard lock(mutex_);
    Device& unit = *impl_->devices.front();
    if (unit.present) return;
    korvel::sim::Board& board = impl_->sim().board();
    board.attach();
    unit.hung = false;
    // The unit may have been given other strings (the alternate description) meanwhile.
    unit.manufacturer = board.manufacturer;
    unit.description = board.description;
    unit.serial = board.serial;
    impl_->build_eeprom(unit);
    impl_->add_node(unit);
}

void EmulatedUsb::add_foreign_device(const std::string& description, const std::string& serial) {
    std::lock_guard lock(mutex_);
    impl_->sim().add_other_device(description, serial);
    Device* d = impl_->find(serial);
    if (d == nullptr) d = &impl_->new_device("FTDI", description, serial);
    if (d->present) return;
    d->description = description;
    impl_->build_eeprom(*d);
    impl_->add_node(*d);
}

void EmulatedUsb::hang_at_request(std::uint64_t nth) {
    std::lock_guard lock(mutex_);
    Device& unit = *impl_->devices.front();
    unit.hung = false;
    unit.hang_countdown = nth;
}

void EmulatedUsb::stall_at_request(std::uint64_t nth) {
    std::lock_guard lock(mutex_);
    impl_->devices.front()->stall_countdown = nth;
}

std::uint64_t EmulatedUsb::refused_requests() const {
    std::lock_guard lock(mutex_);
    return impl_->devices.front()->refused;
}

void EmulatedUsb::reset() {
    std::lock_guard lock(mutex_);
    // Connections still closing belong to the old unit: their handles must not reach the new one.
    for (auto& [client, c] : impl_->connections) c->handle = 0;
    korvel::sim::reset_usb();
    impl_->request_log.clear();
    for (auto& d : impl_->devices) {
        d->hung = false;
        d->hang_countdown = d->unplug_countdown = d->stall_countdown = 0;
        d->refused = 0;
        d->timing = BusTiming(impl_->timing);
        if (d->board) {
            if (d->present) impl_->remove_node(*d);
            korvel::sim::Board& board = impl_->sim().board();
            d->manufacturer = board.manufacturer;
            d->description = board.description;
            d->serial = board.serial;
            impl_->build_eeprom(*d);
            impl_->add_node(*d);
        } else if (d->present) {
            impl_->remove_node(*d);  // the fresh simulated USB has no other devices
        }
    }
}

std::vector<std::string> EmulatedUsb::request_log() const {
    std::lock_guard lock(mutex_);
    return impl_->request_log;
}

void EmulatedUsb::clear_request_log() {
    std::lock_guard lock(mutex_);
    impl_->request_log.clear();
}

TrafficCounts EmulatedUsb::counts() const {
    std::lock_guard lock(mutex_);
    TrafficCounts sum;
    for (const auto& d : impl_->devices) {
        sum.requests += d->timing.counts().requests;
        sum.round_trips += d->timing.counts().round_trips;
    }
    return sum;
}

void EmulatedUsb::set_unit_clock(std::function<std::uint64_t()> now_us) {
    std::lock_guard lock(mutex_);
    impl_->unit_clock = std::move(now_us);
    impl_->last_time_us = impl_->unit_clock();
}

void EmulatedUsb::reset_counts() {
    std::lock_guard lock(mutex_);
    for (auto& d : impl_->devices) d->timing.reset_counts();
}

std::string EmulatedUsb::kernel_driver(const std::string& serial) const {
    std::lock_guard lock(mutex_);
    const Device* d = impl_->find(serial);
    return d == nullptr ? "?" : d->driver;
}

std::array<std::uint8_t, 128> EmulatedUsb::eeprom(const std::string& serial) const {
    std::lock_guard lock(mutex_);
    const Device* d = impl_->find(serial);
    std::array<std::uint8_t, 128> image;
    image.fill(0xFF);
    if (d != nullptr) image = d->eeprom;
    return image;
}

std::uint32_t EmulatedUsb::baud_rate(const std::string& serial) const {
    std::lock_guard lock(mutex_);
    const Device* d = impl_->find(serial);
    return d == nullptr ? 0 : d->baud;
}

std::uint32_t ft232r_baud_rate(std::uint16_t value, std::uint16_t index) {
    // Fraction codes of bits 14..16 in eighths: 0, 1/2, 1/4, 1/8, 3/8, 5/8, 3/4, 7/8.
    static constexpr std::uint32_t kEighths[8] = {0, 4, 2, 1, 3, 5, 6, 7};
    const std::uint32_t encoded = value | (static_cast<std::uint32_t>(index & 0x01) << 16);
    const std::uint32_t integer = encoded & 0x3FFF;
    const std::uint32_t eighths = 8 * integer + kEighths[encoded >> 14];
    if (eighths == 0) return 3000000;
    if (eighths == 8) return 2000000;
    return static_cast<std::uint32_t>((8ull * 3000000 + eighths / 2) / eighths);
}

}  // namespace korvel::usbemu

// What the program announces by DNS-SD (multicast DNS, RFC 6762/6763) so that lab software
// browsing the network (lxi discover --mdns, NI MAX, Keysight Connection Expert) lists it like a
// LAN instrument: the services, the instance name and its TXT records, and when to publish them
// again. No Avahi here: qt/dns_sd_publisher.h hands this to the daemon.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "remote/system_commands.h"

namespace korvel::remote::dns_sd {

// DNS labels hold at most 63 bytes; a longer instance name is cut (never inside a UTF-8
// character).
inline constexpr std::size_t kMaxNameBytes = 63;

// Where the listeners are bound, as DNS-SD must know it: the address family, and the address
// itself ("" when bound to every interface of the family).
struct Scope {
    bool ipv6 = false;
    std::string address;
};

// The scope to announce for `--remote-bind`'s address, or nullopt with the reason in `why`:
// a loopback address ("127.0.0.1", "::1", "localhost", "::ffff:127.x.x.x") is reachable from this
// machine only, so announcing it to the network would only mislead, and text that is no address
// announces nothing either.
std::optional<Scope> announce_scope(std::string_view bind_address, std::string* why);

struct Service {
    std::string type;  // "_scpi-raw._tcp"
    std::uint16_t port = 0;
    bool operator==(const Service&) const = default;
};

struct Entry {
    std::string name;               // "KORVEL 1042"
    std::vector<Service> services;  // published under the one name
    std::vector<std::string> txt;   // "key=value"
    bool operator==(const Entry&) const = default;
};

// "KORVEL <serial>" (the model and the serial *IDN? reports), cut to kMaxNameBytes.
std::string instance_name(const Identity& identity);

// The raw socket as _scpi-raw._tcp on its port and, when VXI-11 is served, _vxi-11._tcp on the
// portmapper's port 111 (where a VXI-11 client starts); no _lxi._tcp, which promises a web page.
// TXT: Manufacturer, Model, SerialNumber and FirmwareVersion as *IDN? reports them.
Entry entry(const Identity& identity, std::uint16_t socket_port, bool vxi11_served);

// What has been announced, as the unit's identity and the network change it.
class Announcer {
  public:
    Announcer(std::uint16_t socket_port, bool vxi11_served)
        : socket_port_(socket_port), vxi11_(vxi11_served) {}

    // Takes the identity *IDN? reports now; true when the entry must be published (again): the
    // first time, and when another unit's serial appears. A unit unplugged (serial "0") after
    // one was announced keeps that announcement, so that browsers do not see the instrument
    // vanish and come back at every replug.
    bool update(const Identity& identity);

    // Another host holds the name: publish again as `alternative` (what the daemon proposes,
    // "KORVEL 1042 #2"). The next unit gets its own name again.
    void collided(std::string alternative);

    const std::optional<Entry>& entry() const { return entry_; }

  private:
    std::uint16_t socket_port_;
    bool vxi11_;
    std::optional<Entry> entry_;
};

}  // namespace korvel::remote::dns_sd

#include "remote/dns_sd.h"

#include <arpa/inet.h>

#include <cstring>

namespace korvel::remote::dns_sd {
namespace {

constexpr std::uint16_t kPortmapperPort = 111;

bool is_loopback_v6(const in6_addr& a) {
    static const in6_addr loopback = IN6ADDR_LOOPBACK_INIT;
    if (std::memcmp(&a, &loopback, sizeof a) == 0) return true;
    // ::ffff:127.x.x.x, an IPv4 loopback address written as IPv6.
    static const unsigned char mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(a.s6_addr, mapped, sizeof mapped) == 0 && a.s6_addr[12] == 127;
}

std::string cut_to_label(std::string name) {
    if (name.size() <= kMaxNameBytes) return name;
    std::size_t end = kMaxNameBytes;
    // Back to the first byte of a UTF-8 character (continuation bytes are 10xxxxxx).
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
    return name;
}

}  // namespace

std::optional<Scope> announce_scope(std::string_view bind_address, std::string* why) {
    const std::string text(bind_address);
    in_addr v4{};
    in6_addr v6{};
    if (text == "localhost" ||
        (inet_pton(AF_INET, text.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127)) {
        *why = "listening on the loopback address only";
        return std::nullopt;
    }
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1)
        return Scope{false, v4.s_addr == INADDR_ANY ? "" : text};
    if (inet_pton(AF_INET6, text.c_str(), &v6) == 1) {
        if (is_loopback_v6(v6)) {
            *why = "listening on the loopback address only";
            return std::nullopt;
        }
        const bool any = std::memcmp(&v6, &in6addr_any, sizeof v6) == 0;
        return Scope{true, any ? "" : text};
    }
    *why = text + " is not an IP address";
    return std::nullopt;
}

std::string instance_name(const Identity& identity) {
    return cut_to_label(identity.model + " " + identity.serial);
}

Entry entry(const Identity& identity, std::uint16_t socket_port, bool vxi11_served) {
    Entry e{instance_name(identity), {{"_scpi-raw._tcp", socket_port}}, {}};
    if (vxi11_served) e.services.push_back({"_vxi-11._tcp", kPortmapperPort});
    e.txt = {"Manufacturer=" + identity.manufacturer, "Model=" + identity.model,
             "SerialNumber=" + identity.serial, "FirmwareVersion=" + identity.firmware};
    return e;
}

bool Announcer::update(const Identity& identity) {
    if (entry_ && identity.serial == "0") return false;
    Entry wanted = dns_sd::entry(identity, socket_port_, vxi11_);
    // After a collision the name is the daemon's alternative; the same unit keeps it.
    if (entry_ && entry_->txt == wanted.txt) return false;
    entry_ = std::move(wanted);
    return true;
}

void Announcer::collided(std::string alternative) {
    if (entry_) entry_->name = cut_to_label(std::move(alternative));
}

}  // namespace korvel::remote::dns_sd

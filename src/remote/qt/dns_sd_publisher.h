// Announcing the remote servers by DNS-SD through avahi-daemon (libavahi-client, on the event
// loop through QtAvahiPoll): what dns_sd.h says to publish, published again when another unit's
// serial appears, renamed as the daemon proposes on a name collision, withdrawn when the owner
// goes (and by the daemon when the program dies).
#pragma once

#include <QObject>
#include <string>

namespace korvel::remote {

// Announces the listeners bound to `bind_address` (nothing for a loopback address) for as long
// as `owner` lives. Without avahi-daemon (or a build without Avahi) it says so in one line on
// stderr and nothing else changes; a daemon that starts later is used then.
void announce_by_dns_sd(QObject* owner, const std::string& bind_address, quint16 socket_port,
                        bool vxi11_served);

}  // namespace korvel::remote

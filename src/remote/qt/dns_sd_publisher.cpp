#include "remote/qt/dns_sd_publisher.h"

#include <cstdio>

#include "remote/dns_sd.h"

#if KORVEL_HAVE_AVAHI
#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTimer>

#include "app/state.h"
#include "remote/qt/avahi_poll.h"
#endif

namespace korvel::remote {
namespace {

void say(const std::string& why) {
    std::fprintf(stderr, "korvel: not announced by DNS-SD (lxi discover --mdns): %s\n",
                 why.c_str());
}

#if KORVEL_HAVE_AVAHI

// How often the identity is looked at: a unit plugged in shows its serial within this time.
constexpr int kIdentityCheckMs = 1000;
// A name that keeps colliding with names on this machine is given up after this many tries.
constexpr int kMaxLocalRenames = 32;

class Publisher : public QObject {
  public:
    Publisher(QObject* owner, const dns_sd::Scope& scope, quint16 socket_port, bool vxi11)
        : QObject(owner), announcer_(socket_port, vxi11) {
        if (!scope.address.empty()) {
            const QHostAddress bound(QString::fromStdString(scope.address));
            for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
                for (const QNetworkAddressEntry& e : i.addressEntries())
                    if (e.ip().isEqual(bound)) interface_ = i.index();
        }
        protocol_ = scope.ipv6 ? AVAHI_PROTO_INET6 : AVAHI_PROTO_INET;
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &Publisher::refresh);
        timer->start(kIdentityCheckMs);
        connectToDaemon();
    }

    ~Publisher() override {
        if (client_ != nullptr) avahi_client_free(client_);  // frees the group: withdrawn
    }

  private:
    void connectToDaemon() {
        int error = 0;
        // NO_FAIL: without the daemon the client waits for it to appear (state CONNECTING).
        client_ = avahi_client_new(poll_.api(), AVAHI_CLIENT_NO_FAIL, &Publisher::clientChanged,
                                   this, &error);
        if (client_ == nullptr)
            say(std::string("cannot reach avahi-daemon on the D-Bus system bus: ") +
                avahi_strerror(error));
    }

    static void clientChanged(AvahiClient* client, AvahiClientState state, void* self_) {
        auto* self = static_cast<Publisher*>(self_);
        self->client_ = client;  // called inside avahi_client_new too, before it returns
        switch (state) {
            case AVAHI_CLIENT_S_RUNNING:
                self->running_ = true;
                self->published_ = false;
                self->said_ = false;
                // Not from inside avahi_client_new: the panels are read on the event loop.
                QTimer::singleShot(0, self, &Publisher::refresh);
                break;
            case AVAHI_CLIENT_S_COLLISION:
            case AVAHI_CLIENT_S_REGISTERING:
                // The host name is being (re)registered: publish again once it runs.
                self->running_ = false;
                if (self->group_ != nullptr) avahi_entry_group_reset(self->group_);
                break;
            case AVAHI_CLIENT_CONNECTING:
                self->running_ = false;
                if (!self->said_) say("avahi-daemon is not running (announced once it starts)");
                self->said_ = true;
                break;
            case AVAHI_CLIENT_FAILURE:
                self->running_ = false;
                self->group_ = nullptr;
                if (avahi_client_errno(client) == AVAHI_ERR_DISCONNECTED) {
                    // The daemon went away: wait for it to come back with a client anew.
                    QTimer::singleShot(0, self, [self] {
                        avahi_client_free(self->client_);
                        self->client_ = nullptr;
                        self->connectToDaemon();
                    });
                } else {
                    say(std::string("avahi-daemon: ") + avahi_strerror(avahi_client_errno(client)));
                }
                break;
        }
    }

    void refresh() {
        const bool changed = announcer_.update(identity(app::main_panel));
        if (running_ && (changed || !published_)) publish();
    }

    void publish() {
        published_ = true;
        if (group_ == nullptr) {
            group_ = avahi_entry_group_new(client_, &Publisher::groupChanged, this);
            if (group_ == nullptr) return fail();
        } else {
            avahi_entry_group_reset(group_);
        }
        const dns_sd::Entry& entry = *announcer_.entry();
        AvahiStringList* txt = nullptr;
        for (auto r = entry.txt.rbegin(); r != entry.txt.rend(); ++r)
            txt = avahi_string_list_add(txt, r->c_str());
        int error = 0;
        for (const dns_sd::Service& s : entry.services) {
            error = avahi_entry_group_add_service_strlst(
                group_, interface_, protocol_, AvahiPublishFlags{}, entry.name.c_str(),
                s.type.c_str(), nullptr, nullptr, s.port, txt);
            if (error < 0) break;
        }
        avahi_string_list_free(txt);
        if (error == AVAHI_ERR_COLLISION && ++local_renames_ <= kMaxLocalRenames)
            return rename();  // another program on this machine has the name
        if (error < 0 || avahi_entry_group_commit(group_) < 0) fail();
    }

    void rename() {
        char* alternative = avahi_alternative_service_name(announcer_.entry()->name.c_str());
        announcer_.collided(alternative);
        avahi_free(alternative);
        publish();
    }

    void fail() {
        say(std::string("avahi-daemon: ") + avahi_strerror(avahi_client_errno(client_)));
    }

    static void groupChanged(AvahiEntryGroup*, AvahiEntryGroupState state, void* self_) {
        auto* self = static_cast<Publisher*>(self_);
        if (state == AVAHI_ENTRY_GROUP_ESTABLISHED) {
            const dns_sd::Entry& e = *self->announcer_.entry();
            std::string services;
            for (const dns_sd::Service& s : e.services)
                services += " " + s.type + " port " + std::to_string(s.port);
            std::fprintf(stderr, "korvel: announced by DNS-SD as \"%s\":%s\n", e.name.c_str(),
                         services.c_str());
            self->local_renames_ = 0;
        } else if (state == AVAHI_ENTRY_GROUP_COLLISION) {
            // Another host on the network has the name.
            QTimer::singleShot(0, self, &Publisher::rename);
        } else if (state == AVAHI_ENTRY_GROUP_FAILURE) {
            self->fail();
        }
    }

    QtAvahiPoll poll_;  // outlives client_, whose watches it holds
    AvahiClient* client_ = nullptr;
    AvahiEntryGroup* group_ = nullptr;
    AvahiIfIndex interface_ = AVAHI_IF_UNSPEC;
    AvahiProtocol protocol_ = AVAHI_PROTO_UNSPEC;
    dns_sd::Announcer announcer_;
    bool running_ = false;
    bool published_ = false;
    bool said_ = false;
    int local_renames_ = 0;
};

#endif

}  // namespace

void announce_by_dns_sd(QObject* owner, const std::string& bind_address, quint16 socket_port,
                        bool vxi11_served) {
    std::string why;
    const auto scope = dns_sd::announce_scope(bind_address, &why);
    if (!scope) return;  // loopback: no one else could connect
#if KORVEL_HAVE_AVAHI
    new Publisher(owner, *scope, socket_port, vxi11_served);
#else
    (void)owner, (void)socket_port, (void)vxi11_served;
    say("built without Avahi (libavahi-client)");
#endif
}

}  // namespace korvel::remote

#include "remote/qt/vxi11_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <rpc/pmap_clnt.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/loop_driver.h"
#include "remote/vxi11_codec.h"

namespace korvel::remote {

struct Vxi11Server::Connection {
    int id = 0;
    QTcpSocket* socket = nullptr;
    vxi11::RecordReader reader{kMaxRecord};
    std::string waiting;  // a record whose commands wait for the program to be ready
    bool has_waiting = false;
    double last_active = 0;
};

Vxi11Server::Vxi11Server(QObject* parent, const platform::Clock* idle_clock)
    : QObject(parent), clock_(idle_clock != nullptr ? idle_clock : &wall_clock_) {
    core_ = new QTcpServer(this);
    abort_ = new QTcpServer(this);
    for (QTcpServer* listener : {core_, abort_})
        connect(listener, &QTcpServer::newConnection, this, [this, listener] { accept(listener); });
    idle_timer_ = new QTimer(this);
    idle_timer_->setSingleShot(true);
    connect(idle_timer_, &QTimer::timeout, this, &Vxi11Server::closeIdle);
}

Vxi11Server::~Vxi11Server() {
    unregister_from_portmapper();
    for (auto& c : connections_) c->socket->disconnect(this);
}

bool Vxi11Server::listen(const QHostAddress& address, QString* error) {
    for (QTcpServer* listener : {core_, abort_}) {
        if (!listener->listen(address, 0)) {
            if (error != nullptr) *error = listener->errorString();
            return false;
        }
    }
    service_.set_abort_port(abort_->serverPort());
    return true;
}

quint16 Vxi11Server::port() const {
    return core_->serverPort();
}

void Vxi11Server::setIdleLimit(double seconds) {
    idle_limit_ = seconds;
    closeIdle();
}

Vxi11Server::Connection* Vxi11Server::find(int id) {
    for (auto& c : connections_)
        if (c->id == id) return c.get();
    return nullptr;
}

void Vxi11Server::accept(QTcpServer* listener) {
    while (QTcpSocket* socket = listener->nextPendingConnection()) {
        if (static_cast<int>(connections_.size()) >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);
        socket->setReadBufferSize(kMaxRecord);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto c = std::make_unique<Connection>();
        c->id = next_id_++;
        c->socket = socket;
        c->last_active = clock_->now();
        const int id = c->id;
        connections_.push_back(std::move(c));
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { serve(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { drop(id); });
    }
    closeIdle();
}

void Vxi11Server::serve(int id) {
    Connection* c = find(id);
    if (c == nullptr) return;
    // A call reached from inside another (a command's dialog runs the loop) waits for it.
    const bool ready = (platform::dispatch_depth() == 0 || platform::modal_dialogs_open() > 0) &&
                       !platform::quit_requested();
    if (in_call_) {
        if (!platform::quit_requested())
            QTimer::singleShot(kBusyRetryMs, this, [this, id] { serve(id); });
        return;
    }
    bool ran = false;
    for (int served = 0; served < kRecordsPerTurn; ++served) {
        if (!c->has_waiting) {
            const QByteArray bytes = c->socket->readAll();
            c->reader.feed(std::string_view(bytes.constData(), bytes.size()));
            switch (c->reader.next(&c->waiting)) {
                case vxi11::RecordReader::Next::None:
                    goto done;
                case vxi11::RecordReader::Next::TooLong:
                    drop(id);
                    return;
                case vxi11::RecordReader::Next::Record:
                    c->has_waiting = true;
                    break;
            }
        }
        c->last_active = clock_->now();
        std::string reply;
        in_call_ = true;
        const auto outcome = service_.handle(id, c->waiting, ready, c->last_active, &reply);
        in_call_ = false;
        c = find(id);  // a dialog's loop may have seen the connection go
        if (c == nullptr) return;
        if (outcome == vxi11::Service::Outcome::Wait) {
            if (!platform::quit_requested())
                QTimer::singleShot(kBusyRetryMs, this, [this, id] { serve(id); });
            return;
        }
        ran = true;
        c->has_waiting = false;
        c->waiting.clear();
        if (outcome == vxi11::Service::Outcome::Reply) {
            const std::string framed = vxi11::frame_record(reply);
            c->socket->write(framed.data(), static_cast<qint64>(framed.size()));
            if (c->socket->bytesToWrite() > kMaxUnreadReplies) {
                drop(id);  // it does not read what it asked for
                return;
            }
        }
    }
    QTimer::singleShot(0, this, [this, id] { serve(id); });  // more may wait: others go first
done:
    if (ran) qtview::LoopDriver::kick();
    closeIdle();
}

void Vxi11Server::drop(int id) {
    if (in_call_) {  // a call's dialog runs the loop: its link must outlive it
        QTimer::singleShot(0, this, [this, id] { drop(id); });
        return;
    }
    const auto found = std::find_if(connections_.begin(), connections_.end(),
                                    [id](const auto& c) { return c->id == id; });
    if (found == connections_.end()) return;
    service_.drop_connection(id);
    QTcpSocket* socket = (*found)->socket;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    connections_.erase(found);
}

void Vxi11Server::closeIdle() {
    if (in_call_) return;
    const double now = clock_->now();
    double next = service_.expire_idle(now, idle_limit_);
    std::vector<int> idle;
    for (const auto& c : connections_) {
        const double left = idle_limit_ - (now - c->last_active);
        if (left < 0 && !c->has_waiting)
            idle.push_back(c->id);
        else if (left >= 0)
            next = next < 0 ? left : std::min(next, left);
    }
    for (int id : idle) drop(id);
    if (next < 0)
        idle_timer_->stop();
    else
        idle_timer_->start(static_cast<int>(std::min(std::ceil(next * 1000) + 1, 2e9)));
}

namespace {

// Whether something accepts a connection on a loopback port.
bool loopback_port_answers(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0;
    ::close(fd);
    return ok;
}

// The port rpcbind gives for the VXI-11 core channel (0: none registered).
std::uint16_t registered_port() {
    sockaddr_in rpcbind{};
    rpcbind.sin_family = AF_INET;
    rpcbind.sin_port = htons(111);
    rpcbind.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return pmap_getport(&rpcbind, vxi11::kCoreProgram, vxi11::kVersion, IPPROTO_TCP);
}

quint16 registered_as = 0;  // the port this program registered, 0: none

}  // namespace

// rpcbind keeps one port per program number, so one VXI-11 server per host is found through it.
// A registration whose port still answers belongs to another running program and is left to it
// (this one then serves the raw socket only); one whose port is dead was left behind by a program
// that did not exit cleanly, and is replaced. (rpcbind itself is asked first: libtirpc's calls
// would otherwise wait out their timeouts when it is absent.)
bool register_with_portmapper(quint16 port, std::string* error) {
    if (!loopback_port_answers(111)) {
        *error = "rpcbind does not run (nothing on port 111)";
        return false;
    }
    if (pmap_set(vxi11::kCoreProgram, vxi11::kVersion, IPPROTO_TCP, port) == 0) {
        const std::uint16_t other = registered_port();
        if (other != 0 && other != port && loopback_port_answers(other)) {
            *error =
                "another program serves VXI-11 on this host (port " + std::to_string(other) + ")";
            return false;
        }
        pmap_unset(vxi11::kCoreProgram, vxi11::kVersion);
        if (pmap_set(vxi11::kCoreProgram, vxi11::kVersion, IPPROTO_TCP, port) == 0) {
            *error = "rpcbind refused the registration";
            return false;
        }
    }
    registered_as = port;
    return true;
}

// Withdraws the registration only while it is still this program's: another program may have
// replaced it after this one's port had stopped answering.
void unregister_from_portmapper() {
    if (registered_as != 0 && registered_port() == registered_as)
        pmap_unset(vxi11::kCoreProgram, vxi11::kVersion);
    registered_as = 0;
}

}  // namespace korvel::remote

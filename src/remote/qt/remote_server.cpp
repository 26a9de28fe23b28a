#include "remote/qt/remote_server.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <string>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/loop_driver.h"
#include "remote/session.h"
#include "scpi/line_framer.h"

namespace korvel::remote {

struct RemoteServer::Client {
    QTcpSocket* socket = nullptr;
    scpi::LineFramer framer;
    Session session;
    bool gone = false;  // disconnected: its complete lines still run, its replies go nowhere

    // Up to `size` received bytes into `buffer`; 0 when none are waiting. A client that left
    // in good order can still be read; one that was cut off (reset) has a closed socket.
    std::size_t read(char* buffer, std::size_t size) {
        if (!socket->isOpen()) return 0;
        const qint64 got = socket->read(buffer, static_cast<qint64>(size));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    bool holds_input() const {
        return framer.holds_line() || (socket->isOpen() && socket->bytesAvailable() > 0);
    }
};

namespace {

// Commands run only where an operator's click could: not inside a callback, not once an exit
// path has run. While a message box or file dialog waits, its event loop serves the clients, and
// the session answers queries but refuses what would change the unit or the windows (session.h).
bool ready_for_commands() {
    return (platform::dispatch_depth() == 0 || platform::modal_dialogs_open() > 0) &&
           !platform::quit_requested();
}

}  // namespace

RemoteServer::RemoteServer(QObject* parent) : QObject(parent) {
    listener_ = new QTcpServer(this);
    connect(listener_, &QTcpServer::newConnection, this, &RemoteServer::accept);
    turn_timer_ = new QTimer(this);
    turn_timer_->setSingleShot(true);
    connect(turn_timer_, &QTimer::timeout, this, &RemoteServer::turn);
}

RemoteServer::~RemoteServer() = default;

bool RemoteServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    if (listener_->listen(address, port)) return true;
    if (error != nullptr) *error = listener_->errorString();
    return false;
}

quint16 RemoteServer::port() const {
    return listener_->serverPort();
}

QHostAddress RemoteServer::address() const {
    return listener_->serverAddress();
}

int RemoteServer::clientCount() const {
    return static_cast<int>(clients_.size());
}

void RemoteServer::accept() {
    while (QTcpSocket* socket = listener_->nextPendingConnection()) {
        if (clientCount() >= kMaxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);
        socket->setReadBufferSize(kReadBuffer);
        // Replies go out at once, not held back for the client's acknowledgement of the last.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto client = std::make_unique<Client>();
        client->socket = socket;
        Client* c = client.get();
        clients_.push_back(std::move(client));
        connect(socket, &QTcpSocket::readyRead, this, [this] { schedule(0); });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] {
            c->gone = true;
            schedule(0);
        });
        emit clientCountChanged(clientCount());
    }
}

void RemoteServer::schedule(int delay_ms) {
    if (turn_timer_->isActive() && turn_timer_->remainingTime() <= delay_ms) return;
    turn_timer_->start(delay_ms);
}

void RemoteServer::turn() {
    // A turn reached from inside another (a callback waiting in an event loop of its own) waits.
    if (in_turn_ || !ready_for_commands()) {
        if (!platform::quit_requested()) schedule(kBusyRetryMs);
        return;
    }
    in_turn_ = true;
    turn_clock_.start();
    bool more = false;
    // Clients accepted while this turn runs wait for the next one.
    const std::size_t count = clients_.size();
    for (std::size_t i = 0; i < count; ++i) more = serve(*clients_[i]) || more;
    in_turn_ = false;
    dropGoneClients();
    if (more) schedule(0);
    // The commands may have moved the clock on or enabled timers: let the loop plan afresh.
    qtview::LoopDriver::kick();
}

bool RemoteServer::serve(Client& client) {
    std::string line;
    std::string replies;  // written at once: one packet for a turn's replies
    bool more = true;
    for (int served = 0; served < kLinesPerTurn;) {
        // Slow commands (each expander write pauses 20 ms on a real unit) share the turn's time.
        if (served > 0 && turn_clock_.elapsed() > kTurnBudgetMs) break;
        const scpi::LineFramer::Next next = client.framer.next(&line);
        if (next == scpi::LineFramer::Next::None) {
            char chunk[scpi::LineFramer::kMaxChunk];
            const std::size_t got = client.read(chunk, sizeof chunk);
            if (got == 0) {
                more = false;
                break;
            }
            client.framer.feed(std::string_view(chunk, got));
            continue;
        }
        ++served;
        if (next == scpi::LineFramer::Next::Overlong) {
            client.session.line_discarded();
            continue;
        }
        replies += client.session.run_line(line);
    }
    if (replies.empty() || client.gone) return more;
    client.socket->write(replies.data(), static_cast<qint64>(replies.size()));
    client.socket->flush();
    if (client.socket->bytesToWrite() > kMaxUnreadReplies) {
        // It does not read what it asked for: let it go rather than hold its replies.
        client.gone = true;
        client.socket->abort();
        return false;
    }
    return more;
}

void RemoteServer::dropGoneClients() {
    const auto before = clients_.size();
    std::erase_if(clients_, [](const std::unique_ptr<Client>& c) {
        // A client that left is dropped once its last complete lines have run.
        if (!c->gone || c->holds_input()) return false;
        c->socket->disconnect();
        c->socket->deleteLater();
        return true;
    });
    if (clients_.size() != before) emit clientCountChanged(clientCount());
}

}  // namespace korvel::remote

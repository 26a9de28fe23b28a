#include "remote/qt/remote_server.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string>

#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/qt/loop_driver.h"
#include "remote/session.h"
#include "scpi/line_framer.h"

namespace korvel::remote {

struct RemoteServer::Client {
    QTcpSocket* socket = nullptr;
    // A duplicate of the socket's descriptor; the replies go out through it (see the header).
    // -1 once the connection is closed.
    int reply_fd = -1;
    // Replies the system has not taken yet, and the notifier that waits for room for them.
    std::string outbox;
    std::unique_ptr<QSocketNotifier> writable;
    scpi::LineFramer framer;
    Session session;
    bool gone = false;  // input ended or cut off: its complete lines still run
    double last_active = 0;

    ~Client() { release(); }

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
    // Hands the system what it takes now; the rest waits for the notifier. A broken connection
    // (the client is gone for good) has nobody to read them: they are dropped.
    void send_out() {
        while (!outbox.empty() && reply_fd >= 0) {
            const ssize_t n =
                ::send(reply_fd, outbox.data(), outbox.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                outbox.erase(0, static_cast<std::size_t>(n));
            } else if (n < 0 && errno == EAGAIN) {
                break;
            } else if (n == 0 || errno != EINTR) {
                outbox.clear();
            }
        }
        if (writable) writable->setEnabled(!outbox.empty());
    }
    // Closes the connection (once Qt's descriptor is closed too) and forgets what waits for it.
    void release() {
        writable.reset();
        outbox.clear();
        if (reply_fd >= 0) ::close(reply_fd);
        reply_fd = -1;
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

RemoteServer::RemoteServer(QObject* parent, const platform::Clock* idle_clock)
    : QObject(parent), clock_(idle_clock != nullptr ? idle_clock : &wall_clock_) {
    listener_ = new QTcpServer(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 3, 0)
    listener_->setListenBacklogSize(kListenBacklog);
#endif
    connect(listener_, &QTcpServer::newConnection, this, &RemoteServer::accept);
    turn_timer_ = new QTimer(this);
    turn_timer_->setSingleShot(true);
    connect(turn_timer_, &QTimer::timeout, this, &RemoteServer::turn);
    idle_timer_ = new QTimer(this);
    idle_timer_->setSingleShot(true);
    connect(idle_timer_, &QTimer::timeout, this, &RemoteServer::closeIdleClients);
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

void RemoteServer::setIdleLimit(double seconds) {
    idle_limit_ = seconds;
    closeIdleClients();
}

void RemoteServer::accept() {
    closeIdleClients();
    while (QTcpSocket* socket = listener_->nextPendingConnection()) {
        const int reply_fd =
            ::fcntl(static_cast<int>(socket->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
        const auto open = [this] {
            return std::count_if(clients_.begin(), clients_.end(),
                                 [](const auto& c) { return c->reply_fd >= 0; });
        };
        if (reply_fd < 0 || (open() >= kMaxClients && !closeLongestIdle())) {
            if (reply_fd >= 0) ::close(reply_fd);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);
        socket->setReadBufferSize(kReadBuffer);
        // Replies go out at once, not held back for the client's acknowledgement of the last.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto client = std::make_unique<Client>();
        Client* c = client.get();
        c->socket = socket;
        c->reply_fd = reply_fd;
        c->last_active = clock_->now();
        c->writable = std::make_unique<QSocketNotifier>(reply_fd, QSocketNotifier::Write);
        c->writable->setEnabled(false);
        connect(c->writable.get(), &QSocketNotifier::activated, this, [this, c] {
            c->send_out();
            if (c->gone && c->outbox.empty()) schedule(0);  // all said: it can go
        });
        clients_.push_back(std::move(client));
        connect(socket, &QTcpSocket::readyRead, this, [this] { schedule(0); });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] {
            c->gone = true;
            schedule(0);
        });
        emit clientCountChanged(clientCount());
    }
    closeIdleClients();  // plans the next look with the newcomers counted
}

void RemoteServer::close(Client& client) {
    client.gone = true;
    client.socket->abort();
    client.release();
}

void RemoteServer::closeIdleClients() {
    const double now = clock_->now();
    double next = -1;  // seconds until the next connection may be idle too long
    for (const auto& c : clients_) {
        if (c->reply_fd < 0 || c->holds_input()) continue;
        const double left = idle_limit_ - (now - c->last_active);
        if (left < 0)
            close(*c);
        else
            next = next < 0 ? left : std::min(next, left);
    }
    // In the middle of a turn (a command's dialog runs the loop) the list must stay as it is.
    if (!in_turn_) dropGoneClients();
    if (next < 0)
        idle_timer_->stop();
    else
        idle_timer_->start(static_cast<int>(std::min(std::ceil(next * 1000) + 1, 2e9)));
}

bool RemoteServer::closeLongestIdle() {
    Client* longest = nullptr;
    for (const auto& c : clients_) {
        if (c->reply_fd < 0 || c->holds_input()) continue;
        if (longest == nullptr || c->last_active < longest->last_active) longest = c.get();
    }
    if (longest == nullptr) return false;
    close(*longest);
    if (!in_turn_) dropGoneClients();
    return true;
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
    closeIdleClients();  // and drops the clients that left
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
            client.last_active = clock_->now();
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
    if (replies.empty() || client.reply_fd < 0) return more;
    client.last_active = clock_->now();
    client.outbox += replies;
    client.send_out();
    if (client.outbox.size() > static_cast<std::size_t>(kMaxUnreadReplies)) {
        // It does not read what it asked for: let it go rather than hold its replies.
        close(client);
        return false;
    }
    return more;
}

void RemoteServer::dropGoneClients() {
    const auto before = clients_.size();
    std::erase_if(clients_, [](const std::unique_ptr<Client>& c) {
        // A client that left is dropped once its last complete lines have run and their
        // replies have gone out.
        if (!c->gone || c->holds_input() || !c->outbox.empty()) return false;
        c->socket->disconnect();
        c->socket->deleteLater();
        return true;
    });
    if (clients_.size() != before) emit clientCountChanged(clientCount());
}

}  // namespace korvel::remote

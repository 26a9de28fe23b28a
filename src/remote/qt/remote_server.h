// The SCPI server: plain text lines over TCP (the raw-socket port of lab instruments, PyVISA's
// TCPIP::host::port::SOCKET), served on the event loop's thread between the callbacks and timer
// ticks, so a command never runs inside either.
//
// Every client has its own session (and error queue). Clients are served in turn, a bounded
// number of lines each, so a client that floods the server cannot keep the windows from
// answering; nothing runs while a callback is in progress (unless a message box or file dialog it
// opened waits: then queries answer and changes are refused), or once the program is leaving. What each client may cost is bounded: 64 KiB of received bytes waiting
// (then TCP holds the sender back), one line of at most 4096 bytes, and 64 KiB of replies that the
// client has not read: a client that does not read its replies is disconnected.
//
// The connections are few (kMaxClients), so none may be held for nothing: a connection idle for
// longer than the idle limit (300 s unless set) is closed, and when a client arrives with every
// connection taken, the one idle longest makes room for it. Idle means no byte received and no
// reply sent; a connection with a received command still waiting to run is never closed for it.
//
// A client may stop sending (shut down its sending side) right after its last command and wait
// for the replies: every complete line received before the end of its input is answered, then the
// connection is closed. Qt closes its own socket descriptor on the end of input, so each client's
// replies go out through a duplicate descriptor that keeps the connection open until then.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "base/clock.h"

class QTcpServer;
class QTcpSocket;
class QTimer;

namespace korvel::remote {

class RemoteServer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxClients = 32;
    static constexpr qint64 kReadBuffer = 64 * 1024;
    static constexpr qint64 kMaxUnreadReplies = 64 * 1024;
    static constexpr int kLinesPerTurn = 64;
    // After this long in one turn each further client gets one line, then the loop runs again.
    static constexpr qint64 kTurnBudgetMs = 20;
    // How soon to look again while a dialog or callback keeps commands waiting.
    static constexpr int kBusyRetryMs = 50;
    static constexpr double kDefaultIdleSeconds = 300;
    // Connections the system may hold completed for us before they are taken (Linux caps it at
    // net.core.somaxconn): room for a storm of clients arriving at once, none of which then waits
    // for a SYN to be sent again a second later.
    static constexpr int kListenBacklog = 1024;

    // Idle time is measured on `idle_clock` (not owned; nullptr: the wall clock).
    explicit RemoteServer(QObject* parent = nullptr, const platform::Clock* idle_clock = nullptr);
    ~RemoteServer() override;

    // Starts listening; on failure `error` says why. Port 0 picks a free port (see port()).
    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    QHostAddress address() const;
    int clientCount() const;
    // Connections idle for longer than `seconds` are closed.
    void setIdleLimit(double seconds);

  signals:
    void clientCountChanged(int count);

  private:
    struct Client;

    void accept();
    // Closes the connections idle beyond the limit and plans the next look.
    void closeIdleClients();
    // Closes the connection idle longest that has no command waiting; false when there is none.
    bool closeLongestIdle();
    void close(Client& client);
    void schedule(int delay_ms);
    void turn();
    // Serves up to kLinesPerTurn lines; true when more may be waiting.
    bool serve(Client& client);
    void dropGoneClients();

    QTcpServer* listener_ = nullptr;
    QTimer* turn_timer_ = nullptr;
    QTimer* idle_timer_ = nullptr;
    platform::RealClock wall_clock_;
    const platform::Clock* clock_;
    double idle_limit_ = kDefaultIdleSeconds;
    std::vector<std::unique_ptr<Client>> clients_;
    QElapsedTimer turn_clock_;
    bool in_turn_ = false;
};

}  // namespace korvel::remote

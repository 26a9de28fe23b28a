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
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

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

    explicit RemoteServer(QObject* parent = nullptr);
    ~RemoteServer() override;

    // Starts listening; on failure `error` says why. Port 0 picks a free port (see port()).
    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    QHostAddress address() const;
    int clientCount() const;

  signals:
    void clientCountChanged(int count);

  private:
    struct Client;

    void accept();
    void schedule(int delay_ms);
    void turn();
    // Serves up to kLinesPerTurn lines; true when more may be waiting.
    bool serve(Client& client);
    void dropGoneClients();

    QTcpServer* listener_ = nullptr;
    QTimer* turn_timer_ = nullptr;
    std::vector<std::unique_ptr<Client>> clients_;
    QElapsedTimer turn_clock_;
    bool in_turn_ = false;
};

}  // namespace korvel::remote

// The VXI-11 server (TCPIP::host::INSTR, the default of every VISA): the core channel on a port
// of its own, registered with the system's rpcbind so that clients asking the portmapper find
// it, and the abort channel on another. ONC RPC over TCP with hand-written XDR
// (vxi11_codec.h), served on the event loop's thread like the raw socket: a call's commands run
// between window events, never inside a callback, and wait while one is in progress.
//
// The links and their sessions are vxi11_service.h's. Each connection's bytes are bounded: a
// record longer than kMaxRecord closes it, and so does leaving more than kMaxUnreadReplies of
// replies unread. At most kMaxConnections connections; connections and links idle beyond the
// idle limit are closed.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "remote/vxi11_service.h"

class QTcpServer;
class QTcpSocket;
class QTimer;

namespace korvel::remote {

class Vxi11Server : public QObject {
    Q_OBJECT
  public:
    static constexpr std::size_t kMaxRecord = 64 * 1024 + 512;
    static constexpr qint64 kMaxUnreadReplies = 256 * 1024;
    static constexpr int kMaxConnections = 64;
    static constexpr int kRecordsPerTurn = 64;
    static constexpr int kBusyRetryMs = 50;

    explicit Vxi11Server(QObject* parent = nullptr, const platform::Clock* idle_clock = nullptr);
    ~Vxi11Server() override;

    // Listens for both channels on `address` (free ports); on failure `error` says why.
    bool listen(const QHostAddress& address, QString* error);
    quint16 port() const;
    void setIdleLimit(double seconds);
    int linkCount() const { return service_.link_count(); }

  private:
    struct Connection;

    void accept(QTcpServer* listener);
    void serve(int id);
    void drop(int id);
    void closeIdle();
    Connection* find(int id);

    QTcpServer* core_ = nullptr;
    QTcpServer* abort_ = nullptr;
    QTimer* idle_timer_ = nullptr;
    platform::RealClock wall_clock_;
    const platform::Clock* clock_;
    double idle_limit_ = 300;
    vxi11::Service service_;
    std::vector<std::unique_ptr<Connection>> connections_;
    int next_id_ = 1;
    bool in_call_ = false;
};

// Registers the core channel's TCP port with rpcbind (the portmapper on port 111); false with
// the reason in `error` when rpcbind does not run or refuses. A registration left by an earlier
// run is replaced.
bool register_with_portmapper(quint16 port, std::string* error);
void unregister_from_portmapper();

}  // namespace korvel::remote

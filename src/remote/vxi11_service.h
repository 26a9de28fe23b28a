// The VXI-11 instrument behind the RPC records: its links, each with its own SCPI session (the
// same as a raw-socket client's), and the lock. No sockets here: the server (qt/vxi11_server.h)
// cuts a connection's bytes into records and hands each in, and sends back what it answers.
//
// A device_write with END runs the program message its writes assembled, line by line as the
// raw socket would; its replies wait for device_read. A message's replies not read before the
// next message ends are thrown away with -410 (Query INTERRUPTED), as IEEE 488.2 has it, so
// what waits for a link is bounded by one message. Commands run at once, so a device_read with
// nothing to read answers with the I/O timeout error without waiting out its timeout.
//
// Bounds: a message (and a device_write's data) of at most kMaxMessage bytes; a larger one is
// refused with the parameter error and nothing of it runs. At most kMaxLinks links: a newcomer
// destroys the link idle longest. A connection that ends destroys its links.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "remote/session.h"

namespace korvel::remote::vxi11 {

class Service {
  public:
    static constexpr std::size_t kMaxMessage = 4096;
    static constexpr int kMaxLinks = 32;
    // Longest device_read answer; a larger request gets the rest on the next read.
    static constexpr std::uint32_t kMaxReadChunk = 64 * 1024;

    void set_abort_port(std::uint16_t port) { abort_port_ = port; }

    enum class Outcome { Reply, NoReply, Wait };
    // Handles one record from connection `connection`. Wait: a message is to run but commands
    // cannot run now (`commands_ready` false): nothing changed, hand the record in again later.
    Outcome handle(int connection, std::string_view record, bool commands_ready, double now,
                   std::string* reply);
    // The connection ended: its links go.
    void drop_connection(int connection);
    // Destroys the links idle for longer than `limit` seconds; returns the seconds until the
    // next may be, or -1 with none left.
    double expire_idle(double now, double limit);
    int link_count() const { return static_cast<int>(links_.size()); }

  private:
    struct Link {
        int connection = 0;
        std::unique_ptr<Session> session;
        std::string message;  // device_write data so far, waiting for END
        std::string output;   // replies not yet read
        double last_active = 0;
    };

    std::string create_link(int connection, std::string_view args, double now, bool* garbage);
    // The link of a call, refreshed; nullptr with `error` set when it is unknown or locked by
    // another link.
    Link* use(std::int32_t id, double now, std::int32_t* error);
    void destroy(std::int32_t id);
    void run_message(Link& link);

    std::map<std::int32_t, Link> links_;
    std::int32_t next_id_ = 1;
    std::int32_t lock_owner_ = 0;  // 0: unlocked
    std::uint16_t abort_port_ = 0;
};

}  // namespace korvel::remote::vxi11

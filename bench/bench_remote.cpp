// Remote control over loopback: queries per second answered by the SCPI server, one at a time
// (each waits for its reply, as a script's query() does) and pipelined (a batch sent, then its
// replies read), and the cost of one pattern change end to end: the command through the server,
// the callbacks and the I2C traffic on the simulated unit, to the *OPC? reply. The server runs in
// a thread of its own with its event loop, holding the program's state as the window's thread
// does; the benchmark's thread is the client, on a plain blocking socket.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QThread>
#include <future>
#include <memory>
#include <string>

#include "app/state.h"
#include "app/supervision.h"
#include "front_panel_setup.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/usb_link.h"
#include "platform/model_query.h"
#include "platform/user_interface.h"
#include "remote/qt/remote_server.h"
#include "resource/main_uir.h"

namespace {

using namespace korvel;

// The program's thread: a started front panel (unit open) and the server, on its event loop.
class ServerThread : public QThread {
  public:
    quint16 start_and_wait() {
        start();
        return port_.get_future().get();
    }

  protected:
    void run() override {
        bench::fresh_front_panel();
        app::CBTimer(app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
        remote::RemoteServer server;
        QString error;
        server.listen(QHostAddress::LocalHost, 0, &error);
        port_.set_value(server.port());
        exec();
    }

  private:
    std::promise<quint16> port_;
};

// A blocking client connection.
class Client {
  public:
    explicit Client(quint16 port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    bool send(const std::string& text) {
        std::size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t n = ::send(fd_, text.data() + sent, text.size() - sent, 0);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Reads until `lines` reply lines have come; false on a closed connection.
    bool receive_lines(int lines) {
        while (lines > 0) {
            for (std::size_t p; lines > 0 && (p = pending_.find('\n')) != std::string::npos;) {
                pending_.erase(0, p + 1);
                --lines;
            }
            if (lines == 0) break;
            char buffer[65536];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) return false;
            pending_.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

  private:
    int fd_ = -1;
    std::string pending_;
};

ServerThread* g_server = nullptr;
quint16 g_port = 0;

void BM_query_round_trip(benchmark::State& state) {
    Client c(g_port);
    if (!c.ok()) return state.SkipWithError("no connection");
    for (auto _ : state) {
        if (!c.send("SOUR:AMPL?\n") || !c.receive_lines(1))
            return state.SkipWithError("connection lost");
    }
    state.SetItemsProcessed(state.iterations());  // items/s = queries per second
}
BENCHMARK(BM_query_round_trip)->UseRealTime();

void BM_query_pipelined(benchmark::State& state) {
    const int batch = static_cast<int>(state.range(0));
    std::string lines;
    for (int i = 0; i < batch; ++i) lines += "*IDN?\n";
    Client c(g_port);
    if (!c.ok()) return state.SkipWithError("no connection");
    for (auto _ : state) {
        if (!c.send(lines) || !c.receive_lines(batch))
            return state.SkipWithError("connection lost");
    }
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_query_pipelined)->Arg(100)->UseRealTime();

// Alternating two patterns, so that every change reaches the expander (read, write, read back).
// calls_per_op is the USB transactions a real unit would take, virtual_pause_ms_per_op the
// pauses it would wait (20 ms after each expander register write).
void BM_pattern_change_end_to_end(benchmark::State& state) {
    Client c(g_port);
    if (!c.ok()) return state.SkipWithError("no connection");
    bool odd = false;
    std::uint64_t calls = 0;
    double paused = 0.0;
    for (auto _ : state) {
        odd = !odd;
        const std::uint64_t calls_before = sim::usb().total_calls();
        const double paused_before = ftdi::sim_clock().paused_total();
        if (!c.send(odd ? "SOUR:PATT PRBS15;*OPC?\n" : "SOUR:PATT PRBS7;*OPC?\n") ||
            !c.receive_lines(1))
            return state.SkipWithError("connection lost");
        // The reply came after the server's work: its counters are settled.
        calls += sim::usb().total_calls() - calls_before;
        paused += ftdi::sim_clock().paused_total() - paused_before;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["calls_per_op"] = static_cast<double>(calls) / n;
    state.counters["virtual_pause_ms_per_op"] = paused * 1000.0 / n;
}
BENCHMARK(BM_pattern_change_end_to_end)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ServerThread server;
    g_server = &server;
    g_port = server.start_and_wait();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    server.quit();
    server.wait();
    return 0;
}

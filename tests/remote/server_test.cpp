// The SCPI server over real loopback sockets: clients served in turn, and every kind of bad
// client (overlong lines, binary junk, half a line, a thousand short visits, one that never reads
// its replies) handled without harm to the program or to the other clients; idle clients make
// room for new ones.
#include <sys/socket.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "base/clock.h"
#include "remote/qt/remote_server.h"
#include "remote_fixture.h"

using namespace korvel::app;
using korvel::remote::RemoteServer;
using korvel::testing::expander_pins;

namespace {

// Waits for events (never sleeps) until `done` holds; false when it did not within `ms`.
bool wait_until(const std::function<bool()>& done, int ms = 20000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

class ServerTest : public RemoteTest {
  protected:
    void SetUp() override {
        RemoteTest::SetUp();
        QString error;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0, &error)) << error.toStdString();
    }
    void TearDown() override {
        clients.clear();
        RemoteTest::TearDown();
    }

    QTcpSocket& connect_client() {
        clients.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket& s = *clients.back();
        s.connectToHost(QHostAddress::LocalHost, server.port());
        EXPECT_TRUE(s.waitForConnected(10000));
        return s;
    }
    static void write(QTcpSocket& s, const std::string& bytes) {
        s.write(bytes.data(), static_cast<qint64>(bytes.size()));
        s.flush();
    }
    // Sends a line and waits for the reply line (without its "\n"); "<none>" on time-out.
    static std::string ask(QTcpSocket& s, const std::string& line) {
        write(s, line + "\n");
        if (!wait_until([&] { return s.canReadLine(); })) return "<none>";
        std::string reply = s.readLine().toStdString();
        reply.pop_back();
        return reply;
    }

    korvel::platform::VirtualClock idle_clock;
    RemoteServer server{nullptr, &idle_clock};
    std::vector<std::unique_ptr<QTcpSocket>> clients;
};

TEST_F(ServerTest, ClientsAreServedInTurnEachWithItsOwnErrorQueue) {
    QTcpSocket& a = connect_client();
    QTcpSocket& b = connect_client();
    EXPECT_EQ(ask(a, "*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0");
    write(a, "SOUR:AMPL 999\n");
    EXPECT_EQ(ask(b, "SOUR:PATT PRBS15;PATT?"), "PRBS15");
    EXPECT_EQ(ask(b, "SYST:ERR?"), "0,\"No error\"");
    EXPECT_EQ(ask(a, "SYST:ERR?").substr(0, 4), "-222");
    EXPECT_EQ(ask(a, "SOUR:PATT?"), "PRBS15");  // one instrument: both see its state
    EXPECT_EQ(expander_pins(7) & 0xFF, 4);
    EXPECT_TRUE(wait_until([&] { return server.clientCount() == 2; }));
}

TEST_F(ServerTest, LinesAsTheyArriveInPiecesOrManyAtOnce) {
    QTcpSocket& c = connect_client();
    write(c, "*ID");
    write(c, "N?\r");
    write(c, "\n*OPC?\n*OPC?\nSOUR:PATT?\n");
    ASSERT_TRUE(wait_until([&] { return c.bytesAvailable() >= 36; }));
    EXPECT_EQ(c.readAll().toStdString(), "MORLIDEX,KORVEL,1042,1.4.0\n1\n1\nPRBS9\n");
}

TEST_F(ServerTest, AnOverlongLineIsDiscardedAndTheConnectionStaysUsable) {
    QTcpSocket& c = connect_client();
    write(c, "SOUR:PATT PRBS31;" + std::string(70000, ' ') + "\n");
    EXPECT_EQ(ask(c, "*OPC?"), "1");
    EXPECT_EQ(ask(c, "SYST:ERR?"), "-100,\"Command error;line longer than 4096 bytes discarded\"");
    EXPECT_EQ(ask(c, "SOUR:PATT?"), "PRBS9");  // nothing of the long line ran
}

TEST_F(ServerTest, BinaryJunkNeitherCrashesNorStopsTheSession) {
    QTcpSocket& c = connect_client();
    std::mt19937 random(7);
    std::string junk(256 * 1024, '\0');
    for (char& ch : junk) ch = static_cast<char>(random() & 0xFF);
    write(c, junk + "\n");
    EXPECT_EQ(ask(c, "*CLS;*OPC?"), "1");
    EXPECT_EQ(ask(c, "*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0");
}

TEST_F(ServerTest, CompleteLinesOfALeavingClientRunItsHalfLineDoesNot) {
    bool left = false;
    QObject::connect(&server, &RemoteServer::clientCountChanged, [&](int n) { left = n == 0; });
    QTcpSocket& c = connect_client();
    write(c, "SOUR:PATT PRBS15\nSOUR:PATT PRBS31");
    c.disconnectFromHost();
    ASSERT_TRUE(wait_until([&] { return left; }));
    EXPECT_EQ(expander_pins(7) & 0xFF, 4);
    EXPECT_EQ(value(main_panel, PANELMAIN_DATA_SELECT), 4);
}

TEST_F(ServerTest, AThousandShortVisitsLeaveNothingBehind) {
    for (int i = 0; i < 1000; ++i) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, server.port());
        ASSERT_TRUE(s.waitForConnected(10000));
        if (i % 2 == 0) write(s, "*IDN");  // some leave half a line behind
        s.abort();
        if (i % 50 == 0) QCoreApplication::processEvents();
    }
    ASSERT_TRUE(wait_until([&] { return server.clientCount() == 0; }));
    QTcpSocket& c = connect_client();
    EXPECT_EQ(ask(c, "*OPC?"), "1");
}

TEST_F(ServerTest, AClientIdleBeyondTheLimitIsDisconnected) {
    server.setIdleLimit(10);
    ASSERT_EQ(ask(connect_client(), "*OPC?"), "1");
    QTcpSocket& busy = connect_client();
    idle_clock.advance(9);
    ASSERT_EQ(ask(busy, "*OPC?"), "1");
    EXPECT_EQ(server.clientCount(), 2);
    idle_clock.advance(2);
    ASSERT_EQ(ask(busy, "*OPC?"), "1");
    EXPECT_EQ(server.clientCount(), 1);
}

TEST_F(ServerTest, AClientThatStopsSendingGetsEveryReplyBeforeTheConnectionCloses) {
    for (int i = 0; i < 8; ++i) {  // as `nc -N` does: the commands, at once the end of its input
        QTcpSocket& c = connect_client();
        write(c, "*IDN?\n*OPC?\nSOUR:PATT?\n");
        ::shutdown(static_cast<int>(c.socketDescriptor()), SHUT_WR);
    }
    for (const auto& c : clients) {
        ASSERT_TRUE(wait_until([&] { return c->state() == QAbstractSocket::UnconnectedState; }));
        EXPECT_EQ(c->readAll().toStdString(), "MORLIDEX,KORVEL,1042,1.4.0\n1\nPRBS9\n");
    }
}

TEST_F(ServerTest, AClientThatNeverReadsIsDisconnectedWhileOthersAreServed) {
    QTcpSocket& deaf = connect_client();
    deaf.setReadBufferSize(1);  // takes at most a byte off the wire: replies pile up
    QTcpSocket& other = connect_client();
    bool deaf_gone = false;
    QObject::connect(&deaf, &QTcpSocket::disconnected, [&] { deaf_gone = true; });
    std::string flood;
    for (int i = 0; i < 20000; ++i) flood += "*IDN?;*IDN?;*IDN?;*IDN?\n";
    int rounds = 0;
    while (!deaf_gone && rounds++ < 40) {
        write(deaf, flood);
        // The window stays responsive meanwhile.
        ASSERT_EQ(ask(other, "*OPC?"), "1");
    }
    EXPECT_TRUE(wait_until([&] { return deaf_gone; }));
    EXPECT_EQ(ask(other, "SOUR:PATT?"), "PRBS9");
}

// A host whose message box keeps its own event loop running (as a real one does) until the test
// ends it; meanwhile the program is in the middle of whatever showed the box.
class ModalHost : public korvel::platform::HeadlessHost {
  public:
    void message_popup(std::string_view, std::string_view) override {
        wait_until([&] { return close_when(); }, 20000);
    }
    std::function<bool()> close_when;
};

TEST_F(ServerTest, WhileAMessageBoxWaitsQueriesAnswerAndChangesAreRefused) {
    QTcpSocket& c = connect_client();
    ASSERT_EQ(ask(c, "*OPC?"), "1");
    ModalHost host;
    korvel::platform::set_host(&host);
    int polls = 0;
    host.close_when = [&] {
        // The box's loop runs the sockets: the server serves the client meanwhile.
        // Status commands touch only the session; *TST? drives the bus, so it waits too.
        if (polls++ == 0) write(c, "SOUR:PATT PRBS23;PATT?\n*ESE 4;*ESE?;PATT?;*TST?\nSYST:ERR?\n");
        return polls > 2000 || c.bytesAvailable() >= 65;
    };
    MessagePopup("Error", "waiting for the operator");
    EXPECT_EQ(c.readAll().toStdString(),
              "4;PRBS9\n-221,\"Settings conflict;Error: waiting for the operator\"\n");
    EXPECT_EQ(expander_pins(7) & 0xFF, 2);
    korvel::platform::set_host(nullptr);
    EXPECT_EQ(ask(c, "SOUR:PATT PRBS23;PATT?"), "PRBS23");
}

TEST_F(ServerTest, AtTheLimitTheClientIdleLongestWithNoCommandWaitingMakesRoom) {
    for (int i = 0; i < RemoteServer::kMaxClients; ++i, idle_clock.advance(1))
        ASSERT_EQ(ask(connect_client(), "*OPC?"), "1");
    // The first client, idle longest, sends a command that waits for the operator's message box:
    // the second, idle next longest, makes room for a newcomer instead.
    ModalHost host;
    korvel::platform::set_host(&host);
    int polls = 0;
    host.close_when = [&] {
        if (++polls == 1) write(*clients[0], "SOUR:PATT?\n");
        if (polls == 20) connect_client();
        return (polls > 20 && clients[1]->state() == QAbstractSocket::UnconnectedState) ||
               polls > 2000;
    };
    MessagePopup("Error", "waiting for the operator");
    korvel::platform::set_host(nullptr);
    EXPECT_EQ(clients[1]->state(), QAbstractSocket::UnconnectedState);
    EXPECT_EQ(ask(*clients.back(), "*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0");
    ASSERT_TRUE(wait_until([&] { return clients[0]->canReadLine(); }));
    EXPECT_EQ(clients[0]->readLine().toStdString(), "PRBS9\n");
}

}  // namespace

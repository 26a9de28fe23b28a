#include "remote_control.h"

#include <QHostAddress>
#include <cstdio>

#include "remote/file_root.h"
#include "remote/qt/dns_sd_publisher.h"
#include "remote/qt/vxi11_server.h"

namespace korvel::gui {

namespace {

// VXI-11 beside the raw socket, owned by it; without rpcbind no client could find its port, so
// it is not served then. True when it is.
bool start_vxi11(const Options& options, const QHostAddress& address,
                 remote::RemoteServer* socket_server) {
    auto* server = new remote::Vxi11Server(socket_server);
    server->setIdleLimit(options.remote_idle_seconds);
    QString why;
    std::string error;
    if (!server->listen(address, &why)) {
        error = why.toStdString();
    } else if (remote::register_with_portmapper(server->port(), &error)) {
        std::fprintf(stderr, "korvel: remote control (VXI-11) listening on port %u, as inst0\n",
                     static_cast<unsigned>(server->port()));
        return true;
    }
    std::fprintf(stderr, "korvel: no VXI-11 (TCPIP::host::INSTR), raw socket only: %s\n",
                 error.c_str());
    delete server;
    return false;
}

}  // namespace

std::unique_ptr<remote::RemoteServer> start_remote_control(const Options& options,
                                                           std::string* error) {
    QHostAddress address;
    if (options.remote_bind == "localhost") {
        address = QHostAddress(QHostAddress::LocalHost);
    } else if (!address.setAddress(QString::fromStdString(options.remote_bind))) {
        *error = "--remote-bind: " + options.remote_bind + " is not an IP address";
        return nullptr;
    }
    if (!remote::set_file_root(options.remote_files, error)) return nullptr;
    auto server = std::make_unique<remote::RemoteServer>();
    server->setIdleLimit(options.remote_idle_seconds);
    QString why;
    if (!server->listen(address, static_cast<quint16>(options.remote_port), &why)) {
        *error = "cannot listen on " + options.remote_bind + " port " +
                 std::to_string(options.remote_port) + ": " + why.toStdString();
        return nullptr;
    }
    const QString where = address.protocol() == QAbstractSocket::IPv6Protocol
                              ? QStringLiteral("[%1]").arg(server->address().toString())
                              : server->address().toString();
    const std::string files =
        ", without authentication: clients can read and write files under " + remote::file_root();
    std::fprintf(stderr, "korvel: remote control (SCPI) listening on %s:%u%s\n", qPrintable(where),
                 static_cast<unsigned>(server->port()), address.isLoopback() ? "" : files.c_str());
    const bool vxi11 = start_vxi11(options, address, server.get());
    if (options.announce)
        remote::announce_by_dns_sd(server.get(), options.remote_bind, server->port(), vxi11);
    return server;
}

}  // namespace korvel::gui

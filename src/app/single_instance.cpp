#include "app/single_instance.h"

#include "core/debug_log.h"
#include "platform/open_command.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace tlx::app {
namespace {

// An open command longer than this is not one.
constexpr qint64 kMaxCommand = 64 * 1024;

} // namespace

QString instanceName(const std::filesystem::path& userFolder) {
    // FNV-1a of the folder: two copies of the program with their own settings run side by side.
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : userFolder.string())
        hash = (hash ^ c) * 1099511628211ull;
    return QString("tellurix-%1-%2").arg(getuid()).arg(hash, 16, 16, QChar('0'));
}

bool handToRunningInstance(const QString& name, const std::vector<std::string>& files, int timeoutMs) {
    std::vector<std::string> paths;
    for (const std::string& f : files) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(f, ec);
        paths.push_back(ec ? f : absolute.lexically_normal().string());
    }
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(QByteArray::fromStdString(openCommandText(paths) + "\n"));
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The running program answers once it has taken the command.
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    return socket.readLine().trimmed() == "OK";
}

InstanceServer::InstanceServer(const QString& name, std::function<void(const std::vector<std::string>&)> open)
    : server_(new QLocalServer(this)), open_(std::move(open)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a program that crashed would block the name.
    if (!server_->listen(name)) {
        QLocalServer::removeServer(name);
        if (!server_->listen(name))
            logFormat("single instance: %s", server_->errorString().toUtf8().constData());
    }
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto take = [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxCommand) socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kMaxCommand).trimmed();
            const std::vector<std::string> paths = parseOpenCommand(line.toStdString());
            socket->write(paths.empty() ? "REFUSED\n" : "OK\n");
            socket->flush();
            socket->disconnectFromServer();
            if (!paths.empty()) open_(paths);
        };
        connect(socket, &QLocalSocket::readyRead, this, take);
        // A client that sends nothing is not waited for.
        QTimer::singleShot(2000, socket, [socket] { socket->abort(); });
        // The command may have arrived with the connection.
        if (socket->canReadLine()) take();
    }
}

} // namespace tlx::app

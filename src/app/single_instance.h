// One running program per user and settings folder: a second start hands its files to the running
// one as an open command over a local socket (2000 ms time-out) and ends.
#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QLocalServer;

namespace tlx::app {

// The socket name of the program that keeps its settings in `userFolder`.
QString instanceName(const std::filesystem::path& userFolder);

// Sends "[open(\"...\")]" with the absolute paths of `files`; true when a running program took it.
bool handToRunningInstance(const QString& name, const std::vector<std::string>& files, int timeoutMs = 2000);

// The running program's side: each accepted open command calls `open` with its paths.
class InstanceServer : public QObject {
    Q_OBJECT
  public:
    InstanceServer(const QString& name, std::function<void(const std::vector<std::string>&)> open);

  private:
    void accept();

    QLocalServer* server_;
    std::function<void(const std::vector<std::string>&)> open_;
};

} // namespace tlx::app

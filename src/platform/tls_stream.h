// TLS over a connected TcpSocket with OpenSSL: the server's certificate is verified against the
// system's certificate store (and an optional private CA file) and must name the host that was
// asked for. The socket stays non-blocking; every wait is cut into short slices that honour the
// time-out and the cancel flag, as the plain socket does.
#pragma once

#include "platform/tcp_socket.h"

#include <atomic>
#include <memory>
#include <string>

namespace tlx {

struct TlsOptions {
    std::string caFile; // a PEM file of extra trusted certificates; empty: the system's store only
};

class TlsStream : public ByteStream {
  public:
    // Borrows the connected socket, which must outlive the stream.
    explicit TlsStream(TcpSocket& socket, const std::atomic<bool>* cancel = nullptr);
    ~TlsStream() override;
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // The client handshake; Error with errorText() when the certificate does not verify for host.
    NetStatus handshake(const std::string& host, const TlsOptions& options, int timeoutMs);
    // Sends the closing alert (best effort, short wait).
    void shutdown();

    NetStatus read(char* buffer, std::size_t size, std::size_t& bytes, int timeoutMs) override;
    NetStatus write(std::string_view data, int timeoutMs) override;
    std::string errorText() const override { return error_; }

  private:
    struct Session;
    NetStatus waitAfter(int sslResult, int timeoutMs, const char* what);

    TcpSocket& socket_;
    const std::atomic<bool>* cancel_;
    std::unique_ptr<Session> session_;
    std::string error_;
};

} // namespace tlx

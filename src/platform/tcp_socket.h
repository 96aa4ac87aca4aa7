// TCP connections for the network services and mail: name look-up through getaddrinfo (IPv4 and
// IPv6), connect, read and write with time-outs, bounded line reads, and a listening socket for
// active-mode FTP. Every wait is cut into short slices so that a cancel flag set by another thread
// ends it promptly.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace tlx {

enum class NetStatus { Ok, Timeout, Closed, Cancelled, Error };

// "host", "host:port", "[v6addr]" or "[v6addr]:port"; a bare IPv6 address (more than one ':')
// has no port. False when a port is given but is not 1..65535.
bool splitHostPort(std::string_view text, int defaultPort, std::string& host, int& port);

// What a connection reads from and writes to: a plain socket or a TLS session over one.
class ByteStream {
  public:
    virtual ~ByteStream() = default;
    // Reads what is there (at most size bytes), waiting up to timeoutMs. Ok with bytes > 0, or
    // Closed at the end of the stream.
    virtual NetStatus read(char* buffer, std::size_t size, std::size_t& bytes, int timeoutMs) = 0;
    // Writes all of data; timeoutMs limits each wait for room in the send buffer.
    virtual NetStatus write(std::string_view data, int timeoutMs) = 0;
    // The text of the last failure ("Connection reset by peer", a TLS error …).
    virtual std::string errorText() const = 0;
};

class TcpSocket : public ByteStream {
  public:
    TcpSocket() = default;
    explicit TcpSocket(int fd) : fd_(fd) {}
    ~TcpSocket() override;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;

    // Tries each address of host in turn until one answers within timeoutMs.
    NetStatus connect(const std::string& host, int port, int timeoutMs);
    bool isOpen() const { return fd_ >= 0; }
    void close();
    int fd() const { return fd_; }
    // The local address of a connected socket, numeric ("192.0.2.7" or "::1"), and its family.
    std::string localAddress() const;
    bool isIpv6() const;

    NetStatus read(char* buffer, std::size_t size, std::size_t& bytes, int timeoutMs) override;
    NetStatus write(std::string_view data, int timeoutMs) override;
    std::string errorText() const override { return error_; }

    // Checked during every wait; set from another thread to end the transfer.
    void setCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }

  private:
    NetStatus waitFor(short events, int timeoutMs);
    NetStatus fail(int err);

    int fd_ = -1;
    const std::atomic<bool>* cancel_ = nullptr;
    std::string error_;
};

// A listening socket on an ephemeral port of one local address (active-mode FTP data).
class TcpListener {
  public:
    TcpListener() = default;
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    bool listen(const std::string& localAddress);
    int port() const { return port_; }
    NetStatus accept(TcpSocket& connection, int timeoutMs, const std::atomic<bool>* cancel = nullptr);
    std::string errorText() const { return error_; }

  private:
    int fd_ = -1;
    int port_ = 0;
    std::string error_;
};

// Lines from a stream, ended by "\n" (a "\r" before it is dropped). A line longer than maxLength
// is cut at maxLength and the rest of it skipped, so a peer can never make a line grow without end.
class LineReader {
  public:
    LineReader(ByteStream& stream, std::size_t maxLength) : stream_(stream), maxLength_(maxLength) {}
    // Ok with the next line; Closed when the stream ends (a last line without "\n" is returned Ok
    // first). truncated() tells whether the line returned was cut.
    NetStatus readLine(std::string& line, int timeoutMs);
    bool truncated() const { return truncated_; }
    // Bytes read but not yet returned as lines (for a protocol that switches to raw data).
    std::string takeBuffered();

  private:
    ByteStream& stream_;
    std::size_t maxLength_;
    std::string buffer_;
    std::size_t scanned_ = 0;
    bool truncated_ = false;
    bool skipping_ = false; // dropping the rest of a cut line
};

} // namespace tlx

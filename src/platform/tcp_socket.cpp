#include "platform/tcp_socket.h"

#include "core/text.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tlx {

namespace {

constexpr int kSliceMs = 100; // how often a wait looks at the cancel flag

bool setNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Waits for events on fd in slices; Timeout after timeoutMs (negative: no limit).
NetStatus pollSliced(int fd, short events, int timeoutMs, const std::atomic<bool>* cancel, int& err) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (cancel && cancel->load()) return NetStatus::Cancelled;
        int slice = kSliceMs;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0) return NetStatus::Timeout;
            slice = static_cast<int>(std::min<long long>(left, kSliceMs));
        }
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, slice);
        if (n > 0) return NetStatus::Ok;
        if (n < 0 && errno != EINTR) {
            err = errno;
            return NetStatus::Error;
        }
    }
}

std::string numericAddress(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(address).sin6_addr, text, sizeof text);
    else
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, text, sizeof text);
    return text;
}

} // namespace

bool splitHostPort(std::string_view text, int defaultPort, std::string& host, int& port) {
    std::string_view portText;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return false;
        host = std::string(text.substr(1, close - 1));
        std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return false;
            portText = rest.substr(1);
        }
    } else {
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
            host = std::string(text.substr(0, colon));
            portText = text.substr(colon + 1);
        } else {
            host = std::string(text);
        }
    }
    port = defaultPort;
    if (portText.empty()) return !host.empty();
    int value = 0;
    if (!parseInt(portText, value) || value < 1 || value > 65535) return false;
    port = value;
    return !host.empty();
}

TcpSocket::~TcpSocket() {
    close();
}

TcpSocket::TcpSocket(TcpSocket&& other) noexcept
    : fd_(other.fd_), cancel_(other.cancel_), error_(std::move(other.error_)) {
    other.fd_ = -1;
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        cancel_ = other.cancel_;
        error_ = std::move(other.error_);
        other.fd_ = -1;
    }
    return *this;
}

void TcpSocket::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

NetStatus TcpSocket::fail(int err) {
    error_ = std::strerror(err);
    return NetStatus::Error;
}

NetStatus TcpSocket::waitFor(short events, int timeoutMs) {
    int err = 0;
    const NetStatus status = pollSliced(fd_, events, timeoutMs, cancel_, err);
    if (status == NetStatus::Error) return fail(err);
    if (status == NetStatus::Timeout) error_ = "Timed out";
    if (status == NetStatus::Cancelled) error_ = "Cancelled";
    return status;
}

NetStatus TcpSocket::connect(const std::string& host, int port, int timeoutMs) {
    close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        error_ = gai_strerror(rc);
        return NetStatus::Error;
    }
    NetStatus status = NetStatus::Error;
    for (addrinfo* a = found; a; a = a->ai_next) {
        fd_ = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd_ < 0 || !setNonBlocking(fd_)) {
            status = fail(errno);
            close();
            continue;
        }
        if (::connect(fd_, a->ai_addr, a->ai_addrlen) == 0) {
            status = NetStatus::Ok;
            break;
        }
        if (errno != EINPROGRESS) {
            status = fail(errno);
            close();
            continue;
        }
        status = waitFor(POLLOUT, timeoutMs);
        if (status == NetStatus::Ok) {
            int err = 0;
            socklen_t length = sizeof err;
            getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &length);
            if (err == 0) break;
            status = fail(err);
        }
        close();
        if (status == NetStatus::Cancelled) break;
    }
    freeaddrinfo(found);
    return status;
}

std::string TcpSocket::localAddress() const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (fd_ < 0 || getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
    return numericAddress(address);
}

bool TcpSocket::isIpv6() const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    return fd_ >= 0 && getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           address.ss_family == AF_INET6;
}

NetStatus TcpSocket::read(char* buffer, std::size_t size, std::size_t& bytes, int timeoutMs) {
    bytes = 0;
    if (fd_ < 0) return fail(EBADF);
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, size, 0);
        if (n > 0) {
            bytes = static_cast<std::size_t>(n);
            return NetStatus::Ok;
        }
        if (n == 0) return NetStatus::Closed;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return fail(errno);
        if (const NetStatus status = waitFor(POLLIN, timeoutMs); status != NetStatus::Ok) return status;
    }
}

NetStatus TcpSocket::write(std::string_view data, int timeoutMs) {
    if (fd_ < 0) return fail(EBADF);
    while (!data.empty()) {
        const ssize_t n = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return fail(errno);
        if (const NetStatus status = waitFor(POLLOUT, timeoutMs); status != NetStatus::Ok) return status;
    }
    return NetStatus::Ok;
}

TcpListener::~TcpListener() {
    if (fd_ >= 0) ::close(fd_);
}

bool TcpListener::listen(const std::string& localAddress) {
    sockaddr_storage address{};
    socklen_t length = 0;
    auto& v4 = reinterpret_cast<sockaddr_in&>(address);
    auto& v6 = reinterpret_cast<sockaddr_in6&>(address);
    if (inet_pton(AF_INET, localAddress.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        length = sizeof v4;
    } else if (inet_pton(AF_INET6, localAddress.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        length = sizeof v6;
    } else {
        error_ = "Bad local address " + localAddress;
        return false;
    }
    fd_ = ::socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd_, 1) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    port_ = ntohs(address.ss_family == AF_INET6 ? v6.sin6_port : v4.sin_port);
    return true;
}

NetStatus TcpListener::accept(TcpSocket& connection, int timeoutMs, const std::atomic<bool>* cancel) {
    int err = 0;
    const NetStatus status = pollSliced(fd_, POLLIN, timeoutMs, cancel, err);
    if (status != NetStatus::Ok) {
        error_ = status == NetStatus::Timeout ? "Timed out" : std::strerror(err);
        return status;
    }
    const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return NetStatus::Error;
    }
    connection = TcpSocket(fd);
    connection.setCancelFlag(cancel);
    return NetStatus::Ok;
}

NetStatus LineReader::readLine(std::string& line, int timeoutMs) {
    truncated_ = false;
    for (;;) {
        const std::size_t end = buffer_.find('\n', scanned_);
        if (end != std::string::npos) {
            if (skipping_) {
                buffer_.erase(0, end + 1);
                scanned_ = 0;
                skipping_ = false;
                continue;
            }
            line.assign(buffer_, 0, end);
            buffer_.erase(0, end + 1);
            scanned_ = 0;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return NetStatus::Ok;
        }
        if (skipping_) {
            buffer_.clear();
        } else if (buffer_.size() > maxLength_) {
            line.assign(buffer_, 0, maxLength_);
            buffer_.clear();
            scanned_ = 0;
            skipping_ = true;
            truncated_ = true;
            return NetStatus::Ok;
        }
        scanned_ = buffer_.size();
        char chunk[4096];
        std::size_t bytes = 0;
        const NetStatus status = stream_.read(chunk, sizeof chunk, bytes, timeoutMs);
        if (status == NetStatus::Closed && !buffer_.empty() && !skipping_) {
            line = std::move(buffer_);
            buffer_.clear();
            scanned_ = 0;
            if (line.size() > maxLength_) {
                line.resize(maxLength_);
                truncated_ = true;
            }
            return NetStatus::Ok;
        }
        if (status != NetStatus::Ok) return status;
        buffer_.append(chunk, bytes);
    }
}

std::string LineReader::takeBuffered() {
    std::string rest = skipping_ ? std::string() : std::move(buffer_);
    buffer_.clear();
    scanned_ = 0;
    skipping_ = false;
    return rest;
}

} // namespace tlx

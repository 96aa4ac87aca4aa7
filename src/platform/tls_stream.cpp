#include "platform/tls_stream.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <poll.h>
#include <sys/socket.h>

namespace tlx {

namespace {

constexpr int kSliceMs = 100; // how often a wait looks at the cancel flag

std::string lastSslError() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return {};
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

// The socket's bytes for OpenSSL through send(MSG_NOSIGNAL) and recv: OpenSSL's own socket BIO
// writes with write(), and a peer that has gone would end the whole program with SIGPIPE.
int bioWrite(BIO* bio, const char* data, int size) {
    BIO_clear_retry_flags(bio);
    const ssize_t n = ::send(static_cast<int>(BIO_get_fd(bio, nullptr)), data, static_cast<std::size_t>(size),
                             MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) BIO_set_retry_write(bio);
    return static_cast<int>(n);
}

int bioRead(BIO* bio, char* data, int size) {
    BIO_clear_retry_flags(bio);
    const ssize_t n =
        ::recv(static_cast<int>(BIO_get_fd(bio, nullptr)), data, static_cast<std::size_t>(size), 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) BIO_set_retry_read(bio);
    return static_cast<int>(n);
}

long bioCtrl(BIO* bio, int cmd, long number, void* pointer) {
    switch (cmd) {
    case BIO_C_SET_FD:
        BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(*static_cast<int*>(pointer))));
        BIO_set_init(bio, 1);
        return 1;
    case BIO_C_GET_FD:
        if (pointer)
            *static_cast<int*>(pointer) =
                static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
        return static_cast<long>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
    case BIO_CTRL_FLUSH:
        return 1;
    default:
        (void)number;
        return 0;
    }
}

const BIO_METHOD* socketMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* m =
            BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR, "tlx socket");
        BIO_meth_set_write(m, bioWrite);
        BIO_meth_set_read(m, bioRead);
        BIO_meth_set_ctrl(m, bioCtrl);
        return m;
    }();
    return method;
}

bool isIpAddress(const std::string& host) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

} // namespace

struct TlsStream::Session {
    SSL_CTX* ctx = nullptr;
    SSL* ssl = nullptr;
    ~Session() {
        if (ssl) SSL_free(ssl);
        if (ctx) SSL_CTX_free(ctx);
    }
};

TlsStream::TlsStream(TcpSocket& socket, const std::atomic<bool>* cancel) : socket_(socket), cancel_(cancel) {}

TlsStream::~TlsStream() = default;

// After an SSL call returned sslResult <= 0: waits in slices for what OpenSSL asked for.
NetStatus TlsStream::waitAfter(int sslResult, int timeoutMs, const char* what) {
    const int err = SSL_get_error(session_->ssl, sslResult);
    short events = 0;
    if (err == SSL_ERROR_WANT_READ)
        events = POLLIN;
    else if (err == SSL_ERROR_WANT_WRITE)
        events = POLLOUT;
    else if (err == SSL_ERROR_ZERO_RETURN) {
        error_ = "Connection closed";
        return NetStatus::Closed;
    } else {
        const int sysErr = errno;
        std::string text = lastSslError();
        if (err == SSL_ERROR_SYSCALL && text.empty()) {
            if (sysErr == 0 || sysErr == EPIPE || sysErr == ECONNRESET) {
                error_ = sysErr == 0 ? "Connection closed" : std::strerror(sysErr);
                return NetStatus::Closed;
            }
            text = std::strerror(sysErr);
        }
        if (SSL_get_verify_result(session_->ssl) != X509_V_OK)
            text = std::string("certificate verify failed: ") +
                   X509_verify_cert_error_string(SSL_get_verify_result(session_->ssl));
        error_ = std::string(what) + ": " + (text.empty() ? "TLS error" : text);
        return NetStatus::Error;
    }
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (cancel_ && cancel_->load()) {
            error_ = "Cancelled";
            return NetStatus::Cancelled;
        }
        int slice = kSliceMs;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0) {
                error_ = "Timed out";
                return NetStatus::Timeout;
            }
            slice = static_cast<int>(std::min<long long>(left, kSliceMs));
        }
        pollfd p{socket_.fd(), events, 0};
        const int n = ::poll(&p, 1, slice);
        if (n > 0) return NetStatus::Ok;
        if (n < 0 && errno != EINTR) {
            error_ = std::strerror(errno);
            return NetStatus::Error;
        }
    }
}

NetStatus TlsStream::handshake(const std::string& host, const TlsOptions& options, int timeoutMs) {
    session_ = std::make_unique<Session>();
    session_->ctx = SSL_CTX_new(TLS_client_method());
    if (!session_->ctx) {
        error_ = "TLS set-up failed: " + lastSslError();
        return NetStatus::Error;
    }
    SSL_CTX_set_min_proto_version(session_->ctx, TLS1_2_VERSION);
    SSL_CTX_set_verify(session_->ctx, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_default_verify_paths(session_->ctx);
    if (!options.caFile.empty() &&
        SSL_CTX_load_verify_locations(session_->ctx, options.caFile.c_str(), nullptr) != 1) {
        error_ = "Can't read the CA file " + options.caFile;
        ERR_clear_error();
        return NetStatus::Error;
    }
    session_->ssl = SSL_new(session_->ctx);
    BIO* bio = session_->ssl ? BIO_new(socketMethod()) : nullptr;
    if (bio) {
        int fd = socket_.fd();
        BIO_ctrl(bio, BIO_C_SET_FD, 0, &fd);
        SSL_set_bio(session_->ssl, bio, bio); // the session owns it now
    }
    if (!session_->ssl || !bio || SSL_set1_host(session_->ssl, host.c_str()) != 1 ||
        (!isIpAddress(host) && SSL_set_tlsext_host_name(session_->ssl, host.c_str()) != 1)) {
        error_ = "TLS set-up failed: " + lastSslError();
        return NetStatus::Error;
    }
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ERR_clear_error();
        const int rc = SSL_connect(session_->ssl);
        if (rc == 1) return NetStatus::Ok;
        const int left = static_cast<int>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
        const NetStatus status = waitAfter(rc, left, "TLS handshake failed");
        if (status == NetStatus::Closed) {
            error_ = "TLS handshake failed: the server closed the connection";
            return NetStatus::Error;
        }
        if (status != NetStatus::Ok) return status;
    }
}

void TlsStream::shutdown() {
    if (!session_ || !session_->ssl) return;
    ERR_clear_error();
    if (SSL_shutdown(session_->ssl) < 0) ERR_clear_error();
}

NetStatus TlsStream::read(char* buffer, std::size_t size, std::size_t& bytes, int timeoutMs) {
    bytes = 0;
    if (!session_ || !session_->ssl) {
        error_ = "No TLS session";
        return NetStatus::Error;
    }
    for (;;) {
        ERR_clear_error();
        errno = 0;
        const int rc = SSL_read_ex(session_->ssl, buffer, size, &bytes);
        if (rc == 1) return NetStatus::Ok;
        const NetStatus status = waitAfter(0, timeoutMs, "TLS read failed");
        if (status != NetStatus::Ok) return status;
    }
}

NetStatus TlsStream::write(std::string_view data, int timeoutMs) {
    if (!session_ || !session_->ssl) {
        error_ = "No TLS session";
        return NetStatus::Error;
    }
    while (!data.empty()) {
        ERR_clear_error();
        errno = 0;
        std::size_t written = 0;
        if (SSL_write_ex(session_->ssl, data.data(), data.size(), &written) == 1) {
            data.remove_prefix(written);
            continue;
        }
        const NetStatus status = waitAfter(0, timeoutMs, "TLS write failed");
        if (status != NetStatus::Ok) return status;
    }
    return NetStatus::Ok;
}

} // namespace tlx

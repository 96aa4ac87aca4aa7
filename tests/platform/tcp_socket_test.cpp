#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using tlx::LineReader;
using tlx::NetStatus;
using tlx::TcpListener;
using tlx::TcpSocket;

TEST(TcpSocket, HostAndPortAreSplit) {
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        int port;
    } cases[] = {
        {"example.org", true, "example.org", 79},
        {"example.org:8079", true, "example.org", 8079},
        {"[::1]:2121", true, "::1", 2121},
        {"[::1]", true, "::1", 79},
        {"fe80::1", true, "fe80::1", 79},
        {"host:0", false, "", 0},
        {"host:70000", false, "", 0},
        {"host:12x", false, "", 0},
        {"[::1", false, "", 0},
        {":80", false, "", 0},
    };
    for (const Case& c : cases) {
        std::string host;
        int port = 0;
        EXPECT_EQ(tlx::splitHostPort(c.text, 79, host, port), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(host, c.host) << c.text;
            EXPECT_EQ(port, c.port) << c.text;
        }
    }
}

// A peer on loopback that sends `reply` after accepting, then waits `holdMs` before closing.
struct Peer {
    TcpListener listener;
    std::thread thread;
    explicit Peer(std::string reply, int holdMs = 0, const char* address = "127.0.0.1") {
        if (!listener.listen(address)) return;
        thread = std::thread([this, reply = std::move(reply), holdMs] {
            TcpSocket connection;
            if (listener.accept(connection, 5000) != NetStatus::Ok) return;
            connection.write(reply, 5000);
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        });
    }
    ~Peer() {
        if (thread.joinable()) thread.join();
    }
};

TEST(TcpSocket, LinesAreReadWithTheirEndsAndLongOnesAreCut) {
    Peer peer("one\r\ntwo\n" + std::string(5000, 'x') + "\nafter\nlast");
    TcpSocket socket;
    ASSERT_EQ(socket.connect("127.0.0.1", peer.listener.port(), 2000), NetStatus::Ok) << socket.errorText();
    LineReader lines(socket, 100);
    std::string line;
    const char* expected[] = {"one", "two", nullptr, "after", "last"};
    for (const char* text : expected) {
        ASSERT_EQ(lines.readLine(line, 2000), NetStatus::Ok);
        if (text) {
            EXPECT_EQ(line, text);
            EXPECT_FALSE(lines.truncated());
        } else {
            EXPECT_EQ(line, std::string(100, 'x'));
            EXPECT_TRUE(lines.truncated());
        }
    }
    EXPECT_EQ(lines.readLine(line, 2000), NetStatus::Closed);
}

TEST(TcpSocket, StalledPeerTimesOutAndCancelEndsTheWaitPromptly) {
    Peer peer("", 1500);
    TcpSocket socket;
    ASSERT_EQ(socket.connect("127.0.0.1", peer.listener.port(), 2000), NetStatus::Ok);
    char buffer[16];
    std::size_t bytes = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(socket.read(buffer, sizeof buffer, bytes, 300), NetStatus::Timeout);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(280));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));

    std::atomic<bool> cancel{false};
    socket.setCancelFlag(&cancel);
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        cancel = true;
    });
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(socket.read(buffer, sizeof buffer, bytes, -1), NetStatus::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
    canceller.join();
}

TEST(TcpSocket, RefusedAndUnknownHostsFailWithTheirReason) {
    int closedPort = 0;
    {
        TcpListener listener;
        ASSERT_TRUE(listener.listen("127.0.0.1"));
        closedPort = listener.port();
    }
    TcpSocket socket;
    EXPECT_EQ(socket.connect("127.0.0.1", closedPort, 2000), NetStatus::Error);
    EXPECT_EQ(socket.errorText(), "Connection refused");
    EXPECT_EQ(socket.connect("no-such-host.invalid", 80, 2000), NetStatus::Error);
    EXPECT_FALSE(socket.errorText().empty());
}

TEST(TcpSocket, Ipv6LoopbackWorksWhereTheHostHasIt) {
    Peer peer("six\n", 0, "::1");
    if (peer.listener.port() == 0) GTEST_SKIP() << "no IPv6 loopback here";
    TcpSocket socket;
    ASSERT_EQ(socket.connect("::1", peer.listener.port(), 2000), NetStatus::Ok);
    EXPECT_TRUE(socket.isIpv6());
    EXPECT_EQ(socket.localAddress(), "::1");
    LineReader lines(socket, 80);
    std::string line;
    ASSERT_EQ(lines.readLine(line, 2000), NetStatus::Ok);
    EXPECT_EQ(line, "six");
}

} // namespace

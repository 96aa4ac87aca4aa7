// TLS over the socket layer against `openssl s_server` on 127.0.0.1: a peer that goes away while
// data is being written ends the write with an error, not the program with SIGPIPE.
#include "platform/process.h"
#include "platform/tls_stream.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using tlx::NetStatus;

TEST(TlsStream, APeerThatGoesAwayEndsTheWriteWithAnError) {
    tlx::test::TempDir dir;
    const std::string cert = (dir / "cert.pem").string(), key = (dir / "key.pem").string();
    ASSERT_EQ(tlx::runProgram({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                               "-out", cert, "-days", "2", "-subj", "/CN=localhost", "-addext",
                               "subjectAltName=DNS:localhost"},
                              tlx::SpawnOptions{.discardStderr = true, .workingDirectory = {}}),
              0);
    // A free port: taken from a listener that is closed again just before the server starts.
    int port = 0;
    {
        tlx::TcpListener probe;
        ASSERT_TRUE(probe.listen("127.0.0.1"));
        port = probe.port();
    }
    tlx::ChildProcess server;
    tlx::SpawnOptions quiet;
    quiet.captureStdout = true;
    quiet.discardStderr = true;
    ASSERT_TRUE(server.start({"openssl", "s_server", "-accept", "127.0.0.1:" + std::to_string(port), "-cert",
                              cert, "-key", key, "-quiet", "-naccept", "1"},
                             quiet));
    tlx::TcpSocket socket;
    for (int i = 0; i < 50 && socket.connect("127.0.0.1", port, 1000) != NetStatus::Ok; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(socket.isOpen()) << socket.errorText();
    tlx::TlsStream tls(socket);
    ASSERT_EQ(tls.handshake("localhost", {cert}, 5000), NetStatus::Ok) << tls.errorText();
    ASSERT_EQ(tls.write("hello\n", 2000), NetStatus::Ok);

    server.kill();
    server.wait();
    const std::string block(1 << 16, 'x');
    NetStatus status = NetStatus::Ok;
    for (int i = 0; i < 200 && status == NetStatus::Ok; ++i)
        status = tls.write(block, 2000);
    EXPECT_NE(status, NetStatus::Ok);
    EXPECT_FALSE(tls.errorText().empty());
}

} // namespace

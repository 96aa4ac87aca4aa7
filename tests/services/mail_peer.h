// Mail servers for the tests on 127.0.0.1: the real aiosmtpd server (STARTTLS or implicit TLS,
// AUTH LOGIN, storing each message) with a certificate made by openssl for "localhost", and a
// scripted peer that answers each command line as a test says (rejecting, stalling, dropping).
#pragma once

#include "platform/process.h"
#include "platform/tcp_socket.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

namespace tlx::test {

inline std::string readFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::filesystem::path peerScript() {
    return sourceDir() / "tests/services/smtp_peer.py";
}

// A self-signed certificate for "localhost" only, so 127.0.0.1 does not match it.
struct TestCertificate {
    TempDir dir;
    std::filesystem::path cert = dir / "cert.pem", key = dir / "key.pem";
    bool ok = runProgram({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key.string(),
                          "-out", cert.string(), "-days", "2", "-subj", "/CN=localhost", "-addext",
                          "subjectAltName=DNS:localhost"},
                         tlx::SpawnOptions{.discardStderr = true, .workingDirectory = {}}) == 0;
};

struct AiosmtpdOptions {
    const TestCertificate* certificate = nullptr; // STARTTLS (or implicit TLS) with it
    bool implicit = false;
    std::string user, password; // AUTH LOGIN required when set
    bool plainAuth = false;     // login allowed without TLS
};

class AiosmtpdPeer {
  public:
    explicit AiosmtpdPeer(const AiosmtpdOptions& o) {
        std::vector<std::string> argv = {"/usr/bin/python3", peerScript().string(), "serve", "--store",
                                         store.path().string()};
        if (o.certificate)
            argv.insert(argv.end(),
                        {"--cert", o.certificate->cert.string(), "--key", o.certificate->key.string()});
        if (o.implicit) argv.push_back("--implicit");
        if (!o.user.empty()) argv.insert(argv.end(), {"--user", o.user, "--password", o.password});
        if (o.plainAuth) argv.push_back("--plain-auth");
        SpawnOptions spawn;
        spawn.captureStdout = true;
        if (!child.start(argv, spawn)) return;
        std::string out;
        char buffer[64];
        while (out.find('\n') == std::string::npos) {
            const ReadResult r = child.readOutput(buffer, sizeof buffer, 10000);
            if (r.status != ReadStatus::Data) return;
            out.append(buffer, r.bytes);
        }
        if (out.rfind("PORT ", 0) == 0) port = std::stoi(out.substr(5));
    }
    // The stored message number n (from 1), decoded by Python's email package into files.
    std::filesystem::path decoded(int n) const {
        const std::filesystem::path folder = store / ("decoded" + std::to_string(n));
        runProgram({"/usr/bin/python3", peerScript().string(), "decode",
                    (store / (std::to_string(n) + ".eml")).string(), folder.string()});
        return folder;
    }
    std::string envelope(int n) const { return readFileText(store / (std::to_string(n) + ".env")); }
    bool received(int n) const { return std::filesystem::exists(store / (std::to_string(n) + ".eml")); }

    TempDir store;
    ChildProcess child;
    int port = 0;
};

// Answers each command line with what `answer` returns: "" sends nothing, "<close>" drops the
// connection, "<stall>" stops answering; during DATA the lines are collected until ".".
class ScriptedSmtpPeer {
  public:
    using Answer = std::function<std::string(const std::string& line)>;
    ScriptedSmtpPeer(std::string greeting, Answer answer) {
        if (!listener.listen("127.0.0.1")) return;
        thread = std::thread([this, greeting = std::move(greeting), answer = std::move(answer)] {
            TcpSocket c;
            if (listener.accept(c, 5000, &stop) != NetStatus::Ok) return;
            c.setCancelFlag(&stop);
            if (greeting == "<stall>" || c.write(greeting, 2000) != NetStatus::Ok) return waitForStop();
            LineReader lines(c, 100000);
            std::string line;
            while (lines.readLine(line, 5000) == NetStatus::Ok) {
                {
                    std::lock_guard lock(mutex);
                    commands.push_back(line);
                }
                const std::string reply = answer(line);
                if (reply == "<close>") return;
                if (reply == "<stall>") return waitForStop();
                if (!reply.empty() && c.write(reply, 2000) != NetStatus::Ok) return;
            }
        });
    }
    ~ScriptedSmtpPeer() {
        stop = true;
        if (thread.joinable()) thread.join();
    }
    std::vector<std::string> received() {
        std::lock_guard lock(mutex);
        return commands;
    }
    int port() const { return listener.port(); }

  private:
    void waitForStop() {
        while (!stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    TcpListener listener;
    std::thread thread;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<std::string> commands;
};

} // namespace tlx::test

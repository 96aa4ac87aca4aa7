// The mail sender against real servers on 127.0.0.1 (aiosmtpd with TLS and AUTH LOGIN, decoded
// with Python's email package) and hostile scripted ones; base64 against Python's encoder.
#include "mail_peer.h"

#include "core/debug_log.h"
#include "core/text.h"

#include "services/base64_coder.h"
#include "services/email_dat.h"
#include "services/mail_compose.h"
#include "services/mail_message.h"
#include "services/smtp_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace {

namespace fs = std::filesystem;
using namespace tlx;
using tlx::test::AiosmtpdOptions;
using tlx::test::AiosmtpdPeer;
using tlx::test::readFileText;
using tlx::test::ScriptedSmtpPeer;
using tlx::test::TempDir;
using tlx::test::TestCertificate;

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

void writeText(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

MailRecord mailTo(int port, const std::string& server = "localhost") {
    MailRecord r;
    r.server = server;
    r.port = port;
    r.fromAddress = "station@example.org";
    r.senderName = "Test Station";
    r.to = "one@example.org";
    r.subject = "New event file from Test Station";
    r.body = "An event.";
    return r;
}

struct Sent {
    bool ok;
    std::string error;
};

Sent send(const MailRecord& r, const MailTransport& t) {
    const MailMessageResult m = buildMailMessage(r, localMailClock());
    if (!m.ok) return {false, m.error};
    SendState state;
    const bool ok = sendMailMessage(r, t, m.text, state);
    const SendSnapshot s = state.snapshot();
    EXPECT_TRUE(s.finished);
    EXPECT_EQ(ok, !s.failed);
    return {ok, s.error};
}

const TestCertificate& certificate() {
    static TestCertificate c;
    return c;
}

TEST(SmtpLoopback, AttachmentsArriveByteForByteOverStartTlsWithLogin) {
    ASSERT_TRUE(certificate().ok);
    AiosmtpdPeer peer({&certificate(), false, "observer", "s3cr:et pw"});
    ASSERT_GT(peer.port, 0);
    TempDir dir;
    // A real recording when the shared data is there, and edge sizes: 1 byte ("=="), 3 bytes (no
    // "="), and a blob with dots and line ends in it.
    std::vector<fs::path> files = {dir / "one.bin", dir / "three.bin", dir / "blob.dat"};
    writeText(files[0], "\x7f");
    writeText(files[1], "abc");
    writeText(files[2], randomBytes(70000, 7) + "\r\n.\r\n");
    const fs::path real =
        tlx::test::sharedDataDir() / "waveforms/mseed/obspy/one_record_already_applied_time_correction.mseed";
    files.push_back(fs::exists(real) ? real : dir / "fallback.bin");
    if (!fs::exists(files[3])) writeText(files[3], randomBytes(4096, 9));

    MailRecord r = mailTo(peer.port);
    r.to = "one@example.org, (the second) two@example.org";
    r.body = "Line one\n.starts with a point\n..two points";
    r.authType = 1;
    r.account = "observer";
    r.password = "s3cr:et pw";
    for (const fs::path& f : files)
        r.attachments.push_back(f.string());
    MailTransport t;
    t.caFile = certificate().cert.string();
    const Sent sent = send(r, t);
    ASSERT_TRUE(sent.ok) << sent.error;

    EXPECT_EQ(peer.envelope(1), "station@example.org\none@example.org,two@example.org\nobserver\n");
    const fs::path d = peer.decoded(1);
    EXPECT_EQ(readFileText(d / "subject"), r.subject);
    EXPECT_EQ(readFileText(d / "from"), "Test Station <station@example.org>");
    EXPECT_EQ(readFileText(d / "to"), r.to);
    // Python gives the text part with "\n" line ends; the last CR LF belongs to the boundary.
    EXPECT_EQ(readFileText(d / "body"), "Line one\n.starts with a point\n..two points\n\n");
    for (const fs::path& f : files)
        EXPECT_EQ(readFileText(d / "attachments" / f.filename()), readFileText(f)) << f;
}

TEST(SmtpLoopback, CertificateAndHostNameAreVerified) {
    ASSERT_TRUE(certificate().ok);
    AiosmtpdPeer implicitPeer({&certificate(), true, "u", "p", true}); // aiosmtpd cannot tell it is TLS
    ASSERT_GT(implicitPeer.port, 0);
    struct Case {
        const char* server;
        bool trustCa;
        MailSecurity security;
        const char* error; // nullptr: sent
    } cases[] = {
        {"localhost", true, MailSecurity::Implicit, nullptr},
        {"127.0.0.1", true, MailSecurity::Implicit, "IP address mismatch"},
        {"localhost", false, MailSecurity::Implicit, "self-signed certificate"},
        {"localhost", true, MailSecurity::StartTls, "Time-out"}, // implicit port: no greeting in clear
    };
    int stored = 0;
    for (const Case& c : cases) {
        MailRecord r = mailTo(implicitPeer.port, c.server);
        r.authType = 1;
        r.account = "u";
        r.password = "p";
        MailTransport t;
        t.security = c.security;
        t.timeoutMs = 1500;
        if (c.trustCa) t.caFile = certificate().cert.string();
        const Sent sent = send(r, t);
        EXPECT_EQ(sent.ok, c.error == nullptr) << c.server << " " << sent.error;
        if (c.error) {
            EXPECT_NE(sent.error.find(c.error), std::string::npos) << sent.error;
        }
        if (sent.ok) ++stored;
    }
    EXPECT_TRUE(implicitPeer.received(stored));
    EXPECT_FALSE(implicitPeer.received(stored + 1));
}

TEST(SmtpLoopback, PasswordNeverTravelsInTheClearUnlessAllowed) {
    AiosmtpdPeer plain({nullptr, false, "u", "p", true});
    ASSERT_GT(plain.port, 0);
    MailRecord r = mailTo(plain.port, "127.0.0.1");
    r.authType = 1;
    r.account = "u";
    r.password = "p";
    for (MailSecurity security : {MailSecurity::Auto, MailSecurity::None}) {
        MailTransport t;
        t.security = security;
        const Sent refused = send(r, t);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.error, kPlainLoginRefused);
    }
    EXPECT_FALSE(plain.received(1));
    MailTransport allowed;
    allowed.security = MailSecurity::None;
    allowed.allowPlainLogin = true;
    TempDir logDir;
    setDebugLogDirectory(logDir.path().string());
    const Sent sent = send(r, allowed);
    setDebugLogDirectory("");
    EXPECT_TRUE(sent.ok) << sent.error;
    EXPECT_EQ(plain.envelope(1), "station@example.org\none@example.org\nu\n");
    // The log shows the dialogue but never the login.
    const std::string log = readFileText(logDir / "tlx.log");
    EXPECT_NE(log.find("Send = AUTH LOGIN"), std::string::npos);
    EXPECT_EQ(log.find(CBase64Coder::encode("p")), std::string::npos);
}

// Hostile and odd servers: each must end the send with the right text, never hang.
TEST(SmtpScripted, BadServersEndTheSendWithTheirText) {
    struct Case {
        const char* name;
        std::string greeting;
        std::function<std::string(const std::string&)> answer;
        const char* error;
        bool quitSent;
    } cases[] = {
        {"rejecting greeting", "554 go away\r\n", [](const std::string&) { return "221 bye\r\n"; },
         "SMTP server error\n554 go away", true},
        {"stalling", "<stall>", [](const std::string&) { return ""; }, "Time-out", false},
        {"251 to RCPT", "220 hi\r\n",
         [](const std::string& l) {
             if (l.rfind("RCPT", 0) == 0) return std::string("251 forwarded\r\n");
             return std::string("250-peer\r\n250-SIZE 100\r\n250 OK\r\n");
         },
         "The mail server does not like the Send To user name one@example.org\n251 forwarded", true},
        {"dropping mid-DATA", "220 hi\r\n",
         [n = 0](const std::string& l) mutable {
             if (l == "DATA") return std::string("354 go\r\n");
             if (l.rfind("MAIL", 0) == 0 || l.rfind("RCPT", 0) == 0 || l.rfind("HELO", 0) == 0)
                 return std::string("250 OK\r\n");
             if (l.rfind("EHLO", 0) == 0) return std::string("250 OK\r\n");
             return ++n > 20 ? std::string("<close>") : std::string();
         },
         "Lost Connection!", false},
        {"data ahead of the TLS handshake", "220 hi\r\n",
         [](const std::string& l) {
             if (l == "STARTTLS") return std::string("220 go ahead\r\n250 injected\r\n");
             return std::string("250-peer\r\n250 STARTTLS\r\n");
         },
         "SMTP server error: data ahead of the TLS handshake", true},
        {"garbage", "220 hi\r\n", [](const std::string&) { return "hello there\r\n"; }, "SMTP server error",
         true},
    };
    TempDir dir;
    writeText(dir / "big.bin", randomBytes(300000, 3));
    for (Case& c : cases) {
        ScriptedSmtpPeer peer(c.greeting, c.answer);
        MailRecord r = mailTo(peer.port(), "127.0.0.1");
        r.attachments = {(dir / "big.bin").string()};
        MailTransport t;
        t.security = MailSecurity::Auto;
        t.timeoutMs = 600;
        const auto start = std::chrono::steady_clock::now();
        const Sent sent = send(r, t);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
        EXPECT_FALSE(sent.ok) << c.name;
        EXPECT_EQ(sent.error.rfind(c.error, 0), 0u) << c.name << ": " << sent.error;
        const auto commands = peer.received();
        EXPECT_EQ(!commands.empty() && commands.back() == "QUIT", c.quitSent) << c.name;
    }
}

TEST(SmtpScripted, CancelEndsAStalledSendPromptly) {
    ScriptedSmtpPeer peer("<stall>", [](const std::string&) { return ""; });
    MailSendWorker worker;
    ASSERT_TRUE(worker.start(mailTo(peer.port(), "127.0.0.1"), MailTransport{}, "Subject: x\r\n\r\nx\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = std::chrono::steady_clock::now();
    worker.cancel();
    worker.wait();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    const SendSnapshot s = worker.snapshot();
    EXPECT_TRUE(s.finished && s.failed);
    EXPECT_EQ(s.error, "Cancelled");
}

TEST(MailMessage, Base64MatchesPythonAndDecodesItsOwnOutput) {
    TempDir dir;
    const std::vector<std::size_t> sizes = {0, 1, 2, 3, 4, 5, 57, 10000};
    std::vector<std::string> argv = {"/usr/bin/python3", tlx::test::peerScript().string(), "b64"};
    for (std::size_t n : sizes) {
        writeText(dir / std::to_string(n), randomBytes(n, static_cast<unsigned>(n)));
        argv.push_back((dir / std::to_string(n)).string());
    }
    ChildProcess python;
    SpawnOptions o;
    o.captureStdout = true;
    ASSERT_TRUE(python.start(argv, o));
    std::istringstream lines(python.readAllOutput(1 << 20));
    for (std::size_t n : sizes) {
        const std::string bytes = randomBytes(n, static_cast<unsigned>(n));
        std::string expected;
        std::getline(lines, expected);
        EXPECT_EQ(CBase64Coder::encode(bytes), expected) << n;
        // Line ends and blanks inside the text are skipped; "=" ends it.
        std::string wrapped;
        for (std::size_t i = 0; i < expected.size(); ++i)
            wrapped += expected[i] + std::string(i % 7 == 6 ? "\r\n \t" : "");
        EXPECT_EQ(CBase64Coder::decode(wrapped + "=garbage"), bytes) << n;
    }
    EXPECT_EQ(CBase64Coder::encode("abc"), "YWJj");
    EXPECT_EQ(CBase64Coder::encode("a"), "YQ==");
}

TEST(MailMessage, HeadersBodyAndFailures) {
    MailClock clock;
    clock.year = 2025;
    clock.month = 12;
    clock.day = 31;
    clock.weekday = 3;
    clock.hour = 23;
    clock.minute = 5;
    clock.second = 9;
    clock.utcOffsetMinutes = -210;
    MailRecord r = mailTo(25);
    r.subject = "Quake\r\nBcc: victim@example.org";
    const MailMessageResult plain = buildMailMessage(r, clock);
    ASSERT_TRUE(plain.ok);
    EXPECT_EQ(plain.text.rfind("Date: Wed, 31 Dec 2025 23:05:09 -0330\r\n", 0), 0u);
    EXPECT_NE(plain.text.find("Content-Transfer-Encoding: 7bit\r\n"), std::string::npos);
    EXPECT_EQ(plain.text.find("boundary"), std::string::npos);
    EXPECT_EQ(plain.text.find("\nBcc:"), std::string::npos) << "a line end in the subject starts no header";
    EXPECT_EQ(mailZoneText(330), "+0530");

    r.attachments = {"/nonexistent/dir/x.svx"};
    EXPECT_EQ(buildMailMessage(r, clock).error, "Error Opening /nonexistent/dir/x.svx File");
    r.attachments = {"a", "b", "c", "d", "e"};
    EXPECT_FALSE(buildMailMessage(r, clock).ok);
    EXPECT_EQ(attachmentName("C:\\data\\a:b/event.svx"), "event.svx");
}

TEST(MailMessage, RecipientsAndDataStuffing) {
    const std::vector<std::string> expected = {"a@x.org", "b@y.org", "c@z.org", "d@w.org"};
    EXPECT_EQ(smtpRecipients("a@x.org, b@y.org\tc@z.org (a, comment) 'quoted part' <d@w.org>\r\n"), expected);

    SmtpDataEncoder e;
    // Split across feeds: the state carries over.
    std::string out = e.feed(".a\r");
    out += e.feed("\r\n..b\nc\r\n");
    out += e.feed(".");
    EXPECT_EQ(out, "..a\r\n...b\r\nc\r\n..");
    EXPECT_EQ(e.finish(), "\r\n.\r\n");
    SmtpDataEncoder ended;
    ended.feed("x\r\n");
    EXPECT_EQ(ended.finish(), ".\r\n");
}

TEST(MailMessage, FilesFillTheDialogAndChecksStopTheSend) {
    TempDir dir;
    writeText(dir / "a.svx", "abc");
    writeText(dir / "empty.svx", "");
    const std::string a = (dir / "a.svx").string(), empty = (dir / "empty.svx").string();
    ComposedMail one = composeEventMail({a, empty, (dir / "missing").string()}, "Obs", "");
    EXPECT_EQ(one.attachments, std::vector<std::string>{a});
    EXPECT_EQ(one.listing, a + " (3 bytes)\n");
    EXPECT_EQ(one.subject, "New event file from Obs");
    EXPECT_EQ(composeEventMail({a, a}, "Obs", "").subject, "New event files from Obs");
    EXPECT_EQ(composeEventMail({a}, "Obs", " Quake near Lima ").subject, "Quake near Lima");
    EXPECT_EQ(composeEventMail({a, a, a, a, a}, "Obs", "").error,
              "Too many files selected. Maximum = 4 files.");

    MailRecord r = mailTo(25);
    r.attachments = {a};
    const auto modified = [&](const std::string& p) { return iequals(p, toUpper(a)); };
    EXPECT_EQ(checkMailBeforeSend(r, modified, true),
              "Error: One or more files has an open Event Window with modified data");
    r.to = std::string("x@y.org, ") + kArchiveAddress;
    EXPECT_EQ(checkMailBeforeSend(r, {}, false),
              "Error: Event files sent to the SVX Archive system must be in SVX format.");
    EXPECT_EQ(checkMailBeforeSend(r, {}, true), "");
}

TEST(EmailDat, PasswordIsScrambledAndEverythingReadsBack) {
    TempDir dir;
    MailRecord r = mailTo(587, "smtp.example.org");
    r.authType = 1;
    r.account = "observer";
    std::string everyByte;
    for (int c = 1; c < 250; c += 1 + c / 64) // within the 510-character line
        everyByte += static_cast<char>(c == '\n' || c == '\r' ? 'x' : c);
    for (const std::string& password : {std::string("hunter2"), std::string(), everyByte}) {
        r.password = password;
        ASSERT_TRUE(writeEmailDat(dir / "EMAIL.DAT", r));
        const std::string text = readFileText(dir / "EMAIL.DAT");
        if (!password.empty()) {
            EXPECT_EQ(text.find(password), std::string::npos);
        }
        MailRecord back;
        ASSERT_TRUE(readEmailDat(dir / "EMAIL.DAT", back));
        EXPECT_EQ(back.password, password);
        EXPECT_EQ(back.server, r.server);
        EXPECT_EQ(back.senderName, r.senderName);
        EXPECT_EQ(back.fromAddress, r.fromAddress);
        EXPECT_EQ(back.to, r.to);
        EXPECT_EQ(back.account, r.account);
        EXPECT_EQ(back.authType, 1);
        EXPECT_EQ(back.port, 587);
    }
    // Missing trailing lines leave their fields as they were.
    writeText(dir / "EMAIL.DAT", "mail.example.net\nName\n");
    MailRecord partial = r;
    ASSERT_TRUE(readEmailDat(dir / "EMAIL.DAT", partial));
    EXPECT_EQ(partial.server, "mail.example.net");
    EXPECT_EQ(partial.port, 587);
}

} // namespace

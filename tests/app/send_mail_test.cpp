// Mail from the program window: an event window's files and a remote request reach a real SMTP
// server on 127.0.0.1 over STARTTLS with a login, driven through the dialogs with input events.
#include "app/remote_request_dialog.h"
#include "app/remote_station_dialog.h"
#include "app/send_mail_dialog.h"
#include "app/send_status_dialog.h"
#include "app/smtp_auth_dialog.h"
#include "core/text.h"
#include "program_fixture.h"
#include "services/email_dat.h"
#include "services/mail_peer.h"

#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

using test::AiosmtpdPeer;
using test::readFileText;

const test::TestCertificate& certificate() {
    static test::TestCertificate c;
    return c;
}

// A program whose mail settings point at the peer: EMAIL.DAT and REMOTE.DAT in its folder.
struct MailProgram {
    AiosmtpdPeer peer{{&certificate(), false, "obs", "pw 1"}};
    Program p{"[Settings]\nMailCaFile=" + certificate().cert.string() + "\n"};
    MailProgram() {
        MailRecord r;
        r.server = "localhost";
        r.port = peer.port;
        r.senderName = "Station TEST";
        r.fromAddress = "test@station.org";
        r.to = "friend@example.org";
        r.authType = 1;
        r.account = "obs";
        r.password = "pw 1";
        writeEmailDat(p.dir / "EMAIL.DAT", r);
        std::ofstream(p.dir / "REMOTE.DAT")
            << "SMTPServer=localhost\nSMTPAuth=1\nSMTPName=obs\nSMTPKeyStr=" << scramblePassword("pw 1")
            << "\nSMTPPort=" << peer.port
            << "\nUserName=Station "
               "TEST\nPOPAccount=test@station.org\nToAddress=reply@station.org\nSampleRate=100\n"
               "Station=1,Far Away\nAddress=far@remote.org\nChannel=SHZ,1,\"Z\",\"Cellar\",\"L-4C\",0\n";
    }
};

// Shows the status dialog's picture once it is up; a failed send, which waits for the user, is
// closed after a while so that the test fails instead of hanging.
void watchStatus(QWidget* owner) {
    QTimer::singleShot(400, owner, [] {
        if (auto* s = dynamic_cast<CSendStat*>(QApplication::activeModalWidget()))
            saveScreenshot(s, "send_status.png");
    });
    QTimer::singleShot(20000, owner, [] {
        if (auto* s = dynamic_cast<CSendStat*>(QApplication::activeModalWidget())) s->reject();
    });
}

TEST(GuiSendMail, TheWindowsFileReachesTheServerOverTls) {
    ASSERT_TRUE(certificate().ok);
    MailProgram m;
    ASSERT_GT(m.peer.port, 0);
    const std::string file = m.p.writeEvent("quake.svx");
    ASSERT_NE(m.p.open({file}), nullptr);
    std::string error = "not shown";
    const bool shown = answerDialog<CEmailSend>(*m.p.frame, Cmd::SendEmail, [&](CEmailSend* d) {
        auto* body = d->findChild<QPlainTextEdit*>();
        body->setFocus();
        QTest::keyClicks(body, "Felt strongly.");
        saveScreenshot(d, "send_mail.png");
        watchStatus(d);
        QTest::mouseClick(buttonOf(d, "&Send"), Qt::LeftButton);
        error = d->lastError();
        if (d->isVisible()) d->reject();
    });
    ASSERT_TRUE(shown);
    ASSERT_EQ(error, "");
    ASSERT_TRUE(m.peer.received(1));
    EXPECT_EQ(m.peer.envelope(1), "test@station.org\nfriend@example.org\nobs\n");
    const auto d = m.peer.decoded(1);
    EXPECT_EQ(readFileText(d / "attachments" / "quake.svx"), readFileText(file));
    EXPECT_EQ(readFileText(d / "subject"), "New event file from Station TEST");
    EXPECT_EQ(readFileText(d / "body"), "Felt strongly.\n\n");
}

TEST(GuiSendMail, ARemoteRequestGoesToTheSelectedStation) {
    ASSERT_TRUE(certificate().ok);
    MailProgram m;
    ASSERT_GT(m.peer.port, 0);
    int sent = -1;
    const bool shown = answerDialog<CRemoteReq>(*m.p.frame, Cmd::RemoteRequest, [&](CRemoteReq* d) {
        saveScreenshot(d, "remote_request.png");
        watchStatus(d);
        QTest::mouseClick(buttonOf(d, "&Send Request"), Qt::LeftButton);
        sent = d->sentCount();
        if (d->isVisible()) d->reject();
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(sent, 1);
    ASSERT_TRUE(m.peer.received(1));
    EXPECT_EQ(m.peer.envelope(1), "test@station.org\nfar@remote.org\nobs\n");
    const auto d = m.peer.decoded(1);
    EXPECT_EQ(readFileText(d / "subject"), "Event File Request");
    const RemoteRequestForm& f = m.p.ctx.remoteForm;
    EXPECT_EQ(readFileText(d / "body"),
              format("EventFileRequest=%d %d %d %d %d %d 100 SHZ reply@station.org\n", f.month, f.day,
                     f.year2 + 2000, f.hour, f.minute, f.lengthMinutes));

    // The other two windows, for their pictures.
    RemoteStation station{true, "Far Away", "far@remote.org", {{true, 0, "SHZ", "Z", "Cellar", "L-4C"}}};
    CStation stationDialog(station, m.p.ctx.messages);
    stationDialog.show();
    saveScreenshot(&stationDialog, "remote_station.png");
    MailRecord r;
    MailTransport t;
    CAuth auth(r, t);
    auth.show();
    saveScreenshot(&auth, "smtp_authentication.png");
}

} // namespace
} // namespace tlx::app

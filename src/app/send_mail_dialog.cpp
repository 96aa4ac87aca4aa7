#include "app/send_mail_dialog.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/send_status_dialog.h"
#include "app/smtp_auth_dialog.h"
#include "core/text.h"
#include "record/file_kind.h"
#include "services/email_dat.h"
#include "services/mail_message.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tlx::app {

CEmailSend::CEmailSend(const MailContext& context, const ComposedMail& files, bool archiveFormat,
                       std::function<bool(const std::string&)> openModified, QWidget* parent)
    : QDialog(parent), ctx_(context), attachments_(files.attachments), archiveFormat_(archiveFormat),
      openModified_(std::move(openModified)) {
    setWindowTitle("Send E-Mail Message");
    readEmailDat(emailDatToRead(ctx_.localDirectory, ctx_.programDirectory), stored_);
    transport_ = CAuth::readTransport(ctx_.ini);
    auto* form = new QFormLayout(this);
    auto field = [](const std::string& text) { return new QLineEdit(QString::fromStdString(text)); };
    to_ = field(stored_.to);
    name_ = field(stored_.senderName);
    from_ = field(stored_.fromAddress);
    server_ = field(stored_.server);
    subject_ = field(files.subject);
    body_ = new QPlainTextEdit;
    auto* attached = new QPlainTextEdit(QString::fromStdString(files.listing));
    attached->setReadOnly(true);
    attached->setMaximumHeight(80);
    form->addRow("Send &To:", to_);
    form->addRow("Your &Real Name:", name_);
    form->addRow("Your E-Mail &Address or POP Account:", from_);
    form->addRow("S&MTP Server:", server_);
    form->addRow("&Subject:", subject_);
    form->addRow("M&essage:", body_);
    form->addRow("Attached Files:", attached);
    auto* buttons = new QDialogButtonBox;
    auto* auth = buttons->addButton("SMTP A&uthentication...", QDialogButtonBox::ActionRole);
    buttons->addButton("&Send", QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(auth, &QPushButton::clicked, this, [this] { editAuthentication(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    resize(560, 480);
}

MailRecord CEmailSend::fromFields() const {
    MailRecord r = stored_;
    r.to = to_->text().toStdString();
    r.senderName = name_->text().toStdString();
    r.fromAddress = from_->text().toStdString();
    r.server = server_->text().toStdString();
    r.subject = subject_->text().toStdString();
    r.body = body_->toPlainText().toStdString();
    r.attachments = attachments_;
    return r;
}

void CEmailSend::fail(const std::string& text) {
    lastError_ = text;
    ctx_.messages.error(text);
}

bool CEmailSend::storeIfChanged(const MailRecord& r) {
    const MailRecord& s = stored_;
    if (r.server == s.server && r.senderName == s.senderName && r.fromAddress == s.fromAddress &&
        r.to == s.to && r.authType == s.authType && r.account == s.account && r.password == s.password &&
        r.port == s.port)
        return true;
    if (!writeEmailDat(emailDatToWrite(ctx_.localDirectory, ctx_.programDirectory), r)) {
        fail(kEmailDatSaveError);
        return false;
    }
    stored_.server = r.server;
    stored_.senderName = r.senderName;
    stored_.fromAddress = r.fromAddress;
    stored_.to = r.to;
    stored_.authType = r.authType;
    stored_.account = r.account;
    stored_.password = r.password;
    stored_.port = r.port;
    return true;
}

void CEmailSend::editAuthentication() {
    MailRecord r = fromFields();
    CAuth dialog(r, transport_, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.changed()) return;
    CAuth::writeTransport(ctx_.ini, transport_);
    storeIfChanged(r);
}

void CEmailSend::accept() {
    lastError_.clear();
    const MailRecord r = fromFields();
    if (const std::string problem = checkMailBeforeSend(r, openModified_, archiveFormat_); !problem.empty()) {
        fail(problem);
        return;
    }
    if (!storeIfChanged(r)) return;
    const MailMessageResult message = buildMailMessage(r, localMailClock());
    if (!message.ok) {
        fail("Make E-Mail Message Error: " + message.error);
        return;
    }
    std::string error;
    if (!CSendStat::send(r, transport_, message.text, this, error)) {
        lastError_ = error; // the status dialog has shown it
        return;
    }
    QDialog::accept();
}

void CEmailSend::showFor(EventWindow& window, AppContext& ctx, const std::vector<EventWindow*>& windows,
                         QWidget* parent) {
    CEqDoc& doc = window.doc();
    std::vector<std::string> paths;
    for (int i = 0; i < doc.recordCount(); ++i)
        if (std::find(paths.begin(), paths.end(), doc.fileName(i)) == paths.end())
            paths.push_back(doc.fileName(i));
    const std::string comment = doc.recordCount() > 0 ? doc.record(0).info.comment : std::string();
    showForFiles(paths, comment, doc.fileKind() == kKindSvx4 || doc.fileKind() == kKindSvxVolume, ctx,
                 windows, parent);
}

void CEmailSend::showForFiles(const std::vector<std::string>& paths, const std::string& comment, bool svx,
                              AppContext& ctx, const std::vector<EventWindow*>& windows, QWidget* parent) {
    MailRecord stored;
    readEmailDat(emailDatToRead(ctx.settings.localDirectory, ctx.settings.programDirectory), stored);
    const ComposedMail files = composeEventMail(paths, stored.senderName, comment);
    if (!files.error.empty()) {
        ctx.messages.error(files.error);
        return;
    }
    auto openModified = [windows](const std::string& path) {
        for (EventWindow* w : windows)
            for (int i = 0; i < w->doc().recordCount(); ++i)
                if (iequals(w->doc().fileName(i), path) &&
                    (w->doc().isModified() || w->doc().slot(i).modified))
                    return true;
        return false;
    };
    CEmailSend dialog({ctx.ini, ctx.settings.localDirectory, ctx.settings.programDirectory, ctx.messages},
                      files, svx, openModified, parent);
    dialog.exec();
}

} // namespace tlx::app

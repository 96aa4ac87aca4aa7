#include "app/smtp_auth_dialog.h"

#include "app/setting_keys.h"
#include "core/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tlx::app {

namespace {
constexpr MailSecurity kSecurities[] = {MailSecurity::Auto, MailSecurity::StartTls, MailSecurity::Implicit,
                                        MailSecurity::None};
}

CAuth::CAuth(MailRecord& record, MailTransport& transport, QWidget* parent)
    : QDialog(parent), record_(record), transport_(transport) {
    setWindowTitle("SMTP Authentication");
    auto* form = new QFormLayout(this);
    type_ = new QComboBox;
    type_->addItems({"None", "AUTH LOGIN"});
    type_->setCurrentIndex(record.authType == 1 ? 1 : 0);
    account_ = new QLineEdit(QString::fromStdString(record.account));
    password_ = new QLineEdit(QString::fromStdString(record.password));
    password_->setEchoMode(QLineEdit::Password);
    port_ = new QLineEdit(QString::number(record.port));
    security_ = new QComboBox;
    security_->addItems({"Automatic (STARTTLS when offered, SSL/TLS on port 465)", "STARTTLS required",
                         "SSL/TLS (implicit)", "None (plain connection)"});
    for (int i = 0; i < 4; ++i)
        if (kSecurities[i] == transport.security) security_->setCurrentIndex(i);
    caFile_ = new QLineEdit(QString::fromStdString(transport.caFile));
    auto* browse = new QPushButton("&Browse...");
    auto* caRow = new QHBoxLayout;
    caRow->addWidget(caFile_, 1);
    caRow->addWidget(browse);
    allowPlain_ = new QCheckBox("Allow the login over a connection &without encryption");
    allowPlain_->setChecked(transport.allowPlainLogin);
    form->addRow("Authentication &Type:", type_);
    form->addRow("&User Name:", account_);
    form->addRow("&Password:", password_);
    form->addRow("P&ort:", port_);
    form->addRow("&Security:", security_);
    form->addRow("Private CA File:", caRow);
    form->addRow(allowPlain_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, "Private CA File", caFile_->text(),
                                                          "Certificates (*.pem *.crt);;All Files (*)");
        if (!file.isEmpty()) caFile_->setText(file);
    });
    form->addRow(buttons);
}

void CAuth::accept() {
    int port = 0;
    if (!parseInt(port_->text().toStdString(), port) || port < 1 || port > 65535) {
        port_->setFocus();
        port_->selectAll();
        return;
    }
    const MailRecord before = record_;
    const MailTransport beforeTransport = transport_;
    record_.authType = type_->currentIndex();
    record_.account = account_->text().toStdString();
    record_.password = password_->text().toStdString();
    record_.port = port;
    transport_.security = kSecurities[security_->currentIndex()];
    transport_.caFile = caFile_->text().toStdString();
    transport_.allowPlainLogin = allowPlain_->isChecked();
    changed_ = before.authType != record_.authType || before.account != record_.account ||
               before.password != record_.password || before.port != record_.port ||
               beforeTransport.security != transport_.security ||
               beforeTransport.caFile != transport_.caFile ||
               beforeTransport.allowPlainLogin != transport_.allowPlainLogin;
    QDialog::accept();
}

MailTransport CAuth::readTransport(const IniProfile& ini) {
    MailTransport t;
    parseMailSecurity(readSetting(ini, keys::kMailSecurity), t.security);
    t.caFile = readSetting(ini, keys::kMailCaFile);
    t.allowPlainLogin = readSetting(ini, keys::kMailAllowPlainLogin);
    return t;
}

void CAuth::writeTransport(IniProfile& ini, const MailTransport& t) {
    writeSetting(ini, keys::kMailSecurity, mailSecurityName(t.security));
    writeSetting(ini, keys::kMailCaFile, t.caFile);
    writeSetting(ini, keys::kMailAllowPlainLogin, t.allowPlainLogin);
}

} // namespace tlx::app

// "SMTP Authentication": the login and port of a mail record, and how the connection is secured
// (kept in TELLURIX.INI).
#pragma once

#include "core/ini_profile.h"
#include "services/mail_record.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tlx::app {

class CAuth : public QDialog {
  public:
    CAuth(MailRecord& record, MailTransport& transport, QWidget* parent = nullptr);
    void accept() override;
    // True when OK changed one of the record's or the transport's values.
    bool changed() const { return changed_; }

    static MailTransport readTransport(const IniProfile& ini);
    static void writeTransport(IniProfile& ini, const MailTransport& transport);

  private:
    MailRecord& record_;
    MailTransport& transport_;
    QComboBox* type_;
    QLineEdit* account_;
    QLineEdit* password_;
    QLineEdit* port_;
    QComboBox* security_;
    QLineEdit* caFile_;
    QCheckBox* allowPlain_;
    bool changed_ = false;
};

} // namespace tlx::app

// "Send E-Mail Message": addresses, subject and text of a mail with up to four event files
// attached; kept in EMAIL.DAT, sent through the status dialog.
#pragma once

#include "core/ini_profile.h"
#include "core/messages.h"
#include "services/mail_compose.h"
#include "services/mail_record.h"

#include <QDialog>

#include <filesystem>
#include <functional>

class QLineEdit;
class QPlainTextEdit;

namespace tlx::app {

class EventWindow;
struct AppContext;

struct MailContext {
    IniProfile& ini;
    std::filesystem::path localDirectory;
    std::filesystem::path programDirectory;
    Messages& messages;
};

class CEmailSend : public QDialog {
  public:
    CEmailSend(const MailContext& context, const ComposedMail& files, bool archiveFormat,
               std::function<bool(const std::string&)> openModified, QWidget* parent = nullptr);
    void accept() override; // "&Send"
    const std::string& lastError() const { return lastError_; }

    // Mails the files of an event window (each file once).
    static void showFor(EventWindow& window, AppContext& ctx, const std::vector<EventWindow*>& windows,
                        QWidget* parent);
    // Mails files chosen in the open-file browser.
    static void showForFiles(const std::vector<std::string>& paths, const std::string& comment, bool svx,
                             AppContext& ctx, const std::vector<EventWindow*>& windows, QWidget* parent);

  private:
    void editAuthentication();
    MailRecord fromFields() const;
    bool storeIfChanged(const MailRecord& record);
    void fail(const std::string& text);

    MailContext ctx_;
    MailRecord stored_; // what EMAIL.DAT holds
    MailTransport transport_;
    std::vector<std::string> attachments_;
    bool archiveFormat_;
    std::function<bool(const std::string&)> openModified_;
    QLineEdit* to_;
    QLineEdit* name_;
    QLineEdit* from_;
    QLineEdit* server_;
    QLineEdit* subject_;
    QPlainTextEdit* body_;
    std::string lastError_;
};

} // namespace tlx::app

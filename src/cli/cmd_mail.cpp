// tellurix-cli mail: sends files as attachments through an SMTP server, as the send dialog does;
// exit status 0 only when the server accepted the message.
#include "cli/cli_command.h"

#include "core/file_io.h"
#include "core/text.h"
#include "platform/tcp_socket.h"
#include "services/mail_message.h"
#include "services/smtp_sender.h"

#include <cstdio>

namespace tlx::cli {
namespace {

constexpr const char* kUsage =
    "mail --server HOST[:PORT] --from ADDR --to ADDR[,ADDR...] --subject TEXT [--name NAME] [--body-file F] "
    "[--user NAME --password-file F] [--tls auto|starttls|implicit|none] [--ca-file F] [--allow-plain-login] "
    "FILE...";

int usage(const std::string& problem) {
    return usageError("mail", kUsage, problem);
}

int runMail(const Args& given) {
    Args args = given;
    MailRecord record;
    MailTransport transport;
    std::string server, bodyFile, passwordFile;
    if (!takeOption(args, "--server", server)) return usage("--server is missing");
    if (!takeOption(args, "--from", record.fromAddress)) return usage("--from is missing");
    if (!takeOption(args, "--to", record.to)) return usage("--to is missing");
    if (!takeOption(args, "--subject", record.subject)) return usage("--subject is missing");
    takeOption(args, "--name", record.senderName);
    takeOption(args, "--body-file", bodyFile);
    const bool knownTls = takeMailTransport(args, transport);
    const bool hasUser = takeOption(args, "--user", record.account);
    const bool hasPassword = takeOption(args, "--password-file", passwordFile);
    if (hasUser != hasPassword) return usage("--user and --password-file go together");
    if (!knownTls) return usage("--tls takes auto, starttls, implicit or none");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0) return usage("unknown option " + a);
    if (args.size() > static_cast<std::size_t>(kMaxAttachments))
        return usage("Too many files selected. Maximum = 4 files.");
    record.attachments = args;
    const int defaultPort = transport.security == MailSecurity::Implicit ? 465 : 25;
    if (!splitHostPort(server, defaultPort, record.server, record.port)) return usage("bad --server");
    if (!bodyFile.empty() && !readTextFile(bodyFile, record.body, 1u << 20)) {
        std::fprintf(stderr, "tellurix-cli mail: can't read %s\n", bodyFile.c_str());
        return 1;
    }
    if (hasUser) {
        std::string text;
        if (!readTextFile(passwordFile, text, 4096)) {
            std::fprintf(stderr, "tellurix-cli mail: can't read %s\n", passwordFile.c_str());
            return 1;
        }
        std::string_view first;
        TextLines lines(text, 1024);
        if (lines.next(first)) record.password = std::string(first);
        record.authType = 1;
    }

    const MailMessageResult message = buildMailMessage(record, localMailClock());
    if (!message.ok) {
        std::fprintf(stderr, "Make E-Mail Message Error: %s\n", message.error.c_str());
        return 1;
    }
    SendState state;
    const bool sent = sendMailMessage(record, transport, message.text, state);
    const SendSnapshot done = state.snapshot();
    if (!sent) {
        std::fprintf(stderr, "Send Error: %s\n", done.error.c_str());
        return 1;
    }
    std::printf("{\"sent\":true,\"bytes\":%lld}\n", done.totalBytes);
    return 0;
}

} // namespace

TLX_CLI_COMMAND(mail, "mail", kUsage, runMail);

} // namespace tlx::cli

// tellurix-cli remote-request: the request mails of the "Remote Event File Request" dialog, sent to
// the selected stations of a REMOTE.DAT; one JSON object per station, exit 0 when all were sent.
#include "cli/cli_command.h"
#include "cli/json_writer.h"

#include "core/text.h"
#include "services/mail_message.h"
#include "services/remote_request.h"
#include "services/smtp_sender.h"

#include <cstdio>

namespace tlx::cli {
namespace {

constexpr const char* kUsage =
    "remote-request REMOTE.DAT (--start \"MM/DD/YY HH:MM\" [--local] [--length MIN] | "
    "--station-info) [--tls auto|starttls|implicit|none] [--ca-file F] "
    "[--allow-plain-login]";

int usage(const std::string& problem) {
    return usageError("remote-request", kUsage, problem);
}

int runRemoteRequest(const Args& given) {
    Args args = given;
    RemoteRequestForm form;
    MailTransport transport;
    std::string start, length;
    form.stationInfo = takeFlag(args, "--station-info");
    form.localTime = takeFlag(args, "--local");
    if (!takeMailTransport(args, transport)) return usage("--tls takes auto, starttls, implicit or none");
    if (takeOption(args, "--length", length) &&
        (!parseCount(length, form.lengthMinutes) || form.lengthMinutes < 1))
        return usage("bad --length");
    if (takeOption(args, "--start", start)) {
        int v[5] = {};
        std::string text = start;
        for (char& c : text)
            if (c == '/' || c == ':') c = ' ';
        if (scanInts(text, v, 5) != 5 || v[0] < 1 || v[0] > 12 || v[1] < 1 || v[1] > 31 || v[2] < 0 ||
            v[2] > 99 || v[3] < 0 || v[3] > 23 || v[4] < 0 || v[4] > 59)
            return usage("bad --start");
        form.month = v[0];
        form.day = v[1];
        form.year2 = v[2];
        form.hour = v[3];
        form.minute = v[4];
    } else if (!form.stationInfo) {
        return usage("--start or --station-info is needed");
    }
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) return usage("one REMOTE.DAT is needed");
    RemoteSettings settings;
    if (!readRemoteDat(args[0], settings)) {
        std::fprintf(stderr, "tellurix-cli remote-request: can't read %s\n", args[0].c_str());
        return 1;
    }
    form.rateIndex = sampleRateIndex(settings.sampleRate);
    if (const RequestCheck check = checkRemoteRequest(settings, form); check.field != RequestField::None) {
        std::fprintf(stderr, "%s\n", check.message);
        return 1;
    }
    bool allSent = true;
    for (const RemoteMail& mail : buildRemoteRequests(settings, form)) {
        std::string error;
        const MailMessageResult message = buildMailMessage(mail.record, localMailClock());
        SendState state;
        if (!message.ok)
            error = "Error Making Email Message: Error = " + message.error;
        else if (!sendMailMessage(mail.record, transport, message.text, state))
            error = format("Error Sending Email Message to %s (%s):\nError = %s", mail.stationName.c_str(),
                           mail.record.to.c_str(), state.snapshot().error.c_str());
        JsonWriter json;
        json.beginObject();
        json.key("station").value(mail.stationName);
        json.key("address").value(mail.record.to);
        json.key("subject").value(mail.record.subject);
        json.key("sent").value(error.empty());
        if (!error.empty()) json.key("error").value(error);
        json.endObject();
        std::printf("%s\n", json.str().c_str());
        allSent = allSent && error.empty();
    }
    return allSent ? 0 : 1;
}

} // namespace

TLX_CLI_COMMAND(remote_request, "remote-request", kUsage, runRemoteRequest);

} // namespace tlx::cli

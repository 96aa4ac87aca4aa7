#include "services/remote_request.h"

#include "core/text.h"

#include <ctime>

namespace tlx {

RequestCheck checkRemoteRequest(const RemoteSettings& s, const RemoteRequestForm& form) {
    if (s.toAddress.size() <= 2 || s.toAddress.find('@') == std::string::npos ||
        s.toAddress.find('.') == std::string::npos)
        return {RequestField::SendTo, "Invalid Send To: Email Address"};
    if (trim(s.userName).empty()) return {RequestField::UserName, "Enter Your Real Name"};
    if (trim(s.popAccount).empty()) return {RequestField::PopAccount, "Enter POP Account Field"};
    if (trim(s.server).empty()) return {RequestField::SmtpServer, "Enter SMTP Server Field"};
    bool anySelected = false, anyChannels = false;
    for (const RemoteStation& st : s.stations) {
        if (!st.selected) continue;
        anySelected = true;
        anyChannels = anyChannels || !st.channels.empty();
    }
    if (!anySelected) return {RequestField::Stations, "No Stations Selected"};
    if (!form.stationInfo && !anyChannels) return {RequestField::Channels, "No Channels Selected"};
    return {};
}

CivilTime localToUtc(const CivilTime& local) {
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return civilFromEpoch(static_cast<std::int64_t>(t));
}

int sampleRateIndex(int rate) {
    for (int i = 0; i < static_cast<int>(std::size(kRemoteSampleRates)); ++i)
        if (kRemoteSampleRates[i] == rate) return i;
    return 6;
}

std::vector<RemoteMail> buildRemoteRequests(const RemoteSettings& s, const RemoteRequestForm& form,
                                            const std::function<CivilTime(const CivilTime&)>& toUtc) {
    CivilTime when;
    when.year = form.year2 + 2000;
    when.month = form.month;
    when.day = form.day;
    when.hour = form.hour;
    if (form.localTime) when = toUtc(when);
    const int rateIndex = form.rateIndex >= 0 && form.rateIndex < 9 ? form.rateIndex : 6;
    std::vector<RemoteMail> out;
    for (const RemoteStation& st : s.stations) {
        if (!st.selected) continue;
        if (!form.stationInfo && st.channels.empty()) continue;
        RemoteMail m;
        m.stationName = st.name;
        MailRecord& r = m.record;
        r.to = st.address;
        r.senderName = s.userName;
        r.fromAddress = s.popAccount;
        r.server = s.server;
        r.account = s.account;
        r.password = s.password;
        r.authType = s.authType;
        r.port = s.port;
        if (form.stationInfo) {
            r.subject = "Station Information Request";
            r.body = "StationInfo=" + s.toAddress;
        } else {
            std::string ids;
            for (const RemoteChannel& c : st.channels) {
                if (!c.selected) continue;
                if (!ids.empty()) ids += ',';
                ids += c.id;
            }
            r.subject = "Event File Request";
            r.body = format("EventFileRequest=%d %d %d %d %d %d %d %s %s", when.month, when.day, when.year,
                            when.hour, form.minute, form.lengthMinutes, kRemoteSampleRates[rateIndex],
                            ids.c_str(), s.toAddress.c_str());
        }
        out.push_back(std::move(m));
    }
    return out;
}

} // namespace tlx

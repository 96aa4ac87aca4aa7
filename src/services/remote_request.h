// The request mails of the "Remote Event File Request" dialog: the checks before sending, and one
// mail per selected station (event files of a time window, or the station's channel list).
#pragma once

#include "core/civil_time.h"
#include "services/mail_record.h"
#include "services/remote_dat.h"

#include <functional>
#include <string>
#include <vector>

namespace tlx {

inline constexpr int kRemoteSampleRates[] = {1, 2, 5, 10, 20, 25, 50, 100, 200};

struct RemoteRequestForm {
    int month = 1, day = 1, year2 = 0, hour = 0, minute = 0; // two-digit year
    bool localTime = false;                                  // false: the time is UTC
    int lengthMinutes = 5;
    int rateIndex = 6; // into kRemoteSampleRates
    bool stationInfo = false;
};

enum class RequestField { None, SendTo, UserName, PopAccount, SmtpServer, Stations, Channels };

struct RequestCheck {
    RequestField field = RequestField::None; // None: the request may go
    const char* message = "";
};

// The checks in the dialog's order; the first that fails names its field.
RequestCheck checkRemoteRequest(const RemoteSettings& settings, const RemoteRequestForm& form);

struct RemoteMail {
    std::string stationName;
    MailRecord record;
};

// Local wall-clock time to UTC (the system's zone, daylight saving included).
CivilTime localToUtc(const CivilTime& local);

// One mail per selected station; event-file requests skip stations without channels.
std::vector<RemoteMail>
buildRemoteRequests(const RemoteSettings& settings, const RemoteRequestForm& form,
                    const std::function<CivilTime(const CivilTime&)>& toUtc = localToUtc);

// The index of a sample rate in the list (6, 50 per second, when it is not there).
int sampleRateIndex(int rate);

} // namespace tlx

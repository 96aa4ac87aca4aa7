// The dialogues of the report services over one byte stream: everything to the end (web page,
// finger), the data servers' line and framed protocols, and the FTP control replies. Each reply
// is read with a bounded length and every wait has a time-out.
#pragma once

#include "core/civil_time.h"
#include "platform/tcp_socket.h"

#include <string>
#include <string_view>

namespace tlx {

// Where a transfer puts the report text; false stops the transfer (size limit).
class ReportReceiver {
  public:
    virtual ~ReportReceiver() = default;
    virtual bool append(std::string_view data) = 0;
    virtual std::string limitText() const = 0;
};

struct ProtocolResult {
    bool ok = false;
    std::string error;
};

// The values of a historical query: dates as sent, magnitudes 0.1..10.
struct HistoricalQuery {
    CivilDate start;
    CivilDate stop;
    double minMagnitude = 2.5;
    double maxMagnitude = 10;
};

constexpr std::size_t kMaxDataLine = 251;
constexpr std::size_t kMaxFramedReply = 78;
constexpr std::size_t kMaxFtpReplyLine = 1024;
constexpr std::size_t kMaxReceiveBlock = 16384; // one read of a page or a file

// "recv failed: ..." for a failed read, "Canceled" for a cancel.
std::string receiveError(NetStatus status, const ByteStream& stream);

// Appends everything until the peer closes.
ProtocolResult receiveToEnd(ByteStream& stream, ReportReceiver& out, int timeoutMs);
// "GET start,stop,min,max,,,,,\n", then lines answered with "OK" until a line shorter than 3.
ProtocolResult runLineProtocol(ByteStream& stream, const HistoricalQuery& query, ReportReceiver& out,
                               int timeoutMs);
// STX/ETX messages: MINMAG, STARTDATE, STOPDATE, GET, then records answered with OKAY.
ProtocolResult runFramedProtocol(ByteStream& stream, const HistoricalQuery& query, ReportReceiver& out,
                                 int timeoutMs);
// "%c%-9.9s%s%c": one message of the framed protocol.
std::string framedMessage(std::string_view command, std::string_view value);

// One FTP reply (a multi-line reply read to its last line): its code, 0 when the reply does not
// start with three digits.
NetStatus readFtpReply(LineReader& lines, int timeoutMs, int& code, std::string& text);

} // namespace tlx

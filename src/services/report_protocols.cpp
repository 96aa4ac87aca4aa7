#include "services/report_protocols.h"

#include "core/text.h"

namespace tlx {

namespace {

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;

std::string queryDate(const CivilDate& d) {
    return format("%04d/%02d/%02d", d.year, d.month, d.day);
}

// Single bytes from a stream, read in blocks.
class ByteReader {
  public:
    explicit ByteReader(ByteStream& stream) : stream_(stream) {}
    NetStatus next(char& c, int timeoutMs) {
        if (pos_ == size_) {
            pos_ = size_ = 0;
            const NetStatus status = stream_.read(buffer_, sizeof buffer_, size_, timeoutMs);
            if (status != NetStatus::Ok) return status;
        }
        c = buffer_[pos_++];
        return NetStatus::Ok;
    }

  private:
    ByteStream& stream_;
    char buffer_[1024];
    std::size_t pos_ = 0, size_ = 0;
};

ProtocolResult failure(std::string text) {
    return {false, std::move(text)};
}

// Reads one framed reply (STX restarts it, ETX ends it; at most 78 characters kept).
NetStatus readFramedReply(ByteReader& in, std::string& reply, int timeoutMs) {
    reply.clear();
    for (char c;;) {
        if (const NetStatus status = in.next(c, timeoutMs); status != NetStatus::Ok) return status;
        if (c == kStx)
            reply.clear();
        else if (c == kEtx)
            return NetStatus::Ok;
        else if (reply.size() < kMaxFramedReply)
            reply += c;
    }
}

} // namespace

std::string receiveError(NetStatus status, const ByteStream& stream) {
    if (status == NetStatus::Cancelled) return "Canceled";
    if (status == NetStatus::Closed) return "recv failed: connection closed before the end of the report";
    return "recv failed: " + stream.errorText();
}

ProtocolResult receiveToEnd(ByteStream& stream, ReportReceiver& out, int timeoutMs) {
    char buffer[kMaxReceiveBlock];
    for (;;) {
        std::size_t bytes = 0;
        const NetStatus status = stream.read(buffer, sizeof buffer, bytes, timeoutMs);
        if (status == NetStatus::Closed) return {true, {}};
        if (status != NetStatus::Ok) return failure(receiveError(status, stream));
        if (!out.append({buffer, bytes})) return failure(out.limitText());
    }
}

ProtocolResult runLineProtocol(ByteStream& stream, const HistoricalQuery& query, ReportReceiver& out,
                               int timeoutMs) {
    const std::string request =
        format("GET %s,%s,%s,%s,,,,,\n", queryDate(query.start).c_str(), queryDate(query.stop).c_str(),
               format("%g", query.minMagnitude).c_str(), format("%g", query.maxMagnitude).c_str());
    if (stream.write(request, timeoutMs) != NetStatus::Ok)
        return failure("Error sending information to SVX server.");
    LineReader lines(stream, kMaxDataLine);
    for (std::string line;;) {
        const NetStatus status = lines.readLine(line, timeoutMs);
        if (status != NetStatus::Ok) return failure(receiveError(status, stream));
        if (line.size() < 3) {
            stream.write("OK", timeoutMs);
            return {true, {}};
        }
        if (line.starts_with("ERROR")) return failure(line);
        if (!out.append(line + "\n")) return failure(out.limitText());
        if (stream.write("OK", timeoutMs) != NetStatus::Ok)
            return failure("sendSVXCmd failed: " + stream.errorText());
    }
}

std::string framedMessage(std::string_view command, std::string_view value) {
    return format("%c%-9.9s%.*s%c", kStx, std::string(command).c_str(), static_cast<int>(value.size()),
                  value.data(), kEtx);
}

ProtocolResult runFramedProtocol(ByteStream& stream, const HistoricalQuery& query, ReportReceiver& out,
                                 int timeoutMs) {
    ByteReader in(stream);
    const struct {
        const char* command;
        std::string value;
        const char* expected;
    } steps[] = {
        {"MINMAG", format("%g", query.minMagnitude), "MINMAGOK"},
        {"STARTDATE", queryDate(query.start), "SDOK"},
        {"STOPDATE", queryDate(query.stop), "STOPDATE"},
    };
    std::string reply;
    for (const auto& step : steps) {
        if (stream.write(framedMessage(step.command, step.value), timeoutMs) != NetStatus::Ok ||
            readFramedReply(in, reply, timeoutMs) != NetStatus::Ok || !reply.starts_with(step.expected))
            return failure("Error sending information to server.");
    }
    if (stream.write(framedMessage("GET", ""), timeoutMs) != NetStatus::Ok)
        return failure("Error sending information to server.");

    std::string line, previous;
    bool inRecord = false, emptyRecord = false;
    for (char c;;) {
        const NetStatus status = in.next(c, timeoutMs);
        if (status != NetStatus::Ok) return failure(receiveError(status, stream));
        if (c == kStx) {
            inRecord = true;
            emptyRecord = true;
            continue;
        }
        if (c == kEtx) {
            if (inRecord && emptyRecord) return {true, {}};
            inRecord = false;
            if (stream.write(framedMessage("OKAY", ""), timeoutMs) != NetStatus::Ok)
                return failure("sendHistCmd failed: " + stream.errorText());
            continue;
        }
        emptyRecord = false;
        if (c == '\r') continue;
        if (c != '\n') {
            if (line.size() < kMaxDataLine) line += c; // the rest of a longer line is dropped
            continue;
        }
        if (line != previous && !out.append(line + "\n")) return failure(out.limitText());
        previous = std::move(line);
        line.clear();
    }
}

NetStatus readFtpReply(LineReader& lines, int timeoutMs, int& code, std::string& text) {
    code = 0;
    std::string line;
    NetStatus status = lines.readLine(line, timeoutMs);
    if (status != NetStatus::Ok) return status;
    text = line;
    const auto digits = [](const std::string& s) {
        return s.size() >= 3 && std::isdigit(static_cast<unsigned char>(s[0])) &&
               std::isdigit(static_cast<unsigned char>(s[1])) &&
               std::isdigit(static_cast<unsigned char>(s[2]));
    };
    if (!digits(line)) return NetStatus::Ok;
    code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    if (line.size() > 3 && line[3] == '-') {
        // A multi-line reply ends with the line that starts with the same code and a blank.
        const std::string end = line.substr(0, 3) + " ";
        for (int guard = 0; guard < 10000; ++guard) {
            status = lines.readLine(line, timeoutMs);
            if (status != NetStatus::Ok) return status;
            if (line.starts_with(end)) {
                text = line;
                return NetStatus::Ok;
            }
        }
        code = 0;
    }
    return NetStatus::Ok;
}

} // namespace tlx

// What a report server sends: the first byte picks the reader (everything to the end, the line
// protocol, the framed protocol, FTP replies); the rest arrives in uneven pieces. Every reader
// must end with bounded output whatever the bytes.
#include "services/report_protocols.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class MemoryStream : public tlx::ByteStream {
  public:
    explicit MemoryStream(std::string_view data) : data_(data) {}
    tlx::NetStatus read(char* buffer, std::size_t size, std::size_t& bytes, int) override {
        if (data_.empty()) return tlx::NetStatus::Closed;
        bytes = std::min({size, data_.size(), static_cast<std::size_t>(1 + data_.size() % 97)});
        std::copy_n(data_.data(), bytes, buffer);
        data_.remove_prefix(bytes);
        return tlx::NetStatus::Ok;
    }
    tlx::NetStatus write(std::string_view, int) override { return tlx::NetStatus::Ok; }
    std::string errorText() const override { return "end"; }

  private:
    std::string_view data_;
};

class Sink : public tlx::ReportReceiver {
  public:
    bool append(std::string_view data) override {
        if (data.size() > tlx::kMaxReceiveBlock) std::abort(); // one block or one line at a time
        total += data.size();
        return total < 1 << 16;
    }
    std::string limitText() const override { return "limit"; }
    std::size_t total = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    MemoryStream stream({reinterpret_cast<const char*>(data) + 1, size - 1});
    Sink sink;
    const tlx::HistoricalQuery query{{2024, 2, 29}, {2024, 3, 4}, 2.5, 10};
    switch (data[0] % 4) {
    case 0:
        tlx::receiveToEnd(stream, sink, 0);
        break;
    case 1:
        tlx::runLineProtocol(stream, query, sink, 0);
        break;
    case 2:
        tlx::runFramedProtocol(stream, query, sink, 0);
        break;
    default: {
        tlx::LineReader lines(stream, tlx::kMaxFtpReplyLine);
        int code = 0;
        std::string text;
        while (tlx::readFtpReply(lines, 0, code, text) == tlx::NetStatus::Ok)
            if (code < 0 || code > 999 || text.size() > tlx::kMaxFtpReplyLine) std::abort();
    }
    }
    return 0;
}

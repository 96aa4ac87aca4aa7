// SMTP replies as a server sends them: read line by line in chunks of varying size, with the
// AUTH LOGIN challenges decoded as the sender decodes them.
#include "services/base64_coder.h"
#include "services/smtp_reply.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

class MemoryStream : public tlx::ByteStream {
  public:
    MemoryStream(const std::uint8_t* data, std::size_t size, std::size_t chunk)
        : data_(data), size_(size), chunk_(chunk) {}
    tlx::NetStatus read(char* buffer, std::size_t size, std::size_t& bytes, int) override {
        bytes = std::min({size, chunk_, size_ - at_});
        if (bytes == 0) return tlx::NetStatus::Closed;
        std::memcpy(buffer, data_ + at_, bytes);
        at_ += bytes;
        return tlx::NetStatus::Ok;
    }
    tlx::NetStatus write(std::string_view, int) override { return tlx::NetStatus::Ok; }
    std::string errorText() const override { return {}; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    MemoryStream stream(data + 1, size - 1, 1 + data[0] % 64);
    tlx::LineReader lines(stream, tlx::kSmtpLineLength);
    tlx::SmtpReply reply;
    while (tlx::readSmtpReply(lines, 0, reply) == tlx::ReplyStatus::Ok) {
        const auto texts = reply.texts();
        if (reply.code == 334 && !texts.empty()) tlx::CBase64Coder::decode(texts.back());
    }
    return 0;
}

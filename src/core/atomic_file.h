// Files are never half-written: output goes to a temporary file in the target's folder and
// is renamed over the target only when every byte is on disk. A failure leaves the old file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tlx {

class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool open();
    bool write(const void* data, std::size_t size);
    bool write(std::span<const std::uint8_t> bytes) { return write(bytes.data(), bytes.size()); }
    // Overwrites bytes already written (headers whose statistics are known only at the end).
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size);
    std::uint64_t size() const { return written_; }
    // Flushes, closes and renames into place; false when any step failed.
    bool commit();
    void abandon();

    const std::filesystem::path& target() const { return target_; }

  private:
    std::filesystem::path target_;
    std::string tempPath_;
    int fd_ = -1;
    bool failed_ = false;
    std::uint64_t written_ = 0;
};

bool writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
bool writeFileAtomically(const std::filesystem::path& target, const std::string& text);

} // namespace tlx

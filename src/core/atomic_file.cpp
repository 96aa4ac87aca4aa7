#include "core/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tlx {

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFileWriter::~AtomicFileWriter() {
    abandon();
}

bool AtomicFileWriter::open() {
    abandon();
    std::filesystem::path dir = target_.parent_path();
    if (dir.empty()) dir = ".";
    std::string pattern = (dir / ("." + target_.filename().string() + ".tmp-XXXXXX")).string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) return false;
    tempPath_ = pattern;
    ::fchmod(fd_, 0644);
    failed_ = false;
    written_ = 0;
    return true;
}

bool AtomicFileWriter::write(const void* data, std::size_t size) {
    if (!writeAt(written_, data, size)) return false;
    return true;
}

bool AtomicFileWriter::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (fd_ < 0 || failed_) return false;
    const char* p = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (offset + size > written_) written_ = offset + size;
    return true;
}

bool AtomicFileWriter::commit() {
    if (fd_ < 0 || failed_) {
        abandon();
        return false;
    }
    const bool synced = ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed || std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    tempPath_.clear();
    return true;
}

void AtomicFileWriter::abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
}

bool writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    AtomicFileWriter writer(target);
    return writer.open() && writer.write(bytes) && writer.commit();
}

bool writeFileAtomically(const std::filesystem::path& target, const std::string& text) {
    AtomicFileWriter writer(target);
    return writer.open() && writer.write(text.data(), text.size()) && writer.commit();
}

} // namespace tlx

#include "core/mapped_file.h"

#include "core/file_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tlx {

MappedFile::~MappedFile() {
    close();
}

bool MappedFile::open(const std::filesystem::path& path) {
    close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (st.st_size > 0) {
        void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
            ::close(fd);
            data_ = static_cast<const std::uint8_t*>(p);
            size_ = static_cast<std::size_t>(st.st_size);
            mapped_ = true;
            return true;
        }
    }
    ::close(fd);
    if (!readWholeFile(path, copy_)) return false;
    data_ = copy_.data();
    size_ = copy_.size();
    return true;
}

void MappedFile::close() {
    if (mapped_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    mapped_ = false;
    data_ = nullptr;
    size_ = 0;
    copy_.clear();
}

} // namespace tlx

#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vrs {
namespace {

// What an empty file maps to: a valid address with nothing behind it.
constexpr std::uint8_t kNoBytes[1] = {0};

std::string errnoText(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

}  // namespace

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      error_(std::move(other.error_)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        reset();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        error_ = std::move(other.error_);
    }
    return *this;
}

MappedFile::~MappedFile() {
    reset();
}

void MappedFile::reset() {
    if (data_ != nullptr && data_ != kNoBytes) {
        // Fails only for an address range that is not a mapping of ours.
        [[maybe_unused]] const int rc = munmap(const_cast<std::uint8_t*>(data_), size_);
    }
    data_ = nullptr;
    size_ = 0;
}

bool MappedFile::open(const std::string& path) {
    reset();
    error_.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ = errnoText(path, errno);
        return false;
    }
    struct stat st {};
    bool ok = false;
    if (fstat(fd, &st) != 0) {
        error_ = errnoText(path, errno);
    } else if (!S_ISREG(st.st_mode)) {
        error_ = errnoText(path, S_ISDIR(st.st_mode) ? EISDIR : ENODEV);
    } else if (st.st_size == 0) {
        data_ = kNoBytes;
        ok = true;
    } else {
        const auto size = static_cast<std::size_t>(st.st_size);
        void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (p == MAP_FAILED) {
            error_ = errnoText(path, errno);
        } else {
            data_ = static_cast<const std::uint8_t*>(p);
            size_ = size;
            ok = true;
        }
    }
    // The mapping stays valid without the descriptor, and closing a
    // read-only descriptor has nothing to flush: its result changes nothing.
    [[maybe_unused]] const int closed = ::close(fd);
    return ok;
}

}  // namespace vrs

// SPDX-License-Identifier: MIT
#include "platform/mapped_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/regular_file.h"

namespace vrs {
namespace {

// What an empty file maps to: a valid address with nothing behind it.
constexpr std::uint8_t kNoBytes[1] = {0};

}  // namespace

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      fd_(std::exchange(other.fd_, -1)),
      error_(std::exchange(other.error_, 0)),
      stamp_(other.stamp_) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        reset();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        fd_ = std::exchange(other.fd_, -1);
        error_ = std::exchange(other.error_, 0);
        stamp_ = other.stamp_;
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
    if (fd_ >= 0) {
        // Closing a read-only descriptor has nothing to flush: its result
        // changes nothing.
        [[maybe_unused]] const int closed = ::close(fd_);
        fd_ = -1;
    }
}

bool MappedFile::open(const std::string& path) {
    reset();
    error_ = 0;
    const OpenedFile file = openRegularFile(path);
    if (file.fd < 0) {
        error_ = file.error;
        return false;
    }
    stamp_ = file.stamp;
    bool ok = true;
    if (file.size == 0) {
        data_ = kNoBytes;
    } else {
        const auto size = static_cast<std::size_t>(file.size);
        void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.fd, 0);
        if (p == MAP_FAILED) {
            error_ = errno;
            ok = false;
        } else {
            data_ = static_cast<const std::uint8_t*>(p);
            size_ = size;
        }
    }
    fd_ = file.fd;
    if (!ok) {
        reset();  // keeps error_
    }
    return ok;
}

}  // namespace vrs

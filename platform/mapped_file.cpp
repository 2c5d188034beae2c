#include "platform/mapped_file.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <utility>

namespace platform {

MappedFile::MappedFile(std::FILE* file) {
    if (!file) return;
    const int fd = ::fileno(file);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || info.st_size <= 0) return;
    void* base = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (base == MAP_FAILED) return;
    base_ = base;
    size_ = static_cast<std::size_t>(info.st_size);
}

MappedFile::~MappedFile() { Release(); }

MappedFile::MappedFile(MappedFile&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        Release();
        base_ = std::exchange(other.base_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void MappedFile::Release() {
    if (base_) ::munmap(base_, size_);
    base_ = nullptr;
    size_ = 0;
}

}  // namespace platform

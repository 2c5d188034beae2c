#pragma once
// A file mapped read-only into memory, for data read at every redraw and never written while
// the program runs (the star levels): no copy into a buffer, and the pages are the system's
// file cache, shared with every other reader.
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace platform {

class MappedFile {
public:
    MappedFile() = default;
    // Maps the whole of an open file; empty (data() null) when it can't be mapped.
    explicit MappedFile(std::FILE* file);
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const std::uint8_t* data() const { return static_cast<const std::uint8_t*>(base_); }
    std::size_t size() const { return size_; }

private:
    void Release();
    void* base_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace platform

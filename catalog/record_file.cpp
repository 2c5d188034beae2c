#include "catalog/record_file.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <system_error>

#include "catalog/byte_order.h"
#include "platform/paths.h"
#include "core/report.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMovePiece = 16384;
constexpr long kCountOffset = 8;
constexpr long kSizeOffset = 12;

struct Header {
    std::uint32_t version = 0;
    std::uint32_t creator = 0;
    std::uint32_t count = 0;
    std::uint32_t size = 0;
};

bool SeekTo(std::FILE* f, std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
    return ::fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::uint64_t RecordOffset(const RecordFile& h, std::uint32_t index) {
    return kRecordFileHeaderSize + static_cast<std::uint64_t>(index) * h.recordSize;
}

bool ReadAt(std::FILE* f, std::uint64_t offset, void* data, std::size_t size) {
    return SeekTo(f, offset) && std::fread(data, 1, size, f) == size;
}

bool WriteAt(std::FILE* f, std::uint64_t offset, const void* data, std::size_t size) {
    return SeekTo(f, offset) && std::fwrite(data, 1, size, f) == size;
}

bool WriteU32At(std::FILE* f, long offset, std::uint32_t value) {
    std::uint8_t bytes[4];
    le::PutU32(bytes, 0, value);
    return WriteAt(f, static_cast<std::uint64_t>(offset), bytes, sizeof bytes);
}

Header DecodeHeader(const std::uint8_t* b) {
    return Header{le::U32(b, 0), le::U32(b, 4), le::U32(b, 8), le::U32(b, 12)};
}

// A damaged header must not drive allocations or seeks.
bool HeaderFits(const Header& h, std::uint64_t fileLength) {
    if (h.size > kMaxRecordSize) return false;
    if (h.size == 0) return h.count == 0;
    return kRecordFileHeaderSize + static_cast<std::uint64_t>(h.count) * h.size <= fileLength;
}

std::string ProgramPath(std::string_view a, std::string_view b = {}) {
    std::string s(a);
    s += b;
    return s;
}

// The first writable copy of a database: copied through a temporary name so that an
// interrupted copy never looks like a finished one.
bool CopyShippedFile(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return false;
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadWholeFile(source, bytes)) return false;
    return platform::WriteFileAtomically(target, bytes.data(), bytes.size());
}

}  // namespace

int OpenRecordFile(std::string_view name, int mode, RecordFilePtr& out) {
    out.reset();
    fs::path path;
    FileHandle file;
    if (mode == 0) {
        path = platform::ResolvePath(name);
        file.reset(std::fopen(path.c_str(), "rb"));
    } else {
        std::error_code ec;
        fs::create_directories(platform::ResolvePath("usercatalogs"), ec);
        path = platform::ResolvePath(ProgramPath("usercatalogs\\", name));
        if (!platform::EnsureParentFolders(path)) return 1;
        // Only a missing copy is made from the shipped file: a copy that exists but cannot
        // be opened holds the user's own records and must not be overwritten.
        if (!fs::exists(path, ec) && !ec) {
            // The shipped file of a writable folder (the user-object template in
            // "usercatalogs\") is installed beside the program, not in the user's home.
            fs::path shipped = platform::ResolvePath(name);
            if (!fs::exists(shipped, ec)) shipped = platform::ResolveInstallPath(name);
            if (!CopyShippedFile(shipped, path)) return 1;
        }
        file.reset(std::fopen(path.c_str(), "r+b"));
    }
    if (!file) return 1;

    std::uint8_t headerBytes[kRecordFileHeaderSize];
    if (std::fread(headerBytes, 1, sizeof headerBytes, file.get()) != sizeof headerBytes) return 1;
    const Header header = DecodeHeader(headerBytes);
    if (::fseeko(file.get(), 0, SEEK_END) != 0) return 1;
    const off_t length = ::ftello(file.get());
    if (length < 0 || !HeaderFits(header, static_cast<std::uint64_t>(length))) return 1;

    auto handle = std::make_unique<RecordFile>();
    handle->version = header.version;
    handle->creator = header.creator;
    handle->recordCount = header.count;
    handle->recordSize = header.size;
    handle->mode = mode == 0 ? 0 : 1;
    handle->path = std::move(path);
    handle->buffer.assign(header.size, 0);
    handle->file = std::move(file);
    out = std::move(handle);
    return 0;
}

int CreateRecordFile(std::string_view name, std::uint32_t /*typeCode*/, std::uint32_t creator) {
    const fs::path path = platform::ResolvePath(ProgramPath("usercatalogs\\", name));
    std::uint8_t header[kRecordFileHeaderSize] = {};
    le::PutU32(header, 4, creator);
    return platform::WriteFileAtomically(path, header, sizeof header) ? 0 : 1;
}

int CloseRecordFile(RecordFilePtr& handle) {
    handle.reset();
    return 1;
}

int CloseRecordFileChecked(RecordFilePtr& handle) {
    handle.reset();
    return 0;
}

int QueryRecord(RecordFile* h, std::uint32_t index, const std::uint8_t** out) {
    if (!h || !h->file || h->recordSize == 0 || index >= h->recordCount) return 1;
    if (!ReadAt(h->file.get(), RecordOffset(*h, index), h->buffer.data(), h->recordSize)) return 1;
    if (out) *out = h->buffer.data();
    return 0;
}

const std::uint8_t* GetRecord(RecordFile* h, std::uint32_t index) {
    const std::uint8_t* p = nullptr;
    return QueryRecord(h, index, &p) == 0 ? p : nullptr;
}

const std::uint8_t* GetRecordFast(RecordFile* h, std::uint32_t index) { return GetRecord(h, index); }

int ReadRecordBlock(RecordFile* h, std::uint32_t first, std::uint32_t count, std::vector<std::uint8_t>& out) {
    if (!h || !h->file || h->recordSize == 0) return 1;
    if (static_cast<std::uint64_t>(first) + count > h->recordCount) return 1;
    out.resize(static_cast<std::size_t>(count) * h->recordSize);
    if (count == 0) return 0;
    return ReadAt(h->file.get(), RecordOffset(*h, first), out.data(), out.size()) ? 0 : 1;
}

std::uint8_t* NewRecord(RecordFile* h, std::uint32_t* outIndex, std::uint32_t recordSize) {
    if (!h || !outIndex || !h->file || h->mode == 0) return nullptr;
    const bool adoptSize = h->recordSize == 0;
    if (adoptSize && (recordSize == 0 || recordSize > kMaxRecordSize)) return nullptr;
    if (h->recordCount == UINT32_MAX) return nullptr;
    const std::uint32_t size = adoptSize ? recordSize : h->recordSize;
    std::FILE* f = h->file.get();

    std::vector<std::uint8_t> zero(size, 0);
    const std::uint64_t offset = kRecordFileHeaderSize + static_cast<std::uint64_t>(h->recordCount) * size;
    // The record goes down before the header counts it, so a failure part-way leaves at most
    // ignored bytes past the count.
    if (!WriteAt(f, offset, zero.data(), size)) return nullptr;
    std::uint8_t sizeField[4];
    if (!ReadAt(f, kSizeOffset, sizeField, sizeof sizeField)) return nullptr;
    if (!WriteU32At(f, kCountOffset, h->recordCount + 1)) return nullptr;
    if (le::U32(sizeField, 0) == 0 && !WriteU32At(f, kSizeOffset, size)) {
        WriteU32At(f, kCountOffset, h->recordCount);
        std::fflush(f);
        return nullptr;
    }
    if (std::fflush(f) != 0) return nullptr;

    if (adoptSize) h->recordSize = size;
    h->buffer.assign(size, 0);
    *outIndex = h->recordCount;
    ++h->recordCount;
    return h->buffer.data();
}

int WriteRecord(RecordFile* h, std::uint32_t index, const void* data, std::size_t bytes) {
    if (!h || !h->file || !data || h->mode == 0 || h->recordSize == 0 || index >= h->recordCount) return 1;
    const std::size_t n = std::min<std::size_t>(bytes, h->recordSize);
    if (!WriteAt(h->file.get(), RecordOffset(*h, index), data, n)) return 1;
    return std::fflush(h->file.get()) == 0 ? 0 : 1;
}

int RemoveRecord(RecordFile* h, std::uint32_t index) {
    if (!h || !h->file || h->mode == 0 || h->recordSize == 0 || index >= h->recordCount) return 1;
    std::FILE* f = h->file.get();
    const std::uint32_t n = h->recordCount;
    const std::uint64_t size = h->recordSize;

    // The records after index move down one slot. The target lies before the source, so
    // copying forward piece by piece never overwrites bytes still to be read.
    const std::uint64_t total = (static_cast<std::uint64_t>(n) - 1 - index) * size;
    const std::uint64_t from = RecordOffset(*h, index + 1);
    const std::uint64_t to = RecordOffset(*h, index);
    std::vector<std::uint8_t> piece(static_cast<std::size_t>(std::min<std::uint64_t>(total, kMovePiece)));
    for (std::uint64_t moved = 0; moved < total;) {
        const std::size_t len = static_cast<std::size_t>(std::min<std::uint64_t>(total - moved, kMovePiece));
        if (!ReadAt(f, from + moved, piece.data(), len)) return 1;
        if (!WriteAt(f, to + moved, piece.data(), len)) return 1;
        moved += len;
    }
    std::vector<std::uint8_t> zero(h->recordSize, 0);
    if (!WriteAt(f, RecordOffset(*h, n - 1), zero.data(), zero.size())) return 1;
    if (!WriteU32At(f, kCountOffset, n - 1)) return 1;
    if (std::fflush(f) != 0) return 1;
    h->recordCount = n - 1;
    return 0;
}

std::uint16_t GetRecordCount(const RecordFile* h) {
    return h ? static_cast<std::uint16_t>(h->recordCount & 0xFFFF) : 0;
}

std::uint16_t GetRecordFileCount(const RecordFile* h) { return GetRecordCount(h); }

void GetRecordFileInfo(const RecordFile* h, std::uint16_t* version, std::uint16_t* count) {
    if (!h) return;
    if (version) *version = static_cast<std::uint16_t>(h->version & 0xFFFF);
    if (count) *count = GetRecordCount(h);
}

// ---------------------------------------------------------------------------------------

int OpenDb(RecordFilePtr& db, std::uint32_t /*creator*/, std::uint32_t /*typeCode*/, int mode, std::string_view folder,
           std::string_view name) {
    db.reset();
    OpenRecordFile(ProgramPath(folder, name), mode != 0 ? 1 : 0, db);
    return db ? 1 : 0;
}

void CloseDb(RecordFilePtr& db) { db.reset(); }

int GetDbRecordCount(const RecordFilePtr& db, int multiplier) {
    return db ? static_cast<int>(GetRecordCount(db.get())) * multiplier : 0;
}

int GetDbRecord(const RecordFilePtr& db, std::uint16_t index, void* dest, std::size_t bytes) {
    const std::uint8_t* record = nullptr;
    if (!db || !dest || QueryRecord(db.get(), index, &record) != 0) return 0;
    const std::size_t n = std::min<std::size_t>(bytes, db->recordSize);
    std::memcpy(dest, record, n);
    if (bytes > n) std::memset(static_cast<std::uint8_t*>(dest) + n, 0, bytes - n);
    return 1;
}

int WriteDbRecord(RecordFilePtr& db, std::uint16_t index, const void* data, std::size_t bytes) {
    if (!db) {
        ShowMessage("Database isn't open!", "");
        return 0;
    }
    if (!data || bytes == 0) return 0;
    std::uint32_t target = index;
    if (index == kAppendRecord) {
        // Index 0xFFFF asks for an append, so 65535 records are all a database can address.
        if (db->recordCount >= kAppendRecord) return 0;
        if (db->recordSize == 0 && bytes > kMaxRecordSize) return 0;
        if (!NewRecord(db.get(), &target, static_cast<std::uint32_t>(bytes))) return 0;
        if (WriteRecord(db.get(), target, data, bytes) != 0) {
            // Take the blank record back so that a failed write adds nothing.
            RemoveRecord(db.get(), target);
            return 0;
        }
        return 1;
    }
    return WriteRecord(db.get(), target, data, bytes) == 0 ? 1 : 0;
}

int DeleteDbRecord(RecordFilePtr& db, int index) {
    if (!db) {
        ShowMessage("Database isn't open!", "");
        return 0;
    }
    if (index < 0 || static_cast<std::uint32_t>(index) >= db->recordCount || db->recordCount == 0) return 1;
    return RemoveRecord(db.get(), static_cast<std::uint32_t>(index)) == 0 ? 1 : 0;
}

int GetDbVersion(const RecordFilePtr& db, std::uint16_t* version) {
    if (!db) {
        if (version) *version = 0;
        return 0;
    }
    if (version) *version = static_cast<std::uint16_t>(db->version & 0xFFFF);
    return 1;
}

// ---------------------------------------------------------------------------------------

std::uint8_t* RecordFileImage::Append() {
    if (recordSize == 0) return nullptr;
    records.resize(records.size() + recordSize, 0);
    return records.data() + records.size() - recordSize;
}

bool WriteRecordFileImage(const fs::path& path, const RecordFileImage& image) {
    if (image.recordSize > kMaxRecordSize) return false;
    if (image.recordSize == 0 ? !image.records.empty() : image.records.size() % image.recordSize != 0) return false;
    if (image.recordSize && image.records.size() / image.recordSize > UINT32_MAX) return false;
    std::uint8_t header[kRecordFileHeaderSize];
    le::PutU32(header, 0, image.version);
    le::PutU32(header, 4, image.creator);
    le::PutU32(header, 8, image.Count());
    le::PutU32(header, 12, image.recordSize);
    platform::AtomicFile out(path);
    if (!out.Ok() || !out.Write(header, sizeof header)) return false;
    if (!image.records.empty() && !out.Write(image.records.data(), image.records.size())) return false;
    return out.Commit();
}

bool ReadRecordFileImage(const fs::path& path, RecordFileImage& image) {
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadWholeFile(path, bytes) || bytes.size() < kRecordFileHeaderSize) return false;
    const Header header = DecodeHeader(bytes.data());
    if (!HeaderFits(header, bytes.size())) return false;
    image.version = header.version;
    image.creator = header.creator;
    image.recordSize = header.size;
    const auto begin = bytes.begin() + kRecordFileHeaderSize;
    image.records.assign(begin, begin + static_cast<std::ptrdiff_t>(static_cast<std::uint64_t>(header.count) * header.size));
    return true;
}

void SortRecords(RecordFileImage& image, const RecordLess& less, std::uint32_t first, std::uint32_t count) {
    const std::uint32_t total = image.Count();
    if (first >= total) return;
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, total - first));
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), first);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return less(image.Record(a), image.Record(b)); });
    std::vector<std::uint8_t> sorted(static_cast<std::size_t>(n) * image.recordSize);
    for (std::uint32_t i = 0; i < n; ++i)
        std::memcpy(sorted.data() + static_cast<std::size_t>(i) * image.recordSize, image.Record(order[i]),
                    image.recordSize);
    std::memcpy(image.Record(first), sorted.data(), sorted.size());
}

// ---------------------------------------------------------------------------------------

std::string GetAppDirectory() {
    std::string dir = platform::InstallRoot().string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

void GetAppDirectory(char* buffer, std::size_t size) {
    if (!buffer || size == 0) return;
    const std::string dir = GetAppDirectory();
    const std::size_t n = std::min(dir.size(), size - 1);
    std::memcpy(buffer, dir.data(), n);
    buffer[n] = '\0';
}

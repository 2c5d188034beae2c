#include "catalog/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>
#include <system_error>

#include "catalog/byte_order.h"
#include "platform/paths.h"
#include "core/report.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kCountOffset = 8;
constexpr std::uint32_t kSizeOffset = 12;

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

Header DecodeHeader(const std::uint8_t* b) {
    return Header{le::U32(b, 0), le::U32(b, 4), le::U32(b, 8), le::U32(b, 12)};
}

// What is wrong with a header for a file of `fileLength` bytes, or an empty text. A damaged
// header must not drive allocations or seeks.
std::string HeaderFault(const Header& h, std::uint64_t fileLength) {
    if (h.size > kMaxRecordSize)
        return "its header gives a record size of " + std::to_string(h.size) + " bytes, above " +
               std::to_string(kMaxRecordSize);
    if (h.size == 0) return h.count == 0 ? std::string() : "its header counts records of no size";
    if (kRecordFileHeaderSize + static_cast<std::uint64_t>(h.count) * h.size > fileLength)
        return "its header claims " + std::to_string(h.count) + " records of " + std::to_string(h.size) +
               " bytes, more than its " + std::to_string(fileLength) + " bytes hold";
    return {};
}

std::string ProgramPath(std::string_view a, std::string_view b = {}) {
    std::string s(a);
    s += b;
    return s;
}

void ReportUnreadable(const fs::path& path, const std::string& why) {
    const std::string detail = path.string() + ": " + why + ".\nThe file was left as it is.";
    ShowMessage("Can't read data.", detail.c_str());
}

void ReportUnwritten(const fs::path& path, const std::string& why) {
    const std::string detail = path.string() + ": " + why + ".\nThe file on disk was left as it was.";
    ShowMessage("Can't write data.", detail.c_str());
}

// The first writable copy of a database, copied through a temporary name so that an
// interrupted copy never looks like a finished one. A missing shipped file is no fault
// of the copy (the open fails and the caller says which database is missing).
bool CopyShippedFile(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return false;
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!platform::ReadWholeFile(source, bytes, &why)) {
        ReportUnreadable(source, why);
        return false;
    }
    if (!platform::WriteFileAtomically(target, bytes.data(), bytes.size(), &why)) {
        ReportUnwritten(target, "the writable copy of " + source.string() + " could not be made: " + why);
        return false;
    }
    return true;
}

fs::path ShippedPath(std::string_view name) {
    // The shipped file of a writable folder (the user-object template in "usercatalogs\")
    // is installed beside the program, not in the user's home.
    std::error_code ec;
    fs::path shipped = platform::ResolvePath(name);
    if (!fs::exists(shipped, ec)) shipped = platform::ResolveInstallPath(name);
    return shipped;
}

// Opens and checks a file. Faults of the user's own files are reported with the file's
// name; faults of shipped files are left to the caller, which knows the database.
int OpenChecked(fs::path path, int mode, bool report, RecordFilePtr& out) {
    auto fault = [&](const std::string& why) {
        if (report) ReportUnreadable(path, why);
        return 1;
    };
    std::error_code ec;
    if (fs::is_directory(path, ec)) return fault("it is a folder, not a file");
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) return errno == ENOENT ? 1 : fault(std::strerror(errno));

    std::uint8_t headerBytes[kRecordFileHeaderSize];
    if (std::fread(headerBytes, 1, sizeof headerBytes, file.get()) != sizeof headerBytes)
        return fault(std::ferror(file.get()) ? std::string(std::strerror(errno))
                                             : "it is shorter than its 16-byte header");
    const Header header = DecodeHeader(headerBytes);
    if (::fseeko(file.get(), 0, SEEK_END) != 0) return fault(std::strerror(errno));
    const off_t length = ::ftello(file.get());
    if (length < 0) return fault(std::strerror(errno));
    if (const std::string why = HeaderFault(header, static_cast<std::uint64_t>(length)); !why.empty())
        return fault(why);

    static std::uint64_t opens = 0;
    auto handle = std::make_unique<RecordFile>();
    handle->openSerial = ++opens;
    handle->version = header.version;
    handle->creator = header.creator;
    handle->recordCount = header.count;
    handle->recordSize = header.size;
    handle->mode = mode;
    handle->path = std::move(path);
    handle->buffer.assign(header.size, 0);
    handle->file = std::move(file);
    out = std::move(handle);
    return 0;
}

// Every change to a file goes through here: the file's bytes, changed by `edit`, go to a
// temporary file that is synced and renamed over the file, so that a crash or a full disk
// leaves the old file or the new one, never a mix of both. The handle then reads the new
// file. On failure the file and the handle stay as they were and the user is told why.
bool Rewrite(RecordFile& h, const std::function<void(std::vector<std::uint8_t>&)>& edit) {
    std::FILE* f = h.file.get();
    off_t length = -1;
    if (::fseeko(f, 0, SEEK_END) == 0) length = ::ftello(f);
    if (length < 0 || !SeekTo(f, 0)) {
        ReportUnwritten(h.path, std::strerror(errno));
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    if (std::ferror(f) || bytes.size() < RecordOffset(h, h.recordCount)) {
        std::clearerr(f);
        ReportUnwritten(h.path, "it could not be read back whole before the change");
        return false;
    }
    edit(bytes);
    std::string why;
    if (!platform::WriteFileAtomically(h.path, bytes.data(), bytes.size(), &why)) {
        ReportUnwritten(h.path, why);
        return false;
    }
    FileHandle reopened(std::fopen(h.path.c_str(), "rb"));
    if (!reopened) {
        ReportUnreadable(h.path, std::string("it was saved but cannot be opened again: ") + std::strerror(errno));
        h.file.reset();
        return false;
    }
    h.file = std::move(reopened);
    return true;
}

bool Writable(const RecordFile* h) { return h && h->file && h->mode != 0; }

// Appends one record holding min(bytes, size) bytes of `data` (zeros without data) in one
// rewrite. A file of record size 0 takes `recordSize` as its size.
bool AppendRecord(RecordFile* h, std::uint32_t recordSize, const void* data, std::size_t bytes,
                  std::uint32_t* outIndex) {
    if (!Writable(h) || !outIndex) return false;
    const bool adoptSize = h->recordSize == 0;
    if (adoptSize && (recordSize == 0 || recordSize > kMaxRecordSize)) return false;
    if (h->recordCount == UINT32_MAX) return false;
    const std::uint32_t size = adoptSize ? recordSize : h->recordSize;
    const std::uint32_t index = h->recordCount;
    const std::size_t used = data ? std::min<std::size_t>(bytes, size) : 0;
    const bool ok = Rewrite(*h, [&](std::vector<std::uint8_t>& file) {
        const std::size_t at = kRecordFileHeaderSize + static_cast<std::size_t>(index) * size;
        // The slot may hold bytes left past the count by a removal.
        if (file.size() < at + size) file.resize(at + size);
        std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(at), size, std::uint8_t{0});
        if (used) std::memcpy(file.data() + at, data, used);
        le::PutU32(file.data(), kCountOffset, index + 1);
        if (le::U32(file.data(), kSizeOffset) == 0) le::PutU32(file.data(), kSizeOffset, size);
    });
    if (!ok) return false;
    if (adoptSize) h->recordSize = size;
    h->buffer.assign(size, 0);
    if (used) std::memcpy(h->buffer.data(), data, used);
    h->recordCount = index + 1;
    *outIndex = index;
    return true;
}

// The record count of a whole record file, read from its header: false when the file
// cannot be read or its header does not fit its length.
bool ReadRecordCount(const fs::path& path, std::uint32_t* count) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    std::uint8_t bytes[kRecordFileHeaderSize];
    if (!file || std::fread(bytes, 1, sizeof bytes, file.get()) != sizeof bytes) return false;
    if (::fseeko(file.get(), 0, SEEK_END) != 0) return false;
    const off_t length = ::ftello(file.get());
    const Header header = DecodeHeader(bytes);
    if (length < 0 || !HeaderFault(header, static_cast<std::uint64_t>(length)).empty()) return false;
    *count = header.size ? header.count : 0;
    return true;
}

}  // namespace

int OpenRecordFile(std::string_view name, int mode, RecordFilePtr& out) {
    out.reset();
    if (mode == 0) return OpenChecked(platform::ResolvePath(name), 0, false, out);

    const fs::path copy = platform::ResolvePath(ProgramPath("usercatalogs\\", name));
    std::error_code ec;
    const bool copyExists = fs::exists(fs::symlink_status(copy, ec));
    if (!platform::HomeUsable()) {
        // The home cannot be written (the user was told at start): the user's copy, or the
        // shipped file until there is one, is read and nothing is written.
        return copyExists ? OpenChecked(copy, 0, true, out) : OpenChecked(ShippedPath(name), 0, false, out);
    }
    // Only a missing copy is made from the shipped file: a copy that exists but cannot be
    // opened holds the user's own records and must not be overwritten.
    if (!copyExists && !CopyShippedFile(ShippedPath(name), copy)) return 1;
    return OpenChecked(copy, 1, true, out);
}

void RefreshEmptyUserCopy(std::string_view name) {
    if (!platform::HomeUsable()) return;
    const fs::path copy = platform::ResolvePath(ProgramPath("usercatalogs\\", name));
    const fs::path shipped = ShippedPath(name);
    std::error_code ec;
    if (!fs::is_regular_file(copy, ec) || !fs::is_regular_file(shipped, ec)) return;
    // Only a whole, readable copy without records is replaced; anything else may be the
    // user's and stays as it is. Every start asks, so only the headers are read.
    std::uint32_t mine = 0, theirs = 0;
    if (!ReadRecordCount(copy, &mine) || mine != 0) return;
    if (!ReadRecordCount(shipped, &theirs) || theirs == 0) return;
    CopyShippedFile(shipped, copy);
}

int CreateRecordFile(std::string_view name, std::uint32_t /*typeCode*/, std::uint32_t creator) {
    const fs::path path = platform::ResolvePath(ProgramPath("usercatalogs\\", name));
    std::uint8_t header[kRecordFileHeaderSize] = {};
    le::PutU32(header, 4, creator);
    std::string why;
    if (platform::WriteFileAtomically(path, header, sizeof header, &why)) return 0;
    ReportUnwritten(path, why);
    return 1;
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

const std::uint8_t* MappedRecordBlock(RecordFile* h, std::uint32_t first, std::uint32_t count) {
    if (!h || !h->file || h->mode != 0 || h->recordSize == 0) return nullptr;
    if (static_cast<std::uint64_t>(first) + count > h->recordCount) return nullptr;
    if (!h->mapTried) {
        h->mapTried = true;
        h->mapped = platform::MappedFile(h->file.get());
    }
    if (!h->mapped.data() || RecordOffset(*h, first + count) > h->mapped.size()) return nullptr;
    return h->mapped.data() + RecordOffset(*h, first);
}

std::uint8_t* NewRecord(RecordFile* h, std::uint32_t* outIndex, std::uint32_t recordSize) {
    return AppendRecord(h, recordSize, nullptr, 0, outIndex) ? h->buffer.data() : nullptr;
}

int WriteRecord(RecordFile* h, std::uint32_t index, const void* data, std::size_t bytes) {
    if (!Writable(h) || !data || h->recordSize == 0 || index >= h->recordCount) return 1;
    const std::size_t n = std::min<std::size_t>(bytes, h->recordSize);
    const std::size_t at = RecordOffset(*h, index);
    return Rewrite(*h, [&](std::vector<std::uint8_t>& file) { std::memcpy(file.data() + at, data, n); }) ? 0 : 1;
}

int RemoveRecord(RecordFile* h, std::uint32_t index) {
    if (!Writable(h) || h->recordSize == 0 || index >= h->recordCount) return 1;
    const std::uint32_t n = h->recordCount;
    const std::size_t size = h->recordSize;
    const std::size_t at = RecordOffset(*h, index);
    const std::size_t last = RecordOffset(*h, n - 1);
    const bool ok = Rewrite(*h, [&](std::vector<std::uint8_t>& file) {
        std::memmove(file.data() + at, file.data() + at + size, last - at);
        std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(last), size, std::uint8_t{0});
        le::PutU32(file.data(), kCountOffset, n - 1);
    });
    if (!ok) return 1;
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
        return AppendRecord(db.get(), static_cast<std::uint32_t>(bytes), data, bytes, &target) ? 1 : 0;
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
    if (!HeaderFault(header, bytes.size()).empty()) return false;
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

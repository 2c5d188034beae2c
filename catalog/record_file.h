#pragma once
// The fixed-record ".ppc" file: a 16-byte little-endian header {version, creator code,
// record count, record size} followed by count records of size bytes, record i at
// 16 + i * size. Bytes past the last record are ignored (removal does not shorten the file).
//
// Every change (append, write, removal) writes the whole new file under a temporary name,
// syncs it and renames it over the old one, so a crash or a full disk leaves the old file
// or the new one, never a mix; a failure names the file and the system's reason.
//
// Two layers: the record-file layer (a `RecordFile` handle and its operations) and the
// database layer over one `RecordFilePtr` per database. Program paths ("data\x.ppc") are
// mapped by platform::ResolvePath: mode 0 opens the shipped file read-only, mode 1 the
// user's writable copy under "usercatalogs\", made from the shipped file the first time.
//
// Results: the record-file openers and writers return 0 on success and 1 on failure; the
// database layer returns 1 on success and 0 on failure.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mapped_file.h"

inline constexpr std::uint32_t kRecordFileHeaderSize = 16;
inline constexpr std::uint32_t kMaxRecordSize = 65536;
// Passed with the creator code whenever a database is opened or created; stored nowhere.
inline constexpr std::uint32_t kTypeCodeQvn1 = 0x51564E31;  // "QVN1"
// The database layer's record index that asks for an append.
inline constexpr std::uint16_t kAppendRecord = 0xFFFF;

struct FileCloser {
    void operator()(std::FILE* f) const noexcept {
        if (f) std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

struct RecordFile {
    std::uint32_t version = 0;
    std::uint32_t creator = 0;
    std::uint32_t recordCount = 0;
    std::uint32_t recordSize = 0;       // 0 until the first append of a fresh file
    int mode = 0;                       // 0 read-only, 1 update
    std::filesystem::path path;
    std::vector<std::uint8_t> buffer;   // one record; every read lands here
    FileHandle file;
    platform::MappedFile mapped;        // a read-only file, once MappedRecordBlock maps it
    bool mapTried = false;
    // Distinct for every open in a run: what a reader derives from a read-only file's records
    // and keeps stays good while the handle and this number are the same.
    std::uint64_t openSerial = 0;
};
using RecordFilePtr = std::unique_ptr<RecordFile>;

// ---------------------------------------------------------------------------------------
// Record-file layer

// Opens a program path. Mode 0: the file itself, read-only. Mode 1: "usercatalogs\<name>"
// for update, copied from <name> only when the copy does not exist yet (an existing copy
// that cannot be opened fails the open and is left alone). The header is checked: a short
// header, a record size above 65536, a size of 0 with records, or records running past the
// end of the file fail the open. A user's copy that fails (damaged, a folder in its place,
// unreadable) and a copy that cannot be made are reported with the file's name and why.
// While the home is unusable (platform::HomeUsable), mode 1 opens the copy, or the shipped
// file when there is no copy, read-only and makes nothing.
// 0 and the handle, or 1 and a null handle.
int OpenRecordFile(std::string_view name, int mode, RecordFilePtr& out);
// Replaces the user's copy of a shipped file (mode 1 above) by the shipped file when the
// copy holds no records and the shipped file has some: a copy made from an empty file of
// an older data set would otherwise hide the new records for good. A copy with records, or
// one that cannot be read, is left alone.
void RefreshEmptyUserCopy(std::string_view name);

// Creates "usercatalogs\<name>" as an empty file {version 0, creator, count 0, size 0},
// replacing any file of that name. 0 on success, 1 on failure.
int CreateRecordFile(std::string_view name, std::uint32_t typeCode, std::uint32_t creator);

// Close the stream and free the handle (a null handle is fine). CloseRecordFile returns
// 1, CloseRecordFileChecked 0.
int CloseRecordFile(RecordFilePtr& handle);
int CloseRecordFileChecked(RecordFilePtr& handle);

// Reads record `index` into the handle's buffer: 0 and a pointer to the buffer (valid
// until the next read of the same file), or 1 when there is no stream, the index is at or
// past the count, the record size is 0, or a whole record could not be read.
int QueryRecord(RecordFile* handle, std::uint32_t index, const std::uint8_t** out);
// The same, returning the buffer or null.
const std::uint8_t* GetRecord(RecordFile* handle, std::uint32_t index);
const std::uint8_t* GetRecordFast(RecordFile* handle, std::uint32_t index);

// Reads `count` records from `first` into `out` (count * size bytes). 0 on success, 1
// when the range passes the record count or the read fails.
int ReadRecordBlock(RecordFile* handle, std::uint32_t first, std::uint32_t count, std::vector<std::uint8_t>& out);
// The records first..first + count - 1 of a file opened read-only, in place: the file is
// mapped at the first call and stays mapped while the handle is open. nullptr for a file
// open for update, one that can't be mapped, or records past its end (ReadRecordBlock then).
const std::uint8_t* MappedRecordBlock(RecordFile* handle, std::uint32_t first, std::uint32_t count);

// Appends one zeroed record and returns the zeroed buffer, its index in *outIndex. A file
// of record size 0 takes `recordSize` (1..65536) as its size. The file is saved at once.
// On any failure returns null and leaves the file, the count (and size) unchanged.
std::uint8_t* NewRecord(RecordFile* handle, std::uint32_t* outIndex, std::uint32_t recordSize);

// Writes min(bytes, record size) bytes over record `index` (which must exist) and saves
// the file. 0 on success, 1 on failure.
int WriteRecord(RecordFile* handle, std::uint32_t index, const void* data, std::size_t bytes);

// Removes record `index`, moving the later records down and zeroing the vacated last slot;
// the file keeps its length and the next append reuses the slot. 0 on success, 1 on
// failure (no stream, index at or past the count, the new file not written).
int RemoveRecord(RecordFile* handle, std::uint32_t index);

// Record count modulo 65536; 0 for a null handle.
std::uint16_t GetRecordCount(const RecordFile* handle);
std::uint16_t GetRecordFileCount(const RecordFile* handle);
// Fills whichever outputs are given (version and count, low 16 bits).
void GetRecordFileInfo(const RecordFile* handle, std::uint16_t* version, std::uint16_t* count);

// ---------------------------------------------------------------------------------------
// Database layer

// Opens folder + name ("data\" + "velkarion_moon.ppc") in mode 1 when `mode` is nonzero,
// else mode 0, into `db` (which is closed first if it held a file). Nonzero when open.
int OpenDb(RecordFilePtr& db, std::uint32_t creator, std::uint32_t typeCode, int mode, std::string_view folder,
           std::string_view name);
void CloseDb(RecordFilePtr& db);
// Record count times `multiplier`; 0 when closed.
int GetDbRecordCount(const RecordFilePtr& db, int multiplier);
// Copies record `index` into dest: min(bytes, record size) bytes, any rest of dest zeroed.
// 1 on success; 0 without a message when closed or the record cannot be read.
int GetDbRecord(const RecordFilePtr& db, std::uint16_t index, void* dest, std::size_t bytes);
// Writes `bytes` over record `index`, or appends a new record for kAppendRecord (an empty
// file takes `bytes` as its record size), in one save. "Database isn't open!" and 0 when
// closed; 0 when the append or the write fails (nothing written, count unchanged); 1 on
// success.
int WriteDbRecord(RecordFilePtr& db, std::uint16_t index, const void* data, std::size_t bytes);
// "Database isn't open!" and 0 when closed; 1 without change for an index outside the
// records; otherwise removes the record and returns 1 (0 when the removal fails).
int DeleteDbRecord(RecordFilePtr& db, int index);
// 1 and the header version (low 16 bits) when open; 0 and 0 when closed.
int GetDbVersion(const RecordFilePtr& db, std::uint16_t* version);

// ---------------------------------------------------------------------------------------
// Whole files, for tools that build catalogs: the header fields and all records in memory,
// written in one go so that a crash never leaves a half-written catalog.

struct RecordFileImage {
    std::uint32_t version = 0;
    std::uint32_t creator = 0;
    std::uint32_t recordSize = 0;
    std::vector<std::uint8_t> records;  // count * recordSize bytes

    std::uint32_t Count() const { return recordSize ? static_cast<std::uint32_t>(records.size() / recordSize) : 0; }
    // Appends a zeroed record and returns it (valid until the next append).
    std::uint8_t* Append();
    std::uint8_t* Record(std::uint32_t i) { return records.data() + static_cast<std::size_t>(i) * recordSize; }
    const std::uint8_t* Record(std::uint32_t i) const {
        return records.data() + static_cast<std::size_t>(i) * recordSize;
    }
};

// Writes the image to a real path through a temporary file renamed into place. true on
// success.
bool WriteRecordFileImage(const std::filesystem::path& path, const RecordFileImage& image);
// Reads and checks a whole file (the same checks as OpenRecordFile). true on success.
bool ReadRecordFileImage(const std::filesystem::path& path, RecordFileImage& image);
// Stable sort of records [first, first + count) by `less` over two records' bytes.
// count = UINT32_MAX sorts to the end.
using RecordLess = std::function<bool(const std::uint8_t* a, const std::uint8_t* b)>;
void SortRecords(RecordFileImage& image, const RecordLess& less, std::uint32_t first = 0,
                 std::uint32_t count = UINT32_MAX);

// ---------------------------------------------------------------------------------------

// The program folder: the install root as a path text ending in '/'. Files are found
// through platform::ResolvePath; this is for code that needs the folder itself.
std::string GetAppDirectory();
// The same into a caller's buffer of `size` bytes (cut to fit, always NUL-terminated); a
// null buffer writes nothing.
void GetAppDirectory(char* buffer, std::size_t size);

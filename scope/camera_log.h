#pragma once
// The camera log "velkarion_camlog.ppc": one 360-byte little-endian record per sequence
// the user saved, in the writable copy of the data folder.
//
//   0 s32 record index (set when read)   4 s32 year    8 s32 month   12 s32 day
//  16 s32 hour   20 s32 minute   24 s32 shots   28 s32 exposure s   32 s32 delay s
//  36 s32 ISO row (0 "100" .. 5 "3200")   40 char[20] file name   60 char[300] description
#include <cstdint>

inline constexpr const char* kCameraLogFile = "velkarion_camlog.ppc";
inline constexpr std::uint32_t kCreatorCameraLog = 0x706c3330;
inline constexpr int kCameraLogRecordSize = 360;
inline constexpr int kCameraLogNameSize = 20;
inline constexpr int kCameraLogDescriptionSize = 300;

struct CameraLogRecord {
    std::int32_t index = 0;
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t shots = 0;
    std::int32_t exposure = 0;
    std::int32_t delay = 0;
    std::int32_t iso = 0;
    char fileName[kCameraLogNameSize] = {};
    char description[kCameraLogDescriptionSize] = {};
};

void EncodeCameraLogRecord(const CameraLogRecord& record, std::uint8_t* bytes);
void DecodeCameraLogRecord(const std::uint8_t* bytes, CameraLogRecord& record);

// The record of the form: what CameraLogEdit read, or what the form saves.
extern CameraLogRecord cameraLogRecord;

// Opens the log for writing, creating it empty when it cannot be opened. 1 when open;
// "Could not create Camera log database" or "Could not open Camera log database" and 0.
int OpenCameraLog();
void CloseCameraLog();
// The number of records; 0 while the log is closed.
int CountCameraLog();
// Reads record n into cameraLogRecord (its index set to n). 0 when it cannot be read (the
// log is then closed); "CameraLogEdit Camera database not open" while closed.
int CameraLogEdit(int n);
// n = -1 appends the record, n >= 0 rewrites record n. 1 when written; "CameraLogUpdate
// Camera database not open" while closed.
int CameraLogUpdate(int n, const CameraLogRecord& record);
// Removes record n when it exists. "CameraLogDel Camera database not open" while closed.
int CameraLogDel(int n);

#include "scope/camera_log.h"

#include <cstring>

#include "catalog/byte_order.h"
#include "catalog/record_file.h"
#include "core/report.h"

CameraLogRecord cameraLogRecord;

namespace {

constexpr const char* kDataFolder = "data\\";
RecordFilePtr cameraLog;

void PutText(std::uint8_t* bytes, int at, int size, const char* text) {
    std::memset(bytes + at, 0, static_cast<std::size_t>(size));
    const std::size_t n = strnlen(text, static_cast<std::size_t>(size - 1));
    std::memcpy(bytes + at, text, n);
}

void GetText(const std::uint8_t* bytes, int at, int size, char* text) {
    std::memcpy(text, bytes + at, static_cast<std::size_t>(size));
    text[size - 1] = '\0';
}

}  // namespace

void EncodeCameraLogRecord(const CameraLogRecord& r, std::uint8_t* bytes) {
    std::memset(bytes, 0, kCameraLogRecordSize);
    const std::int32_t numbers[] = {r.index, r.year, r.month, r.day, r.hour, r.minute, r.shots, r.exposure, r.delay,
                                    r.iso};
    for (int i = 0; i < 10; ++i) le::PutI32(bytes, static_cast<std::size_t>(4 * i), numbers[i]);
    PutText(bytes, 40, kCameraLogNameSize, r.fileName);
    PutText(bytes, 60, kCameraLogDescriptionSize, r.description);
}

void DecodeCameraLogRecord(const std::uint8_t* bytes, CameraLogRecord& r) {
    std::int32_t* numbers[] = {&r.index, &r.year, &r.month, &r.day, &r.hour, &r.minute, &r.shots, &r.exposure,
                               &r.delay, &r.iso};
    for (int i = 0; i < 10; ++i) *numbers[i] = le::I32(bytes, static_cast<std::size_t>(4 * i));
    GetText(bytes, 40, kCameraLogNameSize, r.fileName);
    GetText(bytes, 60, kCameraLogDescriptionSize, r.description);
}

int OpenCameraLog() {
    if (OpenDb(cameraLog, kCreatorCameraLog, kTypeCodeQvn1, 1, kDataFolder, kCameraLogFile)) return 1;
    std::string name = std::string(kDataFolder) + kCameraLogFile;
    if (CreateRecordFile(name, kTypeCodeQvn1, kCreatorCameraLog) != 0) {
        ShowMessage("Could not create Camera log database", "");
        return 0;
    }
    if (OpenDb(cameraLog, kCreatorCameraLog, kTypeCodeQvn1, 1, kDataFolder, kCameraLogFile)) return 1;
    ShowMessage("Could not open Camera log database", "");
    return 0;
}

void CloseCameraLog() { CloseDb(cameraLog); }

int CountCameraLog() { return GetDbRecordCount(cameraLog, 1); }

int CameraLogEdit(int n) {
    if (!cameraLog) {
        ShowMessage("CameraLogEdit Camera database not open", "");
        return 0;
    }
    std::uint8_t bytes[kCameraLogRecordSize];
    if (n < 0 || n >= CountCameraLog() || !GetDbRecord(cameraLog, static_cast<std::uint16_t>(n), bytes, sizeof bytes)) {
        CloseCameraLog();
        return 0;
    }
    DecodeCameraLogRecord(bytes, cameraLogRecord);
    cameraLogRecord.index = n;
    return 1;
}

int CameraLogUpdate(int n, const CameraLogRecord& record) {
    if (!cameraLog) {
        ShowMessage("CameraLogUpdate Camera database not open", "");
        return 0;
    }
    std::uint8_t bytes[kCameraLogRecordSize];
    EncodeCameraLogRecord(record, bytes);
    const std::uint16_t index = n < 0 ? kAppendRecord : static_cast<std::uint16_t>(n);
    return WriteDbRecord(cameraLog, index, bytes, sizeof bytes);
}

int CameraLogDel(int n) {
    if (!cameraLog) {
        ShowMessage("CameraLogDel Camera database not open", "");
        return 0;
    }
    if (n < 0 || n >= CountCameraLog()) return 0;
    return DeleteDbRecord(cameraLog, n);
}

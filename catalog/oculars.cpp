#include "catalog/oculars.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "core/settings.h"

RecordFilePtr eyepieceDb;

namespace {

int OpenWritableCopy() {
    return OpenDb(eyepieceDb, kCreatorEyepieces, kTypeCodeQvn1, 1, kDataFolder, kEyepieceFile);
}

void SetLabel(char* label, int length, const char* text) {
    if (!label || length < 1) return;
    std::snprintf(label, static_cast<std::size_t>(length), "%s", text);
}

// "code-name", cut to the label's room.
void SetRecordLabel(char* label, int length, const EyepieceRecord& r) {
    if (!label || length < 1) return;
    std::snprintf(label, static_cast<std::size_t>(length), "%s-%s", r.brandCode, r.name);
}

bool ReadOpen(int index, EyepieceRecord* out) {
    if (index < 0 || index >= kAppendRecord) return false;
    std::uint8_t bytes[kEyepieceRecordSize];
    if (!GetDbRecord(eyepieceDb, static_cast<std::uint16_t>(index), bytes, sizeof bytes)) return false;
    DecodeEyepieceRecord(bytes, *out);
    return true;
}

void Deliver(const EyepieceRecord& r, float* field, float* focal, char* label, int length) {
    SetRecordLabel(label, length, r);
    if (field) *field = r.apparentField;
    if (focal) *focal = r.focalLength;
}

}  // namespace

void DecodeEyepieceRecord(const std::uint8_t* bytes, EyepieceRecord& out) {
    out = EyepieceRecord{};
    le::Text(bytes, 0, 28, out.brand);
    le::Text(bytes, 28, 4, out.brandCode);
    le::Text(bytes, 32, 32, out.name);
    out.focalLength = le::F32(bytes, 64);
    out.apparentField = le::F32(bytes, 68);
}

void EncodeEyepieceRecord(const EyepieceRecord& record, std::uint8_t* bytes) {
    std::memset(bytes, 0, kEyepieceRecordSize);
    le::PutText(bytes, 0, 28, record.brand);
    le::PutText(bytes, 28, 4, record.brandCode);
    le::PutText(bytes, 32, 32, record.name);
    le::PutF32(bytes, 64, record.focalLength);
    le::PutF32(bytes, 68, record.apparentField);
}

int OpenEyepieceDbAt(const char* path) {
    if (!path) return -1;
    return OpenDb(eyepieceDb, kCreatorEyepieces, kTypeCodeQvn1, 1, "", path);
}

void CloseEyepieceDb() { CloseDb(eyepieceDb); }

int CountEyepieceRecords() { return GetDbRecordCount(eyepieceDb, 1); }

int DeleteEyepieceRecord(int index) { return DeleteDbRecord(eyepieceDb, index); }

int AppendEyepieceRecord(int index, const EyepieceRecord& record) {
    std::uint8_t bytes[kEyepieceRecordSize];
    EncodeEyepieceRecord(record, bytes);
    return WriteDbRecord(eyepieceDb, static_cast<std::uint16_t>(index), bytes, sizeof bytes);
}

int HasEyepieceDb() {
    if (!OpenWritableCopy()) return 0;
    const int count = CountEyepieceRecords();
    CloseEyepieceDb();
    return count;
}

int GetEyepieceByIndex(int index, float* field, float* focal, char* label, int labelLength) {
    SetLabel(label, labelLength, "None");
    if (!OpenWritableCopy()) return 0;
    EyepieceRecord r;
    const bool found = ReadOpen(index, &r);
    CloseEyepieceDb();
    if (!found) return 0;
    Deliver(r, field, focal, label, labelLength);
    return 1;
}

int FindEyepiece(int wanted, float* field, float* focal, char* label, int labelLength) {
    SetLabel(label, labelLength, "None");
    if (!OpenWritableCopy()) return 0;
    const float telescope = static_cast<float>(GetFocalLengthMm());
    long best = 2000000;
    int bestIndex = 0;
    // From the last record down, so that of two equally near eyepieces the later stays.
    for (int i = CountEyepieceRecords() - 1; i >= 0; --i) {
        EyepieceRecord r;
        if (!ReadOpen(i, &r) || r.focalLength == 0.0f) continue;
        const double difference = std::fabs(static_cast<double>(telescope / r.focalLength) - wanted);
        // A difference too large for a count can never beat the start value.
        if (!(difference < 2000000.0)) continue;
        const long d = static_cast<long>(difference);
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    EyepieceRecord r;
    const bool found = ReadOpen(bestIndex, &r);
    CloseEyepieceDb();
    if (!found) return 0;
    Deliver(r, field, focal, label, labelLength);
    return 1;
}

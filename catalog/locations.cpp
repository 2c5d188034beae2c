#include "catalog/locations.h"

int locationCount = 0;

int OpenLocationDb() { return OpenDb(locationDb, kCreatorLocations, kTypeCodeQvn1, 1, kDataFolder, kLocationFile); }

int OpenLocationDbAt(const char* path) {
    if (!path) return -1;
    return OpenDb(locationDb, kCreatorLocations, kTypeCodeQvn1, 1, "", path);
}

void CloseLocationDb() { CloseDb(locationDb); }

void CloseLocationImportDb() { CloseDb(locationDb); }

int CountLocationRecords() { return GetDbRecordCount(locationDb, 1); }

int DeleteLocationRecord(int index) { return DeleteDbRecord(locationDb, index); }

int AppendLocationRecord(int index, const LocationRecord& record) {
    std::uint8_t bytes[kLocationRecordSize];
    EncodeLocationRecord(record, bytes);
    return WriteDbRecord(locationDb, static_cast<std::uint16_t>(index), bytes, sizeof bytes);
}

int ReadOpenLocation(int index, LocationRecord* out) {
    if (!out || index < 0 || index >= kAppendRecord) return 0;
    std::uint8_t bytes[kLocationRecordSize];
    if (!GetDbRecord(locationDb, static_cast<std::uint16_t>(index), bytes, sizeof bytes)) return 0;
    DecodeLocationRecord(bytes, *out);
    return 1;
}

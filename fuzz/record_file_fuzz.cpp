// Record files and the databases over them: any bytes as a shipped catalog, and as the
// user's writable copy, open or are refused; what opens reads back, takes an append, a
// write and a removal, and decodes as each record layout.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "fuzz_files.h"

namespace {

void ReadEverything(RecordFilePtr& db) {
    const int count = GetDbRecordCount(db, 1);
    std::vector<std::uint8_t> record(kMaxRecordSize);
    for (int i = 0; i < count && i < 64; ++i) {
        if (!GetDbRecord(db, static_cast<std::uint16_t>(i), record.data(), record.size())) std::abort();
        ObjectRecord object;
        DecodeObjectRecord(record.data(), object);
        StarRecord star;
        DecodeStarRecord(record.data(), star);
        CometRecord comet;
        DecodeCometRecord(record.data(), comet);
        SatelliteRecord satellite;
        DecodeSatelliteRecord(record.data(), satellite);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& scratch = fuzz::Scratch();
    fuzz::WriteBytes(scratch / "install" / "data" / "f.ppc", data, size);
    RecordFilePtr db;
    if (OpenDb(db, 0, kTypeCodeQvn1, 0, "data\\", "f.ppc")) ReadEverything(db);

    RecordFileImage image;
    ReadRecordFileImage(scratch / "install" / "data" / "f.ppc", image);

    // The same bytes as the user's copy, changed through the database layer.
    fuzz::WriteBytes(scratch / "home" / "usercatalogs" / "data" / "f.ppc", data, size);
    if (OpenDb(db, 0, kTypeCodeQvn1, 1, "data\\", "f.ppc")) {
        const std::uint8_t record[64] = {1, 2, 3};
        const int before = GetDbRecordCount(db, 1);
        WriteDbRecord(db, kAppendRecord, record, sizeof record);
        WriteDbRecord(db, 0, record, sizeof record);
        DeleteDbRecord(db, before / 2);
        ReadEverything(db);
        // What the layer wrote opens again.
        CloseDb(db);
        if (!OpenDb(db, 0, kTypeCodeQvn1, 1, "data\\", "f.ppc")) std::abort();
    }
    CloseDb(db);

    // The same bytes as every catalog of the set.
    for (const char* name : {kDefaultStarsFile, kObjects1kFile, kMoonFile, kMarsFile, kDescriptionsFile})
        fuzz::WriteBytes(scratch / "install" / "data" / name, data, size);
    OpenAllCatalogDatabases();
    ObjectRef object;
    for (int i = 0; i < 8; ++i) GetObjectRecord(i, &object);
    MoonFeatureRecord moon;
    for (int i = 0; i < 8; ++i) GetMoonFeature(i, &moon);
    MarsFeatureRecord mars;
    for (int i = 0; i < 8; ++i) GetMarsFeature(i, &mars);
    CloseCatalogDatabases();
    return 0;
}

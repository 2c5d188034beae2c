#include "catalog/designations.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "core/report.h"

const char* CatalogPrefix(int catalog) {
    return catalog >= 0 && catalog < kCatalogCount ? CatalogTable[catalog].prefix : "";
}

namespace {

int Written(int n, std::size_t size) {
    if (n < 0 || size == 0) return 0;
    return std::min(n, static_cast<int>(size) - 1);
}

}  // namespace

int FormatDesignation(char* out, std::size_t size, int catalog, long number) {
    if (!out || size == 0) return 0;
    return Written(std::snprintf(out, size, "%s%ld", CatalogPrefix(catalog), number), size);
}

int FormatTychoDesignation(char* out, std::size_t size, long number) {
    if (!out || size == 0) return 0;
    return Written(
        std::snprintf(out, size, "%s%ld-%ld-1", CatalogPrefix(kCatalogTycho), number / 100000, number % 100000), size);
}

const std::uint8_t* FindKeyedRecord(RecordFile* db, std::int32_t catalog, std::int32_t number, bool catalogIs16,
                                    std::size_t numberAt, bool* readFailed) {
    if (readFailed) *readFailed = false;
    if (!db || db->recordCount < 2) return nullptr;
    std::int64_t low = 1;
    std::int64_t high = static_cast<std::int64_t>(db->recordCount) - 1;
    while (low <= high) {
        const std::int64_t middle = (low + high) / 2;
        const std::uint8_t* rec = nullptr;
        if (db->recordSize < numberAt + 4 || QueryRecord(db, static_cast<std::uint32_t>(middle), &rec) != 0) {
            if (readFailed) *readFailed = true;
            return nullptr;
        }
        const std::int32_t recCatalog = catalogIs16 ? le::I16(rec, 0) : le::I32(rec, 0);
        const std::int32_t recNumber = le::I32(rec, numberAt);
        // Wide differences: the file's keys are compared as signed values without overflow.
        std::int64_t difference = static_cast<std::int64_t>(recCatalog) - catalog;
        if (difference == 0) difference = static_cast<std::int64_t>(recNumber) - number;
        if (difference == 0) return rec;
        if (difference > 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return nullptr;
}

int FindCrossReference(int catalog, std::uint32_t number, std::int16_t* otherCatalogs, std::uint32_t* otherNumbers,
                       int maxOthers, char* nameOut, int nameLen) {
    if (nameOut) nameOut[0] = '\0';
    bool failed = false;
    const std::uint8_t* rec = FindKeyedRecord(crossReferenceDb.get(), static_cast<std::int16_t>(catalog),
                                              static_cast<std::int32_t>(number), true, 8, &failed);
    if (failed || (rec && crossReferenceDb->recordSize < kCrossRefNameOffset)) {
        ShowMessage("Error during Cross Ref search", "");
        return 0;
    }
    if (!rec) return 0;

    int result = 0;
    if (nameOut) {
        const std::size_t field = crossReferenceDb->recordSize - kCrossRefNameOffset;
        const char* name = reinterpret_cast<const char*>(rec + kCrossRefNameOffset);
        const std::size_t limit = std::min(field, static_cast<std::size_t>(std::max(nameLen, 0)));
        const std::size_t length = static_cast<std::size_t>(std::find(name, name + limit, '\0') - name);
        // The stored text ends with one character that is not part of the name.
        if (length > 0) {
            std::memcpy(nameOut, name, length - 1);
            nameOut[length - 1] = '\0';
        }
        result = 1;
    }
    if (otherCatalogs && otherNumbers) {
        for (int slot = 0; slot < std::min(maxOthers, 3); ++slot) {
            const std::int16_t code = le::I16(rec, 2 + 2 * static_cast<std::size_t>(slot));
            if (code < 1) continue;
            otherCatalogs[slot] = code;
            otherNumbers[slot] = le::U32(rec, 12 + 4 * static_cast<std::size_t>(slot));
            result = 1;
        }
    }
    return result;
}

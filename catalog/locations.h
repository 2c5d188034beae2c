#pragma once
// The location database "velkarion_location.ppc" (LocationRecord, catalog/databases.h):
// the operations the import uses and those of the location list form. The chosen row is
// catalog/location_choice.h's.
#include "catalog/databases.h"

// The record count read when the location list opened.
extern int locationCount;

// Opens the writable copy of data\ into locationDb; nonzero when open.
int OpenLocationDb();
// Opens a file at a path of its own (read-write): -1 for a null path, else OpenDb's result.
int OpenLocationDbAt(const char* path);
void CloseLocationDb();
// The import closes the database it wrote through this name; it is the same database.
void CloseLocationImportDb();
int CountLocationRecords();
// DeleteDbRecord's and WriteDbRecord's results; index kAppendRecord appends.
int DeleteLocationRecord(int index);
int AppendLocationRecord(int index, const LocationRecord& record);
// Record `index` of the open database, longitude as stored (east positive); 1 or 0.
int ReadOpenLocation(int index, LocationRecord* out);

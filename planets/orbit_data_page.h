#pragma once
// The Data page's editing of the comet database: a new record, the element fields edited
// in memory, Save (checked, then written into the user's copy), Del, and the import of the
// Minor Planet Center's one-line comet and MPCORB formats from a file or the two addresses
// of the settings.
#include <string>

#include "catalog/records.h"

// Fills the working record with a new record's defaults.
void NewCometRecord(CometRecord* record);
// Why the record cannot be saved ("" when it can).
std::string CheckCometRecord(const CometRecord& record);

struct CometImportCounts {
    int added = 0;
    int renewed = 0;
    int refused = 0;
    int leftOut = 0;
};
// Imports the lines of a text into the comet database: a line whose name is there already
// renews that record, others are appended up to the database's limit.
CometImportCounts ImportCometText(const std::string& text);

// The commands of the Data page's buttons and its element fields; 1 when handled.
int OrbitDataCommand(int id);

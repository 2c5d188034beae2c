#pragma once
// Observing lists as ".lst" files in the "userlists" folder: a 68-byte header (4 reserved
// bytes, the list name in 40, then year, month, day, hour, minute of the search date and
// the record count, all s32 little-endian) followed by the selection records byte for
// byte. The selection list is saved as "last_list" at exit and loaded at start.
#include <cstdint>

inline constexpr int kUserListHeaderSize = 68;

// Mode 0 reads "userlists\<fileName>" (the name includes ".lst") into the selection list,
// and the list's date into the search criteria. A file that cannot be opened is ignored; a
// short header shows "Can't read header.", missing records "Can't read data.". Other modes
// do nothing here. Returns 1 when a list was read.
int LoadUserList(const char* fileName, int mode);

// Writes the selection list to "userlists\<name>.lst", replacing the file as a whole. An
// empty list writes no file. Failures show "Can't write header." or "Can't write data.".
// Returns 1 when a file was written.
int SaveUserList(const char* name);

// The menu commands "Import Memo to List" and "Export List to Memo".
int ImportUserObjects();
int ExportUserObjects();

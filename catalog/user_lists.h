#pragma once
// Observing lists as ".lst" files in the "userlists" folder: a 68-byte header (4 reserved
// bytes, the list name in 40, then year, month, day, hour, minute of the search date and
// the record count, all s32 little-endian) followed by the selection records byte for
// byte. The selection list is saved as "last_list" at exit and loaded at start.
#include <cstdint>

inline constexpr int kUserListHeaderSize = 68;

// Mode 0 reads "userlists\<fileName>" (the name includes ".lst") into the selection list,
// and the list's date into the search criteria. A missing file is ignored. A damaged file
// (a short header, a negative count, fewer records than its header counts, a folder in its
// place) shows "Can't read header." or "Can't read data." with the file and why, and
// leaves the selection list as it was. A list longer than the selection list loads what
// fits and says "Only N of M objects of <list> were loaded". A damaged or cut list is kept
// from automatic saves for the rest of the run.
// Mode 1 makes "usercatalogs\<fileName>" the user-object database (the settings' user
// catalog file) and keeps it open until another is chosen or the catalogs close.
// Modes 2 and 3 install "usercatalogs\<fileName>" as the location or eyepiece database
// ("usercatalogs\data\velkarion_location.ppc", "...velkarion_eyepiece.ppc"), replacing it
// as a whole; a file that is not a list of that kind is refused with a message.
// Other modes do nothing. Returns 1 when a list was read, opened or installed.
int LoadUserList(const char* fileName, int mode);
// Opens again the user catalog chosen with mode 1 (after the catalog set was reopened).
// Nonzero when open.
int ReopenChosenUserCatalog();

// Who asked for a save: the user, or the program on its own (the last list at exit). An
// automatic save leaves alone a list file that was loaded cut or found damaged, and saves
// nothing while the home folder is unusable.
enum class ListSave { ByUser, Automatic };

// Writes the selection list to "userlists\<name>.lst", replacing the file as a whole. An
// empty list writes no file. Failures show "Can't write header." or "Can't write data."
// with the file and the system's reason; the file on disk stays as it was. Returns 1 when
// a file was written.
int SaveUserList(const char* name, ListSave how = ListSave::ByUser);

// The menu commands "Import Memo to List" and "Export List to Memo" (ImportUserObjects,
// ExportUserObjects) and the downloads are in catalog/text_import.h.
#include "catalog/text_import.h"

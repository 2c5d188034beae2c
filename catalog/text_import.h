#pragma once
// Bringing the user's text files in and taking objects out: the memo export of the
// observing list, its import from the "import" folder, and the downloads of user catalogs,
// eyepiece lists and location lists from the data service and of observer logs from the
// "import" folder. The line formats are in catalog/text_lines.h.
#include <string>

// Writes text to a new memo file "userlists/YYYYMMDD_velkamemo_hhmm.txt" of the observing
// date and time; when that name is taken, "_2", "_3", ... go before ".txt", so no export
// replaces another. Failures show "Can't open memo:" or "Error while exporting memo." with
// the file and why. Returns 1.
int ExportMemo(const std::string& text);
// Called after each memo export; nothing to do here.
void ExportNoop();

// The observing list as export lines in memos (a new memo every 65336 bytes); shows
// "N Objects exported.". Returns 1.
int ExportUserObjects();
// Reads "import/user_object.txt" into a new observing list (the menu command "Import Memo
// to List"): each line is looked up (Messier, Caldwell, Herschel and best-NGC entries
// take their catalog record), a line already in the list shows "Already loaded:", a bad
// line stops the import with "Failed to load data. Check line". Returns 1 when a text was
// read, 0 when there was none (which is said).
int ImportUserObjects();

// The downloads of the ListManager: the text "<name>.txt" is fetched (source 4 from the
// "import" folder, any other from the data service) and its lines stored in
// "usercatalogs/<name>.ppc" (user objects, kept open afterwards as the user-object
// database), "<name>.eyp" or "<name>.loc" (made when missing), replacing the records
// there in one write of the whole file: a failed fetch (cut short, too large, ended), a
// text without a good line or a failed write keeps every old record. Bad lines are
// counted as rejected. 1 when a text was processed and stored, 0 otherwise.
int DownloadUserCatalog(int source, const char* name);
int DownloadEyepieces(int source, const char* name);
int DownloadLocations(int source, const char* name);
// Observer logs come from "import/<name>.txt"; each good line becomes the entry file
// "userlogs/<object name>.log" (the name made safe as a file name).
int DownloadObserverLogs(int source, const char* name);

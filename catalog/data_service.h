#pragma once
// Downloads: one HTTP GET into a caller's buffer with the program's messages, and the
// request of a data file from the data service, or the same file read from the "import"
// folder of the home instead.
//
// The data service's address is the "Download Data" text of the settings
// (Preferences::dataUrl); no address is set unless the user sets one. A data file is asked
// for as <address>/getdata.php?param1=0&param2=65&param3=58274106&param4=30&param5=2&param6=<name>,
// the name percent-encoded (its '/' kept); a picture the same way with param5=1.
#include <cstddef>
#include <cstdint>
#include <string>

// Data files and the text imports use buffers of this size, zero-filled by the caller.
inline constexpr std::size_t kDownloadBufferSize = 65536;
// A local import reads at most this much (63 blocks of 1024 bytes).
inline constexpr std::size_t kLocalImportLimit = 64512;
// The source code of the "import" folder; every other source asks the data service.
inline constexpr int kSourceImportFolder = 4;
inline constexpr int kSourceDataService = 5;

// One GET of `url` into dest (limit bytes; dest[0] is set to 0 first). Returns the bytes
// stored, 0 on any failure, which is shown: "Web is not reachable" (the URL as detail)
// when the host cannot be reached, "Failed to open URL" for an error status or a URL that
// cannot be fetched, "Failed to initialize Internet connexion." when the transfer cannot
// be set up, "The data service stopped answering" when the data stopped coming. The busy
// indicator steps while it waits.
std::size_t LoadFileFromUrl(const char* url, std::uint8_t* dest, std::size_t limit);

// What a request asks the data service for (param5).
enum DataRequestKind {
    kDataRequestPicture = 1,   // an object picture, named by its path in the picture folders
    kDataRequestFile = 2,      // a data file
};
// The data service's request for a file of that kind; empty when no address is set.
std::string DataServiceRequest(const char* fileName, DataRequestKind kind = kDataRequestFile);

// Fetches a data file into dest (kDownloadBufferSize bytes, zero-filled). Source 4 reads
// "import/<base name>" of the home (the base name is what follows the last '/' or '\'),
// whole up to 64512 bytes; a longer file is cut after its last complete line within them
// and the user is told. Other sources ask the data service; an unset address fails at once
// with "Web is not reachable". Returns 1 when something was fetched or the local file was
// read (also when it is empty), 0 otherwise.
int FetchDataFile(int source, const char* fileName, std::uint8_t* dest);

// The reply check of every caller: an empty buffer, or one starting with '<' (an error
// page), is a failed fetch.
bool IsFailedReply(const std::uint8_t* text);

// Tests shorten the time-outs (seconds); 0 restores the defaults (10 and 30).
void SetDownloadTimeouts(int connectSeconds, int lowSpeedSeconds);

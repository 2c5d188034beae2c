#include "catalog/data_service.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "catalog/record_file.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/http.h"
#include "platform/paths.h"

namespace {

int connectTimeout = 10;
int lowSpeedTimeout = 30;

constexpr const char* kAgent = "RozEraz";

// Everything but the unreserved characters and '/' as %XX.
std::string PercentEncode(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

int ReadLocalImport(const char* fileName, std::uint8_t* dest) {
    // The base name: after the last separator (a separator first in the name does not count).
    std::string_view name(fileName);
    const std::size_t cut = name.size() > 1 ? name.find_last_of("/\\") : std::string_view::npos;
    if (cut != std::string_view::npos && cut > 0) name.remove_prefix(cut + 1);
    const auto path = platform::ResolveInFolder("import", name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return 0;
    FileHandle f(std::fopen(path.c_str(), "rb"));
    if (!f) return 0;
    const std::size_t got = std::fread(dest, 1, kLocalImportLimit, f.get());
    const bool longer = got == kLocalImportLimit && std::fgetc(f.get()) != EOF;
    if (!longer) return 1;
    // Only whole lines are imported: the text ends after the last line end that came.
    std::size_t keep = got;
    while (keep > 0 && dest[keep - 1] != '\n' && dest[keep - 1] != '\r') --keep;
    std::memset(dest + keep, 0, kLocalImportLimit - keep);
    const std::string heading = "Only the first " + std::to_string(kLocalImportLimit) + " bytes of " +
                                path.filename().string() + " were read";
    const std::string detail = path.string() + " is longer; the import stops after its last whole line within them. "
                                               "Split the file to import the rest.";
    ShowMessage(heading.c_str(), detail.c_str());
    return 1;
}

}  // namespace

void SetDownloadTimeouts(int connectSeconds, int lowSpeedSeconds) {
    connectTimeout = connectSeconds > 0 ? connectSeconds : 10;
    lowSpeedTimeout = lowSpeedSeconds > 0 ? lowSpeedSeconds : 30;
}

std::size_t LoadFileFromUrl(const char* url, std::uint8_t* dest, std::size_t limit) {
    if (!dest) {
        ShowMessage("LoadFileFromUrl", "Null buffer pointer");
        return 0;
    }
    dest[0] = 0;
    platform::HttpRequest request;
    request.url = url ? url : "";
    request.agent = kAgent;
    request.limit = limit;
    request.connectTimeoutSeconds = connectTimeout;
    request.lowSpeedSeconds = lowSpeedTimeout;
    request.progress = [] { ShowBusy(1); };
    const platform::HttpResult r = platform::HttpGet(request, dest);
    HideBusy();
    const std::string detail = request.url + (r.error.empty() ? "" : "\n" + r.error);
    switch (r.status) {
    case platform::HttpStatus::Ok:
        return r.bytes;
    case platform::HttpStatus::SetupFailed:
        ShowMessage("Failed to initialize Internet connexion.", "");
        break;
    case platform::HttpStatus::Unreachable:
        ShowMessage("Web is not reachable", detail.c_str());
        break;
    case platform::HttpStatus::Refused:
        ShowMessage("Failed to open URL", detail.c_str());
        break;
    case platform::HttpStatus::TimedOut: {
        const std::string why = request.url + "\nNothing came for " + std::to_string(lowSpeedTimeout) +
                                " seconds; what arrived was not kept.";
        ShowMessage("The data service stopped answering", why.c_str());
        break;
    }
    }
    std::memset(dest, 0, std::min(limit, r.bytes + 1));
    return 0;
}

std::string DataServiceRequest(const char* fileName, DataRequestKind kind) {
    std::string base(preferences.dataUrl, strnlen(preferences.dataUrl, sizeof preferences.dataUrl));
    while (!base.empty() && (base.back() == '/' || base.back() == ' ')) base.pop_back();
    if (base.empty()) return {};
    return base + "/getdata.php?param1=0&param2=65&param3=58274106&param4=30&param5=" + std::to_string(kind) +
           "&param6=" + PercentEncode(fileName ? fileName : "");
}

int FetchDataFile(int source, const char* fileName, std::uint8_t* dest) {
    if (!dest) return 0;
    dest[0] = 0;
    if (!fileName) return 0;
    if (source == kSourceImportFolder) return ReadLocalImport(fileName, dest);
    const std::string url = DataServiceRequest(fileName);
    if (url.empty()) {
        ShowMessage("Web is not reachable", "No data service address is set (preference 7/7)");
        return 0;
    }
    return LoadFileFromUrl(url.c_str(), dest, kDownloadBufferSize) > 0 ? 1 : 0;
}

bool IsFailedReply(const std::uint8_t* text) { return !text || text[0] == 0 || text[0] == '<'; }

#include "platform/http.h"

// The transfers call libcurl through the pointers below, not its type-checking macros.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "platform/shared_library.h"

namespace platform {

namespace {

// libcurl is opened with the first download: a start, and every run that downloads
// nothing, doesn't map it and the thirty libraries it brings.
#define VELKARION_CURL_FUNCTIONS(X)                                                                     \
    X(curl_global_init) X(curl_easy_init) X(curl_easy_cleanup) X(curl_easy_setopt) X(curl_easy_getinfo) \
    X(curl_easy_perform) X(curl_easy_strerror)

struct CurlLibrary {
#define VELKARION_CURL_POINTER(name) decltype(&::name) name = nullptr;
    VELKARION_CURL_FUNCTIONS(VELKARION_CURL_POINTER)
#undef VELKARION_CURL_POINTER
};
CurlLibrary curl;

bool ResolveCurl(CurlLibrary& record, void* handle, const char* fileName, std::string* why) {
    VELKARION_CURL_FUNCTIONS(VELKARION_RESOLVE_FUNCTION)
    return true;
}

// Opens and sets up libcurl once per run; false with the reason in *why.
bool GlobalSetUp(std::string* why) {
    static std::once_flag once;
    static bool ok = false;
    static std::string failure;
    std::call_once(once, [] {
        constexpr const char* kFile = "libcurl.so.4";
        void* handle = OpenSharedLibrary(kFile, &failure);
        if (!handle || !ResolveCurl(curl, handle, kFile, &failure)) return;
        ok = curl.curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        if (!ok) failure = "the transfer library could not be set up";
    });
    if (!ok) *why = failure;
    return ok;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl.curl_easy_cleanup(c); }
};

// The blocks of one transfer: bytes gather in `block` until it is full, then join the
// buffer unless they would bring the total to limit - 1 or more, which ends the transfer.
struct Transfer {
    std::uint8_t* dest = nullptr;
    std::size_t limit = 0;
    std::size_t total = 0;
    std::uint8_t block[kHttpBlockSize];
    std::size_t filled = 0;
    bool full = false;   // the limit was reached: the transfer was ended on purpose
    const std::function<void()>* progress = nullptr;
    const std::function<bool()>* cancelled = nullptr;
    bool cancel = false;  // the caller ended the transfer
    std::chrono::steady_clock::time_point lastStep{};

    // False when the block does not fit and the transfer is to end.
    bool Commit() {
        if (filled == 0) return true;
        if (limit == 0 || total + filled >= limit - 1) {
            full = true;
            filled = 0;
            return false;
        }
        std::memcpy(dest + total, block, filled);
        total += filled;
        filled = 0;
        return true;
    }

    // False when the caller asked to end the transfer.
    bool Step() {
        if (cancel) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastStep < std::chrono::milliseconds(200)) return true;
        lastStep = now;
        if (progress && *progress) (*progress)();
        if (cancelled && *cancelled && (*cancelled)()) cancel = true;
        return !cancel;
    }
};

std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (t.full) return 0;
    for (std::size_t used = 0; used < n;) {
        const std::size_t take = std::min(n - used, kHttpBlockSize - t.filled);
        std::memcpy(t.block + t.filled, data + used, take);
        t.filled += take;
        used += take;
        if (t.filled == kHttpBlockSize && !t.Commit()) return 0;  // ends the transfer
    }
    return t.Step() ? n : 0;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->Step() ? 0 : 1;
}

}  // namespace

HttpResult HttpGet(const HttpRequest& request, std::uint8_t* dest) {
    HttpResult result;
    if (!GlobalSetUp(&result.error)) {
        result.status = HttpStatus::SetupFailed;
        return result;
    }
    std::unique_ptr<CURL, EasyDeleter> easy(curl.curl_easy_init());
    if (!easy) {
        result.error = "the transfer library could not be set up";
        return result;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->dest = dest;
    transfer->limit = dest ? request.limit : 0;
    transfer->progress = &request.progress;
    transfer->cancelled = &request.cancelled;

    char errorText[CURL_ERROR_SIZE] = {};
    CURL* c = easy.get();
    curl.curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl.curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl.curl_easy_setopt(c, CURLOPT_USERAGENT, request.agent.c_str());
    curl.curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl.curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl.curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl.curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl.curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl.curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl.curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(request.connectTimeoutSeconds));
    curl.curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl.curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(request.lowSpeedSeconds));
    if (request.totalSeconds > 0) curl.curl_easy_setopt(c, CURLOPT_TIMEOUT, static_cast<long>(request.totalSeconds));
    curl.curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &OnData);
    curl.curl_easy_setopt(c, CURLOPT_WRITEDATA, transfer.get());
    curl.curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl.curl_easy_setopt(c, CURLOPT_XFERINFODATA, transfer.get());
    curl.curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl.curl_easy_perform(c);
    curl.curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.httpCode);
    curl_off_t connectTime = 0;
    curl.curl_easy_getinfo(c, CURLINFO_CONNECT_TIME_T, &connectTime);
    result.error = errorText[0] ? errorText : curl.curl_easy_strerror(code);

    switch (code) {
    case CURLE_OK:
        result.status = HttpStatus::Ok;
        result.error.clear();
        break;
    case CURLE_WRITE_ERROR:
    case CURLE_ABORTED_BY_CALLBACK:
        // Ended here: at the limit, or by the caller.
        result.status = transfer->full     ? HttpStatus::TooLarge
                        : transfer->cancel ? HttpStatus::Cancelled
                                           : HttpStatus::Refused;
        if (transfer->full) result.error = "the file does not fit the buffer";
        if (transfer->cancel) result.error = "the transfer was ended by the user";
        break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        result.status = HttpStatus::Unreachable;
        break;
    case CURLE_OPERATION_TIMEDOUT:
        // Before a connection: the host is not reachable; after one: the data stopped.
        result.status = connectTime > 0 || result.httpCode != 0 ? HttpStatus::TimedOut : HttpStatus::Unreachable;
        break;
    case CURLE_HTTP_RETURNED_ERROR:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_TOO_MANY_REDIRECTS:
        result.status = HttpStatus::Refused;
        break;
    case CURLE_FAILED_INIT:
    case CURLE_OUT_OF_MEMORY:
        result.status = HttpStatus::SetupFailed;
        break;
    default:
        // A reply cut short or never sent: what arrived is not the file.
        result.status = HttpStatus::CutShort;
        break;
    }
    // The last block, shorter than a whole one, follows the same rule; what failed keeps
    // what came in whole blocks.
    if (result.status == HttpStatus::Ok && !transfer->Commit()) {
        result.status = HttpStatus::TooLarge;
        result.error = "the file does not fit the buffer";
    }
    result.bytes = transfer->total;
    return result;
}

}  // namespace platform

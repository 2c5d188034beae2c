#pragma once
// One HTTP GET into a caller's buffer, the only network call of the program (downloads
// from the data service, element files, pictures). The transfer blocks the calling thread
// until it ends; a connect time-out, a low-speed time-out and a limit on the whole
// transfer keep a dead, stalled or trickling server from blocking it for long, and the
// caller may end it at any time.
//
// What arrives is taken in blocks of kHttpBlockSize bytes; a block (the last one may be
// shorter) that would bring the total to limit - 1 bytes or more ends the transfer and is
// dropped whole, so at least one byte of the buffer always stays free for a terminator.
// Such a body is TooLarge: the buffer holds only its beginning.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

inline constexpr std::size_t kHttpBlockSize = 4096;

struct HttpRequest {
    std::string url;
    std::string agent;
    std::size_t limit = 0;              // bytes of the destination buffer
    int connectTimeoutSeconds = 10;     // no connection within this: unreachable
    int lowSpeedSeconds = 30;           // under 1 byte a second for this long: timed out
    int totalSeconds = 60;              // the whole transfer, however the bytes come
    std::function<void()> progress;     // called now and then while the transfer runs
    std::function<bool()> cancelled;    // asked now and then: true ends the transfer
};

enum class HttpStatus {
    Ok,           // the whole body came (all that the server announced)
    SetupFailed,  // the library could not be set up
    Unreachable,  // the host name did not resolve, or no connection was made in time
    Refused,      // an HTTP error status, or a URL the library will not fetch
    TimedOut,     // connected, but the data stopped coming, or the whole time ran out
    CutShort,     // the server ended the reply before all of it came, or sent none
    TooLarge,     // the body does not fit the buffer: only its beginning was kept
    Cancelled,    // the caller ended it
};

struct HttpResult {
    HttpStatus status = HttpStatus::SetupFailed;
    std::size_t bytes = 0;   // stored in the buffer (also for a transfer that failed)
    long httpCode = 0;       // the server's status, 0 when none came
    std::string error;       // the library's words for a failure
};

// dest must hold request.limit bytes; nothing is written past what `bytes` counts.
HttpResult HttpGet(const HttpRequest& request, std::uint8_t* dest);

}  // namespace platform

// The serial backend over termios: character devices and pseudo-terminals.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "platform/serial_backend.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// The time-outs of each open handle (the handle is the file descriptor). The table is
// never destroyed: a device record may still close through it while the program exits,
// after the static objects of this file would have gone.
struct HandleTable {
    std::mutex lock;
    std::map<int, SerialTimeouts> handles;
};
HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

bool Known(int fd, SerialTimeouts* timeouts = nullptr) {
    std::lock_guard<std::mutex> lock(Table().lock);
    const auto& openHandles = Table().handles;
    const auto it = openHandles.find(fd);
    if (it == openHandles.end()) return false;
    if (timeouts) *timeouts = it->second;
    return true;
}

// The time-out of an n-byte transfer.
std::chrono::milliseconds Milliseconds(int perByte, std::size_t n, int total) {
    return std::chrono::milliseconds(static_cast<long long>(perByte) * static_cast<long long>(n) + total);
}

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool ChangeModemLines(int fd, unsigned raise, unsigned drop) {
    auto bits = [](unsigned lines) {
        int b = 0;
        if (lines & kSerialDtr) b |= TIOCM_DTR;
        if (lines & kSerialRts) b |= TIOCM_RTS;
        return b;
    };
    for (const auto& [request, lines] : {std::pair{TIOCMBIS, raise}, std::pair{TIOCMBIC, drop}}) {
        int b = bits(lines);
        if (b == 0) continue;
        if (ioctl(fd, request, &b) != 0) {
            // A pseudo-terminal has no modem lines: nothing to change.
            if (errno == ENOTTY || errno == EINVAL) return true;
            return false;
        }
    }
    return true;
}

int Open(const char* path) {
    if (!path || !*path) return -1;
    // Non-blocking, so that the open does not wait for a carrier.
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    // TIOCEXCL keeps other programs out but not root; the lock keeps out every handle
    // that asks for it, this program's second handle included.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    if (isatty(fd) && ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    ChangeModemLines(fd, 0, kSerialDtr | kSerialRts);
    std::lock_guard<std::mutex> lock(Table().lock);
    Table().handles[fd] = SerialTimeouts{};
    return fd;
}

bool BaudConstant(std::uint32_t baud, speed_t* out) {
    static constexpr std::pair<std::uint32_t, speed_t> kRates[] = {
        {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},   {4800, B4800},
        {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
        {230400, B230400},
    };
    for (const auto& [rate, constant] : kRates) {
        if (rate == baud) {
            *out = constant;
            return true;
        }
    }
    return false;
}

bool SetLine(int fd, const SerialLine& line) {
    if (!Known(fd)) return false;
    speed_t speed;
    if (!BaudConstant(line.baud, &speed)) return false;
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    // Raw bytes both ways: no echo, no line editing, no translation of CR, LF or the
    // XON and XOFF bytes.
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (line.dataBits) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        case 8: t.c_cflag |= CS8; break;
        default: return false;
    }
    if (line.parity == 'E') t.c_cflag |= PARENB;
    else if (line.parity == 'O') t.c_cflag |= PARENB | PARODD;
    else if (line.parity != 'N') return false;
    if (line.parityCheck) t.c_iflag |= INPCK;
    if (line.stopBits == 2) t.c_cflag |= CSTOPB;
    else if (line.stopBits != 1) return false;
    if (line.ctsFlow) t.c_cflag |= CRTSCTS;
    // Reads poll first, so a read takes only what is there.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) return false;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

bool SetTimeouts(int fd, const SerialTimeouts& timeouts) {
    std::lock_guard<std::mutex> lock(Table().lock);
    auto& openHandles = Table().handles;
    const auto it = openHandles.find(fd);
    if (it == openHandles.end()) return false;
    it->second = timeouts;
    return true;
}

// Reads up to n bytes: waits `firstWaitMs` at most for the first byte, then the gap for
// each next one, and never past the total.
long ReadWithin(int fd, void* buffer, std::size_t n, bool waitForFirst) {
    SerialTimeouts to;
    if (!Known(fd, &to)) return -1;
    if (n == 0) return 0;
    const auto deadline = Clock::now() + Milliseconds(to.readPerByteMs, n, to.readTotalMs);
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t got = 0;
    while (got < n) {
        int wait = MillisecondsUntil(deadline);
        if (got > 0 && wait > to.gapMs) wait = to.gapMs;
        if (got == 0 && !waitForFirst) wait = 0;
        pollfd p{fd, POLLIN, 0};
        const int r = poll(&p, 1, wait);
        if (r < 0) {
            if (errno == EINTR) continue;
            return got > 0 ? static_cast<long>(got) : -1;
        }
        if (r == 0) break;
        if (!(p.revents & POLLIN)) {
            // Hung up or failed, with nothing left to read.
            return got > 0 ? static_cast<long>(got) : -1;
        }
        const ssize_t k = ::read(fd, bytes + got, n - got);
        if (k > 0) {
            got += static_cast<std::size_t>(k);
        } else if (k == 0) {
            break;
        } else if (errno != EINTR && errno != EAGAIN) {
            return got > 0 ? static_cast<long>(got) : -1;
        }
    }
    return static_cast<long>(got);
}

long Read(int fd, void* buffer, std::size_t n) { return ReadWithin(fd, buffer, n, true); }
long ReadPending(int fd, void* buffer, std::size_t n) { return ReadWithin(fd, buffer, n, false); }

bool Write(int fd, const void* data, std::size_t n) {
    SerialTimeouts to;
    if (!Known(fd, &to)) return false;
    const auto deadline = Clock::now() + Milliseconds(to.writePerByteMs, n, to.writeTotalMs);
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t sent = 0;
    while (sent < n) {
        pollfd p{fd, POLLOUT, 0};
        const int r = poll(&p, 1, MillisecondsUntil(deadline));
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (r == 0 || !(p.revents & POLLOUT)) return false;
        const ssize_t k = ::write(fd, bytes + sent, n - sent);
        if (k > 0) {
            sent += static_cast<std::size_t>(k);
        } else if (k < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
    }
    return true;
}

// Only the input: the output holds the tail of the last command (on a pseudo-terminal,
// whatever the other side has not read yet), which dropping would garble.
bool Purge(int fd) { return Known(fd) && tcflush(fd, TCIFLUSH) == 0; }

bool SetModemLines(int fd, unsigned raise, unsigned drop) { return Known(fd) && ChangeModemLines(fd, raise, drop); }

unsigned ModemLines(int fd) {
    int bits = 0;
    if (!Known(fd) || ioctl(fd, TIOCMGET, &bits) != 0) return 0;
    return ((bits & TIOCM_DTR) ? kSerialDtr : 0u) | ((bits & TIOCM_RTS) ? kSerialRts : 0u);
}

void Close(int fd) {
    {
        std::lock_guard<std::mutex> lock(Table().lock);
        if (Table().handles.erase(fd) == 0) return;
    }
    ChangeModemLines(fd, 0, kSerialDtr | kSerialRts);
    // The exclusive mode belongs to the device, not to the handle: it would outlive this
    // handle while another (a pseudo-terminal's other users) keeps the device open.
    if (isatty(fd)) ioctl(fd, TIOCNXCL);
    ::close(fd);
}

void Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::uint32_t Ticks() {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

constexpr SerialBackend kTermios{Open, SetLine, SetTimeouts, Read, ReadPending, Write, Purge,
                                 SetModemLines, ModemLines, Close, Sleep, Ticks};

}  // namespace

const SerialBackend& TermiosSerialBackend() { return kTermios; }

}  // namespace platform

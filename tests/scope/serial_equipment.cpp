#include "serial_equipment.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "core/initialisers.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/serial_backend.h"
#include "platform/serial_devices.h"
#include "platform/serial_fake.h"
#include "scope/serial_port.h"

namespace {

void MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}

// "HH:MM:SS#" or "HH:MM.T#".
std::string RaText(double hours, bool high) {
    double x = std::fmod(hours, 24.0);
    if (x < 0) x += 24.0;
    const long seconds = std::lround(x * 3600.0) % 86400;
    char text[48];
    if (high) std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld#", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else std::snprintf(text, sizeof text, "%02ld:%02ld.%ld#", seconds / 3600, seconds / 60 % 60, seconds % 60 / 6);
    return text;
}

// "sDD\xDFMM:SS#" or "sDD\xDFMM#".
std::string DecText(double degrees, bool high) {
    const char sign = degrees < 0 ? '-' : '+';
    const long seconds = std::lround(std::fabs(degrees) * 3600.0);
    const long d = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    char text[48];
    if (high) std::snprintf(text, sizeof text, "%c%02ld\xDF%02ld:%02ld#", sign, d, m, s);
    else std::snprintf(text, sizeof text, "%c%02ld\xDF%02ld#", sign, d, m);
    return text;
}

// Fields of a set command: "Sr 05:30:00", "Sd -30\xDF15:00" or the low forms.
bool ReadSexagesimal(const std::string& text, double* value) {
    int sign = 1;
    double fields[3] = {0, 0, 0};
    int field = -1;
    bool digits = false;
    bool tenths = false;
    for (char c : text) {
        if (c == '-' && field < 0) sign = -1;
        if (c >= '0' && c <= '9') {
            if (!digits) {
                ++field;
                if (field > 2) return false;
            }
            digits = true;
            fields[field] = fields[field] * 10 + (c - '0');
        } else {
            if (c == '.' && field == 1) tenths = true;
            digits = false;
        }
    }
    if (field < 1) return false;
    if (tenths) fields[2] *= 6.0;  // tenths of a minute as seconds
    *value = sign * (fields[0] + fields[1] / 60.0 + fields[2] / 3600.0);
    return true;
}

std::string Counts(int az, int alt) {
    char text[32];
    std::snprintf(text, sizeof text, "%+06d\t%+06d\r", az, alt);
    return text;
}

double Halfway(double from, double to, double snap) {
    return std::fabs(to - from) <= snap ? to : from + (to - from) / 2.0;
}

// ---- NexStar ----------------------------------------------------------------------------

// The length of a command by its first byte.
std::size_t NexStarFrameLength(MountDialect d, unsigned char first) {
    if (d == MountDialect::NexStarBinary) return first == 'R' ? 5 : 1;
    switch (first) {
        case 'K': case 5: return 2;
        case 'R': case 'S': case 'F': return 10;
        case 'P': case 6: case 7: return 8;
        default: return 1;
    }
}

unsigned TurnCount(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360.0;
    return static_cast<unsigned>(std::lround(a * 65536.0 / 360.0)) & 0xFFFF;
}

double TurnDegrees(unsigned count) { return count * 360.0 / 65536.0; }

// Sets the position from the counts of a target frame.
void NexStarTarget(MountDoubleState& s, unsigned ra, unsigned dec) {
    s.ra = s.targetRa = TurnDegrees(ra) / 15.0;
    const double d = TurnDegrees(dec);
    s.dec = s.targetDec = d >= 270.0 ? d - 360.0 : d;
    s.slewing = false;
}

std::string RespondNexStar(MountDialect d, MountDoubleState& s, const std::string& c) {
    const auto* b = reinterpret_cast<const unsigned char*>(c.data());
    if (c == "?") return "#";
    if (c == "Kx") return "x#";
    if (c == "E") {
        const unsigned ra = TurnCount(s.ra * 15.0), dec = TurnCount(s.dec);
        if (d == MountDialect::NexStarBinary)
            return std::string{static_cast<char>(ra >> 8), static_cast<char>(ra & 0xFF), static_cast<char>(dec >> 8),
                               static_cast<char>(dec & 0xFF)};
        char text[16];
        std::snprintf(text, sizeof text, "%04X,%04X#", ra, dec);
        return text;
    }
    if (d == MountDialect::NexStarBinary && c.size() == 5 && c[0] == 'R') {
        NexStarTarget(s, (b[1] << 8) | b[2], (b[3] << 8) | b[4]);
        return "";
    }
    if (c.size() == 10 && (c[0] == 'R' || c[0] == 'S' || c[0] == 'F')) {
        unsigned ra = 0, dec = 0;
        if (std::sscanf(c.c_str() + 1, "%4x,%4x", &ra, &dec) != 2) return "";
        NexStarTarget(s, ra, dec);
        return "#";
    }
    if (c.size() == 8 && c[0] == 'P') {
        // 'P', 2, axis, sign, rate: a rate of 0 stops the axis.
        const bool dec = b[2] == 0x11;
        const unsigned bit = dec ? (b[3] == 0x24 ? 1u : 2u) : (b[3] == 0x24 ? 8u : 4u);
        if (b[4] == 0) s.moves &= dec ? ~3u : ~12u;
        else s.moves |= bit;
        s.rate = b[4];
        return "#";
    }
    if (c == "M") {
        s.moves = 0;
        s.slewing = false;
        return "#";
    }
    return "";
}

// ---- Takahashi ----------------------------------------------------------------------------

std::string RespondTakahashi(MountDoubleState& s, int& turningLeft, const std::string& c) {
    if (c == "v\r\n") return "vTEST 2.40 D\r\n";
    if (c == "Z\r\n") {
        turningLeft = s.turningAnswers;
        return "";
    }
    if (c == "PT\r,\n") {
        s.side = s.side == 'E' ? 'W' : 'E';
        return "";
    }
    if (c == "E\r\n") {
        const long seconds = std::lround(std::fmod(s.ra + 24.0, 24.0) * 3600.0) % 86400;
        const long tenths = std::lround(std::fabs(s.dec) * 600.0);
        char side = s.side;
        if (turningLeft != 0) {
            side = 'F';
            if (turningLeft > 0) --turningLeft;
        }
        char text[64];
        std::snprintf(text, sizeof text, "E%02ld%02ld%02ld%c%02ld%02ld%ld%c0\r\n", seconds / 3600, seconds / 60 % 60,
                      seconds % 60, s.dec < 0 ? '-' : '+', tenths / 600, tenths / 10 % 60, tenths % 10, side);
        return text;
    }
    if ((c[0] == 'P' || c[0] == 'D') && c.size() == 15) {
        int h, m, sec, d, dm, t;
        if (std::sscanf(c.c_str() + 1, "%2d%2d%2d", &h, &m, &sec) != 3) return "R2\r\n";
        const char sign = c[7];
        if (c.compare(7, 6, " 00000") == 0) d = dm = t = 0;
        else if (std::sscanf(c.c_str() + 8, "%2d%2d%1d", &d, &dm, &t) != 3) return "R3\r\n";
        s.ra = s.targetRa = h + m / 60.0 + sec / 3600.0;
        s.dec = s.targetDec = (sign == '-' ? -1 : 1) * (d + (dm + t / 10.0) / 60.0);
        return "R0\r\n";
    }
    return "";
}

// ---- SiderealTech, ServoCat, SkyCommander -------------------------------------------------

std::string Number(char letter, long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%c%ld\r", letter, value);
    return text;
}

std::string RespondSiderealTech(MountDoubleState& s, const std::string& c) {
    if (c == "Q\r") return "*\r";
    if (c == "XXU<E>\r") return Number('U', s.altResolution);
    if (c == "XXV<E>\r") return Number('V', s.azResolution);
    if (c == "X\r") return Number('X', s.altCount);
    if (c == "Y\r") return Number('Y', s.azCount);
    long target = 0, speed = 0;
    // "Y%ldS%ld": a GoTo of one axis, done at once here.
    if (std::sscanf(c.c_str() + 1, "%ldS%ld", &target, &speed) == 2) {
        (c[0] == 'X' ? s.altCount : s.azCount) = static_cast<int>(target);
        return "";
    }
    if (c == "XN\r") s.moves &= ~3u;
    if (c == "YN\r") s.moves &= ~12u;
    return "";
}

// ServoCat and SkyCommander: a CR asks the position in fixed-length decimal text; a GoTo
// carries the decimal RA and Dec after its prefix.
struct DecimalMount {
    const char* answer;      // printf form of RA and Dec
    const char* gotoPrefix;
    const char* gotoAnswer;
};
constexpr DecimalMount kServoCat = {"%06.3f %+07.3f", "g", ""};
constexpr DecimalMount kSkyCommander = {"%07.4f %+07.3f\r", "L0 ", "A"};

std::string RespondDecimal(const DecimalMount& m, MountDoubleState& s, const std::string& c) {
    if (c == "\r") {
        char text[32];
        std::snprintf(text, sizeof text, m.answer, s.ra, s.dec);
        return text;
    }
    const std::size_t prefix = std::strlen(m.gotoPrefix);
    double ra = 0, dec = 0;
    if (c.rfind(m.gotoPrefix, 0) != 0 || std::sscanf(c.c_str() + prefix, "%lf %lf", &ra, &dec) != 2) return "";
    s.ra = s.targetRa = ra;
    s.dec = s.targetDec = dec;
    return m.gotoAnswer;
}

}  // namespace

MountDouble::MountDouble(MountDialect dialect, MountDoubleState state) : dialect_(dialect), state_(state) {
    char name[128] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    slavePath_ = name;
    // Raw on both sides before the program opens the slave.
    MakeRaw(master_);
    MakeRaw(slave_);
    wake_ = eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { Run(); });
}

MountDouble::~MountDouble() {
    StopThread();
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
    if (wake_ >= 0) close(wake_);
}

void MountDouble::StopThread() {
    if (!thread_.joinable()) return;
    stop_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wake_, &one, sizeof one);
    thread_.join();
}

void MountDouble::Run() {
    while (!stop_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) break;
        if (!(fds[0].revents & POLLIN)) {
            // No program on the line yet, or it hung up: look again shortly.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        unsigned char buffer[256];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        for (ssize_t i = 0; i < n; ++i) Take(buffer[i]);
    }
}

void MountDouble::Take(unsigned char byte) {
    std::string command;
    {
        std::lock_guard<std::mutex> lock(lock_);
        received_.push_back(static_cast<char>(byte));
        std::string& p = pending_;
        switch (dialect_) {
            case MountDialect::Raw:
                return;
            case MountDialect::Lx200:
                if (byte == '#') {
                    if (!p.empty()) command = p + "#";
                    p.clear();
                } else {
                    p.push_back(static_cast<char>(byte));
                }
                break;
            case MountDialect::BBox:
            case MountDialect::Ouranos: {
                const char end = dialect_ == MountDialect::BBox ? '\n' : '\r';
                if (p.empty() && byte == 'Q') command = "Q";
                else if (!p.empty() || byte == 'Z' || byte == 'R' || byte == 'I') {
                    p.push_back(static_cast<char>(byte));
                    if (byte == static_cast<unsigned char>(end)) {
                        command = p;
                        p.clear();
                    }
                }
                break;
            }
            case MountDialect::DaveEk:
                if (!p.empty() || byte == 'z') {
                    p.push_back(static_cast<char>(byte));
                    if (p.size() == 5) {
                        command = p;
                        p.clear();
                    }
                } else if (byte == 'A' || byte == 'a' || byte == 'y') {
                    command = std::string(1, static_cast<char>(byte));
                }
                break;
            case MountDialect::PlainEncoder:
            case MountDialect::Intelliscope:
                if (byte == 'Q') command = "Q";
                break;
            case MountDialect::NexStar:
            case MountDialect::NexStarCr:
            case MountDialect::NexStarBinary:
                p.push_back(static_cast<char>(byte));
                if (p.size() >= NexStarFrameLength(dialect_, static_cast<unsigned char>(p[0]))) {
                    command = p;
                    p.clear();
                }
                break;
            case MountDialect::Takahashi:
            case MountDialect::SiderealTech:
                p.push_back(static_cast<char>(byte));
                if (byte == (dialect_ == MountDialect::Takahashi ? '\n' : '\r')) {
                    command = p;
                    p.clear();
                }
                break;
            case MountDialect::ServoCat:
            case MountDialect::SkyCommander: {
                // A lone CR asks the position; a GoTo is 'g' and 14 bytes, or 'L' up to LF.
                if (p.empty() && byte == '\r') {
                    command = "\r";
                    break;
                }
                p.push_back(static_cast<char>(byte));
                const bool servoCat = dialect_ == MountDialect::ServoCat;
                if ((servoCat && p.size() == 15) || (!servoCat && byte == '\n')) {
                    command = p;
                    p.clear();
                }
                break;
            }
        }
        if (command.empty()) return;
        commands_.push_back(command);
        ++framing_;
    }
    Frame(command);
}

void MountDouble::Frame(const std::string& command) {
    std::string answer;
    {
        std::lock_guard<std::mutex> lock(lock_);
        const auto it = answers_.find(command);
        answer = it != answers_.end() ? it->second : Respond(command);
        --framing_;
        if (dialect_ == MountDialect::NexStarCr) {
            // This controller answers a command only once its CR came.
            if (command != "\r") {
                held_ += answer;
                return;
            }
            answer = held_ + answer;
            held_.clear();
        }
    }
    Answer(std::move(answer));
}

// The mount's answer to one command, and what the command does to it. Called with the
// lock held.
std::string MountDouble::Respond(const std::string& c) {
    MountDoubleState& s = state_;
    switch (dialect_) {
        case MountDialect::Lx200: {
            if (c == ":GR#") {
                if (s.slewing) s.ra = Halfway(s.ra, s.targetRa, 1e-4);
                if (s.moves & 4) s.ra -= 0.01;
                if (s.moves & 8) s.ra += 0.01;
                s.slewing = s.ra != s.targetRa || s.dec != s.targetDec;
                return RaText(s.ra, s.highPrecision);
            }
            if (c == ":GD#") {
                if (s.slewing) s.dec = Halfway(s.dec, s.targetDec, 1e-3);
                if (s.moves & 1) s.dec += 0.1;
                if (s.moves & 2) s.dec -= 0.1;
                s.slewing = s.ra != s.targetRa || s.dec != s.targetDec;
                return DecText(s.dec, s.highPrecision);
            }
            if (c == ":GC#") return "03/15/24#";
            if (c.rfind(":Sr", 0) == 0) return ReadSexagesimal(c, &s.targetRa) ? "1" : "0";
            if (c.rfind(":Sd", 0) == 0) return ReadSexagesimal(c, &s.targetDec) ? "1" : "0";
            if (c == ":MS#") {
                s.slewing = true;
                return "0";
            }
            if (c == ":CM#") {
                s.ra = s.targetRa;
                s.dec = s.targetDec;
                s.slewing = false;
                return " M31 EX GAL MAG 3.5 SZ178.0'#";
            }
            static const char* const kRates[] = {":RS#", ":RM#", ":RC#", ":RG#"};
            for (int i = 0; i < 4; ++i)
                if (c == kRates[i]) s.rate = i;
            static const char* const kMoves[] = {":Mn#", ":Ms#", ":Me#", ":Mw#"};
            static const char* const kStops[] = {":Qn#", ":Qs#", ":Qe#", ":Qw#"};
            for (int i = 0; i < 4; ++i) {
                if (c == kMoves[i]) s.moves |= 1u << i;
                if (c == kStops[i]) s.moves &= ~(1u << i);
            }
            if (c == ":Q#") {
                s.moves = 0;
                s.slewing = false;
                s.targetRa = s.ra;
                s.targetDec = s.dec;
            }
            return "";
        }
        case MountDialect::BBox:
        case MountDialect::Ouranos:
            if (c == "Q") return Counts(s.azCount, s.altCount);
            if (c[0] == 'Z' || c[0] == 'R') {
                int az = 0, alt = 0;
                std::sscanf(c.c_str() + 1, "%d%d", &az, &alt);
                s.azResolution = az;
                s.altResolution = alt;
                ++s.setups;
                return c[0] == 'Z' ? "R" : "";
            }
            return "";
        case MountDialect::DaveEk: {
            if (c == "a") return "Y";
            if (c == "y") {
                const unsigned alt = static_cast<unsigned>(s.altCount) & 0xFFFF;
                const unsigned az = static_cast<unsigned>(s.azCount) & 0xFFFF;
                return std::string{static_cast<char>(alt & 0xFF), static_cast<char>(alt >> 8),
                                   static_cast<char>(az & 0xFF), static_cast<char>(az >> 8)};
            }
            if (c.size() == 5 && c[0] == 'z') {
                const auto* b = reinterpret_cast<const unsigned char*>(c.data());
                s.altResolution = b[1] | (b[2] << 8);
                s.azResolution = b[3] | (b[4] << 8);
                ++s.setups;
                return "r";
            }
            return "";
        }
        case MountDialect::PlainEncoder:
            return Counts(s.azCount, s.altCount);
        case MountDialect::Intelliscope:
            return "*" + Counts(s.azCount, s.altCount);
        case MountDialect::NexStar:
        case MountDialect::NexStarCr:
        case MountDialect::NexStarBinary:
            return RespondNexStar(dialect_, s, c);
        case MountDialect::Takahashi:
            return RespondTakahashi(s, turningLeft_, c);
        case MountDialect::SiderealTech:
            return RespondSiderealTech(s, c);
        case MountDialect::ServoCat:
            return RespondDecimal(kServoCat, s, c);
        case MountDialect::SkyCommander:
            return RespondDecimal(kSkyCommander, s, c);
        case MountDialect::Raw:
            return "";
    }
    return "";
}

void MountDouble::Answer(std::string answer) {
    MountScript script;
    int parameter;
    {
        std::lock_guard<std::mutex> lock(lock_);
        script = script_;
        parameter = parameter_;
    }
    switch (script) {
        case MountScript::Normal: break;
        case MountScript::Silent: return;
        case MountScript::Short:
            if (answer.size() > static_cast<std::size_t>(parameter)) answer.resize(static_cast<std::size_t>(parameter));
            break;
        case MountScript::Late:
            std::this_thread::sleep_for(std::chrono::milliseconds(parameter));
            break;
        case MountScript::Garbled:
            for (char& ch : answer)
                if (ch >= '0' && ch <= '9') ch = static_cast<char>('a' + (ch - '0'));
            break;
    }
    if (!answer.empty()) Inject(answer);
}

void MountDouble::Script(MountScript script, int parameter) {
    std::lock_guard<std::mutex> lock(lock_);
    script_ = script;
    parameter_ = parameter;
}

void MountDouble::SetAnswer(const std::string& command, const std::string& answer) {
    std::lock_guard<std::mutex> lock(lock_);
    answers_[command] = answer;
}

void MountDouble::Inject(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size() && master_ >= 0) {
        const ssize_t n = write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
}

void MountDouble::CloseMaster() {
    StopThread();
    // The line hangs up: every slave handle, the program's included, now fails.
    close(master_);
    master_ = -1;
}

MountDoubleState MountDouble::State() {
    std::lock_guard<std::mutex> lock(lock_);
    return state_;
}

void MountDouble::SetState(const MountDoubleState& state) {
    std::lock_guard<std::mutex> lock(lock_);
    state_ = state;
}

std::string MountDouble::Received() {
    std::lock_guard<std::mutex> lock(lock_);
    return received_;
}

std::vector<std::string> MountDouble::Commands() {
    std::lock_guard<std::mutex> lock(lock_);
    return commands_;
}

void MountDouble::ClearRecord() {
    std::lock_guard<std::mutex> lock(lock_);
    received_.clear();
    commands_.clear();
}

namespace {

template <typename Done>
bool WaitUntil(std::mutex& lock, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        {
            std::lock_guard<std::mutex> hold(lock);
            if (done()) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

}  // namespace

// Both waits also wait for the commands taken in to have done what they do to the mount:
// the last byte is recorded before its command is acted on.
bool MountDouble::WaitForReceived(std::size_t count) {
    return WaitUntil(lock_, [&] { return received_.size() >= count && framing_ == 0; });
}

bool MountDouble::WaitForCommands(std::size_t count) {
    return WaitUntil(lock_, [&] { return commands_.size() >= count && framing_ == 0; });
}

bool MountDouble::Settle() {
    // Nothing left unread on the line, and nothing more taken in since the last look.
    std::size_t seen = static_cast<std::size_t>(-1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        int unread = 0;
        if (master_ < 0 || ioctl(master_, FIONREAD, &unread) != 0) return false;
        std::size_t now;
        bool acted = false;
        {
            std::lock_guard<std::mutex> hold(lock_);
            now = received_.size();
            acted = framing_ == 0;
        }
        if (unread == 0 && now == seen && acted) return true;
        seen = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

termios MountDouble::MasterAttributes() {
    termios t{};
    tcgetattr(master_, &t);
    return t;
}

// ---------------------------------------------------------------------------------------

namespace {

void RecordWait(std::uint32_t ms) { SerialBench::Waits().push_back(ms); }

platform::SerialBackend TermiosWithoutWaits() {
    platform::SerialBackend b = platform::TermiosSerialBackend();
    b.sleep = RecordWait;
    return b;
}

const platform::SerialBackend kTermiosWithoutWaits = TermiosWithoutWaits();

void ResetSerialLayer() {
    SetSerialHold(0);
    CloseSerialPort();
    serialPort.openCount = 0;
    for (int i = 0; i < serialPortNames.count; ++i) serialPortNames.data[i] = StrBuf();
    serialPortNames.count = 0;
    telescopeEmulation = 0;
}

}  // namespace

std::vector<std::uint32_t>& SerialBench::Waits() {
    static std::vector<std::uint32_t> waits;
    return waits;
}

SerialBench::SerialBench(const std::vector<std::string>& paths) {
    if (const char* v = std::getenv(platform::kSerialPortsVariable)) {
        hadVariable_ = true;
        savedVariable_ = v;
    }
    std::string joined;
    for (const std::string& p : paths) joined += (joined.empty() ? "" : ":") + p;
    setenv(platform::kSerialPortsVariable, joined.c_str(), 1);
    ResetSerialLayer();
    platform::SetSerialBackend(&kTermiosWithoutWaits);
    Waits().clear();
    preferences = Preferences{};
    ClearRecordedReports();
}

SerialBench::~SerialBench() {
    ResetSerialLayer();
    platform::SetSerialBackend(nullptr);
    platform::ResetFakeSerial();
    if (hadVariable_) setenv(platform::kSerialPortsVariable, savedVariable_.c_str(), 1);
    else unsetenv(platform::kSerialPortsVariable);
}

void SerialBench::UseFake(const std::string& path) {
    ResetSerialLayer();
    platform::ResetFakeSerial();
    platform::SetSerialBackend(&platform::FakeSerialBackend());
    *StringArrayAt(serialPortNames, 0) = StrBuf("None");
    *StringArrayAt(serialPortNames, 1) = StrBuf(path.c_str());
}

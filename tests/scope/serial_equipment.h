#pragma once
// Test equipment for everything that talks over the serial port.
//
// MountDouble: a mount on a pseudo-terminal. The program opens its slave path like any
// serial device; a thread on the master side frames the commands of one dialect, answers
// each at once and completely, records every byte, and keeps a small mount (position,
// target, slew, moves, precision; encoder counts and resolutions, which are the axis ticks
// of the SiderealTech dialect; the pier side). Scripts make it
// silent, short, late or garbled, or close the master so that the program's writes fail
// with EIO. New dialects go into Respond() in the .cpp.
//
//   MountDouble mount(MountDialect::Lx200);
//   SerialBench bench({mount.SlavePath()});     // port list position 1 is the mount
//   preferences.word[pref::scopePort] = 1;
//   ASSERT_EQ(MeadeConnect(), 1u);
//   EXPECT_EQ(mount.Commands(), (std::vector<std::string>{":GD#"}));
//
// SerialBench: sets the serial layer up for one test and puts everything back after it.
// Over termios the settling wait and the write pauses are recorded instead of taken
// (Waits()); UseFake() switches to the in-memory backend of "platform/serial_fake.h" for
// what a pseudo-terminal cannot show (modem lines, refused settings).
#include <termios.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class MountDialect {
    Raw,           // records bytes, answers nothing
    Lx200,         // ':' ... '#' commands
    BBox,          // "Z%05d %05d\n" set-up, "Q" counts
    DaveEk,        // 'z' and four binary bytes, "A", "a" status, "y" binary counts
    Ouranos,       // "R%05d\t%05d\r", "I%05d\t%05d\r", "Q" counts
    PlainEncoder,  // boxes without set-up (AAM, NGC-Max): "Q" counts
    Intelliscope,  // "Q": one byte, then the counts
    NexStar,       // framed by first byte and length: '?', "Kx", "E", 'R' "S" "F" texts, 'P'
                   // frames, "M", the old GT's binary frames (first byte 5, 6 or 7)
    NexStarCr,     // the same, each answer held back until the CR written after the command
    NexStarBinary, // '?', "E", 'R' and four bytes
    Takahashi,     // commands up to LF ("...\r\n", the side flip "PT\r,\n")
    SiderealTech,  // commands up to CR; X axis: altCount, altResolution; Y axis: az...
    ServoCat,      // CR: the position; 'g' and 14 bytes: GoTo
    SkyCommander,  // CR: the position; 'L' up to LF: GoTo, answered 'A'
};

struct MountDoubleState {
    double ra = 0.0;          // hours
    double dec = 0.0;         // degrees
    double targetRa = 0.0;
    double targetDec = 0.0;
    bool slewing = false;     // after a GoTo: each position query closes half the distance
    unsigned moves = 0;       // bits: 1 north, 2 south, 4 east, 8 west
    int rate = -1;            // last rate command, 0 "RS" to 3 "RG"
    bool highPrecision = true;
    int azCount = 0;          // encoder counts
    int altCount = 0;
    int azResolution = 0;     // as the set-up gave them
    int altResolution = 0;
    int setups = 0;           // set-ups received
    char side = 'E';          // Takahashi: the side of the pier it reports
    int turningAnswers = 0;   // Takahashi: position answers that say 'F' after each zenith
                              // command; -1 for ever
};

enum class MountScript {
    Normal,
    Silent,   // answers nothing
    Short,    // answers only the first `parameter` bytes
    Late,     // answers after `parameter` milliseconds
    Garbled,  // answers with every digit turned into a letter
};

class MountDouble {
public:
    explicit MountDouble(MountDialect dialect, MountDoubleState state = {});
    ~MountDouble();
    MountDouble(const MountDouble&) = delete;
    MountDouble& operator=(const MountDouble&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    void Script(MountScript script, int parameter = 0);
    // Answers `command` (framed, as Commands() lists it) with `answer` from now on.
    void SetAnswer(const std::string& command, const std::string& answer);
    // Sends bytes to the program now, unasked.
    void Inject(const std::string& bytes);
    // Closes the master side: the program's next write fails.
    void CloseMaster();

    MountDoubleState State();
    void SetState(const MountDoubleState& state);
    // Every byte received, and the commands framed from them.
    std::string Received();
    std::vector<std::string> Commands();
    void ClearRecord();
    // Wait (up to a generous bound) until `count` bytes have been received or `count`
    // commands framed: a command without an answer may still be on its way.
    bool WaitForReceived(std::size_t count);
    bool WaitForCommands(std::size_t count);
    // Waits until every byte the program wrote has been taken in: for the tail of an
    // exchange that reads no answer.
    bool Settle();
    // The line as the program set it, read on the master side.
    termios MasterAttributes();

private:
    void Run();
    void Take(unsigned char byte);
    void Frame(const std::string& command);
    std::string Respond(const std::string& command);
    void Answer(std::string answer);
    void StopThread();

    MountDialect dialect_;
    int master_ = -1;
    int slave_ = -1;  // held, so that the line keeps its settings between the program's opens
    int wake_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stop_{false};

    std::mutex lock_;
    MountDoubleState state_;
    MountScript script_ = MountScript::Normal;
    int parameter_ = 0;
    std::map<std::string, std::string> answers_;
    std::string received_;
    std::vector<std::string> commands_;
    std::string pending_;  // bytes of the command being framed
    std::size_t framing_ = 0;  // commands taken in and not yet acted on
    std::string held_;     // NexStarCr: answers waiting for their CR
    int turningLeft_ = 0;  // Takahashi: 'F' answers still to give
};

class SerialBench {
public:
    // Termios, with the port list: position 0 "None", then `paths` (through
    // VELKARION_SERIAL_PORTS), then any devices present.
    explicit SerialBench(const std::vector<std::string>& paths = {});
    ~SerialBench();
    SerialBench(const SerialBench&) = delete;
    SerialBench& operator=(const SerialBench&) = delete;

    // The in-memory backend ("platform/serial_fake.h"), reset, with a port list of "None"
    // and `path`.
    void UseFake(const std::string& path = "/dev/ttyFAKE0");
    // The waits the serial layer asked for over termios (the fake records its own).
    static std::vector<std::uint32_t>& Waits();

private:
    std::string savedVariable_;
    bool hadVariable_ = false;
};

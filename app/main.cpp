// The program: reads its options, loads the resources, makes sure it is the only copy for
// its user folder, opens a backend and runs (kHelp below says what a user may give it).
//
// --headless runs without any window through the headless backend until the program is
// idle, then closes it as the close box would (for scripts); otherwise the program opens
// a desktop window at the given scale (default 2, lowered to one that fits the display),
// with the menu bar below the screen.
//
// A headless run takes no instance lock, and takes the options --at, --site, --tap, --key,
// --wait and --screenshot as a script, applied in order:
//   --at        the device clock (local time) becomes that instant
//   --site      the observing site: latitude north, longitude east (degrees), and the
//               zone offset in minutes (local time minus UT); the home form is shown
//   --tap       a stylus tap at screen pixel X,Y (the menu bar lies below the screen)
//   --key       a key as the desktop keyboard gives it: a letter, digit or punctuation
//               character also types itself into the focused field
//   --wait      lets MS milliseconds of the program's time pass (its timers run)
//   --screenshot writes what the screen shows now, menu bar included, as a PNG
// Message boxes the program shows are answered OK (Yes for questions) and printed on
// standard output; mistakes go to standard error.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/headless.h"
#include "platform/menu_bar.h"
#include "platform/message_box.h"
#include "platform/message_box_window.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/resources.h"
#include "platform/sdl_backend.h"
#include "platform/text_fonts.h"
#include "platform/window.h"
#include "shell/form_dispatcher.h"
#include "app/main_window.h"
#include "core/calendar.h"
#include "core/settings.h"

namespace {

constexpr const char* kUsage =
    "usage: velkarion [--headless] [--scale N] [--at \"YYYY-MM-DD HH:MM\"] [--site LAT,LON,ZONE]\n"
    "                 [--tap X,Y] [--key NAME] [--wait MS] [--screenshot FILE.png]\n"
    "       velkarion --help\n";

constexpr const char* kHelp =
    "\n"
    "Without --headless Velkarion opens a desktop window (one copy per user folder).\n"
    "\n"
    "  --scale N          screen scale, 1 to 8 (default 2); a window too large for the\n"
    "                     display is made at the largest scale that fits\n"
    "  --headless         no window and no instance lock: the options below form a script\n"
    "                     run in order, then the program is closed as the close box would;\n"
    "                     message boxes are answered OK and printed on standard output\n"
    "  --at \"Y-M-D H:M\"   the device clock (local time) becomes that instant\n"
    "  --site LAT,LON,ZONE  the observing site: latitude north and longitude east in\n"
    "                     degrees, zone offset in minutes (local time minus UT)\n"
    "  --tap X,Y          a stylus tap at pixel X,Y of the window (the screen is 240 x 320\n"
    "                     times the scale; the menu band lies below it)\n"
    "  --key NAME         a key: a letter, a digit or a punctuation character (typed into\n"
    "                     the text field that has the focus), return, escape, space, tab,\n"
    "                     back, delete, up, down, left, right, pageup, pagedown, home, end,\n"
    "                     f1 to f4; \"ctrl+\" before a letter for Control (ctrl+q quits)\n"
    "  --wait MS          lets MS milliseconds of the program's time pass\n"
    "  --screenshot FILE  writes the window as it is now (menu band included) as a PNG\n"
    "\n"
    "Exit status: 0 the run ended (also a script whose program quit before its end),\n"
    "1 no window could be opened or a screenshot not written, 2 a wrong command line,\n"
    "3 another copy runs with the same user folder.\n";

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitAlreadyRunning = 3;

// The menu of the band below the screen.
constexpr int kMenuBar = 102;

enum class StepKind { At, Site, Tap, Key, Wait, Screenshot };
struct ScriptStep {
    StepKind kind;
    std::string option;  // as given: "--tap 22,205", for messages
    platform::LocalTime at{};
    double latitude = 0.0;
    double longitude = 0.0;  // east positive
    int zoneMinutes = 0;
    platform::Point point{};
    int key = 0;
    char typed = 0;
    bool control = false;
    int ms = 0;
    std::string file;
};

struct CommandLine {
    bool headless = false;
    bool help = false;
    int scale = 2;
    std::vector<ScriptStep> script;
};

// Each parser returns why the value is refused, or nothing.
using Refusal = std::string;

// A whole decimal number, nothing before or after it.
bool WholeNumber(const std::string& text, long* out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE) return false;
    *out = value;
    return true;
}

bool RealNumber(const std::string& text, double* out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') return false;
    *out = value;
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

Refusal InRange(const char* what, long value, long low, long high) {
    if (value >= low && value <= high) return {};
    return std::string(what) + " " + std::to_string(value) + " is not " + std::to_string(low) + " to " +
           std::to_string(high);
}

Refusal ParseScale(const std::string& text, int* scale) {
    long value = 0;
    if (!WholeNumber(text, &value)) return "not a whole number";
    if (Refusal r = InRange("scale", value, 1, 8); !r.empty()) return r;
    *scale = static_cast<int>(value);
    return {};
}

Refusal ParseAt(const std::string& text, ScriptStep* step) {
    static constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
    const std::vector<std::string> halves = Split(text, ' ');
    const std::vector<std::string> date = Split(halves[0], '-');
    const std::vector<std::string> time = halves.size() == 2 ? Split(halves[1], ':') : std::vector<std::string>{};
    long f[5] = {};
    if (halves.size() != 2 || date.size() != 3 || time.size() != 2 || !WholeNumber(date[0], &f[0]) ||
        !WholeNumber(date[1], &f[1]) || !WholeNumber(date[2], &f[2]) || !WholeNumber(time[0], &f[3]) ||
        !WholeNumber(time[1], &f[4]))
        return "not a date and time written YYYY-MM-DD HH:MM";
    if (Refusal r = InRange("year", f[0], 1, 9999); !r.empty()) return r;
    if (Refusal r = InRange("month", f[1], 1, 12); !r.empty()) return r;
    const int days = DaysInMonth(static_cast<int>(f[0]), static_cast<int>(f[1]));
    if (f[2] < 1 || f[2] > days)
        return "day " + std::to_string(f[2]) + " is not in " + kMonths[f[1] - 1] + " " + std::to_string(f[0]) +
               " (1 to " + std::to_string(days) + ")";
    if (Refusal r = InRange("hour", f[3], 0, 23); !r.empty()) return r;
    if (Refusal r = InRange("minute", f[4], 0, 59); !r.empty()) return r;
    platform::LocalTime t;
    t.year = static_cast<int>(f[0]);
    t.month = static_cast<int>(f[1]);
    t.day = static_cast<int>(f[2]);
    t.hour = static_cast<int>(f[3]);
    t.minute = static_cast<int>(f[4]);
    t.second = 0;
    t.dayOfWeek = DayOfWeek(t.year, t.month, t.day);
    step->kind = StepKind::At;
    step->at = t;
    return {};
}

Refusal ParseSite(const std::string& text, ScriptStep* step) {
    const std::vector<std::string> parts = Split(text, ',');
    if (parts.size() == 2) return "the zone offset is missing (LAT,LON,ZONE, ZONE in minutes)";
    if (parts.size() != 3) return "not LAT,LON,ZONE";
    double lat = 0.0, lon = 0.0;
    long zone = 0;
    if (!RealNumber(parts[0], &lat) || !std::isfinite(lat)) return "latitude " + parts[0] + " is not a number";
    if (!RealNumber(parts[1], &lon) || !std::isfinite(lon)) return "longitude " + parts[1] + " is not a number";
    if (!WholeNumber(parts[2], &zone)) return "zone offset " + parts[2] + " is not a whole number of minutes";
    if (std::fabs(lat) > 90.0) return "latitude " + parts[0] + " is not -90 to 90";
    if (std::fabs(lon) > 180.0) return "longitude " + parts[1] + " is not -180 to 180";
    if (Refusal r = InRange("zone offset", zone, -14 * 60, 14 * 60); !r.empty()) return r + " minutes";
    step->kind = StepKind::Site;
    step->latitude = lat;
    step->longitude = lon;
    step->zoneMinutes = static_cast<int>(zone);
    return {};
}

Refusal ParseTap(const std::string& text, ScriptStep* step) {
    const std::vector<std::string> parts = Split(text, ',');
    long x = 0, y = 0;
    if (parts.size() != 2 || !WholeNumber(parts[0], &x) || !WholeNumber(parts[1], &y)) return "not X,Y";
    if (x < 0 || y < 0 || x > 100000 || y > 100000) return "a pixel of the window has no negative coordinates";
    step->kind = StepKind::Tap;
    step->point = platform::Point{static_cast<int>(x), static_cast<int>(y)};
    return {};
}

Refusal ParseKey(const std::string& text, ScriptStep* step) {
    std::string name = text;
    step->kind = StepKind::Key;
    if (name.size() > 5 && platform::EqualNoCase(std::string_view(name).substr(0, 5), "ctrl+")) {
        step->control = true;
        name.erase(0, 5);
    }
    // The named keys, with the character each types in the window.
    struct Named {
        const char* name;
        int key;
        char typed;
    };
    static constexpr Named kNames[] = {
        {"return", platform::kKeyReturn, '\r'}, {"enter", platform::kKeyReturn, '\r'},
        {"escape", platform::kKeyEscape, 27},   {"space", platform::kKeySpace, ' '},
        {"tab", platform::kKeyTab, '\t'},       {"back", platform::kKeyBack, 8},
        {"delete", platform::kKeyDelete, 0},    {"up", platform::kKeyUp, 0},
        {"down", platform::kKeyDown, 0},        {"left", platform::kKeyLeft, 0},
        {"right", platform::kKeyRight, 0},      {"pageup", platform::kKeyPageUp, 0},
        {"pagedown", platform::kKeyPageDown, 0}, {"home", platform::kKeyHome, 0},
        {"end", platform::kKeyEnd, 0},          {"f1", platform::kKeyF1, 0},
        {"f2", platform::kKeyF2, 0},            {"f3", platform::kKeyF3, 0},
        {"f4", platform::kKeyF4, 0},
    };
    for (const Named& n : kNames) {
        if (platform::EqualNoCase(name, n.name)) {
            step->key = n.key;
            step->typed = step->control ? 0 : n.typed;
            return {};
        }
    }
    // One character: a letter or a digit has a key of its own and types itself; other
    // characters only type.
    const std::string typed = platform::Utf8ToProgramText(name);
    if (typed.size() == 1 && static_cast<unsigned char>(typed[0]) > ' ' && typed[0] != 127) {
        const auto c = static_cast<unsigned char>(typed[0]);
        if (c < 128 && std::isalnum(c)) step->key = std::toupper(c);
        if (step->control) {
            if (!step->key) return "Ctrl goes with a letter, a digit or a named key";
        } else {
            step->typed = typed[0];
        }
        return {};
    }
    return "not a key: a letter, a digit, a punctuation character or a key name (velkarion --help lists them)";
}

// One row per option: its name, what its value is, and what it does with it.
struct OptionRow {
    const char* name;
    const char* value;  // null: takes none
    Refusal (*apply)(CommandLine& line, const std::string& value);
    bool script;        // a step of the headless script
};

template <Refusal (*Parse)(const std::string&, ScriptStep*)>
Refusal AddStep(CommandLine& line, const std::string& value) {
    ScriptStep step{};
    if (Refusal r = Parse(value, &step); !r.empty()) return r;
    line.script.push_back(step);
    return {};
}

Refusal ParseWait(const std::string& text, ScriptStep* step) {
    long ms = 0;
    if (!WholeNumber(text, &ms)) return "not a whole number of milliseconds";
    if (Refusal r = InRange("wait", ms, 0, 24L * 3600 * 1000); !r.empty()) return r + " ms";
    step->kind = StepKind::Wait;
    step->ms = static_cast<int>(ms);
    return {};
}

Refusal ParseScreenshot(const std::string& text, ScriptStep* step) {
    if (text.empty()) return "no file name";
    step->kind = StepKind::Screenshot;
    step->file = text;
    return {};
}

constexpr OptionRow kOptions[] = {
    {"--help", nullptr, [](CommandLine& line, const std::string&) { line.help = true; return Refusal{}; }, false},
    {"-h", nullptr, [](CommandLine& line, const std::string&) { line.help = true; return Refusal{}; }, false},
    {"--headless", nullptr, [](CommandLine& line, const std::string&) { line.headless = true; return Refusal{}; }, false},
    {"--scale", "N", [](CommandLine& line, const std::string& v) { return ParseScale(v, &line.scale); }, false},
    {"--at", "\"YYYY-MM-DD HH:MM\"", &AddStep<ParseAt>, true},
    {"--site", "LAT,LON,ZONE", &AddStep<ParseSite>, true},
    {"--tap", "X,Y", &AddStep<ParseTap>, true},
    {"--key", "NAME", &AddStep<ParseKey>, true},
    {"--wait", "MS", &AddStep<ParseWait>, true},
    {"--screenshot", "FILE.png", &AddStep<ParseScreenshot>, true},
};

// Fills the command line; on a mistake returns the message that names the argument and
// says what is wrong with it.
std::string ParseCommandLine(int argc, char** argv, CommandLine* line) {
    const char* firstScriptOption = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const OptionRow* row = nullptr;
        for (const OptionRow& candidate : kOptions)
            if (arg == candidate.name) row = &candidate;
        if (!row) {
            if (arg.rfind("-", 0) == 0) return "unknown option " + arg;
            return "unexpected argument \"" + arg + "\" (every value follows its option)";
        }
        std::string value;
        if (row->value) {
            if (i + 1 >= argc) return arg + " needs a value: " + arg + " " + row->value;
            value = argv[++i];
        }
        if (Refusal r = row->apply(*line, value); !r.empty()) return arg + " " + value + ": " + r;
        if (row->script) {
            line->script.back().option = arg + " " + value;
            if (!firstScriptOption) firstScriptOption = row->name;
        }
    }
    // The script drives the headless run; a window is driven by its user.
    if (firstScriptOption && !line->headless && !line->help)
        return std::string(firstScriptOption) + " needs --headless (a window is driven by its user)";
    return {};
}

platform::Window MainWindowTarget() { return mainWindow; }

// ---- The headless script ------------------------------------------------------------------

std::size_t boxesPrinted = 0;

void PrintNewBoxes() {
    const std::vector<platform::ShownBox>& boxes = platform::ShownBoxes();
    for (; boxesPrinted < boxes.size(); ++boxesPrinted) {
        const platform::ShownBox& b = boxes[boxesPrinted];
        std::printf("[%s] %s\n", platform::ToUtf8(platform::DecodeProgramText(b.caption)).c_str(), platform::ToUtf8(platform::DecodeProgramText(b.text)).c_str());
    }
    std::fflush(stdout);
}

void ApplySite(const ScriptStep& step) {
    ObserverLocation& site = observerLocation;
    std::memset(site.name, 0, sizeof site.name);
    std::memcpy(site.name, "Site", 4);
    SetLatitude(site, static_cast<float>(step.latitude));
    site.longitude = static_cast<float>(-step.longitude);  // the program counts longitude west
    site.zoneMinutes = static_cast<std::int16_t>(step.zoneMinutes);
    noSiteFlag = 0;
    // As the site form does: back to the home form, drawn for the new site.
    SetAllFormRedrawFlags();
    GotoForm(kHomeFormId);
}

// The form shown is drawn whole again, for the time the clock now tells.
void RedrawEverything() {
    SetAllFormRedrawFlags();
    platform::InvalidateAllWindows();
}

bool RunStep(const ScriptStep& step) {
    namespace hl = platform::headless;
    switch (step.kind) {
    case StepKind::At:
        hl::SetLocalTime(step.at);
        hl::Call(&RedrawEverything);
        break;
    case StepKind::Site:
        hl::Call([step] { ApplySite(step); });
        break;
    case StepKind::Tap:
        hl::Tap(step.point, 50);
        break;
    case StepKind::Key:
        hl::TypeKey(step.key, step.typed, step.control);
        break;
    case StepKind::Wait:
        hl::AdvanceTime(static_cast<std::uint32_t>(step.ms));
        break;
    case StepKind::Screenshot:
        hl::RunUntilIdle();
        if (!platform::SavePng(hl::Frame(), step.file)) {
            std::fprintf(stderr, "velkarion: cannot write %s\n", step.file.c_str());
            return false;
        }
        break;
    }
    PrintNewBoxes();
    return true;
}

int RunHeadless(const CommandLine& line) {
    platform::headless::Options options;
    options.scale = line.scale;
    options.start = platform::RealLocalTime();
    options.dateOrder = platform::ShortDateOrder();
    // Leading --at steps set the clock the program starts with.
    std::size_t first = 0;
    while (first < line.script.size() && line.script[first].kind == StepKind::At) options.start = line.script[first++].at;
    platform::headless::Install(options);
    platform::menubar::Install(kMenuBar, &MainWindowTarget);
    platform::ClearShownBoxes();
    // Scripts, tests and CI run many copies at once: a headless run takes no instance lock.
    RunOptions run;
    run.instanceLock = false;
    platform::headless::StartProgram([run] { return RunVelkarion(run); });
    bool ok = true;
    if (platform::headless::RunUntilIdle()) {
        PrintNewBoxes();
        for (std::size_t i = first; i < line.script.size() && ok; ++i) {
            ok = RunStep(line.script[i]);
            // A step may end the program (Quit, Ctrl+Q, a tap on the home title): what it
            // ended is said, and the run still counts as done.
            if (ok && !platform::headless::ProgramRunning() && i + 1 < line.script.size()) {
                std::printf("velkarion: the program quit at step %zu of %zu (%s); the steps after it were not run\n",
                            i + 1, line.script.size(), line.script[i].option.c_str());
                std::fflush(stdout);
                break;
            }
        }
        if (platform::headless::ProgramRunning()) platform::headless::RequestClose();
    }
    const int code = platform::headless::StopProgram();
    PrintNewBoxes();
    platform::menubar::Uninstall();
    platform::headless::Uninstall();
    return ok ? code : kExitFailed;
}

int RunInWindow(const CommandLine& line) {
    platform::sdl::Options options;
    options.scale = line.scale;
    options.bandHeight = platform::menubar::kBandDesignHeight;
    std::string why;
    if (!platform::sdl::Install(options, &why)) {
        std::fprintf(stderr, "velkarion: cannot open a window: %s\n", why.c_str());
        std::fprintf(stderr, "velkarion: no display: use --headless\n");
        return kExitFailed;
    }
    if (platform::sdl::Scale() != line.scale)
        std::fprintf(stderr, "velkarion: scale %d does not fit the display; using scale %d\n", line.scale,
                     platform::sdl::Scale());
    platform::menubar::Install(kMenuBar, &MainWindowTarget);
    // The user answers the program's message boxes on the screen.
    platform::InstallMessageBoxWindow();
    const int code = RunVelkarion();
    platform::SetBoxPresenter(nullptr);
    platform::menubar::Uninstall();
    platform::sdl::Uninstall();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    if (const std::string wrong = ParseCommandLine(argc, argv, &line); !wrong.empty()) {
        std::fprintf(stderr, "velkarion: %s\n%s", wrong.c_str(), kUsage);
        return kExitUsage;
    }
    if (line.help) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (!platform::LoadResources())
        std::fprintf(stderr, "velkarion: resources folder not found: %s (VELKARION_RESOURCES or VELKARION_INSTALL "
                     "name where it is)\n", platform::ResourcesFolder().c_str());
    // One window per user folder: a second start only brings the running copy to the front.
    if (!line.headless && !ClaimProgramInstance()) {
        if (!ProgramInstanceLockRefused())
            std::fprintf(stderr, "Velkarion is already running (user folder %s)\n", platform::HomeRoot().c_str());
        return kExitAlreadyRunning;
    }
    return line.headless ? RunHeadless(line) : RunInWindow(line);
}

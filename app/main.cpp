// The program: reads its options, loads the resources, makes sure it is the only copy,
// opens a backend and runs.
//
//   velkarion [--headless] [--scale N] [--at "YYYY-MM-DD HH:MM"] [--site LAT,LON,ZONE]
//             [--tap X,Y] [--key NAME] [--wait MS] [--screenshot FILE.png]
//
// --headless runs without any window through the headless backend until the program is
// idle, then closes it as the close box would (for scripts); otherwise the program opens
// a desktop window at the given scale (default 2), with the menu bar below the screen.
//
// A headless run takes the options after --scale as a script, applied in order:
//   --at        the device clock (local time) becomes that instant
//   --site      the observing site: latitude north, longitude east (degrees), and the
//               zone offset in minutes (local time minus UT); the home form is shown
//   --tap       a stylus tap at screen pixel X,Y (the menu bar lies below the screen)
//   --key       a key press: a letter or digit, return, escape, space, tab, back, delete,
//               up, down, left, right, pageup, pagedown, home, end, f1 to f4, with
//               "ctrl+" before it for Control
//   --wait      lets MS milliseconds of the program's time pass (its timers run)
//   --screenshot writes what the screen shows now, menu bar included, as a PNG
// Message boxes the program shows are answered OK (Yes for questions) and printed.
#include <cctype>
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
    "       (--at, --site, --tap, --key, --wait and --screenshot need --headless)";

// The menu of the band below the screen.
constexpr int kMenuBar = 102;

enum class StepKind { At, Site, Tap, Key, Wait, Screenshot };
struct ScriptStep {
    StepKind kind;
    platform::LocalTime at{};
    double latitude = 0.0;
    double longitude = 0.0;  // east positive
    int zoneMinutes = 0;
    platform::Point point{};
    int key = 0;
    bool control = false;
    int ms = 0;
    std::string file;
};

struct CommandLine {
    bool headless = false;
    int scale = 2;
    std::vector<ScriptStep> script;
};

bool ParseInt(const char* text, int low, int high, int* out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    *out = static_cast<int>(value);
    return true;
}

bool ParseAt(const char* text, ScriptStep* step) {
    platform::LocalTime t;
    char tail = 0;
    if (std::sscanf(text, "%d-%d-%d %d:%d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &tail) != 5) return false;
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 ||
        t.hour > 23 || t.minute < 0 || t.minute > 59)
        return false;
    t.second = 0;
    t.dayOfWeek = DayOfWeek(t.year, t.month, t.day);
    step->kind = StepKind::At;
    step->at = t;
    return true;
}

bool ParseSite(const char* text, ScriptStep* step) {
    double lat = 0.0, lon = 0.0;
    int zone = 0;
    char tail = 0;
    if (std::sscanf(text, "%lf,%lf,%d%c", &lat, &lon, &zone, &tail) != 3) return false;
    if (!(std::fabs(lat) <= 90.0) || !(std::fabs(lon) <= 180.0) || zone < -14 * 60 || zone > 14 * 60) return false;
    step->kind = StepKind::Site;
    step->latitude = lat;
    step->longitude = lon;
    step->zoneMinutes = zone;
    return true;
}

bool ParseTap(const char* text, ScriptStep* step) {
    int x = 0, y = 0;
    char tail = 0;
    if (std::sscanf(text, "%d,%d%c", &x, &y, &tail) != 2 || x < 0 || y < 0) return false;
    step->kind = StepKind::Tap;
    step->point = platform::Point{x, y};
    return true;
}

bool ParseKey(const char* text, ScriptStep* step) {
    std::string name;
    for (const char* p = text; *p; ++p) name += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    step->kind = StepKind::Key;
    if (name.rfind("ctrl+", 0) == 0) {
        step->control = true;
        name.erase(0, 5);
    }
    struct Named {
        const char* name;
        int key;
    };
    static constexpr Named kNames[] = {
        {"return", platform::kKeyReturn}, {"enter", platform::kKeyReturn}, {"escape", platform::kKeyEscape},
        {"space", platform::kKeySpace},   {"tab", platform::kKeyTab},      {"back", platform::kKeyBack},
        {"delete", platform::kKeyDelete}, {"up", platform::kKeyUp},        {"down", platform::kKeyDown},
        {"left", platform::kKeyLeft},     {"right", platform::kKeyRight},  {"pageup", platform::kKeyPageUp},
        {"pagedown", platform::kKeyPageDown}, {"home", platform::kKeyHome}, {"end", platform::kKeyEnd},
        {"f1", platform::kKeyF1},         {"f2", platform::kKeyF2},        {"f3", platform::kKeyF3},
        {"f4", platform::kKeyF4},
    };
    for (const Named& n : kNames) {
        if (name == n.name) {
            step->key = n.key;
            return true;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        step->key = std::toupper(static_cast<unsigned char>(name[0]));
        return true;
    }
    return false;
}

bool AddStep(CommandLine& line, const char* value, bool (*parse)(const char*, ScriptStep*)) {
    ScriptStep step{};
    if (!parse(value, &step)) return false;
    line.script.push_back(step);
    return true;
}

// One row per option: its name, whether a value follows, and what it does with it.
struct OptionRow {
    const char* name;
    bool takesValue;
    bool (*apply)(CommandLine& line, const char* value);
};
constexpr OptionRow kOptions[] = {
    {"--headless", false, [](CommandLine& line, const char*) { return line.headless = true; }},
    {"--scale", true, [](CommandLine& line, const char* value) { return ParseInt(value, 1, 8, &line.scale); }},
    {"--at", true, [](CommandLine& line, const char* value) { return AddStep(line, value, &ParseAt); }},
    {"--site", true, [](CommandLine& line, const char* value) { return AddStep(line, value, &ParseSite); }},
    {"--tap", true, [](CommandLine& line, const char* value) { return AddStep(line, value, &ParseTap); }},
    {"--key", true, [](CommandLine& line, const char* value) { return AddStep(line, value, &ParseKey); }},
    {"--wait", true,
     [](CommandLine& line, const char* value) {
         ScriptStep step{};
         step.kind = StepKind::Wait;
         if (!ParseInt(value, 0, 24 * 3600 * 1000, &step.ms)) return false;
         line.script.push_back(step);
         return true;
     }},
    {"--screenshot", true,
     [](CommandLine& line, const char* value) {
         ScriptStep step{};
         step.kind = StepKind::Screenshot;
         step.file = value;
         line.script.push_back(step);
         return !step.file.empty();
     }},
};

bool ParseCommandLine(int argc, char** argv, CommandLine* line) {
    for (int i = 1; i < argc; ++i) {
        const OptionRow* row = nullptr;
        for (const OptionRow& candidate : kOptions)
            if (std::strcmp(argv[i], candidate.name) == 0) row = &candidate;
        if (!row) return false;
        const char* value = nullptr;
        if (row->takesValue) {
            if (i + 1 >= argc) return false;
            value = argv[++i];
        }
        if (!row->apply(*line, value)) return false;
    }
    // The script drives the headless run; a window is driven by its user.
    return line->headless || line->script.empty();
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
        hl::KeyPress(step.key, step.control);
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
    return hl::ProgramRunning();
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
    platform::headless::StartProgram([] { return RunVelkarion(); });
    bool ok = true;
    if (platform::headless::RunUntilIdle()) {
        PrintNewBoxes();
        for (std::size_t i = first; i < line.script.size() && ok; ++i) ok = RunStep(line.script[i]);
        if (platform::headless::ProgramRunning()) platform::headless::RequestClose();
    }
    const int code = platform::headless::StopProgram();
    PrintNewBoxes();
    platform::menubar::Uninstall();
    platform::headless::Uninstall();
    return ok ? code : 1;
}

int RunInWindow(const CommandLine& line) {
    platform::sdl::Options options;
    options.scale = line.scale;
    if (!platform::sdl::Install(options)) {
        std::fprintf(stderr, "velkarion: cannot open a window (is there a display?)\n");
        return 1;
    }
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
    if (!ParseCommandLine(argc, argv, &line)) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    if (!platform::LoadResources())
        std::fprintf(stderr, "velkarion: resources folder not found: %s\n", platform::ResourcesFolder().c_str());
    // A second start only brings the running copy to the front.
    if (!ClaimProgramInstance()) return 0;
    return line.headless ? RunHeadless(line) : RunInWindow(line);
}

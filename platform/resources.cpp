#include "platform/resources.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#include "platform/paths.h"
#include "platform/text_fonts.h"

namespace platform {
namespace fs = std::filesystem;

namespace {

struct Store {
    std::map<int, DialogLayout> dialogs;
    std::map<int, Menu> menus;
    std::map<int, std::string> strings;
    std::map<int, AcceleratorTable> accelerators;
    std::vector<BitmapEntry> bitmaps;
    fs::path bitmapFolder;
};

Store& S() {
    static Store s;
    return s;
}

struct Token {
    std::string text;
    bool quoted = false;
};

std::string Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

// Splits a line into words and quoted texts; '#' outside quotes starts a comment. Quoted
// texts are UTF-8 in the file and become Windows-1252; \" \\ \n \t and \xHH (a raw
// Windows-1252 byte) are escapes.
bool Tokenize(std::string_view line, std::vector<Token>& out, std::string* error) {
    out.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        const char ch = line[i];
        if (ch == ' ' || ch == '\t' || ch == '\r') {
            ++i;
            continue;
        }
        // A comment starts with '#' at the start of the line or before a blank, so that
        // colours such as #FF00FF stay words.
        if (ch == '#' && (out.empty() || i + 1 == line.size() || line[i + 1] == ' ' || line[i + 1] == '\t')) break;
        Token t;
        if (ch == '"') {
            t.quoted = true;
            ++i;
            std::string raw;      // UTF-8 pieces
            std::string result;   // converted
            bool closed = false;
            auto flush = [&] {
                result += Utf8ToProgramText(raw);
                raw.clear();
            };
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    raw.push_back(c);
                    continue;
                }
                if (i >= line.size()) break;
                const char e = line[i++];
                switch (e) {
                    case 'n': raw.push_back('\n'); break;
                    case 't': raw.push_back('\t'); break;
                    case '"': raw.push_back('"'); break;
                    case '\\': raw.push_back('\\'); break;
                    case 'x': {
                        const int hi = i < line.size() ? HexDigit(line[i]) : -1;
                        const int lo = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
                        if (hi < 0 || lo < 0) {
                            if (error) *error = "bad \\x escape";
                            return false;
                        }
                        i += 2;
                        flush();
                        result.push_back(static_cast<char>(hi * 16 + lo));
                        break;
                    }
                    default:
                        if (error) *error = std::string("unknown escape \\") + e;
                        return false;
                }
            }
            if (!closed) {
                if (error) *error = "unterminated text";
                return false;
            }
            flush();
            t.text = std::move(result);
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') t.text.push_back(line[i++]);
        }
        out.push_back(std::move(t));
    }
    return true;
}

bool ToInt(const Token& t, long* v) {
    if (t.quoted || t.text.empty()) return false;
    char* end = nullptr;
    const long x = std::strtol(t.text.c_str(), &end, 0);
    if (*end != 0) return false;
    *v = x;
    return true;
}

// A 16-bit id: 0..65535, or -1 for the classic "no id" of labels.
bool ToId(const Token& t, std::uint16_t* id) {
    long v;
    if (!ToInt(t, &v) || v < -1 || v > 0xFFFF) return false;
    *id = static_cast<std::uint16_t>(v);
    return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}

std::string Where(std::size_t line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

bool ReadText(const fs::path& p, std::string* out) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    *out = ss.str();
    return true;
}

bool KindOf(const std::string& word, WindowKind* kind) {
    static const std::pair<const char*, WindowKind> kKinds[] = {
        {"button", WindowKind::Button}, {"static", WindowKind::Static},     {"edit", WindowKind::Edit},
        {"listview", WindowKind::ListView}, {"scrollbar", WindowKind::ScrollBar}, {"custom", WindowKind::Generic},
    };
    for (const auto& [name, k] : kKinds) {
        if (word == name) {
            *kind = k;
            return true;
        }
    }
    return false;
}

// A layout flag word onto the style or flag bits.
bool ApplyFlag(const std::string& word, std::uint32_t* style, std::uint32_t* flags) {
    static const std::pair<const char*, std::uint32_t> kStyles[] = {
        {"ownerdraw", kStyleOwnerDraw}, {"vscroll", kStyleVScroll},       {"hscroll", kStyleHScroll},
        {"multiline", kStyleMultiLine}, {"checkbox", kStyleCheckBox},     {"autocheckbox", kStyleAutoCheckBox},
        {"threestate", kStyleThreeState}, {"autothreestate", kStyleAutoThreeState}, {"radio", kStyleRadio},
        {"default", kStyleDefaultButton}, {"border", kStyleBorder},       {"readonly", kStyleReadOnly},
        {"center", kStyleCenter},       {"right", kStyleRight},           {"wantreturn", kStyleWantReturn},
    };
    if (word == "hidden") {
        *flags |= kLayoutHidden;
        return true;
    }
    if (word == "disabled") {
        *flags |= kLayoutDisabled;
        return true;
    }
    for (const auto& [name, bit] : kStyles) {
        if (word == name) {
            *style |= bit;
            return true;
        }
    }
    return false;
}

bool ReadRect(const std::vector<Token>& t, std::size_t at, Rect* r) {
    long v[4];
    if (t.size() < at + 4) return false;
    for (int k = 0; k < 4; ++k)
        if (!ToInt(t[at + k], &v[k])) return false;
    if (v[2] < 0 || v[3] < 0) return false;
    *r = Rect{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]), static_cast<int>(v[1] + v[3])};
    return true;
}

int KeyOf(const std::string& word) {
    static const std::pair<const char*, int> kNamed[] = {
        {"return", kKeyReturn}, {"escape", kKeyEscape}, {"space", kKeySpace}, {"tab", kKeyTab},
        {"back", kKeyBack},     {"delete", kKeyDelete}, {"up", kKeyUp},       {"down", kKeyDown},
        {"left", kKeyLeft},     {"right", kKeyRight},   {"pageup", kKeyPageUp}, {"pagedown", kKeyPageDown},
        {"home", kKeyHome},     {"end", kKeyEnd},       {"f1", kKeyF1},       {"f2", kKeyF2},
        {"f3", kKeyF3},         {"f4", kKeyF4},
    };
    if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0])))
        return std::toupper(static_cast<unsigned char>(word[0]));
    for (const auto& [name, key] : kNamed)
        if (word == name) return key;
    return 0;
}

bool ParseColor(const std::string& word, Color* c) {
    if (word.size() != 7 || word[0] != '#') return false;
    int v[6];
    for (int k = 0; k < 6; ++k)
        if ((v[k] = HexDigit(word[1 + k])) < 0) return false;
    *c = Rgb(v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]);
    return true;
}

void Note(std::vector<std::string>* problems, const std::string& what) {
    if (problems) problems->push_back(what);
}

}  // namespace

// ---- Dialog layouts --------------------------------------------------------------------

bool ParseDialogLayout(std::string_view text, DialogLayout* out, std::string* error) {
    DialogLayout layout;
    bool haveId = false;
    std::vector<Token> t;
    const auto lines = Lines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string why;
        if (!Tokenize(lines[n], t, &why)) {
            if (error) *error = Where(n + 1, why);
            return false;
        }
        if (t.empty()) continue;
        auto fail = [&](const std::string& what) {
            if (error) *error = Where(n + 1, what);
            return false;
        };
        const std::string word = Lower(t[0].text);
        if (t[0].quoted) return fail("a line starts with a keyword");
        if (word == "dialog") {
            long id;
            if (t.size() != 2 || !ToInt(t[1], &id) || id < 0 || id > 0xFFFF) return fail("dialog needs an id 0..65535");
            layout.id = static_cast<int>(id);
            haveId = true;
        } else if (word == "caption") {
            if (t.size() != 2 || !t[1].quoted) return fail("caption needs one quoted text");
            layout.caption = t[1].text;
        } else if (word == "rect") {
            if (t.size() != 5 || !ReadRect(t, 1, &layout.rect)) return fail("rect needs x y width height");
        } else if (word == "flags") {
            for (std::size_t k = 1; k < t.size(); ++k) {
                if (Lower(t[k].text) != "hidden") return fail("unknown dialog flag " + t[k].text);
                layout.flags |= kLayoutHidden;
            }
        } else {
            ControlLayout c;
            if (!KindOf(word, &c.kind)) return fail("unknown keyword or control kind " + t[0].text);
            if (t.size() < 7) return fail("a control needs kind id \"text\" x y width height");
            if (!ToId(t[1], &c.id)) return fail("bad control id " + t[1].text);
            if (!t[2].quoted) return fail("the control text must be quoted");
            c.text = t[2].text;
            if (!ReadRect(t, 3, &c.rect)) return fail("bad control rectangle");
            for (std::size_t k = 7; k < t.size(); ++k)
                if (!ApplyFlag(Lower(t[k].text), &c.style, &c.flags)) return fail("unknown control flag " + t[k].text);
            layout.controls.push_back(std::move(c));
        }
    }
    if (!haveId) {
        if (error) *error = "no dialog line";
        return false;
    }
    if (out) *out = std::move(layout);
    return true;
}

void RegisterDialogLayout(const DialogLayout& layout) { S().dialogs[layout.id] = layout; }
void ForgetDialogLayout(int id) { S().dialogs.erase(id); }

const DialogLayout* FindDialogLayout(int id) {
    auto it = S().dialogs.find(id);
    return it == S().dialogs.end() ? nullptr : &it->second;
}

namespace {
int LoadDialogs(const fs::path& folder, std::vector<std::string>* problems) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return 0;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && entry.path().extension() == ".dlg") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    int count = 0;
    for (const fs::path& p : files) {
        std::string text, error;
        DialogLayout layout;
        if (!ReadText(p, &text)) {
            Note(problems, p.string() + ": cannot be read");
        } else if (!ParseDialogLayout(text, &layout, &error)) {
            Note(problems, p.string() + ": " + error);
        } else {
            RegisterDialogLayout(layout);
            ++count;
        }
    }
    return count;
}
}  // namespace

int LoadDialogFolder(const fs::path& folder) { return LoadDialogs(folder, nullptr); }

// ---- Menus, strings, accelerators, bitmaps ----------------------------------------------

bool ParseMenus(std::string_view text, std::vector<std::string>* problems) {
    Store& s = S();
    std::vector<Token> t;
    Menu* menu = nullptr;
    MenuPopup* popup = nullptr;
    bool ok = true;
    const auto lines = Lines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string why;
        if (!Tokenize(lines[n], t, &why)) {
            Note(problems, "menus " + Where(n + 1, why));
            ok = false;
            continue;
        }
        if (t.empty()) continue;
        const std::string word = Lower(t[0].text);
        long v;
        if (word == "menu" && t.size() == 2 && ToInt(t[1], &v)) {
            menu = &s.menus[static_cast<int>(v)];
            *menu = Menu{};
            menu->id = static_cast<int>(v);
            popup = nullptr;
        } else if (word == "popup" && t.size() == 2 && ToInt(t[1], &v) && menu) {
            menu->popups.push_back(MenuPopup{static_cast<int>(v), {}, {}});
            popup = &menu->popups.back();
        } else if (word == "item" && t.size() == 3 && ToInt(t[1], &v) && v >= 0 && v <= 0xFFFF && t[2].quoted && popup) {
            popup->items.push_back(MenuItem{static_cast<std::uint16_t>(v), t[2].text, false});
        } else if (word == "separator" && t.size() == 1 && popup) {
            popup->items.push_back(MenuItem{0, {}, true});
        } else {
            Note(problems, "menus " + Where(n + 1, "not understood"));
            ok = false;
        }
    }
    return ok;
}

bool ParseStrings(std::string_view text, std::vector<std::string>* problems) {
    std::vector<Token> t;
    bool ok = true;
    const auto lines = Lines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string why;
        long id;
        if (!Tokenize(lines[n], t, &why)) {
            Note(problems, "strings " + Where(n + 1, why));
            ok = false;
        } else if (t.empty()) {
            continue;
        } else if (t.size() == 2 && ToInt(t[0], &id) && t[1].quoted) {
            S().strings[static_cast<int>(id)] = t[1].text;
        } else {
            Note(problems, "strings " + Where(n + 1, "expected: id \"text\""));
            ok = false;
        }
    }
    return ok;
}

bool ParseAccelerators(std::string_view text, std::vector<std::string>* problems) {
    std::vector<Token> t;
    AcceleratorTable* table = nullptr;
    bool ok = true;
    const auto lines = Lines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string why;
        if (!Tokenize(lines[n], t, &why)) {
            Note(problems, "accelerators " + Where(n + 1, why));
            ok = false;
            continue;
        }
        if (t.empty()) continue;
        long v;
        if (Lower(t[0].text) == "table" && t.size() == 2 && ToInt(t[1], &v)) {
            table = &S().accelerators[static_cast<int>(v)];
            *table = AcceleratorTable{};
            table->id = static_cast<int>(v);
            continue;
        }
        // [ctrl+][shift+][alt+]key command
        Accelerator a;
        bool good = table && t.size() == 2 && ToInt(t[1], &v) && v >= 0 && v <= 0xFFFF;
        if (good) {
            std::string desc = Lower(t[0].text);
            for (;;) {
                const std::size_t plus = desc.find('+');
                if (plus == std::string::npos || plus + 1 == desc.size()) break;
                const std::string mod = desc.substr(0, plus);
                if (mod == "ctrl") a.control = true;
                else if (mod == "shift") a.shift = true;
                else if (mod == "alt") a.alt = true;
                else good = false;
                desc = desc.substr(plus + 1);
            }
            a.key = KeyOf(desc);
            a.command = static_cast<std::uint16_t>(v);
            good = good && a.key != 0;
        }
        if (good) {
            table->entries.push_back(a);
        } else {
            Note(problems, "accelerators " + Where(n + 1, "expected: [ctrl+][shift+][alt+]key command"));
            ok = false;
        }
    }
    return ok;
}

bool ParseBitmapManifest(std::string_view text, std::vector<std::string>* problems) {
    std::vector<Token> t;
    bool ok = true;
    const auto lines = Lines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string why;
        if (!Tokenize(lines[n], t, &why)) {
            Note(problems, "bitmaps " + Where(n + 1, why));
            ok = false;
            continue;
        }
        if (t.empty()) continue;
        BitmapEntry e;
        long id, w, h;
        bool good = t.size() >= 5 && ToInt(t[0], &id) && ToInt(t[2], &w) && ToInt(t[3], &h) && w > 0 && h > 0 &&
                    !t[1].text.empty();
        if (good) {
            e.id = static_cast<int>(id);
            e.file = t[1].text;
            e.width = static_cast<int>(w);
            e.height = static_cast<int>(h);
            const std::string key = Lower(t[4].text);
            if (key != "none") {
                e.hasKey = ParseColor(key, &e.key);
                good = e.hasKey;
            }
            for (std::size_t k = 5; k < t.size(); ++k) {
                std::string users = t[k].text;
                std::size_t start = 0;
                while (start <= users.size()) {
                    std::size_t comma = users.find(',', start);
                    if (comma == std::string::npos) comma = users.size();
                    if (comma > start) e.users.push_back(users.substr(start, comma - start));
                    start = comma + 1;
                }
            }
        }
        if (!good) {
            Note(problems, "bitmaps " + Where(n + 1, "expected: id file width height #RRGGBB|none users"));
            ok = false;
            continue;
        }
        auto& list = S().bitmaps;
        auto it = std::find_if(list.begin(), list.end(), [&](const BitmapEntry& b) { return b.id == e.id; });
        if (it != list.end()) {
            *it = std::move(e);
        } else {
            list.push_back(std::move(e));
        }
    }
    return ok;
}

const Menu* FindMenu(int id) {
    Store& s = S();
    auto it = s.menus.find(id);
    if (it == s.menus.end()) return nullptr;
    for (MenuPopup& p : it->second.popups) p.title = LoadString(p.titleString);
    return &it->second;
}

std::string LoadString(int id) {
    auto it = S().strings.find(id);
    return it == S().strings.end() ? std::string{} : it->second;
}

bool HasString(int id) { return S().strings.count(id) != 0; }

const AcceleratorTable* FindAccelerators(int id) {
    auto it = S().accelerators.find(id);
    return it == S().accelerators.end() ? nullptr : &it->second;
}

const BitmapEntry* FindBitmapEntry(int id) {
    for (const BitmapEntry& e : S().bitmaps)
        if (e.id == id) return &e;
    return nullptr;
}

const std::vector<BitmapEntry>& BitmapEntries() { return S().bitmaps; }

fs::path BitmapPath(int id) {
    const BitmapEntry* e = FindBitmapEntry(id);
    if (!e) return {};
    const fs::path folder = S().bitmapFolder.empty() ? ResourcesFolder() / "bitmaps" : S().bitmapFolder;
    return folder / e->file;
}

// ---- Loading -----------------------------------------------------------------------------

fs::path ResourcesFolder() {
    if (const char* env = std::getenv("VELKARION_RESOURCES"); env && *env) return fs::path(env);
    // Found from the program's own path (the install root), never from the source tree: a
    // copied or installed program must not depend on where it was built.
    return InstallRoot() / "resources";
}

bool LoadResources(const fs::path& folder, std::vector<std::string>* problems) {
    const fs::path root = folder.empty() ? ResourcesFolder() : folder;
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        Note(problems, root.string() + ": no such folder");
        return false;
    }
    ClearResources();
    S().bitmapFolder = root / "bitmaps";
    LoadDialogs(root / "dialogs", problems);
    std::string text;
    if (ReadText(root / "strings.txt", &text)) ParseStrings(text, problems);
    if (ReadText(root / "menus.txt", &text)) ParseMenus(text, problems);
    if (ReadText(root / "accelerators.txt", &text)) ParseAccelerators(text, problems);
    if (ReadText(root / "bitmaps" / "manifest.txt", &text)) ParseBitmapManifest(text, problems);
    return true;
}

void ClearResources() {
    S() = Store{};
}

}  // namespace platform
